// The start-up: sessions, settings store, logging and error mode, log-on
// rule, splash and the order of the late steps.
#include "ShellFixture.h"

#include "foundation/DayLog.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/SessionValues.h"
#include "foundation/SubClass.h"
#include "mainwindow/Sessions.h"
#include "platform/SessionEndpoint.h"
#include "platform/base/LogSink.h"
#include "support/HelperProcess.h"
#include "support/LargeWorkArea.h"

#include <QMenu>

#include <gmock/gmock.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

using shelltest::ShellFixture;
using testing::ElementsAre;
using testing::HasSubstr;
using testsupport::HelperProcess;
using Outcome = FrmMain::StartOutcome;

// Another start of the program holding a session, as far as the lock goes.
std::unique_ptr<HelperProcess> Hold(const std::string& caption)
{
    auto holder = std::make_unique<HelperProcess>("tolv_test_session", std::vector<std::string>{"hold", caption});
    EXPECT_EQ(holder->ReadLine(), "claimed") << caption;
    return holder;
}

class Startup : public ShellFixture {};

TEST(SessionTokens, OnlyAWholeLetterOrDigitTokenNamesASession)
{
    EXPECT_EQ(Sessions::NamedSession("A"), 0);
    EXPECT_EQ(Sessions::NamedSession("/B"), 1);
    EXPECT_EQ(Sessions::NamedSession("3"), 2);
    EXPECT_EQ(Sessions::NamedSession("X=20 /4"), 3);
    EXPECT_EQ(Sessions::NamedSession("\"D\" C:\\shows\\a.txt"), 3);
    // The first session that is named wins, not the first token.
    EXPECT_EQ(Sessions::NamedSession("C A"), 0);
    // Options and paths are no session tokens, nor are small letters.
    EXPECT_EQ(Sessions::NamedSession("B=1"), -1);
    EXPECT_EQ(Sessions::NamedSession("C:\\shows\\a.txt"), -1);
    EXPECT_EQ(Sessions::NamedSession("//server/share/a.txt"), -1);
    EXPECT_EQ(Sessions::NamedSession("/home/op/D"), -1);
    EXPECT_EQ(Sessions::NamedSession("b"), -1);
    EXPECT_EQ(Sessions::NamedSession("5 E //"), -1);
    EXPECT_EQ(Sessions::NamedSession(""), -1);
}

TEST(SessionTokens, SessionNamesAndCaptions)
{
    EXPECT_EQ(Sessions::SessionName(0), "tolv");
    EXPECT_EQ(Sessions::SessionName(3), "tolvD");
    EXPECT_EQ(Sessions::SessionCaption(2), "tolvC - Quorvant");
}

TEST_F(Startup, SessionsOnTakeTheFirstFreeSessionWithItsOwnStore)
{
    Store("UseMultiSession", "1");
    program.Write("tolvC.ini", "[conf]\n");
    const auto first = Hold(Sessions::SessionCaption(0));
    const auto second = Hold(Sessions::SessionCaption(1));

    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(basic::SessionIndex, 2);
    EXPECT_EQ(basic::SettingsStoreName, "tolvC");
    EXPECT_EQ(window->Caption(), "tolvC - Quorvant");
    EXPECT_EQ(basic::SettingsIniPath, program / "tolvC.ini");
    EXPECT_TRUE(platform::SessionRunning("tolvC - Quorvant"));
    // Its log files carry its session name.
    EXPECT_THAT(DayLog(), HasSubstr("***正常起動***"));
    bool named = false;
    for (const auto& entry : std::filesystem::directory_iterator(logs.Path())) {
        named = named || entry.path().filename().string().ends_with(" - tolvC.log");
    }
    EXPECT_TRUE(named);
}

