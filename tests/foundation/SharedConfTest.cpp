#include "foundation/SharedConf.h"
#include "foundation/ColumnNames.h"
#include "foundation/HostReachability.h"
#include "foundation/IniFile.h"
#include "foundation/ModuleValues.h"
#include "foundation/ServerFolders.h"
#include "support/ClockFixture.h"
#include "support/FakeNetwork.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using testsupport::ReadText;

std::string Numbered(const char* name, int number)
{
    return name + std::to_string(number);
}

// "conf.ini" beside a program folder of the test's own, or in a local conf
// folder; servers under an unc root of the test's own, reached through a
// resolver and a transport that send nothing.
class SharedConf : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        SetNow(Date(2024, 5, 1), At(9, 0, 0));
        basic::SetAppPath(program.Path());
        basic::LogError = 0;
        const char* old = std::getenv("TOLV_UNC_ROOT");
        previousUncRoot = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        setenv("TOLV_UNC_ROOT", unc.Path().c_str(), 1);
        FCT_Ping::PingCache.clear();
        FCT_Quind::Servers = {};
        FCT_Quind::LocalConfPath.clear();
        FCT_Quind::InitDefaultColumnNames();
        resolver.names["fileserver"] = platform::Ipv4Address{192, 0, 2, 10};
        transport.alive.insert(platform::Ipv4Address{192, 0, 2, 10});
    }
    void TearDown() override
    {
        basic::SetAppPath("");
        if (previousUncRoot) {
            setenv("TOLV_UNC_ROOT", previousUncRoot->c_str(), 1);
        } else {
            unsetenv("TOLV_UNC_ROOT");
        }
        FCT_Ping::PingCache.clear();
        FCT_Quind::Servers = {};
        FCT_Quind::LocalConfPath.clear();
    }

    std::string LocalFile() const { return program / "conf.ini"; }
    std::string Stored(std::string_view key) const { return basic::IniRead(key, "(missing)", LocalFile()); }
    void Store(std::string_view key, std::string_view value) const { basic::IniWrite(key, value, LocalFile()); }
    // The current server at //fileserver/share/ with a "conf.ini" holding text.
    void ServerWithConf(std::string_view text)
    {
        FCT_Quind::Servers[0].SrvPath = "//fileserver/share/";
        FCT_Quind::Servers[0].ConfPath = "//fileserver/share/conf/";
        serverFile = unc.Write("fileserver/share/conf/conf.ini", text);
    }

    testsupport::ScratchFolder program;
    testsupport::ScratchFolder unc;
    testsupport::FakeHostResolver resolver;
    testsupport::FakeEchoTransport transport;
    std::optional<std::string> previousUncRoot;
    std::string serverFile;
};

TEST_F(SharedConf, DefaultColumnNames)
{
    FCT_Quind::ColumnNames.fill("x");
    FCT_Quind::InitDefaultColumnNames();
    EXPECT_EQ(FCT_Quind::ColumnNames, (std::array<std::string, 9>{"ドライブ", "フォルダ", "タイトル", "種別",
                                                                  "再生時間", "開始", "終了", "ユーザー", "更新日時"}));
    EXPECT_EQ(FCT_Quind::SecondColumnNames,
              (std::array<std::string, 6>{"時刻", "Q", "種別", "再生時間", "フォルダ", "タイトル"}));
    EXPECT_EQ(FCT_Quind::AttributeNames, (std::array<std::string, 3>{"隠し", "読み", "読み書き"}));
}

