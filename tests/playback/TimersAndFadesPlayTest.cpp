// Start timers and fades with the real play function, engine tick and
// players on null devices.
#include "PlaybackFixture.h"

#include "foundation/Parms.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using playbacktest::PlaybackFixture;

constexpr int TenPointTwoSeconds = 489600; // frames at 48 kHz

class TimerPlay : public PlaybackFixture {
protected:
    // Output 0 shows buttons in standby mode, output 1 a play list; both
    // timers are set for 12:00:00 in end mode.
    void StartTwoOutputs(int mode = 1)
    {
        SetNow(Date(2026, 3, 10), At(11, 59, 30));
        Store("IsList_2", "1");
        Store("STBYActive_1", "1");
        for (const char* n : {"1", "2"}) {
            Store(std::string("DispTimer_") + n, "1");
            Store(std::string("TimerTime_") + n, "12:00:00");
            Store(std::string("TimerMode_") + n, std::to_string(mode));
        }
        ASSERT_TRUE(Start(2));
        sound = RampWave("ten.wav", TenPointTwoSeconds);
        Assign(0, 0, 3, sound);
        if (!window->LV.Exists(1)) {
            window->LV.Load(1); // the layout loads it in the program
        }
        UC_ListView& list = *window->LV(1);
        list.SetNumAux(4);
        list.AddItem(1);
        list.SetAuxID(0, 0, sound);
        list.SetAuxID(0, 1, 1);
        list.SetSelectedItem(0);
    }
    // Cues button 3 (standby mode is on) and arms both timers by their labels.
    void CueAndArm()
    {
        control->Pon(0, 3, 0, 0, 0);
        ASSERT_EQ(State().StandbySet[0], 1);
        window->Ports.StatusLabels->TextTimer_MouseUD(0, 1, false, 0);
        window->Ports.StatusLabels->TextTimer_MouseUD(1, 1, false, 0);
        ASSERT_EQ(parms::StartTimer[0].TimerArmed, 1);
        ASSERT_EQ(parms::StartTimer[1].TimerArmed, 1);
    }
    // Runs the program in steps of 10 ms until msOfDay; notes when each
    // output first plays.
    void RunUntil(std::int64_t msOfDay)
    {
        while (clock.MsOfDay() < msOfDay) {
            Run(10);
            for (int output = 0; output < 2; ++output) {
                if (State().OutputState[static_cast<std::size_t>(output)] != 0 && startedAt[output] < 0) {
                    startedAt[output] = clock.MsOfDay();
                }
            }
        }
    }
    // Holds the engine tick back for ms, then lets it run once.
    void StallTick(int ms)
    {
        window->TimerUpdate.SetInterval(0);
        Run(ms);
        control->TimerUpdate_Timer();
    }

    std::string sound;
    std::int64_t startedAt[2] = {-1, -1};
};

} // namespace

TEST_F(TimerPlay, EndModeStartsTheCuedButtonAndTheSelectedRowAtElevenToTwelve)
{
    StartTwoOutputs();
    EXPECT_EQ(State().STBYActive[0], 1) << "standby mode came back from the last run";
    CueAndArm();
    RunUntil(At(11, 59, 48, 990));
    EXPECT_EQ(startedAt[0], -1);
    EXPECT_EQ(startedAt[1], -1);
    RunUntil(At(11, 59, 49, 100));
    for (int output = 0; output < 2; ++output) {
        SCOPED_TRACE(output);
        EXPECT_GE(startedAt[output], At(11, 59, 49));
        EXPECT_LE(startedAt[output], At(11, 59, 49, 60));
        EXPECT_EQ(parms::StartTimer[static_cast<std::size_t>(output)].TimerArmed, 0) << "the start disarmed it";
        EXPECT_EQ(State().FromMS[static_cast<std::size_t>(output)], 0);
    }
    RunUntil(At(11, 59, 59, 500));
    EXPECT_EQ(State().OutputState[0], 0) << "10.2 s later it has ended, before 12:00:00";
}

TEST_F(TimerPlay, AStartThreeSecondsLateBeginsThreeSecondsIntoTheSound)
{
    StartTwoOutputs();
    CueAndArm();
    RunUntil(At(11, 59, 48, 900));
    Played(1);
    StallTick(3100);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(State().FromMS[0], 3000);
    EXPECT_EQ(State().OutputState[1], 1);
    EXPECT_EQ(State().FromMS[1], 3000) << "a row without a start value still gets the lateness";
    Run(200);
    const std::vector<float> left = Played(1);
    const float first = FirstSound(left);
    EXPECT_EQ(std::lround(first * 32768.0F), PlaybackFixture::Ramp(3 * Rate));
}

TEST_F(TimerPlay, AStartModeTimerWhoseTickStallsAcrossItsSecondStillStarts)
{
    StartTwoOutputs(0);
    CueAndArm();
    RunUntil(At(11, 59, 59, 950));
    EXPECT_EQ(State().OutputState[0], 0);
    StallTick(1300);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(State().FromMS[0], 1000);
}

