// Files that change under a playing waveOut player: cut short, replaced, or
// failing to read. The sound never replays old audio and never stops late.
#include "WaveOutFixture.h"

#include "support/TestFileLayer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <unistd.h>

namespace {

using namespace wavetest;
using platform::audio::StreamFormat;

class WaveOutFileChanges : public WaveOutFixture {};

// A RIFF header with a 16-byte format chunk: the samples begin at byte 44.
constexpr std::int64_t dataOffset = 44;

TEST_F(WaveOutFileChanges, AFileCutWhilePlayingEndsWithinOnePageAfterItsLastSound)
{
    constexpr std::size_t frames = 10 * Rate;
    const auto samples = Noise(2, 16, frames, 41);
    const std::string path = WriteWave("cut.wav", 2, 16, samples);
    C_WaveOut player;
    SetUpPlayer(player);
    player.SetFileName(path);
    Played(1);
    ASSERT_EQ(player.Play(), 1);
    ASSERT_EQ(::truncate(path.c_str(), dataOffset + 2 * Rate * 4), 0);

    const std::int64_t took = RunUntilStopped(player, 12000);
    EXPECT_GE(took, 2000);
    EXPECT_LE(took, 2000 + PageFrames * 1000 / Rate + 10);
    EXPECT_EQ(player.mode(), 1);
    const auto played = Played(1);
    const auto values = audiotest::ExpectedFloats(StreamFormat{Rate, 16, 2}, samples);
    ASSERT_GE(played.size(), 2U * 2 * Rate);
    for (std::size_t i = 0; i < 2U * 2 * Rate; ++i) {
        ASSERT_EQ(played[i], values[i]) << i / 2;
    }
    for (std::size_t i = 2U * 2 * Rate; i < played.size(); ++i) {
        ASSERT_EQ(played[i], 0.0f) << i / 2;
    }
    EXPECT_NE(ErrorLog().find("C_WaveOut file ends before its data " + path), std::string::npos);
}

TEST_F(WaveOutFileChanges, AFileReplacedWhilePlayingPlaysTheOldContentToItsEnd)
{
    for (const int diskPages : {1, 4}) {
        SCOPED_TRACE(diskPages);
        constexpr std::size_t frames = 3 * Rate;
        const auto old = Noise(2, 16, frames, 42);
        const std::string path = WriteWave("replaced.wav", 2, 16, old);
        C_WaveOut player;
        SetUpPlayer(player);
        player.SetNumDiskBufferPages(diskPages);
        player.Init();
        player.SetFileName(path);
        Played(1);
        ASSERT_EQ(player.Play(), 1);
        Run({&player}, 500);
        const std::string fresh = WriteWave("fresh.wav", 2, 16, Noise(2, 16, frames, 43));
        std::filesystem::rename(fresh, path);
        RunUntilStopped(player, 4000);
        const auto played = Played(1);
        const auto values = audiotest::ExpectedFloats(StreamFormat{Rate, 16, 2}, old);
        ASSERT_GE(played.size(), values.size());
        for (std::size_t i = 0; i < values.size(); ++i) {
            ASSERT_EQ(played[i], values[i]) << i / 2;
        }
    }
}

TEST_F(WaveOutFileChanges, AReadErrorSilencesThatPageOnlyAndTheSoundGoesOn)
{
    // Without the cache every page is a read of its own; with it, a failed
    // reload costs one page and the next page reloads.
    for (const int diskPages : {1, 4}) {
        SCOPED_TRACE(diskPages);
        constexpr std::size_t frames = 2 * Rate;
        const auto samples = Noise(2, 16, frames, 44);
        C_WaveOut player;
        SetUpPlayer(player);
        player.SetNumDiskBufferPages(diskPages);
        player.Init();
        player.SetFileName(WriteWave("error.wav", 2, 16, samples));
        Run({}, 10); // the fade of the last round's sound
        Played(1);
        ASSERT_EQ(player.Play(), 1);
        const int failing = diskPages == 1 ? 2 : 1;
        int reads = 0;
        {
            testsupport::TestFileLayer layer;
            layer.readFault = [&](int) { return ++reads == failing ? -EIO : 0; };
            RunUntilStopped(player, 3000);
        }
        // Pages 0 and 1 were read by the start; the failing read was page 3
        // without the cache, page 2 with it.
        const std::size_t silentPage = diskPages == 1 ? 3 : 2;
        const auto played = Played(1);
        const auto values = audiotest::ExpectedFloats(StreamFormat{Rate, 16, 2}, samples);
        for (std::size_t f = 0; f < frames; ++f) {
            const bool silent = f / PageFrames == silentPage;
            ASSERT_EQ(played[2 * f], silent ? 0.0f : values[2 * f]) << f;
            ASSERT_EQ(played[2 * f + 1], silent ? 0.0f : values[2 * f + 1]) << f;
        }
        EXPECT_NE(
            ErrorLog().find(diskPages == 1 ? "C_WaveOut ReadFileToMemEx Failed" : "C_WaveOut ReadBufferToMem Failed"),
            std::string::npos);
    }
}

} // namespace