TEST_F(SharedConf, AFirstLoadWritesEveryDefaultAndReadsItBack)
{
    FCT_Quind::LoadSaveSharedConf(0);

    const auto checkValues = [] {
        EXPECT_EQ(FCT_Quind::TriggerStrings, (std::array<std::string, 10>{"TIME", "SEQ", "CNT1", "CNT2", "CNT3", "CNT4",
                                                                          "CNT5", "CNT6", "CNT7", "CNT8"}));
        for (int n = 1; n <= 8; ++n) {
            EXPECT_EQ(FCT_Quind::AirNames[n - 1], Numbered("Air", n));
        }
        EXPECT_EQ(FCT_Quind::AirNameEnd, 9) << "no air name is empty";
        EXPECT_EQ(FCT_Quind::NumRef, 3);
        EXPECT_EQ(FCT_Quind::RefNames, (std::vector<std::string>{"参照1", "参照2", "参照3"}));
        for (int n = 1; n <= 16; ++n) {
            EXPECT_EQ(FCT_Quind::TypeNames[n - 1], Numbered("種別", n));
            EXPECT_EQ(FCT_Quind::TypeColors[n - 1], 0);
            EXPECT_EQ(FCT_Quind::TypeShades[n - 1], 0xFFFFFF) << "colour 0 has a white shade";
        }
        EXPECT_EQ(FCT_Quind::CommandName, "コマンド");
        EXPECT_EQ(FCT_Quind::CommandColor, 0x606060);
        EXPECT_EQ(FCT_Quind::CommandShade, 0x9C9C9C) << "60 lighter in every channel";
        EXPECT_EQ(FCT_Quind::TabVisible, (std::array<std::int32_t, 9>{1, 1, 1, 1, 1, 1, 1, 1, 1}));
        EXPECT_EQ(FCT_Quind::ColumnNames[0], "ドライブ");
        EXPECT_EQ(FCT_Quind::ColumnNames[8], "更新日時");
        EXPECT_EQ(FCT_Quind::HourAdjust, 18000);
        EXPECT_EQ(FCT_Quind::TimeSrv, "");
        EXPECT_EQ(FCT_Quind::UseTime, 0);
        EXPECT_EQ(FCT_Quind::UseUser, 0);
        EXPECT_EQ(FCT_Quind::UserCCUF, 1);
        EXPECT_EQ(FCT_Quind::DefaultClassGB, 0);
    };
    checkValues();

    // Every key is in the file with its default.
    EXPECT_EQ(Stored("TriggerString_1"), "TIME");
    EXPECT_EQ(Stored("TriggerString_2"), "SEQ");
    EXPECT_EQ(Stored("TriggerString_10"), "CNT8");
    EXPECT_EQ(Stored("AirName_8"), "Air8");
    EXPECT_EQ(Stored("NumRef"), "3");
    EXPECT_EQ(Stored("RefName_3"), "参照3");
    EXPECT_EQ(Stored("RefName_4"), "(missing)") << "only NumRef reference names";
    EXPECT_EQ(Stored("TypeName_16"), "種別16");
    EXPECT_EQ(Stored("TypeColor_16"), "0");
    EXPECT_EQ(Stored("CommandName"), "コマンド");
    EXPECT_EQ(Stored("CommandColor"), std::to_string(0x606060));
    EXPECT_EQ(Stored("TabVisible_9"), "1");
    const char* captionKeys[] = {"DriveName",     "FolderName",  "TitleName",      "TypeName",    "LengthName",
                                 "DateNameStart", "DateNameEnd", "UserColumnName", "FiletimeName"};
    for (int column = 0; column < 9; ++column) {
        EXPECT_EQ(Stored(captionKeys[column]), FCT_Quind::DefaultColumnNames[column]);
    }
    EXPECT_EQ(Stored("HourAdjust"), "18000");
    EXPECT_EQ(Stored("TimeSrv"), "");
    EXPECT_EQ(Stored("UseTime"), "0");
    EXPECT_EQ(Stored("UseUser"), "0");
    EXPECT_EQ(Stored("UserCCUF"), "1");
    EXPECT_EQ(Stored("DefaultClassGB"), "0");

    const std::string file = ReadText(LocalFile());
    std::size_t keys = 0;
    for (std::size_t at = file.find('='); at != std::string::npos; at = file.find('=', at + 1)) {
        ++keys;
    }
    EXPECT_EQ(keys, 80U) << file;

    // A second load reads the same values and leaves the file alone.
    FCT_Quind::TriggerStrings.fill("stale");
    FCT_Quind::AirNames.fill("stale");
    FCT_Quind::TypeShades.fill(1);
    FCT_Quind::NumRef = 7;
    FCT_Quind::LoadSaveSharedConf(0);
    checkValues();
    EXPECT_EQ(ReadText(LocalFile()), file);
}

