#include "ShellFixture.h"

#include "foundation/CommandLine.h"
#include "foundation/Fonts.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Registry.h"
#include "foundation/SessionValues.h"
#include "foundation/SubClass.h"
#include "platform/SessionEndpoint.h"
#include "platform/base/LogSink.h"
#include "platform/base/Twips.h"
#include "support/ProgramGlobals.h"

namespace shelltest {

namespace fs = std::filesystem;

void ShellFixture::SetUp()
{
    SetNow(Date(2026, 3, 10), At(10, 0, 0));
    std::error_code ignored;
    previousFolder_ = fs::current_path(ignored);
    basic::SetAppPath(program.Path());
    basic::SetProgramCommandLine("");
    SetCommon({{"DebugLogPath", logs.Path()}});
    platform::SetMessageBoxAnswer([this](const platform::MessageBoxRequest& request) {
        boxes.push_back(request);
        if (answers.empty()) {
            return platform::IdYes;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    });
    window = std::make_unique<FrmMain>();
    window->Ports = ports.Wire();
}

void ShellFixture::TearDown()
{
    if (window) {
        FCT_SubClass::UnsubclassWindow(window.get());
        window.reset();
    }
    testsupport::ResetProgramGlobals();
    std::error_code ignored;
    fs::current_path(previousFolder_, ignored);
}

void ShellFixture::SetCommon(const std::map<std::string, std::string>& values)
{
    for (const auto& [key, value] : values) {
        registry.AddCommon(key, value);
    }
}

void ShellFixture::Store(const std::string& key, const std::string& value, const std::string& section)
{
    basic::RegWrite(key, value, section);
}

std::string ShellFixture::Stored(const std::string& key, const std::string& section)
{
    return basic::RegRead(key, "(missing)", section);
}

FrmMain::StartOutcome ShellFixture::Start(const std::string& commandLine)
{
    basic::SetProgramCommandLine(commandLine);
    return window->Form_Load();
}

std::string ShellFixture::DayLog() const
{
    std::string text;
    for (const auto& entry : fs::directory_iterator(logs.Path())) {
        if (entry.path().extension() == ".log") {
            text += testsupport::ReadText(entry.path().string());
        }
    }
    return text;
}

std::string ShellFixture::ErrorLog() const
{
    std::string text;
    for (const auto& entry : fs::directory_iterator(logs.Path())) {
        if (entry.path().extension() == ".err") {
            text += testsupport::ReadText(entry.path().string());
        }
    }
    return text;
}

std::vector<std::string> ShellFixture::DayLogEntries() const
{
    std::vector<std::string> entries;
    const std::string text = DayLog();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        // "yyyy/mm/dd hh:mm:ss " comes first.
        entries.push_back(line.size() > 20 ? line.substr(20) : line);
        start = end + 2;
    }
    return entries;
}

} // namespace shelltest
