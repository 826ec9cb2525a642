#include "foundation/Programs.h"

#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/Settings.h"
#include "platform/ProcessStart.h"
#include "platform/ServerPaths.h"

namespace basic {

std::vector<std::string> SplitCommandWords(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

double RunProgram(std::string_view programPath, std::string_view argument1, int /*showMode*/,
                  std::string_view argument2)
{
    const std::string program = platform::NativePath(programPath);
    if (program.empty()) {
        return 0;
    }
    std::vector<std::string> arguments{program};
    if (!argument1.empty()) {
        arguments.emplace_back(argument1);
    }
    for (std::string& word : SplitCommandWords(argument2)) {
        arguments.push_back(std::move(word));
    }
    return static_cast<double>(platform::SpawnProgram(arguments));
}

int ShellOpen(std::string_view path)
{
    const std::string native = platform::NativePath(path);
    if (!native.empty()) {
        platform::OpenWithDesktop(native);
    }
    return 1;
}

void OpenVolumeMixer()
{
    const std::string chosen = GetSetting("MixerApp", "");
    std::string program;
    if (!chosen.empty()) {
        program = FileExists(chosen) != 0 ? platform::NativePath(chosen) : platform::FindProgram(chosen);
    }
    if (program.empty()) {
        program = platform::FindProgram("pavucontrol");
    }
    if (program.empty()) {
        WriteLog("No mixer program: set MixerApp or install pavucontrol", 0, 0);
        return;
    }
    platform::SpawnProgram({program});
}

} // namespace basic
