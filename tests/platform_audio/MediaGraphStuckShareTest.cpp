#include "support/MediaFixture.h"
#include "support/MediaTestFiles.h"

#include "platform/audio/FileStampProbe.h"
#include "platform/audio/GraphReaper.h"
#include "platform/audio/PrerollTimeouts.h"
#include "platform/base/Hooks.h"
#include "support/RealWait.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

namespace {

using namespace platform::audio;
using Steady = std::chrono::steady_clock;

constexpr int limitMs = 600;
// How long the window may go without being served ("answers within a second").
constexpr auto windowBound = std::chrono::milliseconds(1000);

// A file whose reads block as a share's that stopped answering: opening a
// FIFO for reading waits for a writer. Released, it ends at once. A net
// releases it anyway after a long while, so a press that blocks fails
// instead of hanging the run.
class StuckFile {
public:
    explicit StuckFile(std::string path) : path_(std::move(path))
    {
        EXPECT_EQ(::mkfifo(path_.c_str(), 0600), 0);
        // The FIFO itself, even once another file took its name.
        fifo_ = ::open(path_.c_str(), O_PATH);
        const std::string self = "/proc/self/fd/" + std::to_string(fifo_);
        net_ = std::thread([this, self] {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, testsupport::RealWait, [this] { return released_; });
            released_ = true;
            lock.unlock();
            // Every reader that comes gets a writer that leaves at once: end of file.
            while (!stop_.load()) {
                const int writer = ::open(self.c_str(), O_WRONLY);
                if (writer >= 0) {
                    ::close(writer);
                }
            }
        });
    }
    ~StuckFile()
    {
        Release();
        stop_.store(true);
        // A reader of our own lets the loop's last open return.
        const int reader = ::open(("/proc/self/fd/" + std::to_string(fifo_)).c_str(), O_RDONLY | O_NONBLOCK);
        net_.join();
        ::close(reader);
        ::close(fifo_);
    }
    StuckFile(const StuckFile&) = delete;
    StuckFile& operator=(const StuckFile&) = delete;

    const std::string& Path() const { return path_; }
    void Release()
    {
        {
            std::lock_guard lock(mutex_);
            released_ = true;
        }
        wake_.notify_all();
    }

private:
    std::string path_;
    int fifo_ = -1;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool released_ = false;
    std::atomic<bool> stop_{false};
    std::thread net_;
};

// Status looks at files (the probes' stat()) that do not answer until
// released, as on a share whose status stopped answering; counts them.
class StalledLooks {
public:
    StalledLooks()
    {
        FileStampProbe::SetLook([state = state_](const std::string&) {
            std::unique_lock lock(state->mutex);
            ++state->looks;
            state->wake.wait_for(lock, testsupport::RealWait, [&] { return state->released; });
            return FileStamp{};
        });
    }
    ~StalledLooks()
    {
        Release();
        FileStampProbe::SetLook(nullptr);
    }
    StalledLooks(const StalledLooks&) = delete;
    StalledLooks& operator=(const StalledLooks&) = delete;

    int Count() const
    {
        std::lock_guard lock(state_->mutex);
        return state_->looks;
    }
    void Release()
    {
        {
            std::lock_guard lock(state_->mutex);
            state_->released = true;
        }
        state_->wake.notify_all();
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable wake;
        int looks = 0;
        bool released = false;
    };
    // Shared with the probes' threads, which may outlive the test's interest.
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

struct Press {
    bool played = false;
    std::string error;
    Steady::duration took{};
    // The longest the waiting thread went without serving the window.
    Steady::duration longestUnserved{};
    int pumps = 0;
};

class StuckShare : public audiotest::MediaFixture {
protected:
    void SetUp() override
    {
        MediaFixture::SetUp();
        MediaGraph::SetPrerollLimitMs(limitMs);
        platform::SetPumpWithoutInputHook([this] { Served(); });
    }
    void TearDown() override
    {
        platform::SetPumpWithoutInputHook(nullptr);
        MediaGraph::SetPrerollLimitMs(0);
        prerolltimeouts::Forget();
        MediaFixture::TearDown();
    }