TEST_F(SharedConf, TheLocalCopyLivesInTheLocalConfFolderWhenThatExists)
{
    FCT_Quind::LocalConfPath = program.Path() + "local/conf/";
    EXPECT_EQ(FCT_Quind::LocalSharedConfFile(), LocalFile()) << "the folder does not exist yet";
    program.Folder("local/conf");
    EXPECT_EQ(FCT_Quind::LocalSharedConfFile(), program.Path() + "local/conf/conf.ini");
    FCT_Quind::LoadSaveSharedConf(0);
    EXPECT_TRUE(fs::exists(program.Path() + "local/conf/conf.ini"));
    EXPECT_FALSE(fs::exists(LocalFile()));
}

TEST_F(SharedConf, NumRefIsClampedAndTheReferenceListFollowsIt)
{
    Store("NumRef", "12");
    FCT_Quind::LoadSaveSharedConf(0);
    EXPECT_EQ(FCT_Quind::NumRef, 8);
    ASSERT_EQ(FCT_Quind::RefNames.size(), 8U);
    EXPECT_EQ(FCT_Quind::RefNames[7], "参照8");
    EXPECT_EQ(Stored("NumRef"), "12") << "the shared file is not corrected";

    Store("NumRef", "0");
    FCT_Quind::LoadSaveSharedConf(0);
    EXPECT_EQ(FCT_Quind::NumRef, 1);
    EXPECT_EQ(FCT_Quind::RefNames, std::vector<std::string>{"参照1"});

    Store("NumRef", "-4");
    FCT_Quind::LoadSaveSharedConf(0);
    EXPECT_EQ(FCT_Quind::NumRef, 1);

    Store("NumRef", "five");
    FCT_Quind::LoadSaveSharedConf(0);
    EXPECT_EQ(FCT_Quind::NumRef, 3) << "not a number: the default";
    EXPECT_EQ(FCT_Quind::RefNames.size(), 3U);
}

TEST_F(SharedConf, TriggerStringsEndAtTheFirstEmptyOneFromTheThird)
{
    Store("TriggerString_1", "");
    Store("TriggerString_2", "");
    Store("TriggerString_3", "GPI");
    Store("TriggerString_5", "");
    Store("TriggerString_6", "Six");
    FCT_Quind::TriggerStrings.fill("earlier");
    FCT_Quind::LoadSaveSharedConf(0);

    EXPECT_EQ(FCT_Quind::TriggerStrings[0], "TIME") << "the first two are never empty";
    EXPECT_EQ(FCT_Quind::TriggerStrings[1], "SEQ");
    EXPECT_EQ(FCT_Quind::TriggerStrings[2], "GPI");
    EXPECT_EQ(FCT_Quind::TriggerStrings[3], "CNT2");
    EXPECT_EQ(FCT_Quind::TriggerStrings[4], "");
    for (int n = 6; n <= 10; ++n) {
        EXPECT_EQ(FCT_Quind::TriggerStrings[n - 1], "earlier") << "trigger " << n << " is not read";
    }
    EXPECT_EQ(Stored("TriggerString_7"), "(missing)");
}

TEST_F(SharedConf, AirNamesEndAtTheFirstEmptyOneWhoseNumberIsKept)
{
    Store("AirName_1", "FM");
    Store("AirName_3", "");
    Store("AirName_4", "Four");
    FCT_Quind::AirNames.fill("earlier");
    FCT_Quind::LoadSaveSharedConf(0);
    EXPECT_EQ(FCT_Quind::AirNames[0], "FM");
    EXPECT_EQ(FCT_Quind::AirNames[1], "Air2");
    EXPECT_EQ(FCT_Quind::AirNames[2], "");
    EXPECT_EQ(FCT_Quind::AirNames[3], "earlier");
    EXPECT_EQ(FCT_Quind::AirNameEnd, 3);

    Store("AirName_1", "");
    FCT_Quind::LoadSaveSharedConf(0);
    EXPECT_EQ(FCT_Quind::AirNameEnd, 1);
}

