#include "support/AudioTestSignals.h"

#include "platform/audio/AlsaCapture.h"
#include "platform/audio/AlsaSink.h"
#include "platform/audio/OutputDevice.h"
#include "platform/audio/Voice.h"
#include "support/ClockFixture.h"
#include "support/RealWait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

using namespace platform::audio;
using audiotest::NoiseBytes;

// The ALSA back-end, end to end, without a sound card: libasound's file PCM
// writes what the device was given to a file, over its null PCM.
class AlsaOutput : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        folder = std::filesystem::path(std::getenv("TOLV_TEST_FOLDER")) / "alsa";
        std::filesystem::create_directories(folder);
        capture = folder / "capture.raw";
        std::filesystem::remove(capture);
    }
    AlsaOptions Options(AlsaSampleType type) const
    {
        AlsaOptions options;
        options.pcm = "tolvcapture";
        options.configText =
            "pcm.tolvcapture { type file slave.pcm { type null } file \"" + capture.string() + "\" format raw }";
        options.sampleType = type;
        return options;
    }
    std::vector<std::uint8_t> Captured() const
    {
        std::ifstream file(capture, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path folder;
    std::filesystem::path capture;
};

TEST_F(AlsaOutput, SixteenBitStereoIsCapturedByteForByte)
{
    constexpr std::size_t frames = 5000;
    const StreamFormat format{48000, 16, 2};
    const auto input = NoiseBytes(format, frames, 31);
    {
        std::string error;
        auto sink = AlsaSink::Open(Options(AlsaSampleType::S16), error);
        ASSERT_TRUE(sink) << error;
        EXPECT_EQ(sink->Options().rate, 48000);
        EXPECT_EQ(sink->Options().channels, 2);
        EXPECT_EQ(sink->Options().periodFrames, 256);
        auto device = OutputDevice::Start("Capture", std::move(sink), Pacing::Manual);
        auto voice = device->OpenVoice(format);
        VoiceBuffer first;
        VoiceBuffer second;
        first.data = std::span<const std::uint8_t>(input).first(3000 * 4);
        second.data = std::span<const std::uint8_t>(input).subspan(3000 * 4);
        voice->Write(first);
        voice->Write(second);
        device->RenderPeriods(24);
        EXPECT_TRUE(second.Done());
    }
    const auto captured = Captured();
    ASSERT_EQ(captured.size(), 24U * 256 * 4);
    EXPECT_TRUE(std::equal(input.begin(), input.end(), captured.begin()));
    EXPECT_TRUE(std::all_of(captured.begin() + static_cast<std::ptrdiff_t>(input.size()), captured.end(),
                            [](std::uint8_t b) { return b == 0; }));
}

TEST_F(AlsaOutput, TwentyFourBitSamplesKeepEveryBitInThirtyTwoBitOutput)
{
    constexpr std::size_t frames = 1000;
    const StreamFormat format{48000, 24, 2};
    const auto input = NoiseBytes(format, frames, 32);
    {
        std::string error;
        auto sink = AlsaSink::Open(Options(AlsaSampleType::S32), error);
        ASSERT_TRUE(sink) << error;
        auto device = OutputDevice::Start("Capture", std::move(sink), Pacing::Manual);
        auto voice = device->OpenVoice(format);
        VoiceBuffer buffer;
        buffer.data = input;
        voice->Write(buffer);
        device->RenderPeriods(4);
    }
    const auto captured = Captured();
    ASSERT_EQ(captured.size(), 4U * 256 * 8);
    // Each 24-bit sample is the top three bytes of its 32-bit sample.
    for (std::size_t s = 0; s < frames * 2; ++s) {
        ASSERT_EQ(captured[4 * s], 0) << s;
        ASSERT_EQ(captured[4 * s + 1], input[3 * s]) << s;
        ASSERT_EQ(captured[4 * s + 2], input[3 * s + 1]) << s;
        ASSERT_EQ(captured[4 * s + 3], input[3 * s + 2]) << s;
    }
}

TEST_F(AlsaOutput, AMixerThreadPlaysThroughTheNullPcm)
{
    AlsaOptions options;
    options.pcm = "tolvnull";
    options.configText = "pcm.tolvnull { type null }";
    std::string error;
    auto sink = AlsaSink::Open(options, error);
    ASSERT_TRUE(sink) << error;
    // The null PCM has no clock of its own: the mixer keeps the real rate.
    auto device = OutputDevice::Start("Null PCM", std::move(sink), Pacing::RealTime);
    auto voice = device->OpenVoice(StreamFormat{44100, 16, 2});
    const auto input = NoiseBytes(voice->Format(), 441, 33);
    VoiceBuffer buffer;
    buffer.data = input;
    voice->Write(buffer);
    const auto deadline = std::chrono::steady_clock::now() + testsupport::RealWait;
    while (!buffer.Done() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    EXPECT_TRUE(buffer.Done());
    EXPECT_EQ(voice->Position(), 441U);
}

TEST_F(AlsaOutput, APcmThatDoesNotExistGivesTheFailingCall)
{
    AlsaOptions options;
    options.pcm = "nosuchpcm";
    options.configText = "pcm.other { type null }";
    std::string error;
    EXPECT_FALSE(AlsaSink::Open(options, error));
    EXPECT_NE(error.find("snd_pcm_open failed r="), std::string::npos) << error;
}

} // namespace

namespace {

// Capture through libasound's file PCM: what it reads from its input file is
// what the device records.
TEST_F(AlsaOutput, CaptureReadsWhatTheInputGives)
{
    const std::filesystem::path input = folder / "input.raw";
    const StreamFormat format{48000, 16, 2};
    const auto bytes = audiotest::NoiseBytes(format, 4800, 41);
    {
        std::ofstream out(input, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    AlsaOptions options;
    options.pcm = "tolvinput";
    options.configText = "pcm.tolvinput { type file slave.pcm { type null } file \"/dev/null\" infile \"" +
                         input.string() + "\" format raw }";
    options.sampleType = AlsaSampleType::S16;
    std::string error;
    auto source = AlsaCapture::Open(options, error);
    ASSERT_TRUE(source) << error;
    EXPECT_EQ(source->Options().rate, 48000);
    EXPECT_EQ(source->Options().channels, 2);
    const auto want = audiotest::ExpectedFloats(format, bytes);
    std::vector<float> got;
    std::vector<float> block(2 * 1024);
    for (int turn = 0; turn < 100 && got.size() < want.size(); ++turn) {
        const std::size_t frames = source->Read(block, 50);
        got.insert(got.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(2 * frames));
    }
    ASSERT_GE(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        ASSERT_EQ(got[i], want[i]) << i;
    }
}

} // namespace
