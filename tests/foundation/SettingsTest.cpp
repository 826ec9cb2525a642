#include "foundation/Settings.h"
#include "foundation/DayLog.h"
#include "foundation/IniFile.h"
#include "foundation/ModuleValues.h"
#include "foundation/Registry.h"
#include "platform/base/TextCodec.h"
#include "support/Cp932ReadingAsUtf8.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "support/StoredTextFiles.h"
#include "support/TestFileLayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

namespace {

namespace fs = std::filesystem;
using testsupport::ReadText;
using namespace std::string_literals;

// A program folder and a registry of its own for every test; the failure log
// goes to a folder of its own too.
class Settings : public testing::Test {
protected:
    void SetUp() override
    {
        basic::SetAppPath(program.Path());
        basic::SettingsIniPath.clear();
        basic::SettingsStoreName = "tolv";
        basic::LogError = 1;
        basic::DailyLogNames = 0;
        basic::LogFolder = logs.Path();
    }
    void TearDown() override
    {
        basic::SetAppPath("");
        basic::SettingsIniPath.clear();
        basic::SettingsStoreName.clear();
        basic::LogFolder.clear();
    }

    // The file of a registry section under the company key.
    std::string SectionFile(const std::string& lowerCaseSection) const
    {
        return registry.CompanyKeyFolder() + lowerCaseSection + ".conf";
    }
    std::string ErrorLog() const { return ReadText(logs.Path() + basic::ComputerName() + " - tolv.err"); }
    std::string DayLog() const { return ReadText(logs.Path() + basic::ComputerName() + " - tolv.log"); }

