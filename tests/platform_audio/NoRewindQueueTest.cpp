// A device that cannot take queued audio back makes every start wait behind
// all of it: once that shows, it queues a period, the margin the device
// needs and 16 ms for a mixer woken late on a busy machine, writes a start
// as soon as the mixer is woken, grows a step at each underrun and shrinks
// back a step after each ten minutes of sound without one.
#include "StubbornCard.h"
#include "support/AudioTestSignals.h"

#include "platform/audio/OutputDevice.h"
#include "platform/audio/Voice.h"
#include "platform/base/LogSink.h"
#include "support/ClockFixture.h"
#include "support/RealWait.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace {

using namespace platform::audio;

constexpr int period = 256;
// 2 ms at 48 kHz: the card reports nothing more to keep clear of.
constexpr int leastMargin = 96;
// 16 ms at 48 kHz in whole periods: what a running card keeps beyond them.
constexpr int runningLead = 3 * period;
constexpr int runningQueue = period + leastMargin + runningLead;
constexpr int tenMinutesOfPeriods = 48000 * 600 / period;

class NoRewindQueue : public audiotest::StubbornCardFixture {
protected:
    void TearDown() override
    {
        voices.clear();
        StubbornCardFixture::TearDown();
    }
    // A voice looping quiet noise starts on the device.
    void Start()
    {
        voices.push_back(device->OpenVoice(StreamFormat{48000, 16, 2}));
        ASSERT_NE(voices.back(), nullptr);
        buffers.push_back(std::make_unique<VoiceBuffer>());
        buffers.back()->data = bytes;
        buffers.back()->SetLooping(true);
        ASSERT_EQ(voices.back()->Write(*buffers.back()), AudioError::None);
        device->RenderPeriods(1);
    }
    bool Logged(const std::string& line) const { return std::find(lines.begin(), lines.end(), line) != lines.end(); }

    const std::vector<std::uint8_t> bytes = audiotest::NoiseBytes(StreamFormat{48000, 16, 2}, 8 * period, 3);
    std::vector<std::unique_ptr<VoiceBuffer>> buffers;
    std::vector<std::unique_ptr<Voice>> voices;
};

TEST_F(NoRewindQueue, AStartThatCannotBeMixedInLeavesThePeriodTheMarginAndTheLeadQueuedAndEachUnderrunGrowsItOnce)
{
    EXPECT_EQ(card->fills, std::vector<int>{1024}) << "opened with its four periods";
    device->RenderPeriods(6);
    Start();
    EXPECT_EQ(device->StartMarginFrames(), leastMargin);
    EXPECT_EQ(device->QueuedAheadFrames(), runningQueue);
    EXPECT_EQ(card->fills, (std::vector<int>{1024, runningQueue}));

    // A second start changes nothing more.
    Start();
    EXPECT_EQ(card->fills.size(), 2U);

    // A quarter of a period at the first underrun, then twice as much each time.
    Underrun();
    EXPECT_EQ(device->QueuedAheadFrames(), runningQueue + period / 4);
    EXPECT_TRUE(Logged("Audio device \"Card\": underran and cannot take queued audio back; 1184 frames (24 ms) "
                       "are now queued ahead"));
    Underrun();
    EXPECT_EQ(device->QueuedAheadFrames(), runningQueue + period / 2);
    Underrun();
    EXPECT_EQ(device->QueuedAheadFrames(), runningQueue + period);
    EXPECT_EQ(card->fills.back(), device->QueuedAheadFrames());
}

TEST_F(NoRewindQueue, TenMinutesOfSoundWithoutAnUnderrunShrinkTheQueueAStepAtATime)
{
    device->RenderPeriods(6);
    Start();
    Underrun();
    Underrun();
    ASSERT_EQ(device->QueuedAheadFrames(), runningQueue + period / 2);
    // Its sounds end; the device plays on.
    voices.clear();

    device->RenderPeriods(tenMinutesOfPeriods - 10);
    EXPECT_EQ(device->QueuedAheadFrames(), runningQueue + period / 2) << "not yet ten minutes";
    // An underrun starts the ten minutes afresh (and grows the queue a step).
    Underrun();
    ASSERT_EQ(device->QueuedAheadFrames(), runningQueue + period);
    device->RenderPeriods(tenMinutesOfPeriods - 10);
    EXPECT_EQ(device->QueuedAheadFrames(), runningQueue + period);
    device->RenderPeriods(10);
    EXPECT_EQ(device->QueuedAheadFrames(), runningQueue + period / 2);
    device->Sync();
    EXPECT_TRUE(Logged("Audio device \"Card\": ten minutes without an underrun; back to 1248 frames (26 ms) "
                       "queued ahead"));

    device->RenderPeriods(tenMinutesOfPeriods);
    EXPECT_EQ(device->QueuedAheadFrames(), runningQueue + period / 4);
    device->RenderPeriods(tenMinutesOfPeriods);
    EXPECT_EQ(device->QueuedAheadFrames(), runningQueue) << "back where it began";
}