TEST_F(Startup, ANamedFreeSessionIsTakenEvenWhenAnEarlierOneIsFree)
{
    Store("UseMultiSession", "1");
    ASSERT_EQ(Start("2"), Outcome::Running);
    EXPECT_EQ(basic::SessionIndex, 1);
    EXPECT_EQ(window->Caption(), "tolvB - Quorvant");
    // Without its own INI file session B keeps the store of the first choice.
    EXPECT_EQ(basic::SettingsIniPath, "");
}

TEST_F(Startup, ARunningNamedSessionGetsTheWholeCommandLineAndThisStartEnds)
{
    Store("UseMultiSession", "1");
    HelperProcess running("tolv_test_receiver", {"serve", Sessions::SessionCaption(1)});
    ASSERT_EQ(running.ReadLine(), "claimed");

    const std::string commandLine = "/B \"C:\\shows\\morning show.txt\"";
    EXPECT_EQ(Start(commandLine), Outcome::HandedOver);
    EXPECT_EQ(running.ReadLine(), commandLine);
    EXPECT_EQ(running.Finish(), 0);

    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->State.Running, 0);
    EXPECT_FALSE(platform::SessionRunning(Sessions::SessionCaption(0)));
    EXPECT_THAT(DayLog(), testing::Not(HasSubstr("***正常起動***")));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Startup, SessionZeroIsReachedByItsCaptionAlone)
{
    Store("UseMultiSession", "1");
    HelperProcess running("tolv_test_receiver", {"serve", Sessions::SessionCaption(0)});
    ASSERT_EQ(running.ReadLine(), "claimed");
    EXPECT_EQ(Start("1"), Outcome::HandedOver);
    EXPECT_EQ(running.ReadLine(), "1");
    EXPECT_EQ(running.Finish(), 0);
}

TEST_F(Startup, AllFourSessionsTakenEndsWithoutAMessage)
{
    Store("UseMultiSession", "1");
    std::vector<std::unique_ptr<HelperProcess>> holders;
    for (int i = 0; i < Sessions::Count; ++i) {
        holders.push_back(Hold(Sessions::SessionCaption(i)));
    }
    EXPECT_EQ(Start("C:\\shows\\a.txt"), Outcome::NoFreeSession);
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(ports.Log.Calls().empty());
}

TEST_F(Startup, WithoutSessionsAnyRunningInstanceEndsTheNewOne)
{
    const auto other = Hold(Sessions::SessionCaption(1));
    EXPECT_EQ(Start("B"), Outcome::AlreadyRunning);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Startup, WithoutSessionsTheProgramIsSessionZero)
{
    ASSERT_EQ(Start("C"), Outcome::Running);
    EXPECT_EQ(basic::SessionIndex, 0);
    EXPECT_EQ(window->Caption(), "tolv - Quorvant");
}

TEST_F(Startup, AnIniFileNamedAfterTheProgramIsTheStore)
{
    program.Write("tolv.ini", "[conf]\nKeyPage=2\n");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(basic::SettingsIniPath, program / "tolv.ini");
    EXPECT_EQ(window->State.KeyTarget, 2);
    // Keys read and missing were written back with their defaults.
    EXPECT_THAT(testsupport::ReadText(program / "tolv.ini"), HasSubstr("LogError=1"));
}

TEST_F(Startup, LogOnRequiredWithoutAUserEndsAfterTheMessage)
{
    Store("NeedLogOn", "1");
    EXPECT_EQ(Start(), Outcome::LogOnRequired);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "ログオンしてください");
    EXPECT_EQ(boxes[0].title, "");
    EXPECT_EQ(boxes[0].style & 0x70, platform::IconStop);
    EXPECT_FALSE(window->isVisible());
    EXPECT_THAT(DayLog(), testing::Not(HasSubstr("***正常起動***")));
}

