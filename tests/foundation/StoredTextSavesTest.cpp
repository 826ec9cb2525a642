// Every save of a setting, into a tolv.ini or a registry key file of every
// shape and origin, is judged as the next start reads the file: it is kept
// only when every value then reads as before, and else leaves the file byte
// for byte with one log line naming the key and the value.
#include "foundation/DayLog.h"
#include "foundation/ModuleValues.h"
#include "foundation/Settings.h"
#include "platform/base/TextCodec.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "support/StoredTextFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>

namespace {

using testsupport::ReadText;
using testsupport::StoredTextCase;

constexpr std::string_view Mark = "\xEF\xBB\xBF";

std::string Key(int index)
{
    return "Value" + std::to_string(index);
}

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

struct Tally {
    int cases = 0;
    int kept = 0;
};

class StoredTextSaves : public testing::Test {
protected:
    void SetUp() override
    {
        basic::SetAppPath(program.Path());
        basic::SettingsStoreName = "tolv";
        basic::LogError = 1;
        basic::DailyLogNames = 0;
        basic::LogFolder = logs.Path();
        std::filesystem::create_directories(std::filesystem::path(KeyFile()).parent_path());
    }
    void TearDown() override
    {
        basic::SetAppPath("");
        basic::SettingsIniPath.clear();
        basic::SettingsStoreName.clear();
        basic::LogFolder.clear();
    }
    std::string KeyFile() const { return registry.CompanyKeyFolder() + "tolv.conf"; }
    std::string ErrorLog() const { return ReadText(logs.Path() + basic::ComputerName() + " - tolv.err"); }

    // Writes the case as the settings store, saves the names one after the
    // other as the last table's, and checks what the next start reads.
    void Check(const StoredTextCase& c, const std::string& path, const std::vector<std::string>& names, Tally& tally)
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
        const auto readsAsWritten = [&](const std::string& when) {
            for (std::size_t k = 0; k < c.texts.size() && c.readable; ++k) {
                EXPECT_EQ(basic::GetSetting(Key(static_cast<int>(k)), ""), c.texts[k]) << c.shape << when << "\n"
                                                                                       << c.bytes;
            }
        };
        readsAsWritten(", as found");
        ++tally.cases;
        bool allKept = true;
        for (const std::string& name : names) {
            const std::string before = ReadText(path);
            const std::string log = ErrorLog();
            basic::SaveSetting("LastTlvFilename", name);
            const std::string after = ReadText(path);
            if (basic::GetSetting("LastTlvFilename", "") != name) {
                allKept = false;
                EXPECT_EQ(after, before) << c.shape << ": a save not kept changed the file";
                const std::string logged = ErrorLog().substr(log.size());
                EXPECT_EQ(Count(logged, "\n"), 1U) << logged;
                EXPECT_NE(logged.find("LastTlvFilename"), std::string::npos) << logged;
                EXPECT_NE(logged.find(name), std::string::npos) << logged;
                continue;
            }
            readsAsWritten(", after saving " + name);
            // A file keeps its lines' bytes, or goes over to UTF-8 whole with
            // a byte order mark; only a file that was code page 932 goes over.
            if (!after.starts_with(c.bytes)) {
                EXPECT_TRUE(after.starts_with(Mark)) << c.shape << "\n" << after;
                EXPECT_TRUE(c.encoding == textcodec::Encoding::Cp932 && c.readable) << c.shape << "\n" << after;
            }
        }
        tally.kept += allKept ? 1 : 0;
    }

    testsupport::ScratchFolder program;
    testsupport::ScratchRegistry registry;
    testsupport::ScratchFolder logs;
};

TEST_F(StoredTextSaves, EverySaveReadsBackAsTheOperatorSawItPlusTheNewValue)
{
    const std::vector<std::vector<std::string>> names{
        {"/srv/テーマ.txt", "/srv/café.txt"}, {"/srv/café.txt", "/srv/テーマ〜2.txt"}, {"/srv/plain.txt"}};
    const auto iniLine = [](int i, const std::string& text) {
        return (i == 0 ? std::string("[conf]\r\n") : std::string()) + Key(i) + "=" + text;
    };
    const auto keyLine = [](int i, const std::string& text) { return Key(i) + "=" + text; };
    std::map<std::string, Tally> tallies;
    for (const bool ini : {true, false}) {
        basic::SettingsIniPath = ini ? program / "tolv.ini" : std::string();
        const std::string path = ini ? program / "tolv.ini" : KeyFile();
        const testsupport::LineMaker line = ini ? testsupport::LineMaker(iniLine) : testsupport::LineMaker(keyLine);
        for (auto cases : {testsupport::GenerateStoredTextCases(100, line, 7),
                           testsupport::GenerateMisjudgedTextCases(210, line, 76)}) {
            for (std::size_t i = 0; i < cases.size(); ++i) {
                const std::string shape = cases[i].shape.substr(0, cases[i].shape.find(','));
                Check(cases[i], path, names[i % names.size()], tallies[(ini ? "tolv.ini, " : "key file, ") + shape]);
            }
        }
    }
    for (const auto& [shape, tally] : tallies) {
        std::cout << shape << ": " << tally.kept << " of " << tally.cases << " kept every save\n";
        if (shape.find("realistic") != std::string::npos) {
            EXPECT_GE(tally.kept * 100, tally.cases * 99) << shape;
        }
    }
}

} // namespace
