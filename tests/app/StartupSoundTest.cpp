// "startup.wav" beside the program sounds on every player at the end of the
// start-up, on the assembled program.
#include "AssembledFixture.h"

#include "audio/Player.h"
#include "support/RampWave.h"

#include <gtest/gtest.h>

namespace {

using apptest::AssembledFixture;

class StartupSound : public AssembledFixture {
protected:
    bool Plays(int slot) { return State().PlayerAt(slot).mode() == 3; }
};

// With the fade on, the start-up sound starts on all three players at once;
// from the next tick on the fade treats the two that are not the current
// player as it treats any player it fades out, so the current one plays on
// alone.
TEST_F(StartupSound, StartsOnAllThreePlayersAtOnceAndTheFadeLeavesTheCurrentOnePlaying)
{
    testsupport::WriteRampWave(folder / "startup.wav", Rate, 2 * Rate);
    Store("PlayerType", "0");
    Store("DeviceDS_1", "Null 1");
    Store("FadeOn_1", "1");
    ASSERT_TRUE(Start());
    ASSERT_EQ(State().PlayerCount, 3);
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_TRUE(Plays(slot)) << "player " << slot;
    }

    Run(300);
    const int current = State().CurrentPlayer[0];
    for (int slot = 0; slot < 3; ++slot) {
        EXPECT_EQ(Plays(slot), slot == current) << "player " << slot;
    }
}

} // namespace
