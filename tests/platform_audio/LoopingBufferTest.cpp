#include "NullDeviceFixture.h"
#include "support/AudioTestSignals.h"

#include "platform/audio/LoopingBuffer.h"
#include "platform/audio/SoundDeviceEnumeration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace platform::audio;
using audiotest::Constant16;
using audiotest::ExpectedFloats;
using audiotest::NoiseBytes;

class LoopingBuffers : public audiotest::NullDeviceFixture {
protected:
    void SetUp() override { MakeDevice(2); }

    std::unique_ptr<LoopingBuffer> Make(const StreamFormat& format, std::size_t frames)
    {
        AudioError error = AudioError::BadDevice;
        auto buffer =
            LoopingBuffer::Create(device, format, frames * static_cast<std::size_t>(format.BlockAlign()), &error);
        EXPECT_EQ(error, AudioError::None);
        return buffer;
    }
    // Left channel of what the device played, frame by frame.
    static std::vector<float> Left(const std::vector<float>& played)
    {
        std::vector<float> left;
        for (std::size_t i = 0; i < played.size(); i += 2) {
            left.push_back(played[i]);
        }
        return left;
    }
};

TEST_F(LoopingBuffers, ALoopingRingPlaysRoundAndRoundAndItsCursorFollows)
{
    const StreamFormat format{Rate, 16, 2};
    const std::size_t frames = 1000; // not a multiple of the period
    auto buffer = Make(format, frames);
    ASSERT_TRUE(buffer);
    const auto bytes = NoiseBytes(format, frames, 3);
    EXPECT_EQ(buffer->Write(0, bytes), bytes.size());
    buffer->Play(true);
    EXPECT_TRUE(buffer->Playing());
    device->RenderPeriods(12); // 3072 frames: three passes and a bit
    EXPECT_EQ(buffer->PlayCursor(), (3072 % frames) * 4);
    const auto played = Played();
    const auto expected = ExpectedFloats(format, bytes);
    for (std::size_t f = 0; f < 3072; ++f) {
        ASSERT_EQ(played[2 * f], expected[2 * (f % frames)]) << f;
        ASSERT_EQ(played[2 * f + 1], expected[2 * (f % frames) + 1]) << f;
    }
    EXPECT_TRUE(buffer->Playing());
}

TEST_F(LoopingBuffers, PlayedOnceTheRingEndsInSilenceAndTheCursorIsBackAtZero)
{
    const StreamFormat format{Rate, 8, 1};
    const std::size_t frames = 700;
    auto buffer = Make(format, frames);
    const auto bytes = NoiseBytes(format, frames, 5);
    buffer->Write(0, bytes);
    buffer->Play(false);
    device->RenderPeriods(2);
    EXPECT_TRUE(buffer->Playing());
    EXPECT_EQ(buffer->PlayCursor(), 512U);
    device->RenderPeriods(3);
    EXPECT_FALSE(buffer->Playing());
    EXPECT_EQ(buffer->PlayCursor(), 0U);
    const auto left = Left(Played());
    const auto expected = ExpectedFloats(format, bytes);
    for (std::size_t f = 0; f < left.size(); ++f) {
        ASSERT_EQ(left[f], f < frames ? expected[f] : 0.0f) << f;
    }
}

TEST_F(LoopingBuffers, WritesWrapAtTheEndAndLandWhereTheCursorWillFindThem)
{
    const StreamFormat format{Rate, 16, 1};
    const std::size_t frames = 512;
    auto buffer = Make(format, frames);
    // 100 frames from frame 462: 50 at the end, 50 at the start.
    const auto region = buffer->Lock(462 * 2, 200);
    EXPECT_EQ(region.first.size(), 100U);
    EXPECT_EQ(region.second.size(), 100U);
    EXPECT_EQ(region.first.data(), buffer->Lock(924, 0).first.data());
    EXPECT_EQ(region.second.data(), buffer->Lock(0, 10).first.data());
    EXPECT_EQ(buffer->Lock(5000, 5000).first.size() + buffer->Lock(5000, 5000).second.size(), 1024U)
        << "at most the ring, from the offset modulo the ring";

    const auto marks = Constant16(1, 100, 8192); // 0.25
    EXPECT_EQ(buffer->Write(462 * 2, marks), 200U);
    buffer->Play(true);
    device->RenderPeriods(4);
    const auto left = Left(Played());
    for (std::size_t f = 0; f < 1024; ++f) {
        const std::size_t ring = f % frames;
        ASSERT_EQ(left[f], ring < 50 || ring >= 462 ? 0.25f : 0.0f) << f;
    }
}

TEST_F(LoopingBuffers, StopHoldsTheCursorAndPlayGoesOnFromIt)
{
    const StreamFormat format{Rate, 16, 2};
    const std::size_t frames = 2000;
    auto buffer = Make(format, frames);
    const auto bytes = NoiseBytes(format, frames, 9);
    buffer->Write(0, bytes);
    buffer->Play(false);
    device->RenderPeriods(3);
    buffer->Stop();
    EXPECT_FALSE(buffer->Playing());
    EXPECT_EQ(buffer->PlayCursor(), 768U * 4);
    device->RenderPeriods(2);
    EXPECT_EQ(buffer->PlayCursor(), 768U * 4);
    Played();
    buffer->Play(false);
    device->RenderPeriods(6);
    const auto played = Played();
    const auto expected = ExpectedFloats(format, bytes);
    for (std::size_t f = 0; f < frames - 768; ++f) {
        ASSERT_EQ(played[2 * f], expected[2 * (768 + f)]) << f;
    }
    EXPECT_FALSE(buffer->Playing());

    // A position set while stopped is where the next play starts.
    buffer->SetCurrentPosition(1500 * 4 + 3);
    EXPECT_EQ(buffer->PlayCursor(), 1500U * 4);
    buffer->Play(false);
    device->RenderPeriods(2);
    const auto tail = Played();
    for (std::size_t f = 0; f < 500; ++f) {
        ASSERT_EQ(tail[2 * f + 1], expected[2 * (1500 + f) + 1]) << f;
    }
    EXPECT_EQ(tail[2 * 500], 0.0f);
}

