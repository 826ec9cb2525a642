#include "NullDeviceFixture.h"
#include "support/AudioTestSignals.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace platform::audio;
using audiotest::Constant16;
using audiotest::ExpectedFloats;
using audiotest::NoiseBytes;

class VoiceTransport : public audiotest::NullDeviceFixture {
protected:
    void SetUp() override { MakeDevice(2); }
};

TEST_F(VoiceTransport, PauseHoldsThePositionAndRestartGoesOnFromThere)
{
    const StreamFormat format{Rate, 16, 2};
    auto voice = OpenVoice(Rate, 16, 2);
    const auto bytes = NoiseBytes(format, 3000, 11);
    const auto x = ExpectedFloats(format, bytes);
    VoiceBuffer buffer;
    buffer.data = bytes;
    voice->Write(buffer);
    device->RenderPeriods(2);
    EXPECT_EQ(voice->Position(), 512U);

    voice->Pause();
    EXPECT_TRUE(voice->Paused());
    device->RenderPeriods(3);
    EXPECT_EQ(voice->Position(), 512U);
    EXPECT_FALSE(buffer.Done());
    // A buffer written while paused waits too.
    const auto more = NoiseBytes(format, 100, 12);
    VoiceBuffer later;
    later.data = more;
    voice->Write(later);
    device->RenderPeriods(1);
    EXPECT_EQ(voice->Position(), 512U);

    voice->Restart();
    EXPECT_FALSE(voice->Paused());
    device->RenderPeriods(12);
    EXPECT_EQ(voice->Position(), 3100U);
    EXPECT_TRUE(buffer.Done());
    EXPECT_TRUE(later.Done());

    const auto played = Played();
    for (std::size_t f = 0; f < 512; ++f) {
        ASSERT_EQ(played[2 * f], x[2 * f]) << f;
    }
    // While paused: the last sound fades out over the declick length, then silence.
    const std::size_t pauseStart = 512;
    const std::size_t pauseEnd = 512 + 4 * Period;
    float previous = std::abs(x[2 * 511]);
    for (std::size_t f = pauseStart; f < pauseStart + Voice::DeclickFrames; ++f) {
        ASSERT_LE(std::abs(played[2 * f]), previous + 1e-7f) << f;
        previous = std::abs(played[2 * f]);
    }
    for (std::size_t f = pauseStart + Voice::DeclickFrames; f < pauseEnd; ++f) {
        ASSERT_EQ(played[2 * f], 0.0f) << f;
    }
    // After the restart the sound goes on with the next frame, faded in over
    // the declick length and exact from then on.
    for (std::size_t k = 0; k < 2488; ++k) {
        const float want = x[2 * (512 + k)];
        const float got = played[2 * (pauseEnd + k)];
        if (k < Voice::DeclickFrames) {
            ASSERT_LE(std::abs(got), std::abs(want) + 1e-7f) << k;
        } else {
            ASSERT_EQ(got, want) << k;
        }
    }
}

