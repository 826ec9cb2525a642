// How much of the file one poll of a waveOut player reads. The polls run on
// the program's thread inside its timer tick, so a poll that read every free
// page of a long queue at once would hold up the window for that long.
#include "WaveOutFixture.h"

#include "support/TestFileLayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <string>

namespace {

using namespace wavetest;
using platform::audio::StreamFormat;

// The real files, counting the bytes read from the files whose path holds a
// part. Other threads (the logs' writer) may come through here as well.
class ReadCountingLayer : public testsupport::TestFileLayer {
public:
    explicit ReadCountingLayer(std::string part) : part_(std::move(part)) {}

    int Open(const char* path, platform::OpenMode mode) override
    {
        const int fd = TestFileLayer::Open(path, mode);
        if (fd >= 0 && std::string(path).find(part_) != std::string::npos) {
            const std::lock_guard lock(mutex_);
            counted_.insert(fd);
        }
        return fd;
    }
    int Close(int fd) override
    {
        {
            const std::lock_guard lock(mutex_);
            counted_.erase(fd);
        }
        return TestFileLayer::Close(fd);
    }
    std::int64_t Read(int fd, std::span<std::uint8_t> buffer) override
    {
        const std::int64_t n = TestFileLayer::Read(fd, buffer);
        const std::lock_guard lock(mutex_);
        if (n > 0 && counted_.count(fd) != 0) {
            bytesRead += n;
        }
        return n;
    }

    std::atomic<std::int64_t> bytesRead{0};

private:
    std::string part_;
    std::mutex mutex_;
    std::set<int> counted_;
};

class WaveOutRefillLimit : public WaveOutFixture {};

TEST_F(WaveOutRefillLimit, APollReadsAtMostAThirdOfASecondAndTheSoundStillPlaysWithoutAGap)
{
    // The monitor window's queue: 60 pages of 150 ms, nine seconds, each page
    // read from the file by itself.
    constexpr int seconds = 11;
    const auto samples = Noise(2, 16, static_cast<std::size_t>(seconds * Rate), 5);
    const std::string path = WriteWave("long.wav", 2, 16, samples);
    ReadCountingLayer files("long.wav");
    C_WaveOut player;
    player.SetDeviceID(1);
    player.SetBufferPagemsec(150);
    player.SetNumBufferPages(60);
    player.SetNumDiskBufferPages(1);
    player.Init();
    player.SetFileName(path);
    ASSERT_EQ(player.Length(), seconds * 1000);
    Played(1);

    constexpr std::int64_t bytesPerFrame = 4;
    constexpr std::int64_t thirdOfASecond = Rate / 3 * bytesPerFrame;
    std::int64_t mostInOnePoll = 0;
    std::int64_t total = 0;
    const auto poll = [&](int ms) {
        files.bytesRead = 0;
        clock.Advance(ms);
        player.ProgressionPlay();
        mostInOnePoll = std::max(mostInOnePoll, files.bytesRead.load());
        total += files.bytesRead;
    };

    ASSERT_EQ(player.Play(), 1);
    // Right after the start almost the whole queue is free.
    for (int t = 0; t < 2000; t += 10) {
        poll(10);
    }
    EXPECT_LE(mostInOnePoll, thirdOfASecond) << "the first polls after the start";
    // Spread over the polls, the file was still read the whole queue (almost
    // nine seconds) ahead of the two seconds heard.
    EXPECT_GE(total, (2 + 8) * Rate * bytesPerFrame);

    // The window was busy for four seconds: more than half of the queue was
    // played meanwhile, and is refilled over the next polls.
    mostInOnePoll = 0;
    poll(4000);
    for (int t = 0; t < 3000; t += 10) {
        poll(10);
    }
    EXPECT_LE(mostInOnePoll, thirdOfASecond) << "the polls after a busy window";

    // Spread over the polls, the refills still kept the device fed.
    platform::audio::AudioSystem::Current().Sync();
    const auto played = Played(1);
    const auto expected = audiotest::ExpectedFloats(StreamFormat{Rate, 16, 2}, samples);
    // Nine seconds passed, less what the device still holds.
    ASSERT_GE(played.size(), 2 * static_cast<std::size_t>(8.5 * Rate));
    for (std::size_t i = 0; i < played.size(); ++i) {
        ASSERT_EQ(played[i], expected[i]) << "frame " << i / 2;
    }
}

} // namespace