TEST_F(LoopingBuffers, VolumeAndPanFollowTheDecibelLawsOnStereoAndMono)
{
    struct Case {
        int volume;
        int pan;
        float left;
        float right;
    };
    // 1/100 dB: -600 is half the amplitude (within 0.1 %), -2000 a tenth.
    const Case cases[] = {
        {0, 0, 1.0f, 1.0f},          {-2000, 0, 0.1f, 0.1f},  {-600, 0, 0.501187f, 0.501187f},
        {0, -10000, 1.0f, 0.0f},     {0, 10000, 0.0f, 1.0f},  {0, 2000, 0.1f, 1.0f},
        {-2000, -2000, 0.1f, 0.01f}, {-10000, 0, 0.0f, 0.0f}, {-20000, 30000, 0.0f, 0.0f},
    };
    for (const int channels : {2, 1}) {
        const StreamFormat format{Rate, 16, channels};
        auto buffer = Make(format, 4800);
        buffer->Write(0, Constant16(channels, 4800, 16384)); // 0.5
        buffer->Play(true);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << channels << " channels, volume " << c.volume << ", pan " << c.pan);
            buffer->SetVolume(c.volume);
            buffer->SetPan(c.pan);
            device->RenderPeriods(2); // past the ramp
            Played();
            device->RenderPeriods(1);
            const auto played = Played();
            EXPECT_NEAR(played[0], 0.5f * c.left, 1e-5f);
            EXPECT_NEAR(played[1], 0.5f * c.right, 1e-5f);
        }
        EXPECT_EQ(buffer->Volume(), LoopingBuffer::VolumeMin);
        EXPECT_EQ(buffer->Pan(), LoopingBuffer::PanRight);
    }
}

TEST_F(LoopingBuffers, TwiceTheFrequencyPlaysTheRingInHalfTheTime)
{
    const StreamFormat format{Rate, 16, 1};
    auto buffer = Make(format, 4096);
    buffer->Write(0, Constant16(1, 4096, 16384));
    EXPECT_EQ(buffer->Frequency(), Rate);
    buffer->SetFrequency(2 * Rate);
    EXPECT_EQ(buffer->Frequency(), 2 * Rate);
    buffer->Play(false);
    device->RenderPeriods(4); // 1024 output frames take 2048 ring frames
    EXPECT_NEAR(static_cast<double>(buffer->PlayCursor() / 2), 2048.0, 4.0);
    device->RenderPeriods(5);
    EXPECT_FALSE(buffer->Playing());
    const auto left = Left(Played());
    std::size_t sounding = 0;
    for (const float sample : left) {
        sounding += sample != 0.0f ? 1 : 0;
    }
    EXPECT_NEAR(static_cast<double>(sounding), 2048.0, 4.0);
    buffer->SetFrequency(0);
    EXPECT_EQ(buffer->Frequency(), Rate);
}

TEST_F(LoopingBuffers, SwitchingBetweenLoopingAndOnceWhilePlaying)
{
    const StreamFormat format{Rate, 16, 1};
    auto buffer = Make(format, 600);
    buffer->Write(0, Constant16(1, 600, 16384));
    buffer->Play(true);
    device->RenderPeriods(4); // 1024 frames: the second pass has begun
    buffer->Play(false);      // ends at the end of this pass
    EXPECT_TRUE(buffer->Playing());
    device->RenderPeriods(2);
    EXPECT_FALSE(buffer->Playing());
    const auto left = Left(Played());
    for (std::size_t f = 0; f < left.size(); ++f) {
        ASSERT_EQ(left[f], f < 1200 ? 0.5f : 0.0f) << f;
    }

    // Once from the middle, then looping: the whole ring follows the part left.
    buffer->SetCurrentPosition(300 * 2);
    buffer->Play(false);
    buffer->Play(true);
    device->RenderPeriods(8);
    EXPECT_TRUE(buffer->Playing());
    for (const float sample : Left(Played())) {
        ASSERT_EQ(sample, 0.5f);
    }
}

TEST_F(LoopingBuffers, TheEnumerationListsTheDefaultDeviceFirstWithoutIdentifier)
{
    system = AudioSystem::WithNullDevices(3, NullTiming::VirtualClock, {}, 0);
    struct Entry {
        bool hasIdentifier;
        int identifier;
        std::string description;
    };
    std::vector<Entry> entries;
    EnumerateSoundDevices(*system, [&](const int* identifier, std::string_view description, std::string_view) {
        entries.push_back(
            Entry{identifier != nullptr, identifier != nullptr ? *identifier : -1, std::string(description)});
        return true;
    });
    ASSERT_EQ(entries.size(), 4U);
    EXPECT_FALSE(entries[0].hasIdentifier);
    EXPECT_EQ(entries[0].description, "Null default");
    for (int i = 1; i <= 3; ++i) {
        EXPECT_TRUE(entries[static_cast<std::size_t>(i)].hasIdentifier);
        EXPECT_EQ(entries[static_cast<std::size_t>(i)].identifier, i);
        EXPECT_EQ(entries[static_cast<std::size_t>(i)].description, "Null " + std::to_string(i));
    }
    int calls = 0;
    EnumerateSoundDevices(*system, [&](const int*, std::string_view, std::string_view) { return ++calls < 2; });
    EXPECT_EQ(calls, 2) << "false ends the enumeration";
}

} // namespace
