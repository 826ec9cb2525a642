// A device that cannot take queued audio back makes every start wait behind
// all of it: once that shows, it runs with the least queued that stays
// underrun-free, two periods, and grows at its first underrun rather than
// waiting for a second.
#include "support/AudioTestSignals.h"

#include "platform/audio/OutputDevice.h"
#include "platform/audio/Voice.h"
#include "support/ClockFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace platform::audio;

// A card with a roomy buffer that gives nothing back; it underruns on the
// writes it is told to and records the fills it is asked to keep.
class StubbornCard final : public DeviceSink {
public:
    StubbornCard()
    {
        options_.periodFrames = 256;
        options_.periods = 4;
        options_.bufferFrames = 4096;
    }
    const DeviceOptions& Options() const override { return options_; }
    bool PacesItself() const override { return false; }
    WriteResult Write(std::span<const float>, SpscRing<MixerEvent>& events, const std::atomic<bool>&) override
    {
        if (underruns > 0) {
            --underruns;
            events.Push(MixerEvent{MixerEvent::Underrun, -32});
            return WriteResult::Recovered;
        }
        return WriteResult::Written;
    }
    int Rewindable() override { return 0; }
    void SetQueuedAhead(int frames) override { fills.push_back(frames); }

    int underruns = 0;
    std::vector<int> fills;

private:
    DeviceOptions options_;
};

class NoRewindQueue : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        auto owned = std::make_unique<StubbornCard>();
        card = owned.get();
        device = OutputDevice::Start("Card", std::move(owned), Pacing::Manual);
    }
    void Start(std::unique_ptr<Voice>& voice, VoiceBuffer& buffer, const std::vector<std::uint8_t>& bytes)
    {
        voice = device->OpenVoice(StreamFormat{48000, 16, 2});
        ASSERT_NE(voice, nullptr);
        buffer.data = bytes;
        ASSERT_EQ(voice->Write(buffer), AudioError::None);
    }

    StubbornCard* card = nullptr;
    std::shared_ptr<OutputDevice> device;
};

TEST_F(NoRewindQueue, AStartThatCannotBeMixedInShrinksTheQueueToTwoPeriodsAndTheFirstUnderrunGrowsIt)
{
    EXPECT_EQ(card->fills, std::vector<int>{1024}) << "opened with its four periods";
    device->RenderPeriods(6);
    const auto bytes = audiotest::NoiseBytes(StreamFormat{48000, 16, 2}, 8 * 256, 3);
    std::unique_ptr<Voice> voice;
    VoiceBuffer buffer;
    Start(voice, buffer, bytes);
    device->RenderPeriods(1);
    EXPECT_EQ(device->QueuedAheadFrames(), 512);
    EXPECT_EQ(device->StartMarginFrames(), 48) << "1 ms: the card reports nothing more to keep clear of";
    EXPECT_EQ(card->fills, (std::vector<int>{1024, 512}));

    // A second start changes nothing more.
    std::unique_ptr<Voice> other;
    VoiceBuffer otherBuffer;
    Start(other, otherBuffer, bytes);
    device->RenderPeriods(1);
    EXPECT_EQ(card->fills.size(), 2U);

    card->underruns = 1;
    device->RenderPeriods(1);
    EXPECT_EQ(device->QueuedAheadFrames(), 1024) << "the least that stays underrun-free is more";
    card->underruns = 1;
    device->RenderPeriods(1);
    EXPECT_EQ(device->QueuedAheadFrames(), 2048);
    EXPECT_EQ(card->fills, (std::vector<int>{1024, 512, 1024, 2048}));
}

TEST_F(NoRewindQueue, ADeviceThatUnderranBeforeItsFirstStartKeepsItsQueue)
{
    device->RenderPeriods(6);
    card->underruns = 1;
    device->RenderPeriods(1);
    const auto bytes = audiotest::NoiseBytes(StreamFormat{48000, 16, 2}, 4 * 256, 5);
    std::unique_ptr<Voice> voice;
    VoiceBuffer buffer;
    Start(voice, buffer, bytes);
    device->RenderPeriods(1);
    EXPECT_EQ(device->QueuedAheadFrames(), 1024);
}

} // namespace
