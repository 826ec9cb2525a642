// The engine tick on real waveOut players: status output once per state
// change, pause and resume, its own period, the menus while sound plays, the
// refill hook and the hand-over from a second start.
#include "PlaybackFixture.h"

#include "foundation/Parms.h"
#include "foundation/SubClass.h"
#include "platform/base/Hooks.h"
#include "playback/EngineTick.h"
#include "support/HelperProcess.h"

#include <QMenu>

#include <gmock/gmock.h>

namespace {

using playbacktest::PlaybackFixture;
using testing::ElementsAre;
using testing::IsEmpty;

class EngineTickTest : public PlaybackFixture {};

TEST(EngineTickInterval, IsTimerIntMinusTheRunHeldToOneToTimerInt)
{
    EXPECT_EQ(EngineTick::NextInterval(50, 70), 1);
    EXPECT_EQ(EngineTick::NextInterval(50, 20), 30);
    EXPECT_EQ(EngineTick::NextInterval(50, 0), 50);
    EXPECT_EQ(EngineTick::NextInterval(50, -3), 50) << "a clock that went back";
    EXPECT_EQ(EngineTick::NextInterval(1, 0), 1);
}

TEST_F(EngineTickTest, SendsOneStatusBurstPerStateChangeAndReArmsItsTimerForItsOwnPeriod)
{
    ASSERT_TRUE(Start(2));
    Assign(0, 0, 0, RampWave("a.wav", Rate / 2));
    ports.Log.Clear();

    control->Pon(0, 0, 0, 0, 0);
    Run(200);
    // The button's lamp (BUTTON_ON) goes with the start, before the burst.
    EXPECT_THAT(Remote(0), ElementsAre("3 0", "6 0", "11 0", "16 0"));
    EXPECT_THAT(Remote(1), IsEmpty());
    EXPECT_EQ(ports.Log.Starting("SendRemoteListStatus 0").size(), 1U);
    ports.Log.Clear();
    Run(600);
    EXPECT_THAT(Remote(0), ElementsAre("4 0", "7 0", "10 0", "16 0"));
    EXPECT_EQ(State().SomethingPlays, 0);
    ports.Log.Clear();
    Run(500);
    EXPECT_THAT(Remote(0), IsEmpty());

    // A run that takes 20 ms waits 30 ms for the next one.
    control->Hooks.CheckTimer = [this] { clock.Sleep(20); };
    Run(50);
    EXPECT_EQ(window->TimerUpdate.Interval(), 30);
    control->Hooks.CheckTimer = [this] { clock.Sleep(70); };
    Run(30);
    EXPECT_EQ(window->TimerUpdate.Interval(), 1);
}

TEST_F(EngineTickTest, PauseAndResumeSendTheirStatusOnceEach)
{
    Store("UsePause", "1");
    ASSERT_TRUE(Start());
    ASSERT_EQ(parms::UsePause, 1);
    window->PlayButtons(0)->SetNumButtons(3);
    Assign(0, 0, 0, RampWave("a.wav", 3 * Rate));
    control->Pon(0, 0, 0, 0, 0);
    Run(100);
    ports.Log.Clear();

    control->PlayButtons_ButtonClicked(0, 2);
    Run(200);
    EXPECT_EQ(State().OutputState[0], 2);
    EXPECT_THAT(Remote(0), ElementsAre("15 0", "6 0", "11 0", "15 0"));
    ports.Log.Clear();
    control->PlayButtons_ButtonClicked(0, 1); // play resumes the paused player
    Run(200);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_THAT(Remote(0), ElementsAre("16 0", "6 0", "11 0", "16 0"));
    EXPECT_GT(PlayerOf(0).Position(), 250) << "resumed, not restarted";
}

TEST_F(EngineTickTest, MenusThatChangeFilesSettingsOrDisplayAreDisabledWhileAnOutputPlays)
{
    ASSERT_TRUE(Start());
    Assign(0, 0, 0, RampWave("a.wav", Rate / 2));
    // A hidden menu (the Cache menu without servers) counts as enabled.
    const auto enabled = [this] {
        std::vector<bool> states;
        for (QAction* item : {window->MenuDispBig, window->MenuToolP->menuAction(), window->MenuCacheP->menuAction(),
                              window->MenuConf, window->MenuFileP->menuAction(), window->MenuEditor,
                              window->MenuHelpP->menuAction(), window->MenuClose}) {
            states.push_back(item->isEnabled() || !item->isVisible());
        }
        return states;
    };
    EXPECT_THAT(enabled(), testing::Each(true));
    control->Pon(0, 0, 0, 0, 0);
    EXPECT_FALSE(window->MenuDispBig->isEnabled());
    EXPECT_FALSE(window->MenuToolP->menuAction()->isEnabled());
    EXPECT_FALSE(window->MenuCacheP->menuAction()->isEnabled());
    EXPECT_FALSE(window->MenuConf->isEnabled());
    EXPECT_FALSE(window->MenuFileP->menuAction()->isEnabled());
    EXPECT_FALSE(window->MenuEditor->isEnabled());
    EXPECT_FALSE(window->MenuHelpP->menuAction()->isEnabled());
    EXPECT_FALSE(window->MenuClose->isEnabled());
    EXPECT_EQ(FCT_SubClass::CaptionLock(window.get()), 1);
    Run(800);
    EXPECT_THAT(enabled(), testing::Each(true));
    EXPECT_EQ(FCT_SubClass::CaptionLock(window.get()), 0);
}

TEST_F(EngineTickTest, TheRefillHookFeedsEveryOutputButTheOneAPlayRequestHolds)
{
    ASSERT_TRUE(Start(2));
    Assign(0, 0, 0, RampWave("a.wav", 10 * Rate));
    Assign(1, 0, 0, RampWave("b.wav", 10 * Rate));
    control->Pon(0, 0, 0, 0, 0);
    control->Pon(1, 0, 0, 0, 0);
    window->TimerUpdate.SetEnabled(false);
    Played(1);
    Played(2);
    // No tick for 20 s of waits: only the refill hook feeds the players.
    State().PonBusy[1] = 1;
    for (int i = 0; i < 1000; ++i) {
        clock.Advance(20);
        platform::Refill();
    }
    State().PonBusy[1] = 0;
    const std::vector<float> first = Played(1);
    const auto heard = std::count_if(first.begin(), first.end(), [](float s) { return s != 0.0F; });
    EXPECT_GE(heard, 10 * Rate) << "output 1 played its whole file";
    // The sound ran out by itself: it ends on the file's last frame, with no
    // fade of it after.
    std::size_t last = first.size();
    while (last > 0 && first[last - 1] == 0.0F) {
        --last;
    }
    ASSERT_GT(last, 64U);
    EXPECT_EQ(std::lround(first[last - 1] * 32768.0F), Ramp(10 * Rate - 1));
    const std::vector<float> second = Played(2);
    const auto heardSecond = std::count_if(second.begin(), second.end(), [](float s) { return s != 0.0F; });
    EXPECT_LT(heardSecond, 10 * Rate) << "output 2 was held by its play request";
}

TEST_F(EngineTickTest, ACommandLineHandedOverBySecondStartOpensOnceNothingPlays)
{
    ASSERT_TRUE(Start());
    ASSERT_GE(FCT_SubClass::FindSubclassSlot(window.get()), 0);
    ports.Log.Clear();
    Assign(0, 0, 0, RampWave("a.wav", Rate));
    control->Pon(0, 0, 0, 0, 0);
    const std::string show = sounds / "shows/evening.txt";
    testsupport::HelperProcess second("tolv_test_session", {"send", "tolv", show});
    ASSERT_EQ(second.Finish(), 1);

    Run(500);
    EXPECT_THAT(ports.Log.Starting("OpenSaveAssignFile"), IsEmpty()) << "not while the sound plays";
    Run(1000);
    EXPECT_EQ(State().SomethingPlays, 0);
    EXPECT_THAT(ports.Log.Starting("OpenSaveAssignFile"), ElementsAre("OpenSaveAssignFile 0 " + show));
    Run(500);
    EXPECT_EQ(ports.Log.Starting("OpenSaveAssignFile").size(), 1U);
}

// With ShowObservation the tick traces its stages in their order: the stops
// before the starts, then per changed output its switch and its standby
// tally.
TEST_F(EngineTickTest, ObservationLinesOfAHandedOverCommandLine)
{
    ASSERT_TRUE(Start());
    ASSERT_GE(FCT_SubClass::FindSubclassSlot(window.get()), 0);
    testsupport::HelperProcess second("tolv_test_session", {"send", "tolv", sounds / "shows/evening.txt"});
    ASSERT_EQ(second.Finish(), 1);
    EXPECT_THAT(ObservedTick(), ElementsAre("Timer=", "RcvCommand", "Interval="));
}

TEST_F(EngineTickTest, ObservationLinesOfAParkedRequestAndAStopRequest)
{
    ASSERT_TRUE(Start(2));
    Assign(0, 0, 4, RampWave("parked.wav", Rate));
    Assign(1, 0, 0, RampWave("b.wav", 3 * Rate));
    control->Pon(1, 0, 0, 0, 0);
    Run(100);
    ASSERT_EQ(State().OutputState[1], 1);
    // Output 1 (index 0) waited for a mute tail to end; output 2 is asked to
    // stop by a remote box.
    State().ParkedRequest[0] = {1, 4, 0, 0};
    State().StopWhenStarted[1] = 1;
    EXPECT_THAT(ObservedTick(),
                ElementsAre("Timer=", "TimerRemote", "CheckTimer", "PonStart By MutingParm", "PonStart 4",
                            "StopAll By StopReqByRemote", "ProgPlay", "Play Stopped", "Play Started", "tSW",
                            "StbyTallyOut", "tSW", "StbyTallyOut", "Interval="));
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(State().OutputState[1], 0);
}

TEST_F(EngineTickTest, ObservationLinesOfOneOutputEndingWhileAnotherStarts)
{
    ASSERT_TRUE(Start(2));
    Assign(0, 0, 0, RampWave("starts.wav", Rate));
    Assign(1, 0, 0, RampWave("ends.wav", Rate / 4));
    control->Pon(1, 0, 0, 0, 0);
    Run(100);
    window->TimerUpdate.SetEnabled(false);
    clock.Advance(400);
    control->Pon(0, 0, 0, 0, 1);
    EXPECT_THAT(ObservedTick(), ElementsAre("Timer=", "TimerRemote", "CheckTimer", "ProgPlay", "Play Stopped",
                                            "Play Started", "tSW", "StbyTallyOut", "tSW", "StbyTallyOut",
                                            "Interval="));
    EXPECT_THAT(ObservedTick(), ElementsAre("Timer=", "TimerRemote", "CheckTimer", "ProgPlay", "Interval="))
        << "nothing changed in the next run";
}

} // namespace
