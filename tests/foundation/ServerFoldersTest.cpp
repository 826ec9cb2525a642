#include "foundation/ServerFolders.h"
#include "foundation/DayLog.h"
#include "foundation/IniFile.h"
#include "foundation/ModuleValues.h"
#include "foundation/ServerIndex.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using testsupport::ReadText;

// Server settings in the INI store "tolv.ini" beside a program folder of the
// test's own.
class ServerFolders : public testing::Test {
protected:
    void SetUp() override
    {
        basic::SetAppPath(program.Path());
        basic::SettingsIniPath.clear();
        basic::SettingsStoreName = "tolv";
        basic::LogError = 1;
        basic::DailyLogNames = 0;
        basic::LogFolder = logs.Path();
        program.Write("tolv.ini", "[conf]\n");
        Reset();
    }
    void TearDown() override
    {
        Reset();
        basic::SetAppPath("");
        basic::SettingsStoreName.clear();
        basic::LogFolder.clear();
        basic::LogError = 0;
    }
    static void Reset()
    {
        FCT_Quind::Servers = {};
        FCT_Quind::LocalPath.clear();
    }
    void Store(std::string_view key, std::string_view value) const
    {
        basic::IniWrite(key, value, program / "tolv.ini");
    }
    std::string Stored(std::string_view key) const { return basic::IniRead(key, "(missing)", program / "tolv.ini"); }
    std::string DayLog() const { return ReadText(logs.Path() + basic::ComputerName() + " - tolv.log"); }

    testsupport::ScratchFolder program;
    testsupport::ScratchFolder logs;
    testsupport::ScratchFolder disk;
};