TEST_F(Startup, LogOnRequiredWithAUserOfGroupZeroHidesTheChangingItems)
{
    Store("NeedLogOn", "1");
    // The unused-cache item shows only with a folder of assign tables.
    Store("TlvTxtPath", "/srv/tables");
    SetCommon({{"CurrentQuorUser", "aiko"}, {"CurrentQuorUserGroup", "0"}});
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(basic::CurrentQuorUser, "aiko");
    EXPECT_FALSE(window->MenuHelp->At(1)->isVisible());
    EXPECT_FALSE(window->MenuConf->isVisible());
    EXPECT_FALSE(window->MenuCache->At(2)->isVisible());
    EXPECT_TRUE(window->MenuHelp->At(2)->isVisible());
    EXPECT_TRUE(window->MenuCache->At(1)->isVisible());
}

TEST_F(Startup, AUserOfAnotherGroupKeepsEveryItem)
{
    Store("NeedLogOn", "1");
    SetCommon({{"CurrentQuorUser", "ken"}, {"CurrentQuorUserGroup", "3"}});
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(basic::CurrentQuorUserGroup, 3);
    EXPECT_TRUE(window->MenuHelp->At(1)->isVisible());
    EXPECT_TRUE(window->MenuConf->isVisible());
    EXPECT_TRUE(window->MenuCache->At(2)->isVisible());
}

TEST_F(Startup, ECTxtBesideTheProgramSwitchesTheErrorModeOnAndLeavesTheWindowAlone)
{
    Store("ErrorCatch", "0");
    program.Write("ec.txt", "");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(basic::ErrorCatch, 1);
    EXPECT_EQ(window->State.Subclassed, 0);
    EXPECT_EQ(FCT_SubClass::FindSubclassSlot(window.get()), -1);
    // No hand-over is received, and a later start learns that its command
    // line was not taken rather than that it was.
    HelperProcess second("tolv_test_session", {"send", "tolv", "X=20 //host/share/a.txt"});
    EXPECT_EQ(second.Finish(), 0);
    EXPECT_FALSE(window->ApplyHandedOverCommandLine());
    EXPECT_NE(DayLog().find("Hand-over refused"), std::string::npos);
}

TEST_F(Startup, WithoutECTxtTheWindowTakesHandOvers)
{
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(basic::ErrorCatch, 0);
    EXPECT_EQ(window->State.Subclassed, 1);
    EXPECT_GE(FCT_SubClass::FindSubclassSlot(window.get()), 0);
}

