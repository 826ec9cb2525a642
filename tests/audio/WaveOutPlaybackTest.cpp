// What a waveOut player hands its devices, compared with the file sample for
// sample, on null devices and virtual time.
#include "WaveOutFixture.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace wavetest;
using platform::audio::StreamFormat;

class WaveOutPlayback : public WaveOutFixture {
protected:
    // The frames of a file as a stereo device plays them at unity gain: a mono
    // file sounds on both speakers.
    static std::vector<float> AsPlayed(int channels, int bits, const std::vector<std::uint8_t>& samples)
    {
        const auto values = audiotest::ExpectedFloats(StreamFormat{Rate, bits, channels}, samples);
        if (channels == 2) {
            return values;
        }
        std::vector<float> stereo;
        for (const float value : values) {
            stereo.push_back(value);
            stereo.push_back(value);
        }
        return stereo;
    }
    // Checks played frames [at, at + count) against expected frames [from, from + count).
    static void ExpectFrames(const std::vector<float>& played, std::size_t at, const std::vector<float>& expected,
                             std::size_t from, std::size_t count)
    {
        ASSERT_GE(played.size(), 2 * (at + count));
        ASSERT_GE(expected.size(), 2 * (from + count));
        for (std::size_t f = 0; f < 2 * count; ++f) {
            ASSERT_EQ(played[2 * at + f], expected[2 * from + f]) << "frame " << (at + f / 2);
        }
    }
    static void ExpectSilence(const std::vector<float>& played, std::size_t from, std::size_t to)
    {
        ASSERT_GE(played.size(), 2 * to);
        for (std::size_t f = 2 * from; f < 2 * to; ++f) {
            ASSERT_EQ(played[f], 0.0f) << "frame " << f / 2;
        }
    }
};

TEST_F(WaveOutPlayback, StereoSixteenBitPlaysExactlyFromTheStartToTheEndPointAndThenStops)
{
    const auto samples = Noise(2, 16, 96000, 1);
    const std::string path = WriteWave("stereo.wav", 2, 16, samples);
    C_WaveOut player;
    SetUpPlayer(player);
    EXPECT_EQ(player.mode(), 1);
    player.SetFileName(path);
    ASSERT_EQ(player.FileName(), path);
    EXPECT_EQ(player.Length(), 2000);
    EXPECT_EQ(player.Freq(), Rate);
    player.SetFromSample(10000);
    player.SetToSample(70000);
    EXPECT_EQ(player.FromSample(), 10000);
    EXPECT_EQ(player.ToSample(), 70000);
    Played(1);

    ASSERT_EQ(player.Play(), 1);
    EXPECT_EQ(player.mode(), 3);
    EXPECT_NE(player.hWave(0), 0);
    const std::int64_t took = RunUntilStopped(player, 3000);
    // 60,000 frames are 1,250 ms; the end is found by the next poll.
    EXPECT_GE(took, 1250);
    EXPECT_LE(took, 1260);
    EXPECT_EQ(player.mode(), 1);
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(player.hWave(0), 0);

    const auto played = Played(1);
    ExpectFrames(played, 0, AsPlayed(2, 16, samples), 10000, 60000);
    ExpectSilence(played, 60000, played.size() / 2);
}

TEST_F(WaveOutPlayback, ASoundOfWholePeriodsEndsOnItsLastFrame)
{
    // 240 periods, 1.28 s: its end falls on the end of a period and of a
    // 10 ms tick, so the poll that finds it ended stops the device before
    // the next period is mixed. Nothing of it may follow its last frame.
    const std::size_t frames = 240 * Period;
    const auto samples = Noise(2, 16, frames, 3);
    C_WaveOut player;
    SetUpPlayer(player);
    player.SetFileName(WriteWave("periods.wav", 2, 16, samples));
    Played(1);
    ASSERT_EQ(player.Play(), 1);
    RunUntilStopped(player, 3000);
    Run({&player}, 100);
    const auto played = Played(1);
    ExpectFrames(played, 0, AsPlayed(2, 16, samples), 0, frames);
    ExpectSilence(played, frames, played.size() / 2);
}

class WaveOutFormats : public WaveOutPlayback, public testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(WaveOutFormats, EveryFramePlaysUnchanged)
{
    const auto [channels, bits] = GetParam();
    const auto samples = Noise(channels, bits, 30000, 7);
    C_WaveOut player;
    SetUpPlayer(player);
    player.SetFileName(WriteWave("format.wav", channels, bits, samples));
    Played(1);
    ASSERT_EQ(player.Play(), 1);
    RunUntilStopped(player, 2000);
    const auto played = Played(1);
    ExpectFrames(played, 0, AsPlayed(channels, bits, samples), 0, 30000);
    ExpectSilence(played, 30000, played.size() / 2);
}

INSTANTIATE_TEST_SUITE_P(MonoStereoAndWidths, WaveOutFormats,
                         testing::Values(std::tuple{1, 8}, std::tuple{2, 8}, std::tuple{1, 16}, std::tuple{1, 24},
                                         std::tuple{2, 24}));

