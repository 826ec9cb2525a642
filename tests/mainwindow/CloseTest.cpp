// The close request (refusals and the SaveEnd questions) and the shutdown:
// what is saved, the order of the last status output and the devices' close.
#include "PlayerFixture.h"

#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "platform/EventPump.h"
#include "platform/base/Hooks.h"
#include "support/ProcessUntil.h"

#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <gmock/gmock.h>

#include <string>
#include <vector>

namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using Outcome = FrmMain::StartOutcome;

class Close : public shelltest::PlayerFixture {
protected:
    void StartWindow()
    {
        ASSERT_EQ(Start(), Outcome::Running);
        ports.Log.Clear();
    }
    std::string CloseQuestion() const { return basic::LangText("アプリケーションを終了しますか？", "Close The Tolv?"); }
    std::string SaveQuestion() const
    {
        return basic::LangText("アプリケーションを終了します。ボタンアサインを保存しますか？",
                               "Close The Tolv and save setting?");
    }
    std::string SaveFailed() const
    {
        return basic::LangText("保存に失敗しました。このまま終了しますか？", "Save failed.Close anyway?");
    }
    std::vector<std::string> Saves() const { return ports.Log.Starting("OpenSaveAssignFile 1"); }
};

TEST_F(Close, RefusedWithoutAQuestionWhileSoundPlays)
{
    Store("SaveEnd", "3");
    StartWindow();
    PutPlayer(0);
    EXPECT_FALSE(window->Unload());
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(window->Ended());
    EXPECT_EQ(window->State.Running, 1);
    EXPECT_EQ(window->State.Players[0]->mode(), 3);
}

// A press whose player still readies (its wait keeps the window drawn) must
// not have the player closed under it.
TEST_F(Close, RefusedWhileAPressReadiesItsPlayer)
{
    Store("SaveEnd", "3");
    StartWindow();
    window->State.PonBusy[0] = 1;
    EXPECT_FALSE(window->close());
    EXPECT_FALSE(window->Ended());
    window->State.PonBusy[0] = 0;
    EXPECT_TRUE(window->close());
}

// A close asked in a press by the program itself (the menu's is kept with
// the clicks) is carried out right after the press.
TEST_F(Close, AskedWhileAPressRunsIsCarriedOutAfterIt)
{
    Store("SaveEnd", "3");
    StartWindow();
    {
        const platform::InputHold press;
        window->State.PonBusy[0] = 1;
        EXPECT_FALSE(window->Unload());
        window->State.PonBusy[0] = 0;
    }
    EXPECT_FALSE(window->Ended());
    EXPECT_TRUE(testsupport::ProcessUntil([this] { return window->Ended(); }, testsupport::RealWaitMs));
}

// A close the program asks for once a press has ended but before what the
// operator did in it has been carried out waits behind that input, as a
// close box used then does.
TEST_F(Close, AskedWhileInputKeptInAPressWaitsComesAfterThatInput)
{
    Store("SaveEnd", "3");
    StartWindow();
    platform::InstallQtEventPump();
    window->show();
    QWindow* handle = window->windowHandle();
    ASSERT_TRUE(testsupport::ProcessUntil([handle] { return handle->isExposed(); }, testsupport::RealWaitMs));
    // Whether the key reached the window while it was still open.
    struct KeyWatch : QObject {
        explicit KeyWatch(const FrmMain& watched) : window(watched) {}
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::KeyPress && !event->spontaneous()) {
                keyCarriedOut = !window.Ended();
            }
            return false;
        }
        const FrmMain& window;
        bool keyCarriedOut = false;
    } watch(*window);
    handle->installEventFilter(&watch);
    {
        const platform::InputHold press;
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
            handle, QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, "b");
        platform::DoEvents();
    }
    EXPECT_FALSE(window->Unload());
    EXPECT_TRUE(testsupport::ProcessUntil([this] { return window->Ended(); }, testsupport::RealWaitMs));
    EXPECT_TRUE(watch.keyCarriedOut);
    handle->removeEventFilter(&watch);
}

TEST_F(Close, RefusedWhileMinimised)
{
    Store("SaveEnd", "3");
    StartWindow();
    window->SetWindowState(platform::StateMinimized);
    EXPECT_FALSE(window->Unload());
    EXPECT_FALSE(window->Ended());
}

TEST_F(Close, CloseBoxThatMinimisesKeepsTheWindowAndRefusesTheNextClose)
{
    Store("CloseButtonAction", "1");
    Store("SaveEnd", "3");
    StartWindow();
    EXPECT_FALSE(window->close());
    EXPECT_EQ(window->WindowState(), platform::StateMinimized);
    EXPECT_FALSE(window->Unload());
    EXPECT_FALSE(window->Ended());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Close, CloseBoxThatIsIgnoredStillLetsTheProgramCloseItself)
{
    Store("CloseButtonAction", "2");
    StartWindow();
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(boxes.empty());
    answers = {platform::IdNo};
    EXPECT_TRUE(window->Unload());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, SaveQuestion());
    EXPECT_TRUE(window->Ended());
}

