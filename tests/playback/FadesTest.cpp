#include "FadeFakes.h"

#include "foundation/Parms.h"
#include "foundation/ModuleValues.h"
#include "playback/Fades.h"
#include "support/ScratchFolder.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace {

using fadetest::ExactFaders;
using fadetest::ScriptedPlayer;

class CrossFade : public testing::Test {
protected:
    void SetUp() override
    {
        saved_ = {parms::MaxAtt, parms::TimerInt, parms::FITime, parms::FOTime, parms::FIOffset};
        parms::MaxAtt = 10000;
        parms::TimerInt = 50;
        players = fadetest::ThreePlayers(state);
        state.FadeOn[0] = 1;
        for (int slot = 0; slot < 3; ++slot) {
            faders.levels[slot] = -10000;
        }
    }
    void TearDown() override
    {
        parms::MaxAtt = saved_[0];
        parms::TimerInt = saved_[1];
        parms::FITime = saved_[2];
        parms::FOTime = saved_[3];
        parms::FIOffset = saved_[4];
    }
    void Times(int fadeIn, int fadeOut, int offset)
    {
        parms::FITime = fadeIn;
        parms::FOTime = fadeOut;
        parms::FIOffset = offset;
        fades.SetFadeParm();
    }
    // Player 0 plays at full level; player 1 has just been started by a
    // press as the output's current player, with the fade-in delay the play
    // function sets.
    void OldPlaysNewStarts(bool newStarted)
    {
        players[0]->state = 3;
        faders.levels[0] = 0;
        state.CurrentPlayer[0] = 1;
        state.FadeInDelay[0] = state.FadeParm[2];
        if (newStarted) {
            players[1]->state = 3;
        }
    }
    void Ticks(int count)
    {
        for (int i = 0; i < count; ++i) {
            fades.ProcessFade(0);
        }
    }

    MainState state;
    std::vector<ScriptedPlayer*> players;
    ExactFaders faders;
    Fades fades{state, faders};

private:
    std::array<std::int32_t, 5> saved_{};
};

} // namespace

TEST(FadeParm, StepsPerTickFromTheFadeTimes)
{
    // 2 s over 10000 at 50 ms ticks: 250 a tick, 40 ticks.
    EXPECT_EQ(Fades::ComputeFadeParm(50, 10000, 2000, 1000, 500), (std::array<std::int32_t, 3>{250, 500, 10}));
    // Time 0 is at once; no offset is no delay.
    EXPECT_EQ(Fades::ComputeFadeParm(50, 10000, 0, 0, 0), (std::array<std::int32_t, 3>{10000, 10000, 0}));
    // Ticks shorter than 15 ms count as 15.
    EXPECT_EQ(Fades::ComputeFadeParm(10, 10000, 1500, 3000, 150), (std::array<std::int32_t, 3>{100, 50, 10}));
    // The offset in ticks is rounded half to even.
    EXPECT_EQ(Fades::ComputeFadeParm(50, 10000, 0, 0, 75)[2], 2);
    EXPECT_EQ(Fades::ComputeFadeParm(50, 10000, 0, 0, 125)[2], 2);
    // A 20-minute fade would round to 0 a tick and never end: it takes 1.
    EXPECT_EQ(Fades::ComputeFadeParm(50, 10000, 1'200'000, 1'200'000, 0)[0], 1);
    EXPECT_EQ(Fades::ComputeFadeParm(50, 10000, 1'200'000, 1'200'000, 0)[1], 1);
}

TEST_F(CrossFade, OldPlayerFadesToSilenceAndStopsWhileTheNewOneFadesIn)
{
    Times(2000, 1000, 0);
    OldPlaysNewStarts(true);
    Ticks(1);
    EXPECT_EQ(faders.levels[0], -500);
    EXPECT_EQ(players[0]->attenuation, -500);
    EXPECT_EQ(faders.levels[1], -9750);
    EXPECT_EQ(players[1]->attenuation, -9750);
    // The idle third player waits silent.
    EXPECT_EQ(faders.levels[2], -10000);

    Ticks(19);
    EXPECT_EQ(faders.levels[0], -10000);
    EXPECT_EQ(players[0]->stops, 0) << "silent only now; stopped on the next tick";
    Ticks(1);
    EXPECT_EQ(players[0]->stops, 1);
    EXPECT_EQ(state.StopRequested[0], 1);
    EXPECT_EQ(players[0]->mode(), 1);

    Ticks(19);
    EXPECT_EQ(faders.levels[1], 0) << "40 ticks of 250";
    EXPECT_EQ(players[1]->attenuation, 0);
    Ticks(5);
    EXPECT_EQ(faders.levels[1], 0);
    EXPECT_EQ(players[1]->stops, 0);
    EXPECT_EQ(players[0]->stops, 1);
}