TEST_F(WaveOutPlayback, SixChannelsSplitIntoStereoPairsOnThreeDevices)
{
    constexpr std::size_t frames = 20000;
    const auto samples = Noise(6, 16, frames, 3);
    C_WaveOut player;
    player.SetExtDeviceID(1, 2);
    player.SetExtDeviceID(2, 3);
    SetUpPlayer(player, 1);
    player.SetFileName(WriteWave("surround.wav", 6, 16, samples));
    for (int d = 1; d <= 4; ++d) {
        Played(d);
    }
    ASSERT_EQ(player.Play(), 1);
    EXPECT_NE(player.hWave(2), 0);
    EXPECT_EQ(player.hWave(3), 0);
    RunUntilStopped(player, 2000);

    // At full level every sample passes, limited to +-32767.
    const auto values = audiotest::ExpectedFloats(StreamFormat{Rate, 16, 6}, samples);
    for (int k = 0; k < 3; ++k) {
        const auto played = Played(k + 1);
        ASSERT_GE(played.size(), 2 * frames);
        for (std::size_t f = 0; f < frames; ++f) {
            for (std::size_t c = 0; c < 2; ++c) {
                const float value = std::max(values[6 * f + 2 * static_cast<std::size_t>(k) + c], Float16(-32767));
                ASSERT_EQ(played[2 * f + c], value) << "device " << k << " frame " << f;
            }
        }
        ExpectSilence(played, frames, played.size() / 2);
    }
    EXPECT_TRUE(Played(4).empty() || std::all_of(Played(4).begin(), Played(4).end(), [](float v) { return v == 0; }));
}

TEST_F(WaveOutPlayback, EightChannelsOfTwentyFourBitsGoToFourDevices)
{
    constexpr std::size_t frames = 12000;
    const auto samples = Noise(8, 24, frames, 4);
    C_WaveOut player;
    for (int i = 1; i <= 3; ++i) {
        player.SetExtDeviceID(i, i + 1);
    }
    SetUpPlayer(player, 1);
    player.SetFileName(WriteWave("seven-one.wav", 8, 24, samples));
    for (int d = 1; d <= 4; ++d) {
        Played(d);
    }
    ASSERT_EQ(player.Play(), 1);
    RunUntilStopped(player, 2000);
    const auto values = audiotest::ExpectedFloats(StreamFormat{Rate, 24, 8}, samples);
    for (int k = 0; k < 4; ++k) {
        const auto played = Played(k + 1);
        ASSERT_GE(played.size(), 2 * frames);
        for (std::size_t f = 0; f < frames; ++f) {
            ASSERT_EQ(played[2 * f], values[8 * f + 2 * static_cast<std::size_t>(k)]) << k << " " << f;
            ASSERT_EQ(played[2 * f + 1], values[8 * f + 2 * static_cast<std::size_t>(k) + 1]) << k << " " << f;
        }
    }
}

TEST_F(WaveOutPlayback, ALoopWrapsFromTheEndPointToTheStandbyPointAndNeverEnds)
{
    constexpr std::size_t frames = 96000;
    constexpr std::size_t standby = 24000;
    const auto samples = Noise(2, 16, frames, 5);
    C_WaveOut player;
    SetUpPlayer(player);
    player.SetFileName(WriteWave("loop.wav", 2, 16, samples));
    player.SetStbyPoint(static_cast<std::int32_t>(standby));
    player.SetLoopOn(1);
    Played(1);
    ASSERT_EQ(player.Play(), 1);

    // Position climbs to the end point (2,000 ms) and goes on from 500 ms.
    std::int32_t highest = 0;
    std::int32_t afterWrap = -1;
    std::int32_t previous = 0;
    for (int t = 0; t < 4000; t += 10) {
        Run({&player}, 10);
        const std::int32_t position = player.Position();
        highest = std::max(highest, position);
        if (position < previous && afterWrap < 0) {
            afterWrap = position;
        }
        previous = position;
    }
    EXPECT_EQ(player.mode(), 3);
    EXPECT_GE(highest, 1990);
    EXPECT_LE(highest, 2000);
    EXPECT_GE(afterWrap, 500);
    EXPECT_LE(afterWrap, 515);

    const auto played = Played(1);
    const auto expected = AsPlayed(2, 16, samples);
    ExpectFrames(played, 0, expected, 0, frames);
    ExpectFrames(played, frames, expected, standby, frames - standby);
    const std::size_t third = 2 * frames - standby;
    ASSERT_GT(played.size() / 2, third);
    ExpectFrames(played, third, expected, standby, played.size() / 2 - third);
    player.StopIO(1);
    EXPECT_EQ(player.mode(), 1);
}

TEST_F(WaveOutPlayback, TwoPlayersOnOneDeviceMix)
{
    const auto first = Noise(2, 16, 20000, 11);
    const auto second = Noise(2, 16, 30000, 12);
    C_WaveOut a;
    C_WaveOut b;
    SetUpPlayer(a);
    SetUpPlayer(b);
    a.SetFileName(WriteWave("a.wav", 2, 16, first));
    b.SetFileName(WriteWave("b.wav", 2, 16, second));
    Played(1);
    ASSERT_EQ(a.Play(), 1);
    ASSERT_EQ(b.Play(), 1);
    EXPECT_TRUE(messageBoxes.empty());
    Run({&a, &b}, 1000);
    EXPECT_EQ(a.mode(), 1);
    EXPECT_EQ(b.mode(), 1);
    const auto played = Played(1);
    const auto x = AsPlayed(2, 16, first);
    const auto y = AsPlayed(2, 16, second);
    ASSERT_GE(played.size(), y.size());
    for (std::size_t i = 0; i < y.size(); ++i) {
        ASSERT_EQ(played[i], (i < x.size() ? x[i] : 0.0f) + y[i]) << i;
    }
}

} // namespace