    testsupport::ScratchFolder program;
    testsupport::ScratchRegistry registry;
    testsupport::ScratchFolder logs;
    const std::string config = registry.ConfigHome();
};

TEST_F(Settings, WithoutAnIniFileEverythingLivesInTheRegistrySectionOfTheSession)
{
    int mode = -1;
    EXPECT_EQ(basic::ResolveSettingsStore("", 0, mode), "tolv");
    EXPECT_EQ(mode, basic::StoreRegistry);
    EXPECT_EQ(basic::ResolveSettingsStore("", 1, mode), "");
    EXPECT_EQ(mode, basic::StoreRegistry);
    EXPECT_EQ(basic::ResolveSettingsStore("Site", 0, mode), "Site");
    EXPECT_EQ(mode, basic::StoreRegistry);

    EXPECT_EQ(basic::GetSetting("PlayerType", 2), "2");
    EXPECT_FALSE(fs::exists(config)) << "a read writes nothing to the registry";
    EXPECT_FALSE(fs::exists(program / "tolv.ini"));

    basic::SettingsStoreName = "TolvB";
    basic::SaveSetting("PlayerType", 3);
    EXPECT_EQ(ReadText(SectionFile("tolvb")), "PlayerType=3\n");
    EXPECT_EQ(basic::GetSetting("playertype", 2), "3");
    EXPECT_EQ(basic::RegRead("PLAYERTYPE", "", "TOLVB"), "3");
    basic::SettingsStoreName = "tolv";
    EXPECT_EQ(basic::GetSetting("PlayerType", 2), "2") << "each session has its own store";

    basic::SaveSetting("UseMultiSession", 1, 1);
    EXPECT_EQ(ReadText(SectionFile("tolv")), "UseMultiSession=1\n") << "base 1 is the title's section";
}

TEST_F(Settings, AnIniFileBesideTheProgramTakesOverAndFillsItselfWithDefaults)
{
    program.Write("tolv.ini", "");
    program.Write("tolvB.ini", "; second session\n");
    program.Write("Site.ini", "[conf]\nLocalPath=D:\\sounds\n");
    basic::SettingsStoreName = "tolvB";
    basic::SettingsIniPath = program / "tolvB.ini";

    int mode = -1;
    EXPECT_EQ(basic::ResolveSettingsStore("", 0, mode), program / "tolvB.ini");
    EXPECT_EQ(mode, basic::StoreIni);
    EXPECT_EQ(basic::ResolveSettingsStore("", 1, mode), program / "tolv.ini");
    EXPECT_EQ(mode, basic::StoreIni);
    EXPECT_EQ(basic::ResolveSettingsStore("Site", 0, mode), program / "Site.ini");
    EXPECT_EQ(mode, basic::StoreIni);

    EXPECT_EQ(basic::GetSetting("PlayerType", 2), "2");
    EXPECT_EQ(basic::GetSetting("Caption", ""), "");
    EXPECT_EQ(ReadText(program / "tolvB.ini"), "; second session\n[conf]\nPlayerType=2\nCaption=***\n");
    EXPECT_EQ(basic::GetSetting("UseMultiSession", 0, 1), "0");
    EXPECT_EQ(ReadText(program / "tolv.ini"), "[conf]\nUseMultiSession=0\n");
    EXPECT_EQ(basic::GetSetting("localpath", "", 0, "Site"), "D:\\sounds");
    EXPECT_FALSE(fs::exists(config)) << "the registry is not touched in INI mode";

    // A stored "ISDEFAULT" counts as missing and is replaced by the default.
    basic::IniWrite("Odd", "ISDEFAULT", program / "tolvB.ini");
    EXPECT_EQ(basic::GetSetting("Odd", "x"), "x");
    EXPECT_EQ(basic::IniRead("Odd", "y", program / "tolvB.ini"), "x");
}

TEST_F(Settings, EmptyValuesAreStoredAsThreeStarsInBothStores)
{
    basic::SaveSetting("Caption", "");
    EXPECT_EQ(ReadText(SectionFile("tolv")), "Caption=***\n");
    EXPECT_EQ(basic::GetSetting("Caption", "default"), "");
    basic::SaveSetting("Caption", "***");
    EXPECT_EQ(basic::GetSetting("Caption", "default"), "");

    program.Write("tolv.ini", "");
    basic::SettingsIniPath = program / "tolv.ini";
    basic::SaveSetting("Caption", "");
    EXPECT_EQ(ReadText(program / "tolv.ini"), "[conf]\nCaption=***\n");
    EXPECT_EQ(basic::GetSetting("CAPTION", "default"), "");
}

TEST_F(Settings, LongValuesComeBackWholeFromTheRegistryAndCutFromIniFiles)
{
    const std::string thousand(1000, 'x');
    basic::SaveSetting("Long", thousand);
    EXPECT_EQ(basic::GetSetting("Long", ""), thousand);

    program.Write("tolv.ini", "");
    basic::SettingsIniPath = program / "tolv.ini";
    basic::SaveSetting("Long", thousand);
    EXPECT_EQ(basic::GetSetting("Long", ""), std::string(254, 'x'));
    EXPECT_NE(ReadText(program / "tolv.ini").find(thousand), std::string::npos) << "the file keeps the whole value";

    std::string japanese;
    for (int i = 0; i < 300; ++i) {
        japanese += "音";
    }
    basic::SaveSetting("Title", japanese);
    const std::string cut = basic::GetSetting("Title", "");
    EXPECT_TRUE(textcodec::IsValidUtf8(cut));
    EXPECT_EQ(textcodec::Utf8Length(cut), 254u);
}

TEST_F(Settings, AQuotedCommandLineComesBackFromAnIniFileAsItWasSaved)
{
    program.Write("tolv.ini", "");
    basic::SettingsIniPath = program / "tolv.ini";
    const std::string command = "\"/usr/bin/a b\" --x \"y\"";
    basic::SaveSetting("MixerApp", command);
    EXPECT_EQ(basic::GetSetting("MixerApp", ""), command);

    // The extra quotes do not count against the longest value read.
    const std::string quoted = "'" + std::string(252, 'q') + "'";
    basic::SaveSetting("Long", quoted);
    EXPECT_EQ(basic::GetSetting("Long", ""), quoted);
    basic::SaveSetting("Padded", "  two blanks  ");
    EXPECT_EQ(basic::GetSetting("Padded", ""), "  two blanks  ");
}

TEST_F(Settings, DeletingOneSectionLeavesTheOthersAndTheSharedSectionIsReadOnly)
{
    fs::create_directories(fs::path(SectionFile("common")).parent_path());
    const std::string common = "CurrentQuorUser=  yamada  \nCurrentQuorUserGroup=3\nDebugLogPath=/srv/log\n";
    std::ofstream(SectionFile("common"), std::ios::binary) << common;
    basic::SaveSetting("A", 1);
    basic::SaveSetting("A", 2, 0, "tolvB");
    basic::SaveSetting("A", 3, 0, "tolvC");

    basic::RegDeleteKey("TolvB");
    EXPECT_EQ(basic::GetSetting("A", 0, 0, "tolvB"), "0");
    EXPECT_EQ(basic::GetSetting("A", 0, 0, "tolvC"), "3");
    EXPECT_EQ(basic::GetSetting("A", 0), "1");

    EXPECT_EQ(basic::RegRead("CurrentQuorUser", "", "common"), "yamada");
    EXPECT_EQ(basic::RegRead("currentquorusergroup", 0, basic::SharedSection), "3");
    EXPECT_EQ(basic::RegWrite("CurrentQuorUser", "intruder", "Common"), 0);
    basic::RegDeleteValue("DebugLogPath", "common");
    basic::RegDeleteKey("common");
    EXPECT_EQ(ReadText(SectionFile("common")), common);
    EXPECT_NE(ErrorLog().find("read only"), std::string::npos);

    basic::RegDeleteKey("");
    EXPECT_EQ(basic::GetSetting("A", 0), "0") << "an empty section is the title's";
    EXPECT_EQ(basic::GetSetting("A", 0, 0, "tolvC"), "3");
}

TEST_F(Settings, AFailedWriteKeepsThePreviousSettingsAndIsLogged)
{
    program.Write("tolv.ini", "[conf]\nVolume=7\n");
    basic::SettingsIniPath = program / "tolv.ini";
    basic::SaveSetting("Volume", 1);
    {
        testsupport::TestFileLayer layer;
        layer.renameFault = [](const char*, const char*) { return -ENOSPC; };
        basic::SaveSetting("Volume", 8);
        basic::SettingsIniPath.clear();
        basic::SaveSetting("Volume", 5);
        EXPECT_EQ(basic::GetSetting("Volume", 0), "0");
        EXPECT_EQ(basic::RegWrite("Volume", 5), 0);
        basic::SettingsIniPath = program / "tolv.ini";
    }
    EXPECT_EQ(basic::GetSetting("Volume", 0), "1");
    EXPECT_EQ(ReadText(program / "tolv.ini"), "[conf]\nVolume=1\n");
    const std::string log = ErrorLog();
    EXPECT_NE(log.find("IniWrite Volume: rename Failed r=" + std::to_string(ENOSPC)), std::string::npos) << log;
    EXPECT_NE(log.find("RegWrite Volume: rename Failed"), std::string::npos) << log;

    // With LogError 0 a failure is not written.
    basic::LogError = 0;
    testsupport::TestFileLayer layer;
    layer.renameFault = [](const char*, const char*) { return -EIO; };
    basic::SaveSetting("Volume", 9);
    EXPECT_EQ(ErrorLog(), log);
}

TEST_F(Settings, ACodePage932IniReadsJapaneseAndStaysCodePage932)
{
    // "[conf]" / "Title=日本語" in code page 932, as another machine wrote it.
    const std::string cp932 = "[conf]\r\nTitle=\x93\xFA\x96\x7B\x8C\xEA\r\n";
    program.Write("tolv.ini", cp932);
    basic::SettingsIniPath = program / "tolv.ini";
    EXPECT_EQ(basic::GetSetting("Title", ""), "日本語");
    basic::SaveSetting("Place", "東京");
    EXPECT_EQ(ReadText(program / "tolv.ini"), cp932 + "Place=\x93\x8C\x8B\x9E\r\n");
    EXPECT_EQ(basic::GetSetting("Place", ""), "東京");

    // Half-width katakana pair up into two-byte UTF-8 characters; around a
    // byte that does not pair, they are still code page 932.
    const std::string halfWidth = textcodec::EncodeCp932("[conf]\r\nBankName=ﾃｰﾏｿﾝ\r\n");
    program.Write("tolv.ini", halfWidth);
    EXPECT_EQ(basic::GetSetting("BankName", ""), "ﾃｰﾏｿﾝ");
    basic::SaveSetting("Place", "東京");
    EXPECT_EQ(ReadText(program / "tolv.ini"), halfWidth + "Place=\x93\x8C\x8B\x9E\r\n");
}

TEST_F(Settings, ACodePage932IniTakesOnlyTextsThatReadBackAndElseGoesOverToUtf8)
{
    const std::string ini = program / "tolv.ini";
    const std::string cp932 = "[conf]\r\nTitle=\x93\xFA\x96\x7B\x8C\xEA\r\n"; // "Title=日本語"
    basic::SettingsIniPath = ini;

    // Full-width twins of the characters below do come back.
    program.Write("tolv.ini", cp932);
    const std::string twins = "/srv/テーマ～1/－￠￡￥￢―∥￣.txt";
    basic::SaveSetting("LastTlvFilename", twins);
    EXPECT_TRUE(ReadText(ini).starts_with(cp932));
    EXPECT_FALSE(textcodec::IsValidUtf8(ReadText(ini)));
    EXPECT_EQ(basic::GetSetting("LastTlvFilename", ""), twins);

    for (const std::string c : {"〜", "−", "¢", "£", "¥", "¬", "—", "‖", "‾"}) {
        program.Write("tolv.ini", cp932);
        const std::string path = "/srv/テーマ" + c + "1/" + c + "5 ～￡.txt";
        basic::SaveSetting("LastTlvFilename", path);
        EXPECT_EQ(ReadText(ini), "\xEF\xBB\xBF[conf]\r\nTitle=日本語\r\nLastTlvFilename=" + path + "\r\n") << c;
        EXPECT_EQ(basic::GetSetting("LastTlvFilename", ""), path);
        basic::SaveSetting("Place", "東京");
        EXPECT_EQ(basic::GetSetting("Title", ""), "日本語") << c;
        EXPECT_EQ(basic::GetSetting("Place", ""), "東京") << c;
    }
    EXPECT_NE(ErrorLog().find("IniWrite LastTlvFilename: " + ini + " holds characters code page 932 cannot hold"),
              std::string::npos);

    // The registry's files follow the same rule.
    basic::SettingsIniPath.clear();
    fs::create_directories(fs::path(SectionFile("tolv")).parent_path());
    std::ofstream(SectionFile("tolv"), std::ios::binary) << "Title=\x93\xFA\x96\x7B\x8C\xEA\n";
    basic::SaveSetting("LastTlvFilename", "/srv/テーマ〜1.txt");
    EXPECT_EQ(basic::GetSetting("LastTlvFilename", ""), "/srv/テーマ〜1.txt");
    EXPECT_EQ(basic::GetSetting("Title", ""), "日本語");
    EXPECT_NE(ErrorLog().find("RegWrite LastTlvFilename: "), std::string::npos);
}

// A name with a byte of another code page ("café" in Latin-1, as names on
// older shares are) has no form a file read as text gives back: it is not
// written, the old value stays, and every other line reads as before.
TEST_F(Settings, AValueThatIsNoTextIsRefusedAndTheFileReadsAsBefore)
{
    const std::string name = "caf\xE9.txt";
    const std::string lines = "BankName=テーマ\nMixerApp=/srv/音\n";
    basic::SettingsIniPath = program / "tolv.ini";
    const std::string conf = program / "conf/conf.ini";
    fs::create_directories(fs::path(SectionFile("tolv")).parent_path());
    for (const std::string& bytes : {"[conf]\n" + lines, textcodec::EncodeCp932("[conf]\r\n" + lines)}) {
        program.Write("tolv.ini", bytes);
        basic::SaveSetting("LastTlvFilename", name);
        EXPECT_EQ(ReadText(program / "tolv.ini"), bytes);
        EXPECT_EQ(basic::GetSetting("BankName", ""), "テーマ");
        EXPECT_EQ(basic::GetSetting("MixerApp", ""), "/srv/音");
        EXPECT_EQ(basic::GetSetting("LastTlvFilename", ""), "");

        // The shared conf.ini is written the same way.
        program.Write("conf/conf.ini", bytes);
        basic::IniWrite("TimeSrv", name, conf);
        EXPECT_EQ(ReadText(conf), bytes);
        EXPECT_EQ(basic::IniRead("BankName", "", conf), "テーマ");
    }
    // A registry key file keeps the value it had.
    basic::SettingsIniPath.clear();
    const std::string key = "LastTlvFilename=/srv/前.txt\n" + lines;
    for (const std::string& bytes : {key, textcodec::EncodeCp932(key)}) {
        std::ofstream(SectionFile("tolv"), std::ios::binary) << bytes;
        EXPECT_EQ(basic::RegWrite("LastTlvFilename", name, "tolv"), 0);
        EXPECT_EQ(ReadText(SectionFile("tolv")), bytes);
        EXPECT_EQ(basic::GetSetting("LastTlvFilename", ""), "/srv/前.txt");
        EXPECT_EQ(basic::GetSetting("MixerApp", ""), "/srv/音");
    }

    // One line for each refusal, the byte shown so that it can be told.
    const std::string log = ErrorLog();
    EXPECT_NE(log.find("IniWrite LastTlvFilename: " + std::string(program / "tolv.ini") +
                       " cannot hold \"caf\\xE9.txt\", which is no UTF-8 text; the old value stays\r\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("IniWrite TimeSrv: " + conf + " cannot hold"), std::string::npos) << log;
    EXPECT_NE(log.find("RegWrite LastTlvFilename: Software\\quorvant\\tolv cannot hold"), std::string::npos) << log;
    std::size_t count = 0;
    for (std::size_t at = log.find("cannot hold"); at != std::string::npos; at = log.find("cannot hold", at + 1)) {
        ++count;
    }
    EXPECT_EQ(count, 6U);
}

// A UTF-8 file with one byte of another encoding in it (as an editor in
// another encoding leaves) reads as UTF-8, like an assign table, and a save
// keeps every line's bytes; a change after which the stray byte would make
// the file read as code page 932 is not saved, with one log line.
TEST_F(Settings, AStrayByteLeavesAUtf8StoreUtf8AndItsLinesAsTheyWere)
{
    const std::string lines = "BankName=テーマ\nMixerApp=/srv/mixer\nNote=caf\xE9\n";
    const std::string ini = program / "tolv.ini";
    basic::SettingsIniPath = ini;
    program.Write("tolv.ini", "[conf]\n" + lines);
    EXPECT_EQ(basic::GetSetting("BankName", ""), "テーマ");
    EXPECT_EQ(basic::GetSetting("MixerApp", ""), "/srv/mixer");
    basic::SaveSetting("Volume", 7);
    EXPECT_EQ(ReadText(ini), "[conf]\n" + lines + "Volume=7\n");
    basic::SaveSetting("BankName", "News");
    // The stray line's value written back as it was read is no change.
    basic::SaveSetting("Note", basic::GetSetting("Note", ""));
    EXPECT_EQ(ReadText(ini), "[conf]\n" + lines + "Volume=7\n");
    EXPECT_EQ(ErrorLog().find("Note"), std::string::npos) << ErrorLog();
    EXPECT_NE(ErrorLog().find("IniWrite BankName: " + ini +
                              ": its stray bytes would make it read as code page 932; not saved"),
              std::string::npos)
        << ErrorLog();

    basic::SettingsIniPath.clear();
    fs::create_directories(fs::path(SectionFile("tolv")).parent_path());
    std::ofstream(SectionFile("tolv"), std::ios::binary) << lines;
    EXPECT_EQ(basic::GetSetting("BankName", ""), "テーマ");
    EXPECT_EQ(basic::RegWrite("Volume", 7, "tolv"), 1);
    EXPECT_EQ(basic::RegWrite("Note", basic::GetSetting("Note", ""), "tolv"), 1);
    EXPECT_EQ(ReadText(SectionFile("tolv")), lines + "Volume=7\n");
    basic::RegDeleteValue("BankName", "tolv");
    EXPECT_EQ(ReadText(SectionFile("tolv")), lines + "Volume=7\n");
    EXPECT_NE(ErrorLog().find("RegDeleteValue BankName: " + SectionFile("tolv") + ": its stray bytes"),
              std::string::npos)
        << ErrorLog();
}

// A file read as code page 932 whose bytes that code page could not read may
// be something else misjudged: it is not rewritten as UTF-8, which would keep
// the misread texts for good.
TEST_F(Settings, ACodePage932StoreWithBytesItCannotReadNeverGoesOverToUtf8)
{
    const std::string ini = program / "tolv.ini";
    basic::SettingsIniPath = ini;
    const std::string old = "[conf]\nMixerApp=/srv/" + textcodec::EncodeCp932("テーマ") + "\nNote=caf\x80\n";
    program.Write("tolv.ini", old);
    basic::SaveSetting("Title", "〜");
    EXPECT_EQ(ReadText(ini), old);
    EXPECT_NE(ErrorLog().find("IniWrite Title: " + ini + ": going over to UTF-8"), std::string::npos) << ErrorLog();
    // A change that code page 932 holds keeps the other lines' bytes.
    basic::SaveSetting("Volume", 7);
    EXPECT_EQ(ReadText(ini), old + "Volume=7\n");
}

// A UTF-8 tolv.ini of European text with one stray byte, with or without a
// byte order mark, stays UTF-8 through a save of the last file's name. One
// that reads well both ways takes a value that keeps every line reading as
// it did, in its likelier encoding, but never goes over to UTF-8.
TEST_F(Settings, EuropeanUtf8WithAStrayByteStaysUtf8AndAFileInDoubtNeverGoesOver)
{
    const std::string ini = program / "tolv.ini";
    basic::SettingsIniPath = ini;
    for (const std::string mark : {"", "\xEF\xBB\xBF"}) {
        const std::string old = mark + "[conf]\nBankName=Café Crème\nMixerApp=/srv/mixer±30°\nNote=\xE9t\n";
        program.Write("tolv.ini", old);
        EXPECT_EQ(basic::GetSetting("BankName", ""), "Café Crème");
        basic::SaveSetting("LastTlvFilename", "/srv/café.txt");
        EXPECT_EQ(ReadText(ini), old + "LastTlvFilename=/srv/café.txt\n");
    }
    const std::string doubt =
        textcodec::EncodeCp932("[conf]\nBankName=ﾗｼﾞｵ\n"); // a Hebrew character and stray bytes as UTF-8
    program.Write("tolv.ini", doubt);
    EXPECT_EQ(basic::GetSetting("BankName", ""), "ﾗｼﾞｵ");
    basic::SaveSetting("LastTlvFilename", "/srv/café.txt");
    EXPECT_EQ(ReadText(ini), doubt);
    EXPECT_NE(ErrorLog().find("IniWrite LastTlvFilename: " + ini +
                              ": it may be UTF-8 read as code page 932; going over to UTF-8 could write that for "
                              "good; not saved: \"LastTlvFilename=/srv/café.txt\""),
              std::string::npos)
        << ErrorLog();
    basic::SaveSetting("LastTlvFilename", "/srv/テーマ.txt");
    EXPECT_EQ(ReadText(ini), doubt + textcodec::EncodeCp932("LastTlvFilename=/srv/テーマ.txt\n"));
    EXPECT_EQ(basic::GetSetting("BankName", ""), "ﾗｼﾞｵ");
    EXPECT_EQ(basic::GetSetting("LastTlvFilename", ""), "/srv/テーマ.txt");
}

// A code page 932 file that goes over to UTF-8 starts with a byte order mark:
// the next start reads it as UTF-8 whatever its text, and later saves of any
// script are kept.
TEST_F(Settings, AFileThatGoesOverToUtf8IsNeverReadAsCodePage932Again)
{
    const std::string ini = program / "tolv.ini";
    basic::SettingsIniPath = ini;
    program.Write("tolv.ini", textcodec::EncodeCp932("[conf]\r\nSponsor=㈱ABC Radio\r\n"));
    EXPECT_EQ(basic::GetSetting("Sponsor", ""), "㈱ABC Radio");
    basic::SaveSetting("LastTlvFilename", "/srv/café.txt");
    EXPECT_TRUE(ReadText(ini).starts_with("\xEF\xBB\xBF[conf]\r\nSponsor=㈱ABC Radio\r\n"));
    basic::SaveSetting("Place", "東京");
    EXPECT_EQ(basic::GetSetting("Sponsor", ""), "㈱ABC Radio");
    EXPECT_EQ(basic::GetSetting("LastTlvFilename", ""), "/srv/café.txt");
    EXPECT_EQ(basic::GetSetting("Place", ""), "東京");
}

// Saves of the last table's name into settings files of every shape and
// origin, the names one after the other: each is kept only when every value
// then reads as written, else the file stays byte for byte and one log line
// names the key and the value. Only a code page 932 file goes over to UTF-8,
// with a byte order mark.
TEST_F(Settings, EverySaveOfEveryShapeReadsBackAsTheOperatorSawIt)
{
    const std::vector<std::vector<std::string>> names{
        {"/srv/テーマ.txt", "/srv/café.txt"}, {"/srv/café.txt", "/srv/テーマ〜2.txt"}, {"/srv/plain.txt"}};
    std::map<std::string, std::pair<int, int>> kept; // of the cases of a shape
    for (const bool ini : {true, false}) {
        basic::SettingsIniPath = ini ? program / "tolv.ini" : "";
        const std::string path = ini ? program / "tolv.ini" : SectionFile("tolv");
        fs::create_directories(fs::path(SectionFile("tolv")).parent_path());
        const testsupport::LineMaker line = [&](int i, const std::string& text) {
            return std::string(i == 0 && ini ? "[conf]\r\n" : "") + "Value" + std::to_string(i) + "=" + text;
        };
        for (const auto& cases : {testsupport::GenerateStoredTextCases(100, line, 7),
                                  testsupport::GenerateMisjudgedTextCases(330, line, 76),
                                  testsupport::GenerateUtf16TextCases(40, line)}) {
            for (std::size_t i = 0; i < cases.size(); ++i) {
                const testsupport::StoredTextCase& c = cases[i];
                std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
                const auto readsAsWritten = [&] {
                    for (std::size_t k = 0; k < c.texts.size() && c.readable; ++k) {
                        EXPECT_EQ(basic::GetSetting("Value" + std::to_string(k), ""), c.texts[k]) << c.shape;
                    }
                };
                readsAsWritten();
                bool all = true;
                for (const std::string& name : names[i % names.size()]) {
                    const std::string before = ReadText(path);
                    const std::size_t logged = ErrorLog().size();
                    basic::SaveSetting("LastTlvFilename", name);
                    const std::string after = ReadText(path);
                    readsAsWritten();
                    if (basic::GetSetting("LastTlvFilename", "") != name) {
                        all = false;
                        EXPECT_EQ(after, before) << c.shape;
                        const std::string log = ErrorLog().substr(logged);
                        EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
                        EXPECT_NE(log.find("LastTlvFilename=" + name), std::string::npos) << log;
                    } else if (c.shape.starts_with("UTF-16")) {
                        // UTF-16 lines in the file's order, after the file's own.
                        EXPECT_TRUE(after.starts_with(c.bytes) &&
                                    testsupport::ReadUtf16File(after, c.shape.substr(7, 2)).has_value())
                            << c.shape;
                    } else if (!after.starts_with(c.bytes)) {
                        EXPECT_TRUE(after.starts_with("\xEF\xBB\xBF") && c.readable &&
                                    c.encoding == textcodec::Encoding::Cp932)
                            << c.shape << "\n"
                            << after;
                    } else if (c.readable) {
                        // In the encoding the file's own lines truly are in.
                        EXPECT_EQ(after.substr(c.bytes.size()),
                                  textcodec::Encode("LastTlvFilename=" + name, c.encoding) + "\r\n")
                            << c.shape;
                    }
                }
                auto& [count, keptAll] =
                    kept[(ini ? "tolv.ini, " : "key file, ") + c.shape.substr(0, c.shape.find(','))];
                ++count;
                keptAll += all ? 1 : 0;
            }
        }
    }
    for (const auto& [shape, count] : kept) {
        std::cout << shape << ": " << count.second << " of " << count.first << " kept every save\n";
        EXPECT_TRUE(shape.find("realistic") == std::string::npos || count.second * 100 >= count.first * 99) << shape;
        EXPECT_TRUE(shape.find("UTF-16") == std::string::npos || count.second == count.first) << shape;
    }
}

// Saved into a code page 932 file, each comes back as it was saved.
class Cp932ReadingAsUtf8Setting : public Settings,
                                  public testing::WithParamInterface<testsupport::Cp932ReadingAsUtf8> {};

TEST_P(Cp932ReadingAsUtf8Setting, ComesBackAsItWasSaved)
{
    const std::string text = GetParam().text;
    ASSERT_TRUE(textcodec::IsValidUtf8(textcodec::EncodeCp932(text)));
    const std::string ini = program / "tolv.ini";
    const std::string title = "Title=\x93\xFA\x96\x7B\x8C\xEA\r\n"; // "Title=日本語"
    basic::SettingsIniPath = ini;

    // The value takes the place of the only text that made the file code
    // page 932: the file stays so where the reader still sees the chance in
    // its bytes, else it goes over to UTF-8.
    program.Write("tolv.ini", "[conf]\r\n" + title);
    basic::SaveSetting("Title", text);
    EXPECT_EQ(basic::GetSetting("Title", ""), text);
    if (ReadText(ini) != "[conf]\r\nTitle=" + textcodec::EncodeCp932(text) + "\r\n") {
        EXPECT_NE(
            ErrorLog().find("IniWrite Title: " + ini + ": its code page 932 bytes would read as UTF-8; saved as UTF-8"),
            std::string::npos);
    }

    // Beside that text the file stays code page 932, its lines as they were.
    program.Write("tolv.ini", "[conf]\r\n" + title);
    basic::SaveSetting("Place", text);
    EXPECT_TRUE(ReadText(ini).starts_with("[conf]\r\n" + title));
    EXPECT_EQ(basic::GetSetting("Place", ""), text);
    EXPECT_EQ(basic::GetSetting("Title", ""), "日本語");

    // A registry key file that loses that text goes over to UTF-8 too.
    basic::SettingsIniPath.clear();
    fs::create_directories(fs::path(SectionFile("tolv")).parent_path());
    std::ofstream(SectionFile("tolv"), std::ios::binary) << "Place=" + textcodec::EncodeCp932(text) + "\n" + title;
    ASSERT_EQ(basic::GetSetting("Place", ""), text);
    basic::RegDeleteValue("Title", "tolv");
    EXPECT_EQ(basic::GetSetting("Title", ""), "");
    EXPECT_EQ(basic::GetSetting("Place", ""), text);
    // Nothing failed: the day log tells why, the error log nothing.
    if (ReadText(SectionFile("tolv")) != "Place=" + textcodec::EncodeCp932(text) + "\n") {
        EXPECT_NE(DayLog().find("RegDeleteValue Title: Software\\quorvant\\tolv: its code page 932 bytes would read "
                                "as UTF-8; saved as UTF-8"),
                  std::string::npos);
    }
    EXPECT_EQ(ErrorLog().find("RegDeleteValue"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Texts, Cp932ReadingAsUtf8Setting, testing::ValuesIn(testsupport::Cp932TextsReadingAsUtf8),
                         testsupport::Cp932ReadingAsUtf8Name);

TEST_F(Settings, ALastLineEndingInABareCrReadsWithoutItAndKeepsTheByte)
{
    const std::string ini = program / "tolv.ini";
    basic::SettingsIniPath = ini;
    for (const std::string old : {"[conf]\nLastTlvFilename=/srv/a.txt\r", "[conf]\r\nLastTlvFilename=/srv/a.txt\r"}) {
        program.Write("tolv.ini", old);
        EXPECT_EQ(basic::GetSetting("LastTlvFilename", ""), "/srv/a.txt");
        basic::SaveSetting("Volume", 7);
        EXPECT_TRUE(ReadText(ini).starts_with(old));
        EXPECT_EQ(basic::GetSetting("LastTlvFilename", ""), "/srv/a.txt");
        EXPECT_EQ(basic::GetSetting("Volume", 0), "7");
    }

    program.Write("tolv.ini", "[conf]\r\nTimerInt=40\r");
    EXPECT_EQ(basic::GetSetting("TimerInt", 50), "40");
    basic::SaveSetting("TimerInt", 60);
    EXPECT_EQ(ReadText(ini), "[conf]\r\nTimerInt=60\r");
    EXPECT_EQ(basic::GetSetting("TimerInt", 50), "60");
}

// Old Macintosh line ends, or a file edited across systems.
TEST_F(Settings, ACrAloneEndsALineAndASaveKeepsEveryOtherLineWithItsOwnEnd)
{
    const std::string ini = program / "tolv.ini";
    const auto Stored = [](const std::string& last, textcodec::Encoding encoding) {
        return textcodec::Encode("[conf]\r\nLastTlvFilename=" + last + "\rStudio=喫茶 Bleu\r\nVolume=3\n\rTail=1",
                                 encoding);
    };
    for (const textcodec::Encoding encoding : {textcodec::Encoding::Utf8, textcodec::Encoding::Cp932}) {
        basic::SettingsIniPath = ini;
        program.Write("tolv.ini", Stored("/old.txt", encoding));
        EXPECT_EQ(basic::GetSetting("Studio", ""), "喫茶 Bleu");
        basic::SaveSetting("LastTlvFilename", "/new.txt");
        basic::SaveSetting("Added", "x");
        EXPECT_EQ(ReadText(ini), Stored("/new.txt", encoding) + "\r\nAdded=x\r\n");
        EXPECT_EQ(basic::GetSetting("Tail", 0), "1");

        basic::SettingsIniPath.clear();
        fs::create_directories(fs::path(SectionFile("tolv")).parent_path());
        std::ofstream(SectionFile("tolv"), std::ios::binary | std::ios::trunc)
            << textcodec::Encode("Last=/old.txt\rStudio=喫茶 Bleu\r\n", encoding);
        basic::SaveSetting("Last", "/new.txt");
        EXPECT_EQ(basic::GetSetting("Studio", ""), "喫茶 Bleu");
        basic::RegDeleteValue("Last", "tolv");
        EXPECT_EQ(ReadText(SectionFile("tolv")), textcodec::Encode("Studio=喫茶 Bleu\r\n", encoding));
    }
}

TEST_F(Settings, ADamagedStoreReadsAsDefaultsAndKeepsItsLines)
{
    const std::string damaged = "[conf\nVolume\0=5\n"s + std::string(2'000'000, '=') + "\nKept=1";
    program.Write("tolv.ini", damaged);
    basic::SettingsIniPath = program / "tolv.ini";
    EXPECT_EQ(basic::GetSetting("Missing", "d"), "d");
    const std::string after = ReadText(program / "tolv.ini");
    EXPECT_TRUE(after.starts_with(damaged)) << "the old lines stay as they were";
    EXPECT_EQ(basic::GetSetting("Kept", 0), "1");

    basic::SettingsIniPath.clear();
    fs::create_directories(fs::path(SectionFile("tolv")).parent_path());
    std::ofstream(SectionFile("tolv"), std::ios::binary) << "\0\0garbage\nno separator\n"s;
    EXPECT_EQ(basic::GetSetting("Volume", 4), "4");
    // Zero bytes beside its text: it may be UTF-16 of an order that cannot
    // be told, and takes no 8-bit line.
    basic::SaveSetting("Volume", 6);
    EXPECT_EQ(ReadText(SectionFile("tolv")), "\0\0garbage\nno separator\n"s);
}

// A start saves some 250 settings: a file that takes none (zero bytes, a
// lone surrogate after a UTF-16 mark) is named once per reason, and again
// once a save went through.
TEST_F(Settings, AFileThatRefusesEverySaveIsLoggedOncePerReason)
{
    const std::string ini = program / "tolv.ini", zeroBytes = "[conf]\r\nA=1\r\nB\0=\0\r\0\n\0"s;
    basic::SettingsIniPath = ini;
    for (const std::string& bytes : {zeroBytes, "[conf]\n"s, zeroBytes, "\xFF\xFE[\0c\0\0\xDC"s}) {
        program.Write("tolv.ini", bytes);
        for (int i = 0; i < 250; ++i) {
            basic::SaveSetting("Key" + std::to_string(i % 50), i);
            basic::SaveSetting("A", 1); // as the file holds it
        }
        EXPECT_TRUE(bytes == "[conf]\n" || ReadText(ini) == bytes);
    }
    const std::string log = ErrorLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3) << log;
    EXPECT_NE(log.find("IniWrite Key0: " + ini + ": it holds zero bytes"), std::string::npos) << log;
}

TEST_F(Settings, DefaultsAndValuesAreConvertedToText)
{
    EXPECT_EQ(basic::GetSetting("A", 0), "0");
    EXPECT_EQ(basic::GetSetting("B", -12), "-12");
    EXPECT_EQ(basic::GetSetting("C", 1.5), "1.5");
    EXPECT_EQ(basic::GetSetting("D", 0.1f), "0.1");
    EXPECT_EQ(basic::GetSetting("E", 1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(basic::GetSetting("F", 1e20), "1E+20");
    EXPECT_EQ(basic::GetSetting("G", true), "True");
    EXPECT_EQ(basic::GetSetting("H"), "");
}

} // namespace
