// A sound started on a running device is mixed into the audio already queued
// ahead, from the earliest frame the device has not yet played (less a safety
// margin), instead of waiting behind it. The other voices' frames, positions
// and done marks stay exactly as they were; the new sound starts sample-exact.
#include "CountingAllocator.h"
#include "RewindingCard.h"
#include "support/AudioTestSignals.h"

#include "platform/audio/OutputDevice.h"
#include "platform/audio/Voice.h"
#include "support/ClockFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace platform::audio;
using audiotest::ExpectedFloats;
using audiotest::NoiseBytes;
using audiotest::RewindingCard;

constexpr int period = 256;

class StartRewind : public testsupport::ClockFixture {
protected:
    void Open(bool canRewind)
    {
        auto owned = std::make_unique<RewindingCard>(canRewind, period);
        card = owned.get();
        // A card that has taken all but one frame of a period beyond its
        // position: the start must stay clear of exactly one period.
        card->inFlight = period - 1;
        device = OutputDevice::Start("Card", std::move(owned), Pacing::Manual);
    }

    RewindingCard* card = nullptr;
    std::shared_ptr<OutputDevice> device;
};

TEST_F(StartRewind, ANewSoundIsMixedIntoTheQueuedAudioFromTheFirstFrameBeyondTheMargin)
{
    Open(true);
    const StreamFormat format{48000, 16, 2};
    auto playing = device->OpenVoice(format);
    const auto longBytes = NoiseBytes(format, 20 * period, 1);
    VoiceBuffer first;
    VoiceBuffer second;
    first.data = std::span<const std::uint8_t>(longBytes).first(longBytes.size() / 2);
    second.data = std::span<const std::uint8_t>(longBytes).subspan(longBytes.size() / 2);
    ASSERT_EQ(playing->Write(first), AudioError::None);
    ASSERT_EQ(playing->Write(second), AudioError::None);
    device->RenderPeriods(9);
    EXPECT_TRUE(card->rewinds.empty()) << "the first buffer of a voice is no start on a device playing it";
    // Three periods are queued ahead of what the card plays.
    card->played = 6 * period;
    EXPECT_FALSE(first.Done());

    auto fired = device->OpenVoice(format);
    const auto firedBytes = NoiseBytes(format, 4 * period, 2);
    VoiceBuffer shot;
    shot.data = firedBytes;
    ASSERT_EQ(fired->Write(shot), AudioError::None);
    // The card's records grow; reserve them so that only the mixer is counted.
    card->stream.reserve(card->stream.size() + 2U * 4 * period);
    card->rewinds.reserve(4);
    audiotest::ArmAllocationCounting();
    device->RenderPeriods(3);
    EXPECT_EQ(audiotest::DisarmAllocationCounting(), 0) << "taking back and mixing again allocates nothing";

    // Two of the three queued periods were taken back; one stays as the margin.
    ASSERT_EQ(card->rewinds, std::vector<int>{2 * period});
    const std::size_t start = 7 * period;
    const auto a = ExpectedFloats(format, longBytes);
    const auto b = ExpectedFloats(format, firedBytes);
    ASSERT_EQ(card->stream.size(), 2U * 12 * period);
    for (std::size_t i = 0; i < 2 * start; ++i) {
        ASSERT_EQ(card->stream[i], a[i]) << "before the start, frame " << i / 2;
    }
    for (std::size_t i = 2 * start; i < card->stream.size(); ++i) {
        const float added = i - 2 * start < b.size() ? b[i - 2 * start] : 0.0f;
        ASSERT_EQ(card->stream[i], a[i] + added) << "frame " << i / 2;
    }
    // The voice that played on was not mixed again: position and done marks as without the start.
    EXPECT_EQ(playing->Position(), 12U * period);
    EXPECT_TRUE(first.Done());
    EXPECT_FALSE(second.Done());
    EXPECT_EQ(fired->Position(), 4U * period);
    EXPECT_TRUE(shot.Done());
}

