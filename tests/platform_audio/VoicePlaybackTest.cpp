#include "support/AudioTestSignals.h"
#include "NullDeviceFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using namespace platform::audio;
using audiotest::ExpectedFloats;
using audiotest::NoiseBytes;

class VoicePlayback : public audiotest::NullDeviceFixture {};

std::span<const std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t count)
{
    return std::span<const std::uint8_t>(bytes).subspan(from, count);
}

TEST_F(VoicePlayback, EveryFormatPlaysSampleForSample)
{
    struct Case {
        int bits;
        int channels;
        int deviceChannels;
    };
    const Case cases[] = {{8, 1, 2},  {8, 2, 2},  {16, 1, 2}, {16, 2, 2}, {24, 1, 2},
                          {24, 2, 2}, {16, 6, 8}, {24, 6, 6}, {16, 8, 8}, {24, 8, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << "-bit, " << c.channels << " channels on " << c.deviceChannels);
        MakeDevice(c.deviceChannels);
        const StreamFormat format{Rate, c.bits, c.channels};
        auto voice = OpenVoice(Rate, c.bits, c.channels);
        ASSERT_TRUE(voice);
        // Buffer lengths that end inside periods, and one shorter than a period.
        const std::size_t lengths[] = {1000, 37, 3000};
        const std::size_t total = 4037;
        const auto bytes = NoiseBytes(format, total, static_cast<std::uint32_t>(c.bits * 10 + c.channels));
        VoiceBuffer buffers[3];
        std::size_t from = 0;
        for (int i = 0; i < 3; ++i) {
            buffers[i].data = Slice(bytes, from * static_cast<std::size_t>(format.BlockAlign()),
                                    lengths[i] * static_cast<std::size_t>(format.BlockAlign()));
            from += lengths[i];
            ASSERT_EQ(voice->Write(buffers[i]), AudioError::None);
        }
        device->RenderPeriods(static_cast<int>(total / Period) + 2);
        const auto played = Played();
        const auto expected = ExpectedFloats(format, bytes);
        ASSERT_EQ(played.size(), static_cast<std::size_t>((total / Period + 2) * Period * c.deviceChannels));
        for (std::size_t frame = 0; frame < total + 2 * Period && frame * c.deviceChannels < played.size(); ++frame) {
            for (int d = 0; d < c.deviceChannels; ++d) {
                float want = 0.0f;
                if (frame < total) {
                    // Mono sounds on both front speakers; other layouts channel for channel.
                    const int source = c.channels == 1 ? (d < 2 ? 0 : -1) : (d < c.channels ? d : -1);
                    want =
                        source < 0
                            ? 0.0f
                            : expected[frame * static_cast<std::size_t>(c.channels) + static_cast<std::size_t>(source)];
                }
                ASSERT_EQ(played[frame * static_cast<std::size_t>(c.deviceChannels) + static_cast<std::size_t>(d)],
                          want)
                    << "frame " << frame << " channel " << d;
            }
        }
        EXPECT_EQ(voice->Position(), total);
        for (const auto& buffer : buffers) {
            EXPECT_TRUE(buffer.Done());
        }
    }
}

TEST_F(VoicePlayback, SurroundFoldsOntoStereoWithMinus3dBForCentreAndSurrounds)
{
    MakeDevice(2);
    for (const int channels : {6, 8}) {
        SCOPED_TRACE(channels);
        const StreamFormat format{Rate, 16, channels};
        auto voice = OpenVoice(Rate, 16, channels);
        const auto bytes = NoiseBytes(format, Period, 7);
        VoiceBuffer buffer;
        buffer.data = bytes;
        voice->Write(buffer);
        device->RenderPeriods(1);
        const auto played = Played();
        const auto x = ExpectedFloats(format, bytes);
        const double w = std::sqrt(0.5);
        for (std::size_t f = 0; f < Period; ++f) {
            const float* in = &x[f * static_cast<std::size_t>(channels)];
            // Front, centre at -3 dB, back (and side) at -3 dB; the LFE channel is left out.
            double left = in[0] + w * in[2] + w * in[4];
            double right = in[1] + w * in[2] + w * in[5];
            if (channels == 8) {
                left += w * in[6];
                right += w * in[7];
            }
            ASSERT_NEAR(played[2 * f], left, 1e-5) << f;
            ASSERT_NEAR(played[2 * f + 1], right, 1e-5) << f;
        }
        // Closed as it sounds, it fades out: not into the next case's period.
        voice.reset();
        device->RenderPeriods(1);
        Played();
    }
}

