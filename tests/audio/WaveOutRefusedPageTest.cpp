// A device that refuses a page: the sound never plays on with the page's
// piece missing; it does not start, or stops where the piece was, and the
// log says why.
#include "WaveOutFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace wavetest;
using platform::audio::AudioError;

class WaveOutRefusedPage : public WaveOutFixture {
protected:
    void Load(C_WaveOut& player)
    {
        SetUpPlayer(player);
        samples = Noise(2, 16, 2 * Rate, 31);
        expected = audiotest::ExpectedFloats(platform::audio::StreamFormat{Rate, 16, 2}, samples);
        player.SetFileName(WriteWave("refused.wav", 2, 16, samples));
        // Refuses the refusedWrite'th page written, with a full queue.
        player.SetPageRefusalForTests(
            [this](int, int) { return ++written == refusedWrite ? AudioError::QueueFull : AudioError::None; });
        Played(1);
    }
    int refusedWrite = 0;
    int written = 0;
    std::vector<std::uint8_t> samples;
    std::vector<float> expected;
};

TEST_F(WaveOutRefusedPage, ARefusedStartPageFailsTheStartWithItsReasonAndNothingSounds)
{
    C_WaveOut player;
    refusedWrite = 2;
    Load(player);
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(player.mode(), 1);
    Run({&player}, 500);
    for (const float v : Played(1)) {
        ASSERT_EQ(v, 0.0f) << "the first page alone must not sound";
    }
    EXPECT_NE(ErrorLog().find("C_WaveOut sound not started, a page was not taken (" +
                              std::string(ErrorText(AudioError::QueueFull)) + ") " + player.FileName()),
              std::string::npos)
        << ErrorLog();
}

TEST_F(WaveOutRefusedPage, ARefusedLaterPageStopsTheSoundThereWithALineAndSkipsNothing)
{
    C_WaveOut player;
    refusedWrite = 9; // the sound's ninth page, queued while its second plays
    Load(player);
    ASSERT_EQ(player.Play(), 1);
    EXPECT_LT(RunUntilStopped(player, 3000), 1000) << "a two-second sound stops as its ninth page is queued";
    EXPECT_NE(ErrorLog().find("C_WaveOut sound stopped at "), std::string::npos) << ErrorLog();
    EXPECT_NE(ErrorLog().find(" ms, a page was not taken (" + std::string(ErrorText(AudioError::QueueFull)) + ") " +
                              player.FileName()),
              std::string::npos)
        << ErrorLog();

    // What was heard is the sound from its start in order, then the stop's
    // short fade and silence: never a later piece after a missing one.
    const auto played = Played(1);
    std::size_t heard = 0;
    while (heard < played.size() && heard < expected.size() &&
           played[heard] == std::max(expected[heard], Float16(-32767))) {
        ++heard;
    }
    EXPECT_GE(heard, 2u * PageFrames);
    for (std::size_t i = heard + 2 * platform::audio::Voice::DeclickFrames; i < played.size(); ++i) {
        ASSERT_EQ(played[i], 0.0f) << "frame " << i / 2 << " after the stop at " << heard / 2;
    }
}

} // namespace
