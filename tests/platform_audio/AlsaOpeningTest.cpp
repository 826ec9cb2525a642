// Opening a playback PCM that does not take the shape asked for: the device's
// offers are negotiated (nearest values, then larger periods and buffers, then
// its other formats) before the open gives up. The devices are the tests' own
// ALSA plugin and libasound's plug and null PCMs, from a configuration of the
// test's own, so no sound card is needed.
#include "support/AudioTestSignals.h"

#include "platform/audio/AlsaSink.h"
#include "platform/audio/OutputDevice.h"
#include "platform/audio/Voice.h"
#include "support/ClockFixture.h"
#include "support/RealWait.h"
#include "support/TestAlsaDevice.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace {

using namespace platform::audio;

using testsupport::TestAlsaConfig;
constexpr const char* testDevice = testsupport::TestAlsaDevice;

class AlsaOpening : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        if (!testsupport::TestAlsaDeviceBuilt()) {
            GTEST_SKIP() << "the test ALSA device was not built (" << testDevice << ")";
        }
    }
    // The PCM "dut" of a configuration that also knows the test device type.
    static AlsaOptions Options(const std::string& definition)
    {
        AlsaOptions options;
        options.pcm = "dut";
        options.configText = TestAlsaConfig(definition);
        return options;
    }
    // Plays a short sound through the device to show that it takes periods.
    static void PlaysPeriods(std::unique_ptr<AlsaSink> sink)
    {
        auto device = OutputDevice::Start("Test", std::move(sink), Pacing::Manual);
        auto voice = device->OpenVoice(StreamFormat{48000, 16, 2});
        ASSERT_NE(voice, nullptr);
        const auto bytes = audiotest::NoiseBytes(voice->Format(), 3000, 7);
        VoiceBuffer buffer;
        buffer.data = bytes;
        ASSERT_EQ(voice->Write(buffer), AudioError::None);
        device->RenderPeriods(3000 / device->PeriodFrames() + 2);
        EXPECT_TRUE(buffer.Done());
        EXPECT_FALSE(device->Lost());
    }
};

TEST_F(AlsaOpening, APlugDeviceOverAFixedSixteenBitSlaveOpens)
{
    std::string error;
    auto sink = AlsaSink::Open(Options("pcm.card { type tolvtest formats \"S16_LE\" rate 44100 }\n"
                                       "pcm.dut { type plug slave { pcm \"card\" format S16_LE rate 44100 } }"),
                               error);
    ASSERT_TRUE(sink) << error;
    EXPECT_EQ(sink->Options().channels, 2);
    EXPECT_EQ(sink->Options().periodFrames, 256) << sink->Description();
    PlaysPeriods(std::move(sink));
}

TEST_F(AlsaOpening, TheFormatsTheDeviceOffersAreTakenWhenTheMixersFirstChoiceIsMissing)
{
    struct Case {
        const char* formats;
        AlsaSampleType expected;
    };
    const Case cases[] = {{"S16_LE", AlsaSampleType::S16},
                          {"S24_3LE", AlsaSampleType::S24Packed},
                          {"S24_LE,FLOAT_LE", AlsaSampleType::S24},
                          {"FLOAT_LE", AlsaSampleType::Float}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formats);
        std::string error;
        auto sink =
            AlsaSink::Open(Options(std::string("pcm.dut { type tolvtest formats \"") + c.formats + "\" }"), error);
        ASSERT_TRUE(sink) << error;
        EXPECT_EQ(sink->SampleType(), c.expected);
        PlaysPeriods(std::move(sink));
    }
}

TEST_F(AlsaOpening, ADeviceWhoseSmallestPeriodIsLargerGivesItsOwn)
{
    // 4,096 bytes: 1,024 frames of 16-bit stereo.
    std::string error;
    auto sink = AlsaSink::Open(Options("pcm.dut { type tolvtest formats \"S16_LE\" min_period_bytes 4096 }"), error);
    ASSERT_TRUE(sink) << error;
    EXPECT_EQ(sink->Options().periodFrames, 1024);
    EXPECT_GE(sink->Options().periods, 2);
    PlaysPeriods(std::move(sink));
}