TEST_F(NoRewindQueue, AnUnderrunBeforeTheFirstStartCountsOnce)
{
    device->RenderPeriods(6);
    Underrun();
    EXPECT_EQ(device->QueuedAheadFrames(), 1024) << "one underrun of a device that may rewind may be chance";
    Start();
    EXPECT_EQ(device->QueuedAheadFrames(), runningQueue + period / 4);
}

// A card on its own clock that the test opens a period at a time; a wake-up
// ends its wait at once. It records every write.
class GatedCard final : public DeviceSink {
public:
    GatedCard()
    {
        options_.periodFrames = period;
        options_.periods = 4;
        options_.bufferFrames = 4096;
    }
    const DeviceOptions& Options() const override { return options_; }
    bool PacesItself() const override { return true; }
    WaitResult WaitForRoom(SpscRing<MixerEvent>&, const std::atomic<bool>& running) override
    {
        std::unique_lock<std::mutex> hold(lock_);
        while (rooms_ == 0 && !woken_ && running.load()) {
            changed_.wait_for(hold, std::chrono::milliseconds(100));
        }
        if (woken_) {
            woken_ = false;
            return WaitResult::Woken;
        }
        rooms_ = std::max(0, rooms_ - 1);
        return WaitResult::Room;
    }
    WriteResult Write(std::span<const float> frames, SpscRing<MixerEvent>&, const std::atomic<bool>&) override
    {
        const std::lock_guard<std::mutex> hold(lock_);
        writes_.emplace_back(frames.begin(), frames.end());
        changed_.notify_all();
        return WriteResult::Written;
    }
    void Wake() override
    {
        const std::lock_guard<std::mutex> hold(lock_);
        woken_ = true;
        changed_.notify_all();
    }

    // Test side: lets the mixer write count times, and waits until it has.
    bool GrantRooms(int count)
    {
        std::unique_lock<std::mutex> hold(lock_);
        const std::size_t until = writes_.size() + static_cast<std::size_t>(count);
        rooms_ += count;
        changed_.notify_all();
        return changed_.wait_for(hold, testsupport::RealWait, [&] { return writes_.size() >= until; });
    }
    // Test side: waits until the mixer wrote count times in all.
    bool WaitForWrites(std::size_t count)
    {
        std::unique_lock<std::mutex> hold(lock_);
        return changed_.wait_for(hold, testsupport::RealWait, [&] { return writes_.size() >= count; });
    }
    std::vector<std::vector<float>> Writes()
    {
        const std::lock_guard<std::mutex> hold(lock_);
        return writes_;
    }
    int RoomsLeft()
    {
        const std::lock_guard<std::mutex> hold(lock_);
        return rooms_;
    }

private:
    DeviceOptions options_;
    std::mutex lock_;
    std::condition_variable changed_;
    int rooms_ = 0;
    bool woken_ = false;
    std::vector<std::vector<float>> writes_;
};

TEST(NoRewindStart, IsWrittenAsSoonAsTheMixerIsWokenNotAtTheNextRefill)
{
    auto owned = std::make_unique<GatedCard>();
    GatedCard& card = *owned;
    auto device = OutputDevice::Start("Card", std::move(owned), Pacing::Device);
    const StreamFormat format{48000, 16, 2};
    const auto quiet = audiotest::Constant16(2, 8 * period, 100);
    auto bed = device->OpenVoice(format);
    ASSERT_NE(bed, nullptr);
    VoiceBuffer loop;
    loop.data = quiet;
    loop.SetLooping(true);
    ASSERT_EQ(bed->Write(loop), AudioError::None);
    // The bed is a start too, written when the mixer wakes: counted before
    // the rooms, or one of them is left for a period of the bed alone.
    ASSERT_TRUE(card.WaitForWrites(1)) << "the bed starts at once";
    ASSERT_TRUE(card.GrantRooms(6)) << "audio is queued";

    // A first start shows that nothing can be taken back.
    auto shot = device->OpenVoice(format);
    ASSERT_NE(shot, nullptr);
    const auto loud = audiotest::Constant16(2, period, 28672);
    VoiceBuffer shotBuffer;
    shotBuffer.data = loud;
    const std::size_t before = card.Writes().size();
    ASSERT_EQ(shot->Write(shotBuffer), AudioError::None);
    ASSERT_TRUE(card.WaitForWrites(before + 1)) << "written with no room granted";
    EXPECT_EQ(card.RoomsLeft(), 0);
    const std::vector<float> written = card.Writes()[before];
    ASSERT_EQ(written.size(), 2U * period);
    EXPECT_FLOAT_EQ(written[0], (28672.0f + 100.0f) / 32768.0f) << "the start begins with the first frame written";
    EXPECT_EQ(device->QueuedAheadFrames(), period + device->StartMarginFrames() + runningLead);
    shot.reset();
    bed.reset();
    device.reset();
}

} // namespace
