// Loading, reloading and releasing a waveOut player, and whole surround
// streams on one device.
#include "AllocationMeter.h"
#include "WaveOutFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace {

using namespace wavetest;
using platform::audio::StreamFormat;

class WaveOutLifecycle : public WaveOutFixture {
protected:
    // Starts a mono start-up sound of samples on player and lets it play a while.
    void StartMonoSound(C_WaveOut& player, const std::vector<std::uint8_t>& samples)
    {
        SetUpPlayer(player);
        player.SetFileName(WriteWave("startup.wav", 1, 16, samples));
        ASSERT_EQ(player.Play(), 1);
        Run({&player}, 100);
    }
    // A usual stereo sound then starts on the buffers readied for it: no
    // large block is asked for at its press.
    void ExpectAUsualSoundStartsReadied(C_WaveOut& player, std::uint32_t seed, const char* why)
    {
        const std::string usual = WriteWave("usual.wav", 2, 16, Noise(2, 16, Rate, seed));
        audiotest::ArmAllocationMeter();
        player.SetFileName(usual);
        const int started = player.Play();
        const audiotest::AllocatedBytes used = audiotest::DisarmAllocationMeter();
        ASSERT_EQ(started, 1);
        EXPECT_LT(used.Largest, 64 * 1024) << why;
        player.StopIO(1);
    }
};

TEST_F(WaveOutLifecycle, UpdateLengthTakesOverAGrownFileAndDropsAVanishedOne)
{
    const std::string path = WriteWave("growing.wav", 2, 16, Noise(2, 16, Rate, 51));
    C_WaveOut player;
    SetUpPlayer(player);
    player.SetFileName(path);
    EXPECT_EQ(player.Length(), 1000);
    WriteWave("growing.wav", 2, 16, Noise(2, 16, 2 * Rate, 51));
    player.UpdateLength();
    EXPECT_EQ(player.Length(), 2000);
    EXPECT_EQ(player.ToSample(), 2 * Rate);
    EXPECT_EQ(player.FileName(), path);

    std::filesystem::remove(path);
    player.UpdateLength();
    EXPECT_EQ(player.FileName(), "");
    EXPECT_EQ(player.Length(), 0);
    EXPECT_EQ(player.Play(), 0);
}

TEST_F(WaveOutLifecycle, CloseWaveReleasesTheFileAndThePlayerCanLoadAgain)
{
    for (const int noClose : {0, 1}) {
        SCOPED_TRACE(noClose);
        const auto samples = Noise(2, 16, 20000, 52);
        const std::string path = WriteWave("close.wav", 2, 16, samples);
        C_WaveOut player;
        player.SetNoClose(noClose);
        SetUpPlayer(player);
        player.SetFileName(path);
        ASSERT_EQ(player.Play(), 1);
        Run({&player}, 50);
        player.CloseWave();
        EXPECT_EQ(player.mode(), 1);
        EXPECT_EQ(player.FileName(), "");
        EXPECT_EQ(player.Freq(), 0);
        EXPECT_EQ(player.Length(), 0);
        EXPECT_EQ(player.Play(), 0);

        // The same format again: built afresh, never on released pages.
        player.SetFileName(path);
        Run({}, 10); // the closed sound's fade
        Played(1);
        ASSERT_EQ(player.Play(), 1);
        RunUntilStopped(player, 1000);
        const auto played = Played(1);
        const auto values = audiotest::ExpectedFloats(StreamFormat{Rate, 16, 2}, samples);
        for (std::size_t i = 0; i < values.size(); ++i) {
            ASSERT_EQ(played[i], values[i]) << i;
        }
    }
}

TEST_F(WaveOutLifecycle, InitWithOtherPagesRebuildsForTheNextFile)
{
    const auto samples = Noise(2, 16, 30000, 53);
    const std::string path = WriteWave("pages.wav", 2, 16, samples);
    C_WaveOut player;
    player.SetUsePeakVol(1);
    SetUpPlayer(player);
    player.SetFileName(WriteWave("long.wav", 2, 16, Noise(2, 16, 2 * Rate, 56)));
    ASSERT_EQ(player.Play(), 1);
    Run({&player}, 700); // the fourth page is heard
    EXPECT_GT(player.Peak(0), 0);
    player.SetNumBufferPages(1); // stored as 2
    player.SetBufferPagemsec(50);
    player.Init();
    EXPECT_EQ(player.mode(), 1);
    EXPECT_EQ(player.Peak(0), 0);
    EXPECT_EQ(player.Play(), 0);
    player.SetFileName(path);
    Run({}, 10); // the stopped sound's fade
    Played(1);
    ASSERT_EQ(player.Play(), 1);
    // Two pages of 2,304 frames: every poll must refill in time. At full
    // level the converted samples pass, limited to +-32767.
    RunUntilStopped(player, 1000, 10);
    const auto played = Played(1);
    const auto values = audiotest::ExpectedFloats(StreamFormat{Rate, 16, 2}, samples);
    for (std::size_t i = 0; i < values.size(); ++i) {
        ASSERT_EQ(played[i], std::max(values[i], Float16(-32767))) << i;
    }
}

