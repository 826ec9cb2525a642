#include "GraphPlayerFixture.h"

#include "audio/C_DShow.h"
#include "platform/audio/GraphReaper.h"
#include "platform/audio/MediaGraph.h"
#include "platform/base/GivenUpFiles.h"
#include "platform/base/Hooks.h"

#include "platform/audio/MediaFramework.h"
#include "support/FileSourceReads.h"
#include "support/RealWait.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

using Steady = std::chrono::steady_clock;

constexpr int limitMs = 600;
// What "answers at once" means here, with room for a machine whose every core is busy.
constexpr auto answerBound = std::chrono::milliseconds(400);

// Reads of sound files that stop once the decoder has read past a point, as
// a share's that stopped answering while a sound played: every file source
// made while it lives holds its streaming thread, where a read of a stuck
// share holds it, until released (a net releases it after 20 s, so that a
// call that waits for it fails the test instead of hanging it).
class ReadsThatStop {
public:
    explicit ReadsThatStop(std::uint64_t stopAt) : stopAt_(stopAt)
    {
        EXPECT_TRUE(platform::audio::StartMediaFramework());
    }
    ~ReadsThatStop() { Release(); }
    ReadsThatStop(const ReadsThatStop&) = delete;
    ReadsThatStop& operator=(const ReadsThatStop&) = delete;

    void Release()
    {
        {
            std::lock_guard lock(mutex_);
            released_ = true;
        }
        wake_.notify_all();
    }
    // Waits until a read past the point waits; false after timeoutMs.
    bool WaitStopped(int timeoutMs)
    {
        std::unique_lock lock(mutex_);
        return stopped_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return waiting_ > 0; });
    }

private:
    static void Read(GstBuffer* buffer, void* data)
    {
        auto* self = static_cast<ReadsThatStop*>(data);
        if (buffer != nullptr && GST_BUFFER_OFFSET(buffer) + gst_buffer_get_size(buffer) > self->stopAt_) {
            std::unique_lock lock(self->mutex_);
            ++self->waiting_;
            self->stopped_.notify_all();
            self->wake_.wait_for(lock, testsupport::RealWait, [self] { return self->released_; });
            --self->waiting_;
        }
    }

    const std::uint64_t stopAt_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable stopped_;
    bool released_ = false;
    int waiting_ = 0;
    // Last, so reads stop being hooked before the rest goes.
    testsupport::FileSourceReads probe_{&Read, this};
};

class StalledReads : public graphtest::GraphPlayerFixture {
protected:
    void SetUp() override
    {
        GraphPlayerFixture::SetUp();
        platform::audio::MediaGraph::SetPrerollLimitMs(limitMs);
    }
    void TearDown() override
    {
        platform::SetRefillHook(nullptr);
        platform::audio::MediaGraph::SetPrerollLimitMs(0);
        GraphPlayerFixture::TearDown();
    }

    // A wave of 10 s of noise whose reads stop after its first second.
    testsupport::Bytes TenSeconds()
    {
        const platform::audio::StreamFormat format{Rate, 16, 2};
        return testsupport::RiffFileBuilder()
            .Format(1, 2, Rate, 16)
            .Data(audiotest::NoiseBytes(format, static_cast<std::size_t>(10 * Rate), 5))
            .Build();
    }

    template <typename Call> static Steady::duration Timed(Call call)
    {
        const Steady::time_point start = Steady::now();
        call();
        return Steady::now() - start;
    }
};

bool GivenUp(const std::string& file)
{
    const std::vector<std::string> files = platform::givenup::Files();
    return std::find(files.begin(), files.end(), file) != files.end();
}

TEST_F(StalledReads, StopAndSeekOfAPlayingGraphAnswerAtOnceAndTheGraphIsGivenUpAfterItsLimit)
{
    const std::string path = folder / "stalling.wav";
    testsupport::WriteFile(path, TenSeconds());
    // The reads stop after the first second.
    ReadsThatStop reads(4 * Rate);
    // What earlier tests left to the reaper is destroyed on threads of its
    // own, as their reads return: counted from here, a graph of theirs that
    // goes meanwhile would be taken for this test's.
    ASSERT_TRUE(platform::audio::graphreaper::WaitUntilFinished(testsupport::RealWaitMs))
        << "the graphs earlier tests left were not destroyed";
    const int leftBefore = platform::audio::graphreaper::Unfinished();
    C_DShow player;
    player.SetFileName(path);
    ASSERT_EQ(player.Length(), 10000);
    ASSERT_EQ(player.Play(), 1);
    ASSERT_TRUE(reads.WaitStopped(testsupport::RealWaitMs));
    clock.Advance(200);
    System().Sync();
    ASSERT_EQ(player.mode(), 3);
    // The decoder has taken the fed second and waits in a read that does not
    // return. A seek on the position bar, then a stop:
    player.SetFromMS(5000);
    EXPECT_LT(Timed([&] { player.Play(); }), answerBound);
    EXPECT_LT(Timed([&] { player.StopIO(); }), answerBound);
    EXPECT_EQ(player.mode(), 1);
    // Pressed again, it answers at once too; once the graph's limit has
    // passed without an answer it has failed: the player stands stopped and
    // a press on it fails.
    ASSERT_EQ(player.Play(), 1);
    clock.Advance(limitMs);
    EXPECT_LT(Timed([&] { EXPECT_EQ(player.mode(), 1); }), answerBound);
    EXPECT_EQ(player.Play(), 0);
    // Left to the reaper, which holds its file as given up on until the reads return.
    EXPECT_EQ(platform::audio::graphreaper::Unfinished(), leftBefore + 1);
    EXPECT_TRUE(GivenUp(path));
    EXPECT_LT(Timed([&] { player.CloseWave(); }), answerBound);

    reads.Release();
    EXPECT_TRUE(platform::audio::graphreaper::WaitUntilFinished(testsupport::RealWaitMs));
    EXPECT_FALSE(GivenUp(path));
}

TEST_F(StalledReads, AStopWhileASeekIsMerelySlowWaitsForItAndNeitherLeavesTheGraphNorGivesTheFileUp)
{
    const std::string path = folder / "slow.wav";
    testsupport::WriteFile(path, TenSeconds());
    ReadsThatStop reads(4 * Rate);
    // What earlier tests left to the reaper is destroyed on threads of its
    // own, as their reads return: counted from here, a graph of theirs that
    // goes meanwhile would be taken for this test's.
    ASSERT_TRUE(platform::audio::graphreaper::WaitUntilFinished(testsupport::RealWaitMs))
        << "the graphs earlier tests left were not destroyed";
    const int leftBefore = platform::audio::graphreaper::Unfinished();
    {
        platform::audio::MediaGraph graph;
        ASSERT_TRUE(graph.RenderFile(path, 1)) << graph.LastError();
        ASSERT_TRUE(graph.Run());
        ASSERT_TRUE(reads.WaitStopped(testsupport::RealWaitMs));
        // A seek sent while the decoder waits in a read: it lands once the read returns.
        graph.SetCurrentPosition(5.0);
        // The read returns while the stop below waits for the graph, long
        // before the graph's limit.
        platform::SetRefillHook([&reads] { reads.Release(); });
        clock.Advance(platform::RefillIntervalMs);
    }
    EXPECT_EQ(platform::audio::graphreaper::Unfinished(), leftBefore);
    EXPECT_FALSE(GivenUp(path)) << "a file that answered is played at its next press";
}

} // namespace