TEST_F(Startup, ErrorCatchStoredOnIsTheErrorModeToo)
{
    Store("ErrorCatch", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(basic::ErrorCatch, 1);
    EXPECT_EQ(window->State.Subclassed, 0);
}

TEST_F(Startup, TheSplashShowsAndStaysHalfASecondOnlyWhenItsPictureExists)
{
    const std::string picture = program.Write("tolv_splash.bmp", "BM");
    const std::int64_t before = clock.TotalMs();
    ASSERT_EQ(Start(), Outcome::Running);
    const std::vector<std::string> splash = ports.Log.Starting("Splash.");
    EXPECT_THAT(splash, ElementsAre("Splash.Show " + picture, "Splash.Unload"));
    EXPECT_GE(clock.TotalMs() - before, 500);
    // Gone before the settings apply builds the window.
    EXPECT_LT(ports.Log.IndexOf("Splash.Unload"), ports.Log.IndexOf("SetFadeParm"));
}

TEST_F(Startup, NoSplashPictureNoSplashAndNoWait)
{
    const std::int64_t before = clock.TotalMs();
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_TRUE(ports.Log.Starting("Splash.").empty());
    EXPECT_LT(clock.TotalMs() - before, 500);
}

TEST_F(Startup, LogsGoToTheFolderOfCommonWithDailyNames)
{
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(basic::LogFolder, logs.Path());
    EXPECT_EQ(basic::DailyLogNames, 1);
    EXPECT_EQ(DayLogEntries().back(), "***正常起動***");
    EXPECT_TRUE(std::filesystem::exists(logs / ("20260310 - " + basic::ComputerName() + " - tolv.log")));
    // The platform layer's failures reach the day log too.
    platform::Log("Test failure of the platform layer", 1);
    EXPECT_THAT(ErrorLog(), HasSubstr("Test failure of the platform layer"));
}

TEST_F(Startup, WithoutALogFolderInCommonTheLogIsBesideTheProgram)
{
    registry.Write("config/Quorvant-registry/software/quorvant/common.conf", "");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(basic::LogFolder, program.Path() + "log/");
    EXPECT_TRUE(std::filesystem::exists(program / ("log/20260310 - " + basic::ComputerName() + " - tolv.log")));
}

TEST_F(Startup, OnlyLogFilesOlderThanNinetyDaysArePruned)
{
    const std::string oldLog = logs.Write("20251201 - pc - tolv.log", "old");
    const std::string oldErr = logs.Write("20251201 - pc - tolv.err", "old");
    const std::string recentLog = logs.Write("20260101 - pc - tolv.log", "recent");
    const std::string oldOther = logs.Write("notes.txt", "keep");
    const std::string nested = logs.Write("archive/20251201 - pc - tolv.log", "keep");
    for (const std::string& path : {oldLog, oldErr, oldOther, nested}) {
        testsupport::SetLocalFileTime(path, 2025, 12, 1, 12, 0, 0);
    }
    // Ninety days before the start is 2025-12-10 10:00.
    testsupport::SetLocalFileTime(recentLog, 2025, 12, 10, 11, 0, 0);

    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_FALSE(std::filesystem::exists(oldLog));
    EXPECT_FALSE(std::filesystem::exists(oldErr));
    EXPECT_TRUE(std::filesystem::exists(recentLog));
    EXPECT_TRUE(std::filesystem::exists(oldOther));
    EXPECT_TRUE(std::filesystem::exists(nested));
}

TEST_F(Startup, TheSwitchesOfTheLastRunReturnThroughTheirLabels)
{
    // One player per output: the FADE label is not in use.
    Store("NumOut", "2");
    Store("FadeOn_1", "1");
    Store("STBYActive_1", "1");
    Store("STBYActive_2", "1");
    Store("IsList_2", "1");
    Store("DispTimer_2", "1");
    Store("TimerActive_2", "1");
    Store("TimerActive_1", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_TRUE(ports.Log.Starting("TextFade_MouseUD").empty());
    EXPECT_THAT(ports.Log.Starting("TextSTBY_MouseUD"), ElementsAre("TextSTBY_MouseUD 0 1 0 0"));
    EXPECT_THAT(ports.Log.Starting("TextTimer_MouseUD"), ElementsAre("TextTimer_MouseUD 1 1 0 0"));
}

TEST_F(Startup, FadeModeReturnsOnABackEndWithThreePlayers)
{
    Store("PlayerType", "1");
    Store("FadeOn_1", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_THAT(ports.Log.Starting("TextFade_MouseUD"), ElementsAre("TextFade_MouseUD 0 1 0 0"));
}

TEST_F(Startup, TheWindowIsPlacedFromTheBigDisplaysKeysWhenItIsOn)
{
    // A work area that holds the large display's window where it is stored.
    const testsupport::LargeWorkArea area;
    Store("DispBig", "1");
    Store("WindowLeft_Big", "1500");
    Store("WindowTop_Big", "750");
    Store("WindowLeft", "3000");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(window->State.DispBig, 1);
    EXPECT_EQ(window->Left(), 1500);
    EXPECT_EQ(window->Top(), 750);
}

TEST_F(Startup, TheLateStepsRunInTheirOrder)
{
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(window->State.Running, 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->PictureAll->isVisible());
    EXPECT_EQ(window->TimerUpdate.Interval(), 50);
    EXPECT_EQ(window->TimerRC.Interval(), 50);
    EXPECT_EQ(window->State.LastTimerStamp, "2026/03/10 10:00:00");
    EXPECT_THAT(parms::ModeCaption[1][0] + parms::ModeCaption[2][0] + parms::ModeCaption[3][0], "MLT");
    EXPECT_EQ(parms::TipFieldNameIndex, (std::array<std::int32_t, 5>{1, 3, 5, 6, 7}));
    // The file-transfer control is set up before the settings apply, and with
    // no file named the session's default file is opened last.
    EXPECT_LT(ports.Log.IndexOf("FH1.Init 1"), ports.Log.IndexOf("SetFadeParm"));
    EXPECT_LT(ports.Log.IndexOf("FH1.Init 1"), ports.Log.IndexOf("FH1.DispFN 2"));
    EXPECT_EQ(ports.Log.Calls().back(), "OpenSaveAssignFile 0 ");
    // Every page of every output starts with an empty list.
    for (const ListPage& page : window->State.ListTable) {
        ASSERT_EQ(page.Items.size(), 1u);
        EXPECT_EQ(page.Items[0].FileName, "");
        EXPECT_EQ(page.Seq, std::vector<std::int32_t>{0});
    }
}

TEST_F(Startup, TheOpenDialogComesFirstWhenAskedFor)
{
    Store("ShowDlg", "1");
    Store("OpenLast", "1");
    const std::string last = program.Write("last.txt", "");
    Store("LastTlvFilename", last);
    ASSERT_EQ(Start(), Outcome::Running);
    // The dialog was cancelled (nothing set), so the last file is opened.
    EXPECT_LT(ports.Log.IndexOf("MenuFile_Click 0"), ports.Log.IndexOf("OpenSaveAssignFile 0 " + last));
}

TEST_F(Startup, AFileOnTheCommandLineIsOpened)
{
    ASSERT_EQ(Start("\"C:\\shows\\big night.txt\""), Outcome::Running);
    EXPECT_GE(ports.Log.IndexOf("OpenSaveAssignFile 0 C:\\shows\\big night.txt"), 0);
}

} // namespace

namespace {

TEST_F(Startup, OldTemporaryFilesOfInterruptedSavesGoAtTheStartYoungOnesStay)
{
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    const std::string tables = program.Folder("tables");
    Store("LastTlvFilename", tables + "show.txt");
    // What saves killed before their rename left, an hour and more ago.
    std::vector<std::string> old{program.Write(".tolv.ini.tolv-4711-0", "[conf"),
                                 program.Write(".tolv.txt.tolv-4711-3", "\"Button_01"),
                                 program.Write("tables/.show.txt.tolv-99-12", "\"But"),
                                 registry.Write("config/Quorvant-registry/software/quorvant/.tolv.conf.tolv-5-1", "K")};
    for (const std::string& path : old) {
        testsupport::SetFileTimeSeconds(path, now - 3601);
    }
    // Another session may be saving now; and names of others are not ours.
    const std::string young = program.Write("tables/.show.txt.tolv-77-0", "\"Bu");
    testsupport::SetFileTimeSeconds(young, now - 3000);
    std::vector<std::string> foreign{program.Write(".show.txt.tolv-x-1", "x"), program.Write("show.txt.tolv-1-1", "x"),
                                     program.Write(".show.txt.tmp-1-1", "x")};
    for (const std::string& path : foreign) {
        testsupport::SetFileTimeSeconds(path, now - 86400);
    }

    ASSERT_EQ(Start(), Outcome::Running);
    for (const std::string& path : old) {
        EXPECT_FALSE(std::filesystem::exists(path)) << path;
    }
    EXPECT_TRUE(std::filesystem::exists(young));
    for (const std::string& path : foreign) {
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
    }
    const std::string log = DayLog();
    const std::size_t at = log.find("Temporary files of interrupted saves removed (4)");
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_EQ(log.find("Temporary files of interrupted saves", at + 1), std::string::npos) << "one line";
}

} // namespace
