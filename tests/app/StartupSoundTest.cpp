// "startup.wav" beside the program sounds on every player at the end of the
// start-up, on the assembled program, while the program makes its players
// ready for the first press.
#include "AssembledFixture.h"

#include "audio/Player.h"
#include "support/RampWave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

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

// On every back-end and every output it allows, with the fade on and off:
// the start-up sound plays to its end although the players are made ready
// for the first press meanwhile, no button looks as if it played, and the
// first press after it sounds from its first frame.
class StartupSoundOnEveryBackEnd : public StartupSound, public testing::WithParamInterface<std::tuple<int, int>> {
protected:
    static std::int64_t NonSilentFrames(const std::vector<float>& played)
    {
        return std::count_if(played.begin(), played.end(), [](float sample) { return sample != 0.0F; });
    }
    bool AnyPlays()
    {
        for (int slot = 0; slot < State().PlayerCount; ++slot) {
            if (Plays(slot)) {
                return true;
            }
        }
        return false;
    }
};

TEST_P(StartupSoundOnEveryBackEnd, PlaysToItsEndLightingNoButtonAndThePressAfterItSoundsWhole)
{
    const auto [backEnd, fade] = GetParam();
    const int numOut = backEnd == 3 || backEnd == 4 ? 2 : 1;
    constexpr int SoundFrames = Rate;
    testsupport::WriteRampWave(folder / "startup.wav", Rate, SoundFrames);
    Store("PlayerType", std::to_string(backEnd));
    Store("DeviceDS_1", "Null 1");
    Store("FadeOn_1", std::to_string(fade));
    ASSERT_TRUE(Start(numOut));
    ASSERT_EQ(State().NumOut, numOut);
    for (int slot = 0; slot < State().PlayerCount; ++slot) {
        EXPECT_TRUE(Plays(slot)) << "player " << slot;
    }

    std::vector<std::int64_t> heard(static_cast<std::size_t>(numOut), 0);
    for (int ms = 0; ms < 5000 && AnyPlays(); ms += 100) {
        Run(100);
        for (int output = 0; output < numOut; ++output) {
            EXPECT_EQ(Button(output, 0).Activated(), 0) << "output " << output << " at " << ms << " ms";
            heard[static_cast<std::size_t>(output)] += NonSilentFrames(Played(output + 1));
        }
    }
    ASSERT_FALSE(AnyPlays()) << "the start-up sound never ended";
    Run(100);
    for (int output = 0; output < numOut; ++output) {
        heard[static_cast<std::size_t>(output)] += NonSilentFrames(Played(output + 1));
        EXPECT_GE(heard[static_cast<std::size_t>(output)], SoundFrames) << "output " << output;
    }

    const std::string press = RampWave("press.wav", Rate / 4);
    for (int output = 0; output < numOut; ++output) {
        ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(output, 0, 0, press));
        Click(Face(Button(output, 0)), Qt::LeftButton);
        Run(100);
        const std::vector<float> played = Played(output + 1);
        const auto first = std::find_if(played.begin(), played.end(), [](float sample) { return sample != 0.0F; });
        ASSERT_NE(first, played.end()) << "the press on output " << output << " was not heard";
        EXPECT_EQ(RampFrame(*first), 0) << "output " << output;
        testsupport::ExpectRampUnbroken(std::vector<float>(first, std::find(first, played.end(), 0.0F)), output + 1);
    }
}

INSTANTIATE_TEST_SUITE_P(BackEnds, StartupSoundOnEveryBackEnd,
                         testing::Values(std::tuple{0, 0}, std::tuple{0, 1}, std::tuple{1, 0}, std::tuple{1, 1},
                                         std::tuple{2, 0}, std::tuple{3, 0}, std::tuple{4, 0}, std::tuple{5, 0},
                                         std::tuple{5, 1}),
                         [](const testing::TestParamInfo<std::tuple<int, int>>& param) {
                             return "PlayerType" + std::to_string(std::get<0>(param.param)) + "Fade" +
                                    std::to_string(std::get<1>(param.param));
                         });

} // namespace