TEST_F(CrossFade, ATwentyMinuteFadeStillEndsAndStopsTheOldPlayer)
{
    Times(1'200'000, 1'200'000, 0);
    OldPlaysNewStarts(true);
    Ticks(9999);
    EXPECT_EQ(faders.levels[0], -9999);
    EXPECT_EQ(players[0]->stops, 0);
    Ticks(2);
    EXPECT_EQ(faders.levels[0], -10000);
    EXPECT_EQ(players[0]->stops, 1);
    EXPECT_EQ(faders.levels[1], 0);
}

TEST_F(CrossFade, WithoutFadeOutTimeTheOldPlayerIsSilentAtOnceAndStoppedOnTheNextTick)
{
    Times(0, 0, 0);
    OldPlaysNewStarts(true);
    Ticks(1);
    EXPECT_EQ(players[0]->attenuation, -10000);
    EXPECT_EQ(players[0]->stops, 0);
    EXPECT_EQ(faders.levels[1], 0) << "no fade-in time: full level on the first tick";
    Ticks(1);
    EXPECT_EQ(players[0]->stops, 1);
}

TEST_F(CrossFade, AFadeInOffsetHoldsTheStartBackForItsTicksWhileTheOldPlayerFadesOut)
{
    Times(0, 2000, 500); // 10 ticks of 50 ms
    ASSERT_EQ(state.FadeParm[2], 10);
    OldPlaysNewStarts(false);
    Ticks(9);
    EXPECT_EQ(players[1]->plays, 0);
    EXPECT_EQ(faders.levels[0], -9 * 250);
    EXPECT_EQ(faders.levels[1], -10000) << "waits silent";
    Ticks(1);
    EXPECT_EQ(players[1]->plays, 1);
    EXPECT_EQ(state.FadeInDelay[0], 0);
    // Without fade-in time the delayed player starts at full level.
    EXPECT_EQ(faders.levels[1], 0);
    EXPECT_EQ(players[1]->attenuation, 0);
    // 40 steps of 250 take the old player down; it stops on the 41st tick.
    Ticks(30);
    EXPECT_EQ(players[0]->stops, 0);
    Ticks(1);
    EXPECT_EQ(players[0]->stops, 1);
    EXPECT_EQ(players[1]->plays, 1);
}

TEST_F(CrossFade, ADelayedPlayerWithAFadeInTimeStartsSilentAndRises)
{
    Times(1000, 1000, 100); // offset 2 ticks, 500 a tick up
    OldPlaysNewStarts(false);
    Ticks(2);
    EXPECT_EQ(players[1]->plays, 1);
    EXPECT_EQ(faders.levels[1], -9500) << "the first step comes with the start";
    Ticks(19);
    EXPECT_EQ(faders.levels[1], 0);
}

TEST_F(CrossFade, SwitchingFadeOffDuringTheOffsetStartsThePendingPlayerAtOnce)
{
    Times(2000, 2000, 1000);
    OldPlaysNewStarts(false);
    Ticks(3);
    ASSERT_EQ(players[1]->plays, 0);
    EXPECT_EQ(fades.ToggleFade(0), 0);
    EXPECT_EQ(players[1]->plays, 1);
    EXPECT_EQ(state.FadeInDelay[0], 0) << "nothing pending holds the list back";
    EXPECT_EQ(faders.levels[1], 0);
    EXPECT_EQ(players[1]->attenuation, 0);
    // On again: nothing more starts.
    EXPECT_EQ(fades.ToggleFade(0), 1);
    EXPECT_EQ(players[1]->plays, 1);
}

TEST_F(CrossFade, AStopDuringTheOffsetKeepsThePendingPlayerFromStarting)
{
    Times(0, 2000, 300);
    OldPlaysNewStarts(false);
    Ticks(2);
    // The operator stops the output: every player of it is marked.
    for (int slot = 0; slot < 3; ++slot) {
        players[static_cast<std::size_t>(slot)]->StopIO(0);
        state.StopRequested[static_cast<std::size_t>(slot)] = 1;
    }
    Ticks(10);
    EXPECT_EQ(players[1]->plays, 0);
    EXPECT_EQ(state.FadeInDelay[0], 0);
    state.FadeInDelay[0] = 3;
    fades.ToggleFade(0);
    EXPECT_EQ(players[1]->plays, 0);
}

TEST_F(CrossFade, ADelayedStartThatFailsMarksTheSlotAndIsLogged)
{
    testsupport::ScratchFolder program;
    basic::SetAppPath(program.Path());
    basic::LogError = 1;
    Times(0, 0, 100);
    OldPlaysNewStarts(false);
    players[1]->refusePlay = true;
    Ticks(2);
    basic::SetAppPath("");
    EXPECT_EQ(players[1]->plays, 1);
    EXPECT_EQ(state.SpanMS[1], -1);
    std::string log;
    for (const auto& entry : std::filesystem::directory_iterator(program.Path() + "log")) {
        log += testsupport::ReadText(entry.path().string());
    }
    EXPECT_NE(log.find("PonFail2 sound.wav"), std::string::npos) << log;
}
