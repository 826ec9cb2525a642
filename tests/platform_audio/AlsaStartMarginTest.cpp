// The start margin on a real ALSA device: the frames the card holds in flight
// beyond its position (its delay less what its buffer still holds) are kept
// clear of, and a device that gives nothing back is known so from its
// opening: it starts with the least it can, and a sound started while it
// runs waits behind all of its queued audio. The device is the tests' own
// ALSA plugin.
#include "platform/audio/AlsaSink.h"
#include "platform/audio/OutputDevice.h"
#include "platform/audio/Voice.h"
#include "support/AudioTestSignals.h"
#include "support/ClockFixture.h"
#include "support/TestAlsaDevice.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace platform::audio;

class AlsaStartMargin : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        if (!testsupport::TestAlsaDeviceBuilt()) {
            GTEST_SKIP() << "the test ALSA device was not built (" << testsupport::TestAlsaDevice << ")";
        }
    }
    std::shared_ptr<OutputDevice> Open(const std::string& definitions)
    {
        AlsaOptions options;
        options.pcm = "dut";
        options.configText = testsupport::TestAlsaConfig(definitions);
        std::string error;
        auto sink = AlsaSink::Open(options, error);
        EXPECT_TRUE(sink) << error;
        return sink ? OutputDevice::Start("Card", std::move(sink), Pacing::Manual) : nullptr;
    }
    static void Fire(OutputDevice& device)
    {
        const StreamFormat format{48000, 16, 2};
        const auto bytes = audiotest::NoiseBytes(format, 256, 1);
        VoiceBuffer buffer;
        buffer.data = bytes;
        auto voice = device.OpenVoice(format);
        ASSERT_TRUE(voice);
        ASSERT_EQ(voice->Write(buffer), AudioError::None);
        device.RenderPeriods(2);
    }
};

TEST_F(AlsaStartMargin, KeepsClearOfTheFramesTheCardHoldsInFlight)
{
    auto device = Open("pcm.dut { type tolvtest formats \"S16_LE\" fifo 300 }\n");
    ASSERT_TRUE(device);
    device->RenderPeriods(20);
    Fire(*device);
    EXPECT_EQ(device->StartMarginFrames(), 301);
}

TEST_F(AlsaStartMargin, ADeviceThatPassedItsFramesOnIsNotAskedForThemBackAndIsKnownSoFromItsOpening)
{
    AlsaOptions options;
    options.pcm = "dut";
    std::string error;
    options.configText = testsupport::TestAlsaConfig("pcm.dut { type tolvtest paced 1 formats \"S16_LE\" }\n");
    auto honest = AlsaSink::Open(options, error);
    ASSERT_TRUE(honest) << error;
    EXPECT_TRUE(honest->TakesFramesBack());
    honest.reset();

    // Its rewind succeeds, but what follows would sound after what it took back.
    options.configText = testsupport::TestAlsaConfig("pcm.dut { type tolvtest paced 1 rewind 0 formats \"S16_LE\" }\n");
    auto passing = AlsaSink::Open(options, error);
    ASSERT_TRUE(passing) << error;
    EXPECT_FALSE(passing->TakesFramesBack());
    EXPECT_EQ(passing->Rewindable(), 0);
    auto device = OutputDevice::Start("Card", std::move(passing), Pacing::Manual);
    // What it queues is looked at, not what it plays: its clock stands still,
    // so that a test held up on a busy machine does not run it dry, which
    // would grow the queue.
    const testsupport::HeldTestCardClock held;
    ASSERT_TRUE(held.Held());
    const int period = device->PeriodFrames();
    ASSERT_EQ(period, 256);
    // Before anything is written, let alone started: it starts with a period
    // and the 2 ms it needs, not the eight periods of a card that rewinds.
    EXPECT_EQ(device->StartMarginFrames(), 96);
    EXPECT_EQ(device->QueuedAheadFrames(), period + 96);
    // Running, every start waits behind all it holds: that, and 16 ms (three
    // periods) for a mixer woken late.
    device->RenderPeriods(4);
    EXPECT_EQ(device->QueuedAheadFrames(), period + 96 + 3 * period);
    Fire(*device);
    EXPECT_EQ(device->QueuedAheadFrames(), period + 96 + 3 * period);
}

} // namespace