TEST_F(SharedConf, ColoursGetLighterShadesAndTextsAreCleaned)
{
    Store("TypeColor_1", std::to_string(0x102030));
    Store("TypeColor_2", std::to_string(0xF0F0F0));
    Store("TypeColor_3", "red");
    Store("CommandColor", std::to_string(0x0000FF));
    Store("TimeSrv", "\\\\timehost\\");
    Store("TypeName", "Kind");
    Store("LengthName", "Length");
    Store("FolderName", "Folder");
    Store("TitleName", "Title");
    FCT_Quind::LoadSaveSharedConf(0);

    EXPECT_EQ(FCT_Quind::TypeShades[0], 0x4C5C6C);
    EXPECT_EQ(FCT_Quind::TypeShades[1], 0xFFFFFF) << "channels stop at 255";
    EXPECT_EQ(FCT_Quind::TypeColors[2], 0) << "not a number: the default";
    EXPECT_EQ(FCT_Quind::TypeShades[2], 0xFFFFFF);
    EXPECT_EQ(FCT_Quind::CommandShade, 0x3C3CFF);
    EXPECT_EQ(FCT_Quind::TimeSrv, "timehost");
    EXPECT_EQ(FCT_Quind::SecondColumnNames,
              (std::array<std::string, 6>{"時刻", "Q", "Kind", "Length", "Folder", "Title"}));
}

TEST_F(SharedConf, TheServerCopyReplacesTheLocalOneWhenTheServerAnswers)
{
    Store("TriggerString_3", "Local");
    ServerWithConf("[conf]\nTriggerString_3=Server\n");
    FCT_Quind::LoadSaveSharedConf(0);
    EXPECT_EQ(FCT_Quind::TriggerStrings[2], "Server");
    ASSERT_EQ(transport.probes.size(), 1U);
    EXPECT_EQ(transport.probes[0].timeoutMs, 1500);
    EXPECT_EQ(Stored("TriggerString_4"), "CNT2") << "the copy is completed locally";
    EXPECT_EQ(ReadText(serverFile), "[conf]\nTriggerString_3=Server\n") << "the server copy is never written";

    // Within 300 s the earlier answer serves; after that the host is asked again.
    clock.Advance(300'000);
    FCT_Quind::LoadSaveSharedConf(0);
    EXPECT_EQ(transport.probes.size(), 1U);
    clock.Advance(1'000);
    FCT_Quind::LoadSaveSharedConf(0);
    EXPECT_EQ(transport.probes.size(), 2U);
}

TEST_F(SharedConf, AServerThatDoesNotAnswerLeavesTheLocalCopyAsItWas)
{
    Store("TriggerString_3", "Local");
    ServerWithConf("[conf]\nTriggerString_3=Server\n");
    transport.alive.clear();
    FCT_Quind::LoadSaveSharedConf(0);
    EXPECT_EQ(FCT_Quind::TriggerStrings[2], "Local");
    EXPECT_EQ(transport.probes.size(), 1U);

    // Answering, but without a "conf.ini": the local copy stays too.
    transport.alive.insert(platform::Ipv4Address{192, 0, 2, 10});
    FCT_Ping::PingCache.clear();
    fs::remove(serverFile);
    FCT_Quind::LoadSaveSharedConf(0);
    EXPECT_EQ(FCT_Quind::TriggerStrings[2], "Local");
}

TEST_F(SharedConf, AServerFolderOnThisMachineIsCopiedWithoutAnyHostCheck)
{
    Store("TriggerString_3", "Local");
    const std::string server = program.Folder("server");
    program.Write("server/conf/conf.ini", "[conf]\nTriggerString_3=Mounted\n");
    FCT_Quind::Servers[0].SrvPath = server;
    FCT_Quind::Servers[0].ConfPath = server + "conf/";
    FCT_Quind::LoadSaveSharedConf(0);
    EXPECT_EQ(FCT_Quind::TriggerStrings[2], "Mounted");
    EXPECT_TRUE(transport.probes.empty());
    EXPECT_TRUE(resolver.lookups.empty());
}

TEST_F(SharedConf, WithoutACurrentServerOnlyTheLocalCopyIsRead)
{
    // A relative "conf/conf.ini" must not be taken from the working folder.
    program.Write("conf/conf.ini", "[conf]\nTriggerString_3=Stray\n");
    const fs::path workingFolder = fs::current_path();
    fs::current_path(program.Path());
    FCT_Quind::LoadSaveSharedConf(0);
    fs::current_path(workingFolder);
    EXPECT_EQ(FCT_Quind::TriggerStrings[2], "CNT1");
    EXPECT_TRUE(transport.probes.empty());
}

} // namespace
