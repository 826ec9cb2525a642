#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "foundation/SharedConf.h"
#include "foundation/TimeStamps.h"
#include "mainwindow/FrmMain.h"
#include "playback/StartTimers.h"
#include "support/ClockFixture.h"
#include "support/RiffFileBuilder.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int ButtonOutput = 0;
constexpr int ListOutput = 1;

struct Start {
    int output;
    int offsetMs;
    std::int64_t atMs; // time of day of the start
    bool list;
};

// The timers of a window with a button output (0) and a list output (1),
// both armed in end mode for 12:00:00 with a sound of 10.2 s.
class StartTimerChecks : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        SetNow(Date(2026, 12, 7), At(11, 59, 40));
        savedHourAdjust_ = FCT_Quind::HourAdjust;
        FCT_Quind::HourAdjust = 18000;
        basic::SetAppPath(program.Path());
        basic::CueActive.fill(0);
        parms::IsList = {0, 1, 0, 0};
        parms::StartTimer = {};
        parms::TimerEditOutput = -1;
        MainState& state = window.State;
        state.Running = 1;
        state.NumOut = 2;
        state.PlayersPerOutput = 1;
        state.PlayerCount = 2;
        state.ResizePlayers(2);
        window.LV.Load(ListOutput);
        window.PicCounter.Load(1);
        window.TextTimer.Load(1);
        for (int output = 0; output < 2; ++output) {
            for (int field = 0; field < 3; ++field) {
                window.PicCounter(output)->AddTextSpace(9.0F, false, false, "", -1, -1);
            }
            window.TextTimer(output)->AddTextSpace(9.0F, false, false, "", -1, -1);
            parms::StartTimer[static_cast<std::size_t>(output)].TimerEnabled = 1;
            parms::StartTimer[static_cast<std::size_t>(output)].TimerTime = "12:00:00";
            parms::StartTimer[static_cast<std::size_t>(output)].TimerMode = 1;
        }
        sound = WaveOfMs(10200, "sound.wav");
        // Button 5 of page 2 is cued; the list's first row is selected.
        state.StandbySet[ButtonOutput] = 1;
        state.StandbyPage[ButtonOutput] = 2;
        state.StandbyButton[ButtonOutput] = 5;
        state.ButtonTable[static_cast<std::size_t>(ButtonTableIndex(ButtonOutput, 2, 5))].FileName = sound;
        UC_ListView& list = *window.LV(ListOutput);
        list.SetNumAux(4);
        list.AddItem(2);
        list.SetAuxID(0, 0, sound);
        list.SetSelectedItem(0);
        state.ListTable[static_cast<std::size_t>(ListTableIndex(ListOutput, 0))].Items.resize(2);

        timers.On.PlayStandby = [this](int output, int offsetMs) { Started(output, offsetMs, false); };
        timers.On.PlayList = [this](int output, int offsetMs) { Started(output, offsetMs, true); };
        timers.On.ShowTimerWindow = [this] { ++dialogs; };
    }
    void TearDown() override
    {
        FCT_Quind::HourAdjust = savedHourAdjust_;
        parms::IsList = {0, 0, 0, 0};
        parms::StartTimer = {};
        parms::TimerEditOutput = -1;
        basic::SetAppPath("");
    }
    std::string WaveOfMs(int ms, const std::string& name)
    {
        const std::string path = program / name;
        testsupport::RiffFileBuilder()
            .Format(1, 1, 8000, 8)
            .Data(testsupport::Bytes(static_cast<std::size_t>(ms) * 8, std::uint8_t{128}))
            .WriteTo(path);
        return path;
    }
    // What the play request does with the timer.
    void Started(int output, int offsetMs, bool list)
    {
        starts.push_back({output, offsetMs, clock.MsOfDay(), list});
        timers.DisarmTimer(output);
    }
    void LeftRelease(int output) { timers.TextTimer_MouseUD(output, 1, false, 0); }
    // Runs the check as the engine tick does, every 50 ms until the time.
    void TicksUntil(std::int64_t msOfDay)
    {
        while (clock.MsOfDay() < msOfDay) {
            clock.Advance(50);
            timers.CheckTimer();
        }
    }
    parms::StartTimerRecord& Timer(int output) { return parms::StartTimer[static_cast<std::size_t>(output)]; }

    testsupport::ScratchFolder program;
    FrmMain window;
    StartTimers timers{window};
    std::string sound;
    std::vector<Start> starts;
    int dialogs = 0;

private:
    std::int32_t savedHourAdjust_ = 0;
};

} // namespace