TEST_F(StartRewind, ADeviceThatCannotRewindStartsTheSoundWithTheNextPeriod)
{
    Open(false);
    const StreamFormat format{48000, 16, 2};
    auto playing = device->OpenVoice(format);
    const auto longBytes = NoiseBytes(format, 20 * period, 3);
    VoiceBuffer all;
    all.data = longBytes;
    ASSERT_EQ(playing->Write(all), AudioError::None);
    device->RenderPeriods(9);
    auto fired = device->OpenVoice(format);
    const auto firedBytes = NoiseBytes(format, 2 * period, 4);
    VoiceBuffer shot;
    shot.data = firedBytes;
    ASSERT_EQ(fired->Write(shot), AudioError::None);
    device->RenderPeriods(3);

    EXPECT_TRUE(card->rewinds.empty());
    const std::size_t start = 9 * period;
    const auto a = ExpectedFloats(format, longBytes);
    const auto b = ExpectedFloats(format, firedBytes);
    for (std::size_t i = 2 * start; i < card->stream.size(); ++i) {
        const float added = i - 2 * start < b.size() ? b[i - 2 * start] : 0.0f;
        ASSERT_EQ(card->stream[i], a[i] + added) << "frame " << i / 2;
    }
}

TEST_F(StartRewind, ASoundStartedAsAnotherRanOutInTheQueuedAudioFollowsItsLastFrame)
{
    // The next row of a list: the first sound ran out in audio the card has
    // not played yet, and the next one starts as soon as that is seen. It
    // must follow the first sound's last frame, not sound over its end.
    Open(true);
    const StreamFormat format{48000, 16, 2};
    auto first = device->OpenVoice(format);
    const auto firstBytes = NoiseBytes(format, 4 * period + period / 2, 6);
    VoiceBuffer firstBuffer;
    firstBuffer.data = firstBytes;
    ASSERT_EQ(first->Write(firstBuffer), AudioError::None);
    device->RenderPeriods(6);
    ASSERT_TRUE(firstBuffer.Done());
    // Three periods queued: the margin alone would start the next sound at
    // frame 4 x 256, half a period before the first one's end.
    card->played = 3 * period;

    auto next = device->OpenVoice(format);
    const auto nextBytes = NoiseBytes(format, 2 * period, 7);
    VoiceBuffer nextBuffer;
    nextBuffer.data = nextBytes;
    ASSERT_EQ(next->Write(nextBuffer), AudioError::None);
    device->RenderPeriods(2);

    const std::size_t end = 4 * period + period / 2;
    ASSERT_EQ(card->rewinds, std::vector<int>{static_cast<int>(6 * period - end)});
    const auto a = ExpectedFloats(format, firstBytes);
    const auto b = ExpectedFloats(format, nextBytes);
    ASSERT_GE(card->stream.size(), 2 * (end + b.size() / 2));
    for (std::size_t i = 0; i < 2 * end; ++i) {
        ASSERT_EQ(card->stream[i], a[i]) << "the first sound alone, frame " << i / 2;
    }
    for (std::size_t i = 0; i < b.size(); ++i) {
        ASSERT_EQ(card->stream[2 * end + i], b[i]) << "the next sound from the first one's end, frame " << i / 2;
    }
}

TEST_F(StartRewind, MoreBuffersOnAVoiceThatPlaysAndAResumeAreNoStarts)
{
    Open(true);
    const StreamFormat format{48000, 16, 2};
    auto voice = device->OpenVoice(format);
    const auto bytes = NoiseBytes(format, 2 * period, 5);
    VoiceBuffer one;
    VoiceBuffer two;
    one.data = bytes;
    two.data = bytes;
    ASSERT_EQ(voice->Write(one), AudioError::None); // a start, with nothing queued to take back
    device->RenderPeriods(4);
    card->played = card->appl - period;
    ASSERT_EQ(voice->Write(two), AudioError::None); // the voice ran dry: more of the same sound
    voice->Pause();
    device->RenderPeriods(1);
    voice->Restart();
    device->RenderPeriods(2);
    EXPECT_TRUE(card->rewinds.empty());
}

} // namespace