TEST_F(ServerFolders, AServerPathStoredWithoutATrailingSeparatorIsUsedAndLoggedWithOne)
{
    Store("SrvPath_1", "/data/sounds");
    Store("SrvPath_2", "\\\\fs01\\jingles");
    Store("SrvName_2", "Jingles");
    Store("LocalPath", disk.Path() + "local");
    FCT_Quind::LoadSaveServerSettings(0, "tolv");

    EXPECT_EQ(FCT_Quind::Servers[0].SrvPath, "/data/sounds/");
    EXPECT_EQ(FCT_Quind::Servers[0].ConfPath, "/data/sounds/conf/");
    EXPECT_EQ(FCT_Quind::Servers[1].SrvPath, "\\\\fs01\\jingles\\") << "a path written on Windows keeps its separators";
    EXPECT_EQ(FCT_Quind::Servers[1].ConfPath, "\\\\fs01\\jingles\\conf\\");
    EXPECT_EQ(FCT_Quind::Servers[1].SrvName, "Jingles");
    EXPECT_EQ(FCT_Quind::SrvSchedPath, "/data/sounds/sched/");
    EXPECT_EQ(FCT_Quind::SrvCommandPath, "/data/sounds/command/");
    EXPECT_EQ(FCT_Quind::SrvLogPath, "/data/sounds/log/");
    EXPECT_EQ(FCT_Quind::LocalPath, disk.Path() + "local/");
    EXPECT_EQ(FCT_Quind::LocalConfPath, disk.Path() + "local/conf/");
    EXPECT_EQ(FCT_Quind::LocalSchedPath, disk.Path() + "local/sched/");
    EXPECT_EQ(FCT_Quind::LocalLogPath, disk.Path() + "local/log/");
    EXPECT_EQ(FCT_Quind::LocalCommandPath, disk.Path() + "local/command/");

    const std::string log = DayLog();
    EXPECT_NE(log.find(" SrvPath_1=/data/sounds/\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find(" SrvPath_2=\\\\fs01\\jingles\\\r\n"), std::string::npos) << log;
    EXPECT_LT(log.find("SrvPath_1="), log.find("SrvPath_2="));
}

TEST_F(ServerFolders, TheCurrentServerAlwaysKeepsTipsAndIsWritable)
{
    Store("SrvPath_1", "/data/a/");
    Store("SaveTip_1", "0");
    Store("SrvRO_1", "1");
    Store("SaveTip_2", "0");
    Store("SrvRO_2", "1");
    FCT_Quind::LoadSaveServerSettings(0, "tolv");
    EXPECT_EQ(FCT_Quind::Servers[0].SaveTip, 1);
    EXPECT_EQ(FCT_Quind::Servers[0].SrvRO, 0);
    EXPECT_EQ(FCT_Quind::Servers[1].SaveTip, 0);
    EXPECT_EQ(FCT_Quind::Servers[1].SrvRO, 1);

    // Unset servers: no folders, sub-folders used, defaults written back.
    EXPECT_EQ(FCT_Quind::Servers[3].ConfPath, "");
    EXPECT_EQ(FCT_Quind::Servers[3].UseSubFolder, 1);
    EXPECT_EQ(Stored("UseSubFolder_4"), "1");
    EXPECT_NE(DayLog().find(" SrvPath_4=\r\n"), std::string::npos);
}

TEST_F(ServerFolders, AFolderThatIsNoLongerSetTakesItsDerivedFoldersAlong)
{
    Store("SrvPath_1", "/data/a/");
    Store("LocalPath", "/data/local/");
    FCT_Quind::LoadSaveServerSettings(0, "tolv");
    ASSERT_EQ(FCT_Quind::SrvLogPath, "/data/a/log/");
    Store("SrvPath_1", "");
    Store("LocalPath", "");
    FCT_Quind::LoadSaveServerSettings(0, "tolv");
    EXPECT_EQ(FCT_Quind::SrvLogPath, "");
    EXPECT_EQ(FCT_Quind::LocalConfPath, "");
}

TEST_F(ServerFolders, SavedSettingsReadBackAndFlagsThatAreNoNumbersKeepTheirDefaults)
{
    FCT_Quind::Servers[0].SrvPath = "/data/a/";
    FCT_Quind::Servers[2].SrvPath = "//fs/share/";
    FCT_Quind::Servers[2].SrvName = "共有";
    FCT_Quind::Servers[2].SrvAutoFast = 1;
    FCT_Quind::Servers[2].SrvExpanded = 1;
    FCT_Quind::Servers[2].UseSubFolder = 0;
    FCT_Quind::Servers[2].SrvRO = 1;
    FCT_Quind::LocalPath = "/data/local/";
    FCT_Quind::LoadSaveServerSettings(1, "tolv");
    EXPECT_EQ(Stored("SrvPath_3"), "//fs/share/");
    EXPECT_EQ(Stored("SrvName_3"), "共有");
    EXPECT_EQ(Stored("LocalPath"), "/data/local/");

    Reset();
    FCT_Quind::LoadSaveServerSettings(0, "tolv");
    const FCT_Quind::ServerFolder& third = FCT_Quind::Servers[2];
    EXPECT_EQ(third.SrvPath, "//fs/share/");
    EXPECT_EQ(third.SrvName, "共有");
    EXPECT_EQ(third.SrvAutoFast, 1);
    EXPECT_EQ(third.SrvExpanded, 1);
    EXPECT_EQ(third.UseSubFolder, 0);
    EXPECT_EQ(third.SrvRO, 1);
    EXPECT_EQ(FCT_Quind::LocalPath, "/data/local/");

    Store("UseSubFolder_3", "yes");
    Store("SrvRO_3", "");
    FCT_Quind::LoadSaveServerSettings(0, "tolv");
    EXPECT_EQ(FCT_Quind::Servers[2].UseSubFolder, 1);
    EXPECT_EQ(FCT_Quind::Servers[2].SrvRO, 0);
}

TEST_F(ServerFolders, ASisterProgramSharesTheLocalFolderOfTheOthers)
{
    program.Write("tolv.ini", "[conf]\n");
    program.Write("quindle.ini", "[conf]\n");
    program.Write("pimlox.ini", "[conf]\nLocalPath=/own/folder\n");
    const std::string tolvFolder = disk.Folder("tolv-local");
    const std::string quindleFolder = disk.Folder("quindle-local");

    basic::IniWrite("LocalPath", quindleFolder, program / "quindle.ini");
    EXPECT_EQ(FCT_Quind::ReadLocalPath("pimlox", "pimlox"), quindleFolder) << "tolv has none: quindle's";
    basic::IniWrite("LocalPath", tolvFolder, program / "tolv.ini");
    EXPECT_EQ(FCT_Quind::ReadLocalPath("pimlox", "pimlox"), tolvFolder);
    basic::IniWrite("LocalPath", disk.Path() + "gone", program / "tolv.ini");
    EXPECT_EQ(FCT_Quind::ReadLocalPath("pimlox", "pimlox"), program.Path()) << "a missing folder: the program's own";

    EXPECT_EQ(FCT_Quind::ReadLocalPath("tolv", "pimlox"), "/own/folder/") << "any other title reads its own store";
}

TEST_F(ServerFolders, LocalFoldersAreCreatedOnlyInsideAnExistingLocalFolder)
{
    FCT_Quind::LocalPath = disk.Path() + "missing/";
    EXPECT_EQ(FCT_Quind::CreateLocalFolders(), 0);
    EXPECT_FALSE(fs::exists(disk.Path() + "missing"));
    FCT_Quind::LocalPath.clear();
    EXPECT_EQ(FCT_Quind::CreateLocalFolders(), 0);

    FCT_Quind::LocalPath = disk.Folder("local");
    disk.Write("local/sched/keep.txt", "kept");
    EXPECT_EQ(FCT_Quind::CreateLocalFolders(), 1);
    for (const char* name : {"conf", "sched", "log", "command"}) {
        EXPECT_TRUE(fs::is_directory(disk.Path() + "local/" + name)) << name;
    }
    EXPECT_EQ(ReadText(disk.Path() + "local/sched/keep.txt"), "kept");
}

// The server index and relative folders.
class ServerIndex : public testing::Test {
protected:
    void SetUp() override { FCT_Quind::Servers = {}; }
    void TearDown() override
    {
        FCT_Quind::Servers = {};
        FCT_Quind::LocalPath.clear();
    }
};

TEST_F(ServerIndex, TheSearchStopsAtTheFirstServerWithoutAFolder)
{
    FCT_Quind::Servers[0].SrvPath = "/srv/a/";
    FCT_Quind::Servers[2].SrvPath = "/srv/c/";
    EXPECT_EQ(FCT_Quind::FindServerIndex("/srv/a/x.wav"), 0);
    EXPECT_EQ(FCT_Quind::FindServerIndex("/srv/c/x.wav"), -1);
    FCT_Quind::Servers[1].SrvPath = "/srv/b/";
    EXPECT_EQ(FCT_Quind::FindServerIndex("/srv/c/x.wav"), 2);
}

TEST_F(ServerIndex, AFileBelowAServerFolderInOtherLetterCaseOrSeparatorsFindsIt)
{
    FCT_Quind::Servers[0].SrvPath = "//FS01/Sounds/";
    FCT_Quind::Servers[1].SrvPath = "\\\\fs02\\jingles\\";
    EXPECT_EQ(FCT_Quind::FindServerIndex("//fs01/sounds/News/a.wav"), 0);
    EXPECT_EQ(FCT_Quind::GetServerRelativePath(0, "//fs01/sounds/News/a.wav"), "News/");
    EXPECT_EQ(FCT_Quind::FindServerIndex("//FS02/Jingles/b.wav"), 1);
    EXPECT_EQ(FCT_Quind::FindServerIndex("\\\\fs01\\SOUNDS\\a.wav"), 0);

    EXPECT_EQ(FCT_Quind::FindServerIndex("//fs01/soundsX/a.wav"), -1);
    EXPECT_EQ(FCT_Quind::FindServerIndex("//fs01/sound"), -1) << "shorter than the server folder";
    EXPECT_EQ(FCT_Quind::FindServerIndex("/home/op/a.wav"), -1);
    EXPECT_EQ(FCT_Quind::FindServerIndex(""), -1);
}

TEST_F(ServerIndex, RelativeFoldersOfFilesInAndBelowAServerFolder)
{
    FCT_Quind::Servers[0].SrvPath = "/srv/a/";
    EXPECT_EQ(FCT_Quind::GetServerRelativePath(0, "/srv/a/x.wav"), "") << "directly in the server folder";
    EXPECT_EQ(FCT_Quind::GetServerRelativePath(0, "/SRV/A/Sub/x.wav"), "Sub/");
    EXPECT_EQ(FCT_Quind::GetServerRelativePath(0, "/srv/a/one/two/x.wav"), "one/two/");
    EXPECT_EQ(FCT_Quind::GetServerRelativePath(0, "/srv/a\\one\\x.wav"), "one\\");
    EXPECT_EQ(FCT_Quind::GetServerRelativePath(0, "/srv/other/x.wav"), "");
    EXPECT_EQ(FCT_Quind::GetServerRelativePath(1, "/srv/a/one/x.wav"), "") << "server 2 has no folder";
    EXPECT_EQ(FCT_Quind::GetServerRelativePath(4, "/srv/a/one/x.wav"), "");
    EXPECT_EQ(FCT_Quind::GetServerRelativePath(-2, "/srv/a/one/x.wav"), "");

    FCT_Quind::LocalPath = "/cache/";
    EXPECT_EQ(FCT_Quind::GetServerRelativePath(-1, "/cache/one/x.wav"), "one/");
}

TEST(QuindWord, LowByteFirst)
{
    EXPECT_EQ(FCT_Quind::MakeWord(1, 1), 257);
    EXPECT_EQ(FCT_Quind::MakeWord(0x34, 0x12), 0x1234);
    EXPECT_EQ(FCT_Quind::MakeWord(255, 255), 65535);
}

} // namespace
