// A decoder's sound starts with what it has decoded so far: its first block
// (40 ms of a wave file) may be all the voice holds when the start is mixed
// into the audio queued ahead. And a sound started again while it plays
// (the same button pressed again), or replaced by another on its player,
// must not sound over its old frames still queued on the device, and ends
// with the fade of a stop. Compared frame by frame on a card that takes
// audio back and on one that cannot.
#include "RewindingCard.h"
#include "support/AudioTestSignals.h"

#include "platform/audio/OutputDevice.h"
#include "platform/audio/Voice.h"
#include "support/ClockFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

namespace {

using namespace platform::audio;
using audiotest::ExpectedFloats;
using audiotest::NoiseBytes;
using audiotest::RewindingCard;

constexpr int period = 256;
const StreamFormat format{48000, 16, 2};

class StreamStart : public testsupport::ClockFixture, public testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        auto owned = std::make_unique<RewindingCard>(GetParam(), period);
        card = owned.get();
        card->inFlight = period - 1;
        device = OutputDevice::Start("Card", std::move(owned), Pacing::Manual);
        // Another sound plays (silent, so that only the tested one is heard)
        // and ten periods are queued ahead of the card.
        bed = device->OpenVoice(format);
        bedBuffer.data = quiet;
        bedBuffer.SetLooping(true);
        ASSERT_EQ(bed->Write(bedBuffer), AudioError::None);
        device->RenderPeriods(12);
        card->played = card->appl - 10 * period;
    }

    // Where in what the card got the sound's first frame is, -1 when not.
    std::ptrdiff_t Find(const std::vector<float>& sound) const
    {
        const auto at = std::search(card->stream.begin(), card->stream.end(), sound.begin(), sound.begin() + 16);
        return at == card->stream.end() ? -1 : (at - card->stream.begin()) / 2;
    }

    RewindingCard* card = nullptr;
    std::shared_ptr<OutputDevice> device;
    std::vector<std::uint8_t> quiet = std::vector<std::uint8_t>(4 * period * 4, 0);
    VoiceBuffer bedBuffer;
    std::unique_ptr<Voice> bed;
};

TEST_P(StreamStart, ADecodedSoundThatHoldsOneBlockAtItsStartPlaysWholeOnceTheNextArrives)
{
    const auto bytes = NoiseBytes(format, 6000, 11);
    const std::size_t block = 1920 * 4;
    auto voice = device->OpenVoice(format);
    voice->SetMoreToCome(true);
    voice->Pause();
    VoiceBuffer first;
    VoiceBuffer rest;
    first.data = std::span<const std::uint8_t>(bytes).first(block);
    rest.data = std::span<const std::uint8_t>(bytes).subspan(block);
    ASSERT_EQ(voice->Write(first), AudioError::None);
    voice->Restart();
    device->RenderPeriods(1);
    // The decoder's next block comes a moment later, well before the card needs it.
    ASSERT_EQ(voice->Write(rest), AudioError::None);
    voice->SetMoreToCome(false); // and the stream ends
    device->RenderPeriods(30);

    const auto expected = ExpectedFloats(format, bytes);
    const std::ptrdiff_t at = Find(expected);
    ASSERT_GE(at, 0) << "the sound's first frame was played";
    ASSERT_GE(card->stream.size(), 2 * static_cast<std::size_t>(at) + expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(card->stream[2 * static_cast<std::size_t>(at) + i], expected[i]) << "frame " << i / 2;
    }
    EXPECT_EQ(voice->StarvedFrames(), 0U);
}

TEST_P(StreamStart, ARestartOrAnotherSoundEndsTheOldOneWithTheStopsFadeUnderTheNewFirstFrames)
{
    // The same voice started again (a restart), or closed for another (a
    // player that loads another file), stopped first or not (a graph still
    // seeking only pauses it).
    enum Way { Restarted, ClosedStopped, ClosedPlaying };
    for (const Way way : {Restarted, ClosedStopped, ClosedPlaying}) {
        SCOPED_TRACE(way);
        const auto oldBytes = NoiseBytes(format, 40 * period, 12 + way);
        const auto newBytes = NoiseBytes(format, 8 * period, 20 + way);
        auto voice = device->OpenVoice(format);
        VoiceBuffer oldBuffer;
        oldBuffer.data = oldBytes;
        ASSERT_EQ(voice->Write(oldBuffer), AudioError::None);
        device->RenderPeriods(12);
        card->played = card->appl - 10 * period;
        const std::size_t queuedOld = card->appl;
        if (way != ClosedPlaying) {
            voice->Reset();
        }
        if (way != Restarted) {
            voice.reset();
            voice = device->OpenVoice(format);
        }
        VoiceBuffer newBuffer;
        newBuffer.data = newBytes;
        ASSERT_EQ(voice->Write(newBuffer), AudioError::None);
        device->RenderPeriods(12);

        const auto a = ExpectedFloats(format, oldBytes);
        const auto b = ExpectedFloats(format, newBytes);
        const auto oldStart = static_cast<std::size_t>(Find(a));
        ASSERT_LT(oldStart, queuedOld);
        ASSERT_GE(card->stream.size(), 2 * queuedOld + b.size());
        // What was queued of the old sound plays out untouched.
        for (std::size_t i = 0; i < 2 * (queuedOld - oldStart); ++i) {
            ASSERT_EQ(card->stream[2 * oldStart + i], a[i]) << "old sound, frame " << i / 2;
        }
        for (std::size_t c = 0; c < 2; ++c) {
            // Its last level falls away under the new sound's first frames
            // in small steps, and nothing of it is left after them.
            const float level = a[2 * (queuedOld - 1 - oldStart) + c];
            ASSERT_GT(std::abs(level), 0.02f);
            float before = level;
            for (std::size_t f = 0; f < b.size() / 2; ++f) {
                const float rest = card->stream[2 * (queuedOld + f) + c] - b[2 * f + c];
                if (f >= Voice::DeclickFrames) {
                    ASSERT_EQ(rest, 0.0f) << "channel " << c << ", new frame " << f;
                    continue;
                }
                ASSERT_LE(std::abs(rest - before), std::abs(level) / 32 + 1e-6f) << "channel " << c << ", frame " << f;
                ASSERT_LE(std::abs(rest), std::abs(before) + 1e-6f) << "channel " << c << ", new frame " << f;
                if (f == Voice::DeclickFrames - 1) {
                    ASSERT_LE(std::abs(rest), std::abs(level) / 32) << "channel " << c << ": faded out, not cut";
                }
                before = rest;
            }
        }
        voice.reset();
        device->RenderPeriods(1);
    }
}

INSTANTIATE_TEST_SUITE_P(Cards, StreamStart, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& param) {
                             return param.param ? "TakesAudioBack" : "CannotTakeAudioBack";
                         });

} // namespace
