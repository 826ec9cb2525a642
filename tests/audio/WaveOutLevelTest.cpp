// The level, pan and meters of a waveOut player, measured on what its
// devices play.
#include "WaveOutFixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace wavetest;
using platform::audio::StreamFormat;

// The linear gain of a step of the gain curve between -20 and -15 dB.
double CurveGain(int step)
{
    return std::pow(10.0, (-20.0 + (step - 79) * 5.0 / 26.0) / 20.0);
}

std::vector<std::uint8_t> Stereo16(std::size_t frames, std::int16_t left, std::int16_t right)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t f = 0; f < frames; ++f) {
        for (const std::int16_t value : {left, right}) {
            const auto word = static_cast<std::uint16_t>(value);
            bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(word >> 8));
        }
    }
    return bytes;
}

int Limited(double value)
{
    const double rounded = std::nearbyint(value);
    return static_cast<int>(std::clamp(rounded, -32767.0, 32767.0));
}

class WaveOutLevel : public WaveOutFixture {};

TEST_F(WaveOutLevel, AttenuationFollowsTheGainCurveOverTheFaderTravel)
{
    const auto samples = Noise(2, 16, 20000, 31);
    const auto values = audiotest::ExpectedFloats(StreamFormat{Rate, 16, 2}, samples);
    C_WaveOut player;
    player.SetUsePeakVol(1);
    SetUpPlayer(player);
    player.SetFileName(WriteWave("level.wav", 2, 16, samples));
    player.SetAttenuation(-2000);
    EXPECT_EQ(player.Attenuation(), -2000);
    Played(1);
    ASSERT_EQ(player.Play(), 1);
    RunUntilStopped(player, 1000);
    // Half the travel of -40 dB: between curve steps 103 and 104, about -15.3 dB.
    const double gain = (CurveGain(103) + CurveGain(104)) / 2.0;
    EXPECT_NEAR(20.0 * std::log10(gain), -15.3, 0.05);
    const auto played = Played(1);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int want = Limited(values[i] * 32768.0 * gain);
        ASSERT_NEAR(played[i] * 32768.0f, static_cast<float>(want), 1.0f) << i;
    }
}

TEST_F(WaveOutLevel, TheFaderBottomIsNearSilenceAndTheLevelIsLimitedToItsRange)
{
    const auto samples = Noise(2, 16, 9000, 32);
    C_WaveOut player;
    player.SetUsePeakVol(1);
    SetUpPlayer(player);
    player.SetFileName(WriteWave("bottom.wav", 2, 16, samples));
    player.SetAttenuation(500);
    EXPECT_EQ(player.Attenuation(), 0);
    player.SetAttenuation(-5000);
    EXPECT_EQ(player.Attenuation(), -4000);
    Played(1);
    ASSERT_EQ(player.Play(), 1);
    RunUntilStopped(player, 1000);
    // -99.9 dB: no 16-bit sample stays above half a step.
    for (const float value : Played(1)) {
        ASSERT_EQ(value, 0.0f);
    }
}

TEST_F(WaveOutLevel, WithoutPeakVolumeAStereoFileIsNeitherAttenuatedNorMetered)
{
    const auto samples = Noise(2, 16, 9000, 33);
    C_WaveOut player;
    SetUpPlayer(player);
    player.SetFileName(WriteWave("plain.wav", 2, 16, samples));
    player.SetAttenuation(-2000);
    player.SetPanValue(-5000);
    Played(1);
    ASSERT_EQ(player.Play(), 1);
    Run({&player}, 50);
    EXPECT_EQ(player.Peak(0), 0);
    EXPECT_EQ(player.RMS(0), 0);
    RunUntilStopped(player, 1000);
    const auto played = Played(1);
    const auto values = audiotest::ExpectedFloats(StreamFormat{Rate, 16, 2}, samples);
    for (std::size_t i = 0; i < values.size(); ++i) {
        ASSERT_EQ(played[i], values[i]) << i;
    }
}

TEST_F(WaveOutLevel, PanLowersTheFarSideSixDecibelsPerThousandAndCutsItAtTheEnd)
{
    C_WaveOut player;
    player.SetUsePeakVol(1);
    SetUpPlayer(player);
    player.SetFileName(WriteWave("pan.wav", 2, 16, Stereo16(9000, 16384, 16384)));
    player.SetPanValue(-5000);
    EXPECT_EQ(player.PanValue(), -5000);
    Played(1);
    ASSERT_EQ(player.Play(), 1);
    RunUntilStopped(player, 1000);
    auto played = Played(1);
    // Right: 16,384 x 10^(-30/20) = 518.1.
    EXPECT_EQ(played[0], Float16(16384));
    EXPECT_EQ(played[1], Float16(518));
    EXPECT_EQ(played[2 * 8999], Float16(16384));
    EXPECT_EQ(played[2 * 8999 + 1], Float16(518));

    player.SetPanValue(2500);
    ASSERT_EQ(player.Play(), 1);
    RunUntilStopped(player, 1000);
    played = Played(1);
    // Left: 16,384 x 10^(-15/20) = 2,913.5, rounded to even.
    EXPECT_EQ(played[0], Float16(2914));
    EXPECT_EQ(played[1], Float16(16384));

    // A mono file uses the left gain, which is 0 at the right end.
    player.SetFileName(WriteWave("mono.wav", 1, 16, Noise(1, 16, 9000, 34)));
    player.SetPanValue(10000);
    ASSERT_EQ(player.Play(), 1);
    RunUntilStopped(player, 1000);
    for (const float value : Played(1)) {
        ASSERT_EQ(value, 0.0f);
    }
}