TEST_F(Close, SaveEndZeroAsksWhetherToCloseAndNeverSaves)
{
    Store("SaveEnd", "0");
    StartWindow();
    answers = {platform::IdNo};
    EXPECT_FALSE(window->Unload());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, CloseQuestion());
    EXPECT_EQ(boxes[0].title, "tolv");
    EXPECT_EQ(boxes[0].style, platform::BoxYesNo + platform::IconQuestion);
    EXPECT_FALSE(window->Ended());

    answers = {platform::IdYes};
    EXPECT_TRUE(window->Unload());
    EXPECT_TRUE(window->Ended());
    EXPECT_TRUE(Saves().empty());
}

TEST_F(Close, SaveEndOneAsksThenSaves)
{
    Store("SaveEnd", "1");
    StartWindow();
    answers = {platform::IdYes};
    EXPECT_TRUE(window->Unload());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, CloseQuestion());
    EXPECT_THAT(Saves(), ElementsAre("OpenSaveAssignFile 1 "));
}

TEST_F(Close, SaveEndTwoAsksWhetherToSaveWithTheChoiceToStay)
{
    StartWindow();
    answers = {platform::IdCancel};
    EXPECT_FALSE(window->Unload());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, SaveQuestion());
    EXPECT_EQ(boxes[0].title, "");
    EXPECT_EQ(boxes[0].style, platform::BoxYesNoCancel + platform::IconQuestion);
    EXPECT_TRUE(Saves().empty());

    answers = {platform::IdYes};
    EXPECT_TRUE(window->Unload());
    EXPECT_THAT(Saves(), ElementsAre("OpenSaveAssignFile 1 "));
    // The question comes before the save, the save before the shutdown.
    EXPECT_LT(ports.Log.IndexOf("OpenSaveAssignFile 1 "), ports.Log.IndexOf("SendRemoteListStatus 0 1"));
}

TEST_F(Close, SaveEndTwoNoClosesWithoutSaving)
{
    StartWindow();
    answers = {platform::IdNo};
    EXPECT_TRUE(window->Unload());
    EXPECT_TRUE(Saves().empty());
}

TEST_F(Close, AFailedSaveAsksAgainAndNoKeepsTheProgramOpen)
{
    StartWindow();
    ports.AssignFile.SaveOk = 0;
    answers = {platform::IdYes, platform::IdNo};
    EXPECT_FALSE(window->Unload());
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, SaveFailed());
    EXPECT_EQ(boxes[1].style, platform::BoxYesNo + platform::IconStop);
    EXPECT_FALSE(window->Ended());

    answers = {platform::IdYes, platform::IdYes};
    EXPECT_TRUE(window->Unload());
    EXPECT_TRUE(window->Ended());
}

TEST_F(Close, OtherSaveEndValuesCloseWithoutAQuestion)
{
    Store("SaveEnd", "3");
    StartWindow();
    EXPECT_TRUE(window->Unload());
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(Saves().empty());
}

TEST_F(Close, TheSettingsHoldWhatTheOperatorLeft)
{
    Store("SaveEnd", "3");
    StartWindow();
    window->Move(1500, 750, 9000, 6000);
    window->State.DispLap = {1};
    window->State.STBYActive[0] = 1;
    window->State.FadeOn[0] = 1;
    window->State.KeyTarget = 0;
    parms::FITime = 1200;
    EXPECT_TRUE(window->Unload());
    EXPECT_EQ(Stored("WindowLeft"), "1500");
    EXPECT_EQ(Stored("WindowTop"), "750");
    EXPECT_EQ(Stored("WindowWidth"), "9000");
    EXPECT_EQ(Stored("WindowHeight"), "6000");
    EXPECT_EQ(Stored("DispLap_1"), "1");
    EXPECT_EQ(Stored("DispLap_2"), "(missing)");
    EXPECT_EQ(Stored("STBYActive_1"), "1");
    EXPECT_EQ(Stored("FadeOn_1"), "1");
    EXPECT_EQ(Stored("STBYActive_2"), "(missing)");
    EXPECT_EQ(Stored("KeyPage"), "0");
    EXPECT_EQ(Stored("FITime"), "1200");
    EXPECT_EQ(Stored("DispBig"), "0");
    EXPECT_EQ(Stored("WindowLeft_Big"), "(missing)");
    parms::FITime = 0;
}