TEST_F(StartTimerChecks, EndModeStartsTheCueAndTheSelectedRowElevenSecondsEarly)
{
    LeftRelease(ButtonOutput);
    LeftRelease(ListOutput);
    ASSERT_EQ(Timer(ButtonOutput).TimerArmed, 1);
    ASSERT_EQ(Timer(ListOutput).TimerArmed, 1);
    EXPECT_EQ(Timer(ButtonOutput).TimerFromMS, 0);
    EXPECT_EQ(Timer(ButtonOutput).TimerToMS, 10200);
    EXPECT_EQ(Timer(ListOutput).TimerToMS, 10200);

    TicksUntil(At(11, 59, 48, 950));
    EXPECT_TRUE(starts.empty());
    EXPECT_EQ(window.PicCounter(ButtonOutput)->TextMes(2), "-00:01");
    TicksUntil(At(11, 59, 50));
    ASSERT_EQ(starts.size(), 2U);
    EXPECT_EQ(starts[0].output, ButtonOutput);
    EXPECT_FALSE(starts[0].list);
    EXPECT_EQ(starts[0].offsetMs, 0);
    EXPECT_EQ(starts[0].atMs, At(11, 59, 49));
    EXPECT_EQ(starts[1].output, ListOutput);
    EXPECT_TRUE(starts[1].list);
    EXPECT_EQ(starts[1].atMs, At(11, 59, 49));
    // The play request disarmed both: nothing more happens.
    TicksUntil(At(12, 0, 30));
    EXPECT_EQ(starts.size(), 2U);
}

TEST_F(StartTimerChecks, AStartThreeSecondsLateBeginsThreeSecondsIntoTheSound)
{
    LeftRelease(ButtonOutput);
    TicksUntil(At(11, 59, 48, 900));
    clock.Advance(3100); // the tick was held up
    timers.CheckTimer();
    ASSERT_EQ(starts.size(), 1U);
    EXPECT_EQ(starts[0].offsetMs, 3000);
}

TEST_F(StartTimerChecks, AStartModeTickStalledAcrossItsSecondStillStarts)
{
    Timer(ListOutput).TimerMode = 0;
    LeftRelease(ListOutput);
    TicksUntil(At(11, 59, 59, 950));
    EXPECT_TRUE(starts.empty());
    clock.Advance(1300);
    timers.CheckTimer();
    ASSERT_EQ(starts.size(), 1U);
    EXPECT_EQ(starts[0].offsetMs, 1000);
}

TEST_F(StartTimerChecks, ACheckRunsOncePerClockSecond)
{
    Timer(ButtonOutput).TimerMode = 0;
    LeftRelease(ButtonOutput);
    SetNow(Date(2026, 12, 7), At(12, 0, 0, 100));
    timers.CheckTimer();
    ASSERT_EQ(starts.size(), 1U);
    // Armed again within the same second: the check of that second has run.
    LeftRelease(ButtonOutput);
    SetNow(Date(2026, 12, 7), At(12, 0, 0, 600));
    timers.CheckTimer();
    EXPECT_EQ(starts.size(), 1U);
}

TEST_F(StartTimerChecks, APassedTimeCountsDownToTomorrow)
{
    SetNow(Date(2026, 12, 7), At(13, 0, 0, 500));
    Timer(ButtonOutput).TimerMode = 0;
    LeftRelease(ButtonOutput);
    timers.CheckTimer();
    EXPECT_TRUE(starts.empty());
    EXPECT_EQ(window.PicCounter(ButtonOutput)->TextMes(2), "-1380:00");
}

TEST_F(StartTimerChecks, HoursAfterMidnightOfTheBroadcastDay)
{
    Timer(ButtonOutput).TimerMode = 0;
    Timer(ButtonOutput).TimerTime = "26:15:00";
    LeftRelease(ButtonOutput);
    SetNow(Date(2026, 12, 8), At(2, 14, 59, 900));
    TicksUntil(At(2, 15, 0, 100));
    ASSERT_EQ(starts.size(), 1U);
    EXPECT_EQ(starts[0].atMs, At(2, 15, 0));
}

TEST_F(StartTimerChecks, ArmingNeedsACueOrASelectedRowAndAnIdleUnlockedOutput)
{
    window.State.StandbySet[ButtonOutput] = 0;
    LeftRelease(ButtonOutput);
    EXPECT_EQ(Timer(ButtonOutput).TimerArmed, 0);
    window.LV(ListOutput)->SetSelectedItem(-1);
    LeftRelease(ListOutput);
    EXPECT_EQ(Timer(ListOutput).TimerArmed, 0);

    window.State.StandbySet[ButtonOutput] = 1;
    window.State.OutputState[ButtonOutput] = 1;
    LeftRelease(ButtonOutput);
    EXPECT_EQ(Timer(ButtonOutput).TimerArmed, 0) << "playing";
    window.State.OutputState[ButtonOutput] = 0;
    window.State.OutputLocked[ButtonOutput] = 1;
    LeftRelease(ButtonOutput);
    EXPECT_EQ(Timer(ButtonOutput).TimerArmed, 0) << "locked";
    window.State.OutputLocked[ButtonOutput] = 0;
    Timer(ButtonOutput).TimerEnabled = 0;
    LeftRelease(ButtonOutput);
    EXPECT_EQ(Timer(ButtonOutput).TimerArmed, 0) << "no timer label";
    Timer(ButtonOutput).TimerEnabled = 1;

    LeftRelease(ButtonOutput);
    EXPECT_EQ(Timer(ButtonOutput).TimerArmed, 1);
    timers.TextTimer_MouseUD(ButtonOutput, 1, true, 0);
    EXPECT_EQ(Timer(ButtonOutput).TimerArmed, 1) << "the press does nothing";
    LeftRelease(ButtonOutput);
    EXPECT_EQ(Timer(ButtonOutput).TimerArmed, 0) << "a second click disarms";
}