TEST_F(VoiceTransport, ResetMarksEveryBufferDoneAndStartsThePositionAgain)
{
    const StreamFormat format{Rate, 16, 2};
    auto voice = OpenVoice(Rate, 16, 2);
    const auto bytes = NoiseBytes(format, 3000, 21);
    VoiceBuffer buffers[3];
    for (int i = 0; i < 3; ++i) {
        buffers[i].data = std::span<const std::uint8_t>(bytes).subspan(static_cast<std::size_t>(i) * 4000, 4000);
        voice->Write(buffers[i]);
    }
    device->RenderPeriods(1);
    EXPECT_EQ(voice->Position(), 256U);
    voice->Reset();
    EXPECT_EQ(voice->Position(), 0U);
    EXPECT_EQ(voice->QueuedBuffers(), 0);
    for (const auto& buffer : buffers) {
        EXPECT_TRUE(buffer.Done());
    }
    device->RenderPeriods(2);
    EXPECT_EQ(voice->Position(), 0U);
    auto played = Played();
    for (std::size_t f = Period + Voice::DeclickFrames; f < 3 * Period; ++f) {
        ASSERT_EQ(played[2 * f], 0.0f) << f;
    }

    // The voice plays again from the first buffer written after the reset.
    voice->Write(buffers[1]);
    device->RenderPeriods(2);
    EXPECT_EQ(voice->Position(), 512U);
    played = Played();
    const auto x = ExpectedFloats(format, bytes);
    for (std::size_t f = 0; f < 512; ++f) {
        ASSERT_EQ(played[2 * f], x[2 * (1000 + f)]) << f;
    }

    // A reset keeps a pause: what is written next waits for the restart.
    voice->Pause();
    voice->Reset();
    voice->Write(buffers[2]);
    device->RenderPeriods(2);
    EXPECT_FALSE(buffers[2].Done());
    EXPECT_EQ(voice->Position(), 0U);
    played = Played();
    for (std::size_t f = Voice::DeclickFrames; f < 2 * Period; ++f) {
        ASSERT_EQ(played[2 * f], 0.0f) << f;
    }
    voice->Restart();
    device->RenderPeriods(4);
    EXPECT_TRUE(buffers[2].Done());
    EXPECT_EQ(voice->Position(), 1000U);
}

TEST_F(VoiceTransport, AVolumeChangeRampsWithoutStepsAndReachesItsTarget)
{
    auto voice = OpenVoice(Rate, 16, 2);
    const auto bytes = Constant16(2, 4000, 16384);
    VoiceBuffer buffer;
    buffer.data = bytes;
    voice->Write(buffer);
    device->RenderPeriods(1);
    voice->SetVolume(0.25f, 1.0f);
    EXPECT_FLOAT_EQ(voice->LeftVolume(), 0.25f);
    device->RenderPeriods(3);
    voice->SetVolume(1.0f, 0.0f);
    device->RenderPeriods(3);
    const auto played = Played();

    const int rampFrames = Rate * Voice::VolumeRampMs / 1000;
    // Left: 0.5 -> 0.125, then back to 0.5; right: 0.5, then 0.5 -> 0.
    const auto checkRamp = [&](std::size_t channel, std::size_t from, float start, float target) {
        const float largestStep = std::abs(target - start) / static_cast<float>(rampFrames) + 1e-6f;
        for (std::size_t f = from; f < from + static_cast<std::size_t>(rampFrames); ++f) {
            ASSERT_LE(std::abs(played[2 * f + channel] - played[2 * (f - 1) + channel]), largestStep) << f;
        }
        for (std::size_t f = from + static_cast<std::size_t>(rampFrames); f < from + 3 * Period; ++f) {
            ASSERT_FLOAT_EQ(played[2 * f + channel], target) << f;
        }
    };
    for (std::size_t f = 0; f < Period; ++f) {
        ASSERT_EQ(played[2 * f], 0.5f);
    }
    checkRamp(0, Period, 0.5f, 0.125f);
    checkRamp(0, 4 * Period, 0.125f, 0.5f);
    for (std::size_t f = 0; f < 4 * Period; ++f) {
        ASSERT_EQ(played[2 * f + 1], 0.5f) << f;
    }
    checkRamp(1, 4 * Period, 0.5f, 0.0f);
}

TEST_F(VoiceTransport, AVolumeSetWhileSilentAppliesFromTheFirstFrame)
{
    // A sound started low (the start of a fade-in) must not begin at full level.
    auto voice = OpenVoice(Rate, 16, 2);
    voice->SetVolume(0.25f, 0.0f);
    const auto bytes = Constant16(2, 2000, 16384);
    VoiceBuffer buffer;
    buffer.data = bytes;
    voice->Write(buffer);
    device->RenderPeriods(2);
    auto played = Played();
    for (std::size_t f = 0; f < 2 * Period; ++f) {
        ASSERT_EQ(played[2 * f], 0.125f) << f;
        ASSERT_EQ(played[2 * f + 1], 0.0f) << f;
    }
    // Once it sounds, a change ramps again.
    voice->SetVolume(1.0f, 1.0f);
    device->RenderPeriods(1);
    played = Played();
    EXPECT_LT(played[0], 0.5f);
    EXPECT_EQ(played[2 * (Period - 1)], 0.5f);
}