TEST_F(WaveOutLifecycle, APageSmallerThanTheGranuleIsRefused)
{
    C_WaveOut player;
    player.SetBufferPagemsec(5); // 240 frames at 48 kHz
    SetUpPlayer(player);
    player.SetFileName(WriteWave("tiny.wav", 2, 16, Noise(2, 16, 1000, 54)));
    EXPECT_EQ(player.FileName(), "");
    EXPECT_EQ(player.Play(), 0);
}

TEST_F(WaveOutLifecycle, EightChannelsWithTheExtensibleFormatPlayWholeOnOneDevice)
{
    UseDevices(1, 8);
    constexpr std::size_t frames = 12000;
    const auto samples = Noise(8, 16, frames, 55);
    C_WaveOut player;
    player.SetUseExtensible(1);
    SetUpPlayer(player);
    player.SetFileName(WriteWave("whole.wav", 8, 16, samples));
    Played(1);
    ASSERT_EQ(player.Play(), 1);
    EXPECT_EQ(player.hWave(1), 0);
    RunUntilStopped(player, 1000);
    const auto played = Played(1);
    const auto values = audiotest::ExpectedFloats(StreamFormat{Rate, 16, 8}, samples);
    ASSERT_GE(played.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        ASSERT_EQ(played[i], std::max(values[i], Float16(-32767))) << i;
    }
}

// The program readies its players once its window is up, while a start-up
// sound may already play on them: a mono sound's pages are smaller than those
// readied for a usual stereo one, and growing them under its voice would free
// what the device is reading.
TEST_F(WaveOutLifecycle, ReadyingAheadWhileASoundPlaysLeavesItWholeAndReadiesOnceItStops)
{
    const auto samples = Noise(1, 16, Rate, 57);
    C_WaveOut player;
    ASSERT_NO_FATAL_FAILURE(StartMonoSound(player, samples));
    // What is freed now is scribbled over: pages freed under the voice would
    // play the scribble, in a plain build as under the sanitizers.
    audiotest::ArmAllocationMeter(audiotest::FreedMemory::Scribbled);
    player.OpenDeviceAhead();
    const audiotest::AllocatedBytes readying = audiotest::DisarmAllocationMeter();
    EXPECT_LT(readying.Largest, 64 * 1024) << "the pages of the sound that plays were replaced";
    RunUntilStopped(player, 2000);
    const auto played = Played(1);
    const auto values = audiotest::ExpectedFloats(StreamFormat{Rate, 16, 1}, samples);
    ASSERT_GE(played.size(), values.size() * 2);
    for (std::size_t i = 0; i < values.size(); ++i) {
        ASSERT_EQ(played[2 * i], values[i]) << i;
    }
    ExpectAUsualSoundStartsReadied(player, 58, "the buffers were readied once the first sound stopped");
}

// The operator starts the sound again while it plays, after the readying was
// asked for: the restart plays at once, without the readying's buffers, and
// the readying waits until the restarted sound has stopped.
TEST_F(WaveOutLifecycle, ARestartOverAPlayingSoundLeavesTheReadyingUntilItStops)
{
    const auto samples = Noise(1, 16, Rate / 2, 59);
    C_WaveOut player;
    ASSERT_NO_FATAL_FAILURE(StartMonoSound(player, samples));
    player.OpenDeviceAhead();
    Played(1);
    audiotest::ArmAllocationMeter(audiotest::FreedMemory::Scribbled);
    const int restarted = player.Play();
    const audiotest::AllocatedBytes restart = audiotest::DisarmAllocationMeter();
    ASSERT_EQ(restarted, 1);
    EXPECT_LT(restart.Largest, 64 * 1024) << "the restart readied the buffers of a usual sound first";
    RunUntilStopped(player, 2000);
    // The restarted sound plays whole from its start.
    std::vector<float> left;
    const auto played = Played(1);
    for (std::size_t i = 0; i < played.size(); i += 2) {
        left.push_back(played[i]);
    }
    // Under the old sound's fade over its first frames.
    const auto values = audiotest::ExpectedFloats(StreamFormat{Rate, 16, 1}, samples);
    EXPECT_NE(std::search(left.begin(), left.end(), values.begin() + platform::audio::Voice::DeclickFrames, values.end()),
              left.end());
    ExpectAUsualSoundStartsReadied(player, 60, "the buffers were readied once the restarted sound stopped");
}

} // namespace