TEST_F(StartTimerChecks, ArmingTakesTheCueRangeWithTheStartOffset)
{
    const std::size_t record = static_cast<std::size_t>(ButtonTableIndex(ButtonOutput, 2, 5));
    window.State.ButtonTable[record].StartMS = 2000;
    LeftRelease(ButtonOutput);
    EXPECT_EQ(Timer(ButtonOutput).TimerFromMS, 2000);
    EXPECT_EQ(Timer(ButtonOutput).TimerToMS, 10200);
    // A sound without cue positions (no wave file) uses its noted length.
    LeftRelease(ButtonOutput);
    window.State.ButtonTable[record].FileName = program.Write("sound.mp3", "not a wave file");
    window.State.ButtonTable[record].LengthMS = 30000;
    LeftRelease(ButtonOutput);
    EXPECT_EQ(Timer(ButtonOutput).TimerFromMS, 2000);
    EXPECT_EQ(Timer(ButtonOutput).TimerToMS, 30000);
}

TEST_F(StartTimerChecks, APlayRequestDisarmsTheTimerOfAPlayingOrLockedOutput)
{
    LeftRelease(ButtonOutput);
    LeftRelease(ListOutput);
    window.State.OutputState[ButtonOutput] = 1;
    window.State.OutputLocked[ListOutput] = 1;
    timers.DisarmTimer(ButtonOutput);
    EXPECT_EQ(Timer(ButtonOutput).TimerArmed, 0);
    EXPECT_EQ(Timer(ListOutput).TimerArmed, 1);
    timers.DisarmTimer(-1);
    EXPECT_EQ(Timer(ListOutput).TimerArmed, 0);
}

TEST_F(StartTimerChecks, OtherButtonsOpenTheDialogAndItsOkStoresAndRedraws)
{
    timers.TextTimer_MouseUD(ListOutput, 2, false, 0);
    EXPECT_EQ(parms::TimerEditOutput, ListOutput);
    EXPECT_EQ(dialogs, 1);
    window.State.OutputLocked[ButtonOutput] = 1;
    timers.TextTimer_MouseUD(ButtonOutput, 2, false, 0);
    EXPECT_EQ(dialogs, 1) << "locked";

    LeftRelease(ListOutput);
    Timer(ListOutput).TimerTime = "25:30:00";
    Timer(ListOutput).TimerMode = 0;
    timers.SetTimerProc();
    EXPECT_EQ(Timer(ListOutput).TimerArmed, 0);
    EXPECT_EQ(window.TextTimer(ListOutput)->TextMes(0), "25:30:00s");
    EXPECT_EQ(basic::GetSetting("TimerTime_2", ""), "25:30:00");
    EXPECT_EQ(basic::GetSetting("TimerMode_2", ""), "0");

    // A cancelled dialog changes nothing.
    LeftRelease(ListOutput);
    parms::TimerEditOutput = -1;
    timers.SetTimerProc();
    EXPECT_EQ(Timer(ListOutput).TimerArmed, 1);

    Timer(ButtonOutput).TimerTime.clear();
    timers.DrawTimerLabel(ButtonOutput);
    EXPECT_EQ(window.TextTimer(ButtonOutput)->TextMes(0), "Timer");
}

TEST_F(StartTimerChecks, ATimerArmedAtStartUpTakesItsMaterialFromTheFirstCue)
{
    // The start-up restores the switches before any assign table is open.
    window.State.Running = 0;
    window.State.StandbySet[ButtonOutput] = 0;
    LeftRelease(ButtonOutput);
    EXPECT_EQ(Timer(ButtonOutput).TimerArmed, 1);
    window.State.Running = 1;
    TicksUntil(At(11, 59, 45));
    // The operator cues the button afterwards.
    window.State.StandbySet[ButtonOutput] = 1;
    TicksUntil(At(11, 59, 50));
    EXPECT_EQ(Timer(ButtonOutput).TimerToMS, 10200);
    ASSERT_EQ(starts.size(), 1U);
    EXPECT_EQ(starts[0].atMs, At(11, 59, 49));
}