    Press PressOn(const std::string& path)
    {
        Press press;
        current_ = &press;
        const Steady::time_point start = Steady::now();
        last_ = start;
        {
            MediaGraph graph;
            press.played = graph.RenderFile(path, 1);
            press.error = graph.LastError();
        }
        Served();
        press.took = Steady::now() - start;
        --press.pumps;
        current_ = nullptr;
        return press;
    }

private:
    void Served()
    {
        const Steady::time_point now = Steady::now();
        if (current_ != nullptr) {
            current_->longestUnserved = std::max(current_->longestUnserved, now - last_);
            ++current_->pumps;
        }
        last_ = now;
    }

    Press* current_ = nullptr;
    Steady::time_point last_;
};

TEST_F(StuckShare, APressFailsAfterTheLimitWithTheWindowServedAndTheGraphFinishesOnItsOwnOnceReleased)
{
    StuckFile file(folder / "stuck.wav");
    // What earlier tests left to the reaper is destroyed on threads of its
    // own, as their reads return: counted from here, a graph of theirs that
    // goes meanwhile would be taken for this test's.
    ASSERT_TRUE(graphreaper::WaitUntilFinished(testsupport::RealWaitMs))
        << "the graphs earlier tests left were not destroyed";
    const int leftBefore = graphreaper::Unfinished();

    const Press first = PressOn(file.Path());
    EXPECT_FALSE(first.played);
    EXPECT_EQ(first.error, "the graph did not preroll in time");
    EXPECT_GE(first.took, std::chrono::milliseconds(limitMs));
    EXPECT_LT(first.longestUnserved, windowBound);
    // Failed and destroyed, its graph still waits for the file.
    EXPECT_EQ(graphreaper::Unfinished(), leftBefore + 1);

    // Pressed again: it fails at once, and nothing reads the file.
    const Press second = PressOn(file.Path());
    EXPECT_FALSE(second.played);
    EXPECT_EQ(second.error, "the graph did not preroll in time");
    EXPECT_LT(second.took, std::chrono::milliseconds(limitMs));
    EXPECT_EQ(second.pumps, 0);
    EXPECT_EQ(graphreaper::Unfinished(), leftBefore + 1);

    file.Release();
    EXPECT_TRUE(graphreaper::WaitUntilFinished(testsupport::RealWaitMs));
}

TEST_F(StuckShare, TheMemoryOfAStuckFileExpiresAndForgetsAFileThatChanged)
{
    StuckFile file(folder / "stuck.wav");
    ASSERT_FALSE(PressOn(file.Path()).played);

    clock.Advance(prerolltimeouts::RememberMs - 1);
    const Press remembered = PressOn(file.Path());
    EXPECT_FALSE(remembered.played);
    EXPECT_LT(remembered.took, std::chrono::milliseconds(limitMs));

    clock.Advance(1);
    const Press expired = PressOn(file.Path());
    EXPECT_FALSE(expired.played);
    EXPECT_GE(expired.took, std::chrono::milliseconds(limitMs));
    EXPECT_LT(expired.longestUnserved, windowBound);

    // The operator puts a good copy in its place: the next press plays it.
    const std::string copy = folder / "copy.wav";
    testsupport::WriteWave(copy, Rate, 16, 2, testsupport::SineSamples16(Rate, 2, Rate / 2, 440.0, 0.5));
    ASSERT_EQ(std::rename(copy.c_str(), file.Path().c_str()), 0);
    const Press replaced = PressOn(file.Path());
    EXPECT_TRUE(replaced.played) << replaced.error;

    file.Release();
    EXPECT_TRUE(graphreaper::WaitUntilFinished(testsupport::RealWaitMs));
}

TEST_F(StuckShare, AFileWhoseStatusStallsIsLookedAtOnceAndNoPressWaitsForItBeyondTheBound)
{
    StuckFile file(folder / "stuck.wav");
    StalledLooks looks;
    ASSERT_FALSE(PressOn(file.Path()).played);

    // Each press after the failure asks whether the file changed; the look
    // does not answer, so the file counts as unchanged and the press fails
    // after the probe's bound, without a look of its own.
    for (int press = 0; press < 4; ++press) {
        const Press again = PressOn(file.Path());
        EXPECT_FALSE(again.played);
        EXPECT_EQ(again.error, "the graph did not preroll in time");
        EXPECT_LT(again.took, std::chrono::milliseconds(prerolltimeouts::CheckMs + 300));
    }
    EXPECT_EQ(looks.Count(), 1) << "one look per file, however often it is pressed";

    looks.Release();
    file.Release();
    EXPECT_TRUE(graphreaper::WaitUntilFinished(testsupport::RealWaitMs));
}

} // namespace
