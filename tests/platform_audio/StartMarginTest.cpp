// How close to what the card plays a start may be mixed into queued audio:
// the margin is measured on the card (frames it holds in flight, the steps of
// its position, how late the mixer ran for it in the last minute), is never
// under 1 ms, and doubles when a start still ran the card dry.
#include "RewindingCard.h"
#include "support/AudioTestSignals.h"

#include "platform/audio/OutputDevice.h"
#include "platform/audio/Voice.h"
#include "platform/base/LogSink.h"
#include "support/ClockFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace platform::audio;
using audiotest::RewindingCard;

constexpr int period = 256;
constexpr int rate = 48000;
// Three periods queued ahead of what the card plays when a sound starts.
constexpr int queued = 3 * period;

class StartMargin : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        platform::SetLogSink([this](std::string_view text, int) { lines.emplace_back(text); });
        auto owned = std::make_unique<RewindingCard>(true, period);
        card = owned.get();
        card->keepStream = false;
        device = OutputDevice::Start("Card", std::move(owned), Pacing::Manual);
        bed = device->OpenVoice(format);
        bedBytes = audiotest::NoiseBytes(format, 4 * period, 1);
        bedBuffer.data = bedBytes;
        bedBuffer.SetLooping(true);
        ASSERT_EQ(bed->Write(bedBuffer), AudioError::None);
        shotBytes = audiotest::NoiseBytes(format, period, 2);
        device->RenderPeriods(8);
    }
    void TearDown() override
    {
        bed.reset();
        device.reset();
        platform::SetLogSink(nullptr);
    }
    // Fires a short sound with three periods (or as many frames as given)
    // queued; the frames taken back for it.
    int RewoundForAStart(int queuedFrames = queued)
    {
        card->played = card->appl - static_cast<std::size_t>(queuedFrames);
        const std::size_t rewindsBefore = card->rewinds.size();
        auto shot = device->OpenVoice(format);
        VoiceBuffer buffer;
        buffer.data = shotBytes;
        EXPECT_EQ(shot->Write(buffer), AudioError::None);
        device->RenderPeriods(2);
        device->Sync();
        return card->rewinds.size() > rewindsBefore ? card->rewinds.back() : 0;
    }
    void Play(double seconds) { device->RenderPeriods(static_cast<int>(seconds * rate / period)); }

    const StreamFormat format{rate, 16, 2};
    RewindingCard* card = nullptr;
    std::shared_ptr<OutputDevice> device;
    std::unique_ptr<Voice> bed;
    std::vector<std::uint8_t> bedBytes;
    std::vector<std::uint8_t> shotBytes;
    VoiceBuffer bedBuffer;
    std::vector<std::string> lines;
};

TEST_F(StartMargin, StaysClearOfWhatTheCardHoldsInFlightItsPositionStepsAndTheMixersLateness)
{
    EXPECT_EQ(RewoundForAStart(), queued - 48) << "1 ms when the card reports nothing to keep clear of";

    card->inFlight = 300;
    EXPECT_EQ(RewoundForAStart(), queued - 301) << "frames that left the buffer sound as they were";
    card->inFlight = 0;

    card->positionStep = period;
    EXPECT_EQ(RewoundForAStart(), queued - period) << "a card that knows its position once a period";
    card->positionStep = 1;

    card->late = 100;
    EXPECT_EQ(RewoundForAStart(), queued - 201) << "twice the longest the card waited for the mixer";
    EXPECT_EQ(device->StartMarginFrames(), 201);
}

TEST_F(StartMargin, TheMixersLatenessIsRememberedForHalfAMinuteAndForgottenAfterAMinute)
{
    card->late = 100;
    device->RenderPeriods(1);
    EXPECT_EQ(device->StartMarginFrames(), 201);
    Play(29.9);
    EXPECT_EQ(device->StartMarginFrames(), 201);
    Play(30.2);
    EXPECT_EQ(device->StartMarginFrames(), 48);
}

TEST_F(StartMargin, AStartThatStillRanTheCardDryDoublesTheMarginUpToAllButAPeriodOfTheQueue)
{
    card->runDry = true; // the first frames written back come too late
    EXPECT_EQ(RewoundForAStart(), queued - 48);
    EXPECT_EQ(device->StartMarginFrames(), 96);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(),
              "Audio device \"Card\": a start ran the device dry; starts now keep 96 frames (2 ms) ahead of what it "
              "plays");
    EXPECT_EQ(RewoundForAStart(), queued - 96);

    // An underrun far from any start (and a minute after the last one) says nothing of the margin.
    Play(61.0);
    card->runDry = true;
    Play(0.1);
    EXPECT_EQ(device->StartMarginFrames(), 96);

    for (int i = 0; i < 5; ++i) {
        Play(61.0); // not repeated underruns: the queue stays as it was opened
        card->runDry = true;
        EXPECT_GT(RewoundForAStart(8 * period), 0); // the whole queue: the margin is all it keeps
    }
    EXPECT_EQ(device->QueuedAheadFrames(), 8 * period);
    EXPECT_EQ(device->StartMarginFrames(), 7 * period) << "a start still gains a period over the whole queue";
}

} // namespace