TEST_F(AlsaOpening, ADeviceThatRefusesPeriodsBelow1024FramesOnlyWhenSetUpGetsLargerOnes)
{
    std::string error;
    auto sink = AlsaSink::Open(Options("pcm.dut { type tolvtest formats \"S32_LE\" refuse_period_below 1024 }"), error);
    ASSERT_TRUE(sink) << error;
    // 256 and 512 are refused; the next step up is the smallest period taken.
    EXPECT_EQ(sink->Options().periodFrames, 1024);
    EXPECT_EQ(sink->Options().periods, 2) << "about 43 ms queued ahead: two long periods";
    EXPECT_EQ(sink->Description(), "S32_LE, 48000 Hz, 2 channels, period 1024 frames, buffer 16384 frames");
    PlaysPeriods(std::move(sink));
}

// The mixer thread on a card's own clock: a start wakes it, the queued audio
// is taken back and mixed again with the new sound, and the sound plays out.
TEST_F(AlsaOpening, AStartWakesTheMixerOfARunningPacedDeviceAndPlays)
{
    std::string error;
    auto sink = AlsaSink::Open(Options("pcm.dut { type tolvtest paced 1 formats \"S16_LE\" }"), error);
    ASSERT_TRUE(sink) << error;
    auto device = OutputDevice::Start("Paced", std::move(sink), Pacing::Device);
    const StreamFormat format{48000, 16, 2};
    auto playing = device->OpenVoice(format);
    const auto quiet = audiotest::NoiseBytes(format, 4800, 8);
    VoiceBuffer loop;
    loop.data = quiet;
    loop.SetLooping(true);
    ASSERT_EQ(playing->Write(loop), AudioError::None);
    const auto waitFor = [](const auto& done) {
        const auto deadline = std::chrono::steady_clock::now() + testsupport::RealWait;
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        return done();
    };
    ASSERT_TRUE(waitFor([&] { return playing->Position() >= 2048; }));

    auto fired = device->OpenVoice(format);
    const auto shotBytes = audiotest::NoiseBytes(format, 480, 9);
    VoiceBuffer shot;
    shot.data = shotBytes;
    ASSERT_EQ(fired->Write(shot), AudioError::None);
    EXPECT_TRUE(waitFor([&] { return shot.Done(); }));
    EXPECT_EQ(fired->Position(), 480U);
    EXPECT_FALSE(device->Lost());
    playing->Reset();
}

TEST_F(AlsaOpening, ADeviceThatTakesNothingGivesTheLastRefusal)
{
    std::string error;
    EXPECT_FALSE(
        AlsaSink::Open(Options("pcm.dut { type tolvtest formats \"S16_LE\" refuse_period_below 100000 }"), error));
    EXPECT_NE(error.find("snd_pcm_hw_params failed r=-22"), std::string::npos) << error;
}

} // namespace

namespace {

// A device that takes every frame at once (ALSA's null PCM, the test device
// unpaced) would have a mixer on its clock spin at real-time priority,
// holding a core from the other mixers of the machine: such a device keeps
// the real rate on the machine's clock, a card keeps its own.
TEST_F(AlsaOpening, ADeviceWithoutAClockOfItsOwnIsMixedOnTheMachinesClock)
{
    struct Case {
        const char* definition;
        bool hasClock;
    };
    const Case cases[] = {{"pcm.dut { type null }", false},
                          {"pcm.dut { type tolvtest formats \"S16_LE\" }", false},
                          {"pcm.dut { type tolvtest paced 1 formats \"S16_LE\" }", true},
                          {"pcm.dut { type tolvtest paced 1 rewind 0 formats \"S16_LE\" }", true}};
    for (const Case& c : cases) {
        std::string error;
        auto sink = AlsaSink::Open(Options(c.definition), error);
        ASSERT_TRUE(sink) << c.definition << ": " << error;
        EXPECT_EQ(sink->PacesItself(), c.hasClock) << c.definition;
        auto device = OutputDevice::Start("Test", std::move(sink), Pacing::Device);
        EXPECT_EQ(device->PacedBy(), c.hasClock ? Pacing::Device : Pacing::RealTime) << c.definition;
    }
}

} // namespace