TEST_F(VoiceTransport, OneVoicesVolumeNeverMovesAnother)
{
    auto first = OpenVoice(Rate, 16, 2);
    auto second = OpenVoice(Rate, 16, 2);
    const auto a = Constant16(2, 3000, 8192); // 0.25
    const auto b = Constant16(2, 3000, 4096); // 0.125
    VoiceBuffer bufferA;
    VoiceBuffer bufferB;
    bufferA.data = a;
    bufferB.data = b;
    first->Write(bufferA);
    second->Write(bufferB);
    first->SetVolume(0.0f, 0.0f);
    device->RenderPeriods(4);
    EXPECT_EQ(second->LeftVolume(), 1.0f);
    EXPECT_EQ(second->RightVolume(), 1.0f);
    const auto played = Played();
    const std::size_t afterRamp = static_cast<std::size_t>(Rate * Voice::VolumeRampMs / 1000);
    for (std::size_t f = afterRamp; f < 4 * Period; ++f) {
        ASSERT_EQ(played[2 * f], 0.125f) << f;
        ASSERT_EQ(played[2 * f + 1], 0.125f) << f;
    }
    // The silent voice still plays on: its position moves and its buffer ends.
    EXPECT_EQ(first->Position(), 4U * Period);
}

TEST_F(VoiceTransport, ClosingAVoiceFinishesItsBuffersAndLeavesTheOthersPlaying)
{
    auto first = OpenVoice(Rate, 16, 2);
    auto second = OpenVoice(Rate, 16, 2);
    const auto a = Constant16(2, 3000, 8192);
    const auto b = Constant16(2, 3000, 4096);
    VoiceBuffer bufferA;
    VoiceBuffer bufferB;
    bufferA.data = a;
    bufferB.data = b;
    first->Write(bufferA);
    second->Write(bufferB);
    device->RenderPeriods(1);
    first.reset();
    EXPECT_TRUE(bufferA.Done());
    EXPECT_EQ(device->VoiceCount(), 1);
    device->RenderPeriods(1);
    const auto played = Played();
    EXPECT_EQ(played[0], 0.375f);
    EXPECT_EQ(played[2 * (2 * Period - 1)], 0.125f);
    EXPECT_EQ(second->Position(), 2U * Period);
}

TEST_F(VoiceTransport, ASoundThatRanOutOnAPeriodsEndEndsOnItsLastFrameWhenStoppedOrClosedThen)
{
    // The player sees the end and stops or closes the voice before the next
    // period: that period must hold nothing of the sound, no fade of it.
    for (const bool close : {false, true}) {
        SCOPED_TRACE(close ? "closed" : "stopped");
        auto voice = OpenVoice(Rate, 16, 2);
        const auto bytes = Constant16(2, 2 * Period, 8192);
        VoiceBuffer buffer;
        buffer.data = bytes;
        ASSERT_EQ(voice->Write(buffer), AudioError::None);
        device->RenderPeriods(2);
        ASSERT_TRUE(buffer.Done());
        if (close) {
            voice.reset();
        } else {
            voice->Reset();
        }
        device->RenderPeriods(1);
        const auto played = Played();
        ASSERT_EQ(played.size(), 2U * 3 * Period);
        EXPECT_EQ(played[2 * (2 * Period - 1)], 0.25f) << "its last frame";
        for (std::size_t f = 2 * Period; f < 3 * Period; ++f) {
            ASSERT_EQ(played[2 * f], 0.0f) << f;
        }
    }
}

} // namespace
