// The FADE, STBY and TIMER switches of the last run come back at start.
#include "PlaybackFixture.h"

#include "foundation/Parms.h"

#include <gtest/gtest.h>

namespace {

using SwitchRestore = playbacktest::PlaybackFixture;

} // namespace

TEST_F(SwitchRestore, FadeStandbyAndTheTimerOfTheLastRunAreOnAgain)
{
    Store("PlayerType", "1");
    Store("UseVol", "1");
    Store("FadeOn_1", "1");
    Store("STBYActive_1", "1");
    Store("DispTimer_1", "1");
    Store("TimerActive_1", "1");
    Store("TimerTime_1", "12:00:00");
    ASSERT_TRUE(Start(1));
    EXPECT_EQ(State().FadeOn[0], 1);
    EXPECT_EQ(State().STBYActive[0], 1);
    EXPECT_EQ(parms::StartTimer[0].TimerArmed, 1);
}

TEST_F(SwitchRestore, FadeModeStaysOffOnABackEndWithOnePlayerPerOutput)
{
    Store("PlayerType", "3");
    Store("UseVol", "1");
    Store("FadeOn_1", "1");
    Store("STBYActive_1", "1");
    ASSERT_TRUE(Start(1));
    EXPECT_EQ(State().FadeOn[0], 0);
    EXPECT_EQ(State().STBYActive[0], 1);
}

TEST_F(SwitchRestore, ATimerWithoutItsLabelStaysDisarmed)
{
    Store("TimerActive_1", "1");
    ASSERT_TRUE(Start(1));
    EXPECT_EQ(parms::StartTimer[0].TimerArmed, 0);
}