TEST_F(Close, TheBigDisplaysPlaceIsKeptUnderItsOwnKeys)
{
    Store("SaveEnd", "3");
    Store("DispBig", "1");
    StartWindow();
    window->Move(3000, 1500);
    EXPECT_TRUE(window->Unload());
    EXPECT_EQ(Stored("WindowLeft_Big"), "3000");
    EXPECT_EQ(Stored("WindowTop_Big"), "1500");
    EXPECT_EQ(Stored("WindowLeft"), "(missing)");
    EXPECT_EQ(Stored("DispBig"), "1");
}

TEST_F(Close, ThreePlayersOnOneOutputKeepThreeCounterModes)
{
    Store("SaveEnd", "3");
    Store("PlayerType", "1");
    StartWindow();
    ASSERT_EQ(window->State.PlayerCount, 3);
    window->State.DispLap = {1, 0, 1};
    window->State.STBYActive[0] = 1;
    EXPECT_TRUE(window->Unload());
    EXPECT_EQ(Stored("DispLap_1"), "1");
    EXPECT_EQ(Stored("DispLap_2"), "0");
    EXPECT_EQ(Stored("DispLap_3"), "1");
    EXPECT_EQ(Stored("STBYActive_1"), "1");
    EXPECT_EQ(Stored("FadeOn_1"), "0");
    EXPECT_EQ(Stored("STBYActive_2"), "(missing)");
}

TEST_F(Close, TheLastStatusOutputReachesTheBoxesBeforeTheyClose)
{
    Store("SaveEnd", "3");
    Store("NumOut", "2");
    Store("PageNum", "2");
    Store("IsList_2", "1");
    StartWindow();
    window->State.ButtonsPerPage = {3, 4, 0, 0};
    ports.RemoteDevices.comOpen = {true, false, true, false};
    ports.RemoteDevices.hidOpen = {false, true, false, false};
    ports.RemoteDevices.midiOpen = true;
    EXPECT_TRUE(window->Unload());

    const std::vector<std::string> expected = {"SendRemoteListStatus 0 1",
                                               "SendRemoteCommand 0 11 0",
                                               "SendRemoteCommand 0 18 0",
                                               "SendRemoteCommand 0 14 0",
                                               "SendRemoteCommand 0 2 0",
                                               "SendRemoteCommand 0 2 1",
                                               "SendRemoteCommand 0 4 0",
                                               "SendRemoteCommand 0 4 1",
                                               "SendRemoteCommand 0 4 2",
                                               "SendRemoteListStatus 1 1",
                                               "SendRemoteCommand 1 11 0",
                                               "SendRemoteCommand 1 18 0",
                                               "SendRemoteCommand 1 14 0",
                                               "SendRemoteCommand 1 2 0",
                                               "SendRemoteCommand 1 2 1",
                                               "CloseComm 0",
                                               "HidClose 1",
                                               "CloseComm 2",
                                               "CloseMidiIn"};
    std::vector<std::string> output;
    for (const std::string& call : ports.Log.Calls()) {
        if (call.starts_with("SendRemote") || call.starts_with("Close") || call.starts_with("Hid")) {
            output.push_back(call);
        }
    }
    EXPECT_EQ(output, expected);
    EXPECT_EQ(DayLogEntries().back(), "***正常終了***");
}

TEST_F(Close, EveryPlayerClosesItsDeviceAndTheLogEnds)
{
    Store("SaveEnd", "3");
    StartWindow();
    C_WaveOut& player = PutPlayer(0);
    player.StopIO(1);
    window->State.OutputState[0] = 0;
    window->State.SomethingPlays = 0;
    ASSERT_EQ(OpenVoices(), 1);

    EXPECT_TRUE(window->Unload());
    EXPECT_EQ(OpenVoices(), 0);
    EXPECT_EQ(window->State.Running, 0);
    EXPECT_FALSE(window->TimerUpdate.Enabled());
    EXPECT_EQ(window->State.Subclassed, 0);
    // The slot is never empty.
    ASSERT_NE(window->State.Players[0], nullptr);
    EXPECT_EQ(window->State.Players[0]->Play(), 0);
    EXPECT_EQ(DayLogEntries().back(), "***正常終了***");
}

TEST_F(Close, ASecondCloseDuringTheShutdownIsRefused)
{
    Store("SaveEnd", "3");
    StartWindow();
    int nestedCancel = 0;
    window->OnEnded = [&] {
        window->Form_QueryUnload(nestedCancel, platform::UnloadByCode);
        int ignored = 0;
        window->Form_Unload(ignored);
    };
    EXPECT_TRUE(window->Unload());
    EXPECT_EQ(nestedCancel, 1);
    const std::vector<std::string> entries = DayLogEntries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "***正常終了***"), 1);
}

} // namespace