TEST_F(VoicePlayback, TwoVoicesOnOneDeviceAddUp)
{
    MakeDevice(2);
    const StreamFormat stereo{Rate, 16, 2};
    const StreamFormat mono8{Rate, 8, 1};
    auto first = OpenVoice(Rate, 16, 2);
    auto second = OpenVoice(Rate, 8, 1);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(device->VoiceCount(), 2);
    const auto a = NoiseBytes(stereo, 2000, 1);
    const auto b = NoiseBytes(mono8, 1500, 2);
    VoiceBuffer bufferA;
    VoiceBuffer bufferB;
    bufferA.data = a;
    bufferB.data = b;
    first->Write(bufferA);
    second->Write(bufferB);
    device->RenderPeriods(8);
    const auto played = Played();
    const auto xa = ExpectedFloats(stereo, a);
    const auto xb = ExpectedFloats(mono8, b);
    for (std::size_t f = 0; f < 2048; ++f) {
        for (std::size_t ch = 0; ch < 2; ++ch) {
            const float want = (f < 2000 ? xa[2 * f + ch] : 0.0f) + (f < 1500 ? xb[f] : 0.0f);
            ASSERT_EQ(played[2 * f + ch], want) << f;
        }
    }
    EXPECT_EQ(first->Position(), 2000U);
    EXPECT_EQ(second->Position(), 1500U);
}

TEST_F(VoicePlayback, DoneFlagsAndPositionFollowTheMixer)
{
    MakeDevice(2);
    auto voice = OpenVoice(Rate, 16, 2);
    const auto bytes = NoiseBytes(StreamFormat{Rate, 16, 2}, 600, 3);
    VoiceBuffer first;
    VoiceBuffer second;
    EXPECT_FALSE(first.Done());
    EXPECT_FALSE(first.Queued());
    first.data = Slice(bytes, 0, 300 * 4);
    second.data = Slice(bytes, 300 * 4, 300 * 4);
    voice->Write(first);
    voice->Write(second);
    EXPECT_TRUE(first.Queued());
    EXPECT_EQ(voice->QueuedBuffers(), 2);
    EXPECT_EQ(voice->Position(), 0U);

    device->RenderPeriods(1);
    EXPECT_EQ(voice->Position(), 256U);
    EXPECT_FALSE(first.Done());
    device->RenderPeriods(1);
    EXPECT_EQ(voice->Position(), 512U);
    EXPECT_TRUE(first.Done());
    EXPECT_FALSE(second.Done());
    EXPECT_EQ(voice->QueuedBuffers(), 1);
    device->RenderPeriods(1);
    EXPECT_EQ(voice->Position(), 600U);
    EXPECT_TRUE(second.Done());
    device->RenderPeriods(3);
    EXPECT_EQ(voice->Position(), 600U);

    // A done buffer goes out again; a queued one is refused.
    EXPECT_EQ(voice->Write(first), AudioError::None);
    EXPECT_EQ(voice->Write(first), AudioError::StillQueued);
    device->RenderPeriods(2);
    EXPECT_TRUE(first.Done());
    EXPECT_EQ(voice->Position(), 900U);
    first.Clear();
    EXPECT_FALSE(first.Done());
}

TEST_F(VoicePlayback, AFullQueueRefusesFurtherBuffers)
{
    MakeDevice(2);
    auto voice = OpenVoice(Rate, 16, 2);
    std::vector<VoiceBuffer> buffers(Voice::MaxQueuedBuffers + 1);
    const std::uint8_t frame[4] = {1, 0, 1, 0};
    for (int i = 0; i < Voice::MaxQueuedBuffers; ++i) {
        buffers[static_cast<std::size_t>(i)].data = frame;
        ASSERT_EQ(voice->Write(buffers[static_cast<std::size_t>(i)]), AudioError::None);
    }
    buffers.back().data = frame;
    EXPECT_EQ(voice->Write(buffers.back()), AudioError::QueueFull);
    EXPECT_FALSE(buffers.back().Queued());
    device->RenderPeriods(2);
    EXPECT_TRUE(buffers[Voice::MaxQueuedBuffers - 1].Done());
    EXPECT_EQ(voice->Position(), static_cast<std::uint64_t>(Voice::MaxQueuedBuffers));
}