TEST_F(WaveOutLevel, SurroundFilesTakeTheAttenuationOnEveryChannelAndNoPan)
{
    std::vector<std::uint8_t> samples;
    for (std::size_t f = 0; f < 9000; ++f) {
        for (int c = 0; c < 6; ++c) {
            const auto word = static_cast<std::uint16_t>(static_cast<std::int16_t>(1000 * (c + 1)));
            samples.push_back(static_cast<std::uint8_t>(word & 0xFF));
            samples.push_back(static_cast<std::uint8_t>(word >> 8));
        }
    }
    C_WaveOut player;
    player.SetExtDeviceID(1, 2);
    player.SetExtDeviceID(2, 3);
    SetUpPlayer(player);
    player.SetFileName(WriteWave("surround.wav", 6, 16, samples));
    player.SetAttenuation(-2000);
    player.SetPanValue(10000);
    for (int d = 1; d <= 3; ++d) {
        Played(d);
    }
    ASSERT_EQ(player.Play(), 1);
    RunUntilStopped(player, 1000);
    const double gain = (CurveGain(103) + CurveGain(104)) / 2.0;
    for (int k = 0; k < 3; ++k) {
        const auto played = Played(k + 1);
        for (int c = 0; c < 2; ++c) {
            const int want = Limited(1000.0 * (2 * k + c + 1) * gain);
            EXPECT_NEAR(played[static_cast<std::size_t>(c)] * 32768.0f, static_cast<float>(want), 1.0f) << k << c;
        }
    }
}

TEST_F(WaveOutLevel, WithTheMixerTheLevelMovesOnlyThisPlayersVoices)
{
    const auto a = Stereo16(20000, 16384, 8192);
    const auto b = Stereo16(20000, 1000, -1000);
    C_WaveOut faded;
    C_WaveOut other;
    faded.SetUseMixer(1);
    SetUpPlayer(faded);
    SetUpPlayer(other);
    faded.SetFileName(WriteWave("a.wav", 2, 16, a));
    other.SetFileName(WriteWave("b.wav", 2, 16, b));
    // Written before the start: the voice opens at that level.
    faded.SetAttenuation(-2000);
    Played(1);
    ASSERT_EQ(faded.Play(), 1);
    ASSERT_EQ(other.Play(), 1);
    Run({&faded, &other}, 100);
    const double gain = (CurveGain(103) + CurveGain(104)) / 2.0;
    const float volume = static_cast<float>(std::floor(gain * 65535.0)) / 65535.0f;
    auto played = Played(1);
    for (std::size_t f = 0; f < 4000; ++f) {
        ASSERT_NEAR(played[2 * f], Float16(16384) * volume + Float16(1000), 1e-6f) << f;
        ASSERT_NEAR(played[2 * f + 1], Float16(8192) * volume + Float16(-1000), 1e-6f) << f;
    }
    // Full level: all bits of the volume set.
    faded.SetAttenuation(0);
    Run({&faded, &other}, 50);
    played = Played(1);
    const std::size_t ramp = static_cast<std::size_t>(Rate * platform::audio::Voice::VolumeRampMs / 1000) + Period;
    for (std::size_t f = ramp; f < 2000; ++f) {
        ASSERT_EQ(played[2 * f], Float16(16384) + Float16(1000)) << f;
    }
}

TEST_F(WaveOutLevel, PeakAndRmsReadTheHeardPageOnAnEightBitScale)
{
    C_WaveOut player;
    player.SetUsePeakVol(1);
    SetUpPlayer(player);
    player.SetFileName(WriteWave("meters.wav", 2, 16, Stereo16(48000, -16384, 8192)));
    EXPECT_EQ(player.Peak(0), 0);
    ASSERT_EQ(player.Play(), 1);
    Run({&player}, 100);
    EXPECT_EQ(player.Peak(0), 64);
    EXPECT_EQ(player.RMS(0), 64);
    EXPECT_EQ(player.Peak(1), 32);
    EXPECT_EQ(player.RMS(1), 32);
    // Channels the file does not have repeat channel 0.
    EXPECT_EQ(player.Peak(7), 64);
    EXPECT_EQ(player.Peak(8), 0);
    player.StopIO(1);
    EXPECT_EQ(player.Peak(0), 0);
    EXPECT_EQ(player.RMS(1), 0);
}

} // namespace