TEST_F(TimerPlay, APlayRequestOnAPlayingOutputDisarmsItsTimer)
{
    StartTwoOutputs();
    const std::string other = RampWave("other.wav", Rate * 20);
    Assign(0, 0, 4, other);
    // A first sound, so the transport can replay it without the play function.
    control->TextSTBY_MouseUD(0, 1, false, 0);
    ASSERT_EQ(State().STBYActive[0], 0);
    control->Pon(0, 4, 0, 0, 0);
    control->StopOutput(0);
    Run(100);
    ASSERT_EQ(State().OutputState[0], 0);
    // Cue button 3 and arm; then standby off and the transport's play.
    control->TextSTBY_MouseUD(0, 1, false, 0);
    CueAndArm();
    control->TextSTBY_MouseUD(0, 1, false, 0);
    // What the transport's play does here: replays the range loaded last.
    State().PlayerAt(0).Play();
    Run(100);
    ASSERT_EQ(State().OutputState[0], 1);
    ASSERT_EQ(parms::StartTimer[0].TimerArmed, 1);
    control->Pon(0, 4, 0, 0, 0);
    EXPECT_EQ(parms::StartTimer[0].TimerArmed, 0);
}

namespace {

// One output with three DirectSound players that cross-fade.
class FadePlay : public PlaybackFixture {
protected:
    void StartWithFades(bool list)
    {
        Store("PlayerType", "0");
        Store("UseVol", "1");
        Store("FadeOn_1", "1");
        if (list) {
            Store("IsList_1", "1");
        }
        ASSERT_TRUE(Start(1));
        ASSERT_EQ(State().PlayersPerOutput, 3);
        ASSERT_EQ(State().FadeOn[0], 1) << "fade mode came back from the last run";
    }
    void Times(int fadeIn, int fadeOut, int offset)
    {
        parms::FITime = fadeIn;
        parms::FOTime = fadeOut;
        parms::FIOffset = offset;
        control->SetFadeParm();
    }
};

} // namespace

TEST_F(FadePlay, ASecondPressCrossFadesAndStopsTheFirstPlayerOnceSilent)
{
    StartWithFades(false);
    Times(0, 500, 0); // 10 ticks of 1000
    Assign(0, 0, 0, RampWave("a.wav", Rate * 5));
    Assign(0, 0, 1, RampWave("b.wav", Rate * 5));
    control->Pon(0, 0, 0, 0, 0);
    Run(200);
    ASSERT_EQ(State().PlayerAt(0).mode(), 3);
    control->Pon(0, 1, 0, 0, 0);
    EXPECT_EQ(State().CurrentPlayer[0], 1);
    Run(300);
    EXPECT_EQ(State().PlayerAt(0).mode(), 3) << "still fading";
    EXPECT_LT(State().PlayerAt(0).Attenuation(), 0);
    Run(400);
    EXPECT_NE(State().PlayerAt(0).mode(), 3);
    EXPECT_EQ(State().StopRequested[0], 1);
    EXPECT_EQ(State().PlayerAt(1).mode(), 3);
    EXPECT_EQ(State().PlayerAt(1).Attenuation(), 0);
    EXPECT_EQ(State().OutputState[0], 1);
}

TEST_F(FadePlay, SwitchingFadeOffDuringAFadeInOffsetStartsTheRowAndLetsTheListGoOn)
{
    StartWithFades(true);
    parms::UseListSeq = 1;
    Times(0, 0, 1000); // 20 ticks of offset
    UC_ListView& list = *window->LV(0);
    list.SetNumData(4);
    list.SetNumAux(4);
    list.AddItem(3);
    const char* rows[] = {"A", "B", "C"};
    const int frames[] = {Rate * 2, Rate / 2, Rate / 2};
    for (int r = 0; r < 3; ++r) {
        list.SetValue(r, 1, rows[r]);
        list.SetAuxID(r, 0, RampWave(std::string(rows[r]) + ".wav", frames[r]));
        list.SetAuxID(r, 1, 1);
    }
    list.SetValue(2, 2, "▲"); // C follows B by itself
    control->SetListCursor(0, 0, 1, 0);
    control->Pon(0, 0, 0, 0, 0);
    Run(200);
    ASSERT_EQ(State().PlayerTitle[static_cast<std::size_t>(State().CurrentPlayer[0])], "A");
    control->Pon(0, 0, 0, 0, 0); // B, held back by the offset
    ASSERT_GT(State().FadeInDelay[0], 0);
    const int b = State().CurrentPlayer[0];
    EXPECT_NE(State().PlayerAt(b).mode(), 3);
    control->TextFade_MouseUD(0, 1, false, 0);
    EXPECT_EQ(State().FadeOn[0], 0);
    EXPECT_EQ(State().FadeInDelay[0], 0);
    EXPECT_EQ(State().PlayerAt(b).mode(), 3) << "B starts at once";
    // When A and B have ended the list moves on to C, which starts by itself.
    bool playedC = false;
    for (int t = 0; t < 5000 && !playedC; t += 50) {
        Run(50);
        playedC = State().OutputState[0] == 1 &&
                  State().PlayerTitle[static_cast<std::size_t>(State().CurrentPlayer[0])] == "C";
    }
    EXPECT_TRUE(playedC);
}