TEST_F(VoicePlayback, ManyVoicesShareOneDeviceAndUnsupportedFormatsAreRefused)
{
    MakeDevice(2);
    std::vector<std::unique_ptr<Voice>> voices;
    for (int i = 0; i < Mixer::MaxVoices; ++i) {
        voices.push_back(OpenVoice(44100, 16, 2));
        ASSERT_TRUE(voices.back());
    }
    AudioError error = AudioError::None;
    EXPECT_FALSE(device->OpenVoice(StreamFormat{Rate, 16, 2}, &error));
    EXPECT_EQ(error, AudioError::NoVoice);
    EXPECT_NE(voices[0]->Handle(), 0);
    EXPECT_NE(voices[0]->Handle(), voices[1]->Handle());
    voices.pop_back();
    EXPECT_TRUE(device->OpenVoice(StreamFormat{Rate, 16, 2}, &error));

    for (const StreamFormat& bad :
         {StreamFormat{Rate, 32, 2}, StreamFormat{Rate, 16, 4}, StreamFormat{0, 16, 2}, StreamFormat{Rate, 12, 1}}) {
        EXPECT_FALSE(device->OpenVoice(bad, &error));
        EXPECT_EQ(error, AudioError::BadFormat);
    }
}

TEST_F(VoicePlayback, OtherRatesAreResampledAtTheRightPitch)
{
    MakeDevice(2);
    constexpr int fileRate = 44100;
    constexpr double tone = 1000.0;
    auto voice = OpenVoice(fileRate, 16, 1);
    std::vector<std::uint8_t> bytes;
    for (int n = 0; n < fileRate; ++n) {
        const auto value =
            static_cast<std::int16_t>(std::lround(16000.0 * std::sin(2.0 * std::numbers::pi * tone * n / fileRate)));
        bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(value) >> 8));
    }
    VoiceBuffer buffer;
    buffer.data = bytes;
    voice->Write(buffer);
    device->RenderPeriods(Rate / Period + 2);
    EXPECT_EQ(voice->Position(), static_cast<std::uint64_t>(fileRate));
    EXPECT_TRUE(buffer.Done());
    const auto played = Played();
    // One second of the file lasts one second on the device: count the rising
    // zero crossings of the played tone, and check its shape against the tone.
    int crossings = 0;
    double worst = 0.0;
    const double amplitude = 16000.0 / 32768.0;
    const double step = static_cast<double>(fileRate) / Rate;
    const std::size_t last = static_cast<std::size_t>(Rate) - 100;
    for (std::size_t f = 1; f < last; ++f) {
        crossings += played[2 * (f - 1)] < 0.0f && played[2 * f] >= 0.0f ? 1 : 0;
        if (f > 100) {
            // The interpolator runs three input frames behind.
            const double input = static_cast<double>(f) * step - 3.0;
            const double want = amplitude * std::sin(2.0 * std::numbers::pi * tone * input / fileRate);
            worst = std::max(worst, std::abs(played[2 * f] - want));
        }
        ASSERT_EQ(played[2 * f], played[2 * f + 1]);
    }
    EXPECT_NEAR(crossings, tone * static_cast<double>(last) / Rate, 1.0);
    EXPECT_LT(worst, 0.002);
}

TEST_F(VoicePlayback, ARateChangeChangesTheSpeed)
{
    MakeDevice(2);
    auto voice = OpenVoice(Rate, 16, 2);
    const auto bytes = NoiseBytes(StreamFormat{Rate, 16, 2}, 20000, 4);
    VoiceBuffer buffer;
    buffer.data = bytes;
    voice->Write(buffer);
    device->RenderPeriods(10);
    EXPECT_EQ(voice->Position(), 2560U);
    voice->SetRate(Rate / 2);
    EXPECT_EQ(voice->Rate(), Rate / 2);
    device->RenderPeriods(20);
    // Twenty periods at half speed take ten periods of the stream (give or take
    // the interpolator's few frames).
    EXPECT_NEAR(static_cast<double>(voice->Position()), 2560.0 + 2560.0, 4.0);
}

TEST_F(VoicePlayback, VirtualTimeMixesThePeriodsThatAreDue)
{
    MakeDevice(2);
    auto voice = OpenVoice(Rate, 16, 2);
    const auto bytes = NoiseBytes(StreamFormat{Rate, 16, 2}, 48000, 5);
    VoiceBuffer buffer;
    buffer.data = bytes;
    voice->Write(buffer);
    clock.Advance(100);
    // 100 ms are 4800 frames: 18 whole periods have been mixed.
    EXPECT_EQ(voice->Position(), 18U * Period);
    clock.Advance(900);
    EXPECT_EQ(voice->Position(), 187U * Period);
    EXPECT_EQ(Played().size(), 187U * Period * 2);
}

} // namespace
