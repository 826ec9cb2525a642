// The DirectSound back-end: one output of three players used in turn, the
// free one chosen by itself with AutoSel, and transport that acts on one
// player of the three.
#include "PlaybackFixture.h"

#include "foundation/Parms.h"

#include <gmock/gmock.h>

namespace {

using playbacktest::PlaybackFixture;

class ThreePlayers : public PlaybackFixture {};

TEST_F(ThreePlayers, AutoSelTakesTheFirstFreePlayerAndStopActsOnOnePlayerOnly)
{
    Store("PlayerType", "0");
    Store("AutoSel", "1");
    ASSERT_TRUE(Start());
    ASSERT_EQ(State().PlayersPerOutput, 3);
    ASSERT_EQ(parms::AutoSel, 1);
    for (int slot = 1; slot < 3; ++slot) {
        window->PlayButtons.Load(slot);
    }
    for (int slot = 0; slot < 3; ++slot) {
        window->PlayButtons(slot)->SetNumButtons(3);
    }
    Assign(0, 0, 0, RampWave("a.wav", 5 * Rate));

    control->Pon(0, 0, 0, 0, 0);
    EXPECT_EQ(State().CurrentPlayer[0], 0);
    control->Pon(0, 0, 0, 0, 0);
    EXPECT_EQ(State().CurrentPlayer[0], 1);
    control->Pon(0, 0, 0, 0, 0);
    EXPECT_EQ(State().CurrentPlayer[0], 2);
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_EQ(PlayerOf(slot).mode(), 3) << slot;
    }
    // All three play: the one after the current one, wrapping.
    control->Pon(0, 0, 0, 0, 0);
    EXPECT_EQ(State().CurrentPlayer[0], 0);

    // The stop button of a player stops that player only.
    control->PlayButtons_ButtonClicked(1, 0);
    Run(100);
    EXPECT_EQ(PlayerOf(1).mode(), 1);
    EXPECT_EQ(PlayerOf(0).mode(), 3);
    EXPECT_EQ(PlayerOf(2).mode(), 3);
    EXPECT_EQ(State().OutputState[0], 1);
    // A free player is taken next.
    control->Pon(0, 0, 0, 0, 0);
    EXPECT_EQ(State().CurrentPlayer[0], 1);

    control->StopOutput(0);
    Run(100);
    EXPECT_EQ(State().OutputState[0], 0);
}

} // namespace
