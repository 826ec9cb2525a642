// A machine under load: a device that underruns again and again queues more
// audio ahead (twice as much each time, at most four periods of 1,024 frames)
// rather than underrunning again; one underrun alone may be chance and
// changes nothing. The device is the tests' own ALSA plugin, told to run dry.
#include "CountingAllocator.h"

#include "platform/audio/AlsaSink.h"
#include "platform/audio/OutputDevice.h"
#include "platform/base/LogSink.h"
#include "support/ClockFixture.h"
#include "support/TestAlsaDevice.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace platform::audio;

using testsupport::TestAlsaConfig;
constexpr const char* testDevice = testsupport::TestAlsaDevice;

class QueueGrowth : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        if (!testsupport::TestAlsaDeviceBuilt()) {
            GTEST_SKIP() << "the test ALSA device was not built (" << testDevice << ")";
        }
        platform::SetLogSink([this](std::string_view text, int) { lines.emplace_back(text); });
        AlsaOptions options;
        options.pcm = "dut";
        options.configText = TestAlsaConfig("pcm.dut { type tolvtest formats \"S16_LE\" }\n");
        std::string error;
        auto sink = AlsaSink::Open(options, error);
        ASSERT_TRUE(sink) << error;
        device = OutputDevice::Start("Card", std::move(sink), Pacing::Manual);
        // The device's module is loaded now; its controls are looked up in it.
        void* module = dlopen(testDevice, RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(module, nullptr);
        runDry = reinterpret_cast<void (*)(int)>(dlsym(module, "tolvtest_run_dry"));
        dlclose(module);
        ASSERT_NE(runDry, nullptr);
        device->RenderPeriods(20);
    }
    void TearDown() override
    {
        device.reset();
        platform::SetLogSink(nullptr);
    }
    // The device runs dry once while it plays; then it is fed until it runs again.
    void Underrun()
    {
        runDry(1);
        device->RenderPeriods(1);
        device->RenderPeriods(maxQueuedAheadFrames / device->PeriodFrames() + 1);
        device->Sync();
    }
    int Grown() const
    {
        int count = 0;
        for (const std::string& line : lines) {
            count += line.find("now queued ahead") != std::string::npos ? 1 : 0;
        }
        return count;
    }

    std::shared_ptr<OutputDevice> device;
    void (*runDry)(int) = nullptr;
    std::vector<std::string> lines;
};

TEST_F(QueueGrowth, RepeatedUnderrunsDoubleTheQueuedAudioUpToFourPeriodsOf1024Frames)
{
    ASSERT_EQ(device->PeriodFrames(), 256);
    EXPECT_EQ(device->QueuedAheadFrames(), 8 * 256) << "the periods the device was opened with: 43 ms";
    // 1 ms at 48 kHz: the device holds nothing in flight and knows its position to the frame.
    const int least = 48;
    EXPECT_EQ(device->StartMarginFrames(), least);

    Underrun();
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_EQ(lines[0], "Audio device \"Card\": 1 underrun (r=-32), restarted");
    EXPECT_EQ(device->QueuedAheadFrames(), 2048) << "one underrun alone may be chance";

    // The mixer's side of growing allocates nothing (the log line is written by the program's thread).
    audiotest::ArmAllocationCounting();
    runDry(1);
    device->RenderPeriods(1);
    EXPECT_EQ(audiotest::DisarmAllocationCounting(), 0);
    device->RenderPeriods(20);
    device->Sync();
    EXPECT_EQ(device->QueuedAheadFrames(), 4096);
    // A start keeps as much more margin as the queue grew.
    EXPECT_EQ(device->StartMarginFrames(), least + 2048);
    ASSERT_EQ(Grown(), 1);
    EXPECT_EQ(lines.back(),
              "Audio device \"Card\": underruns again and again; 4096 frames (85 ms) are now queued ahead");

    Underrun();
    Underrun();
    EXPECT_EQ(device->QueuedAheadFrames(), 4096) << "four periods of 1,024 frames at most";
    EXPECT_EQ(device->StartMarginFrames(), least + 2048);
    EXPECT_EQ(Grown(), 1);
    EXPECT_FALSE(device->Lost());
}

TEST_F(QueueGrowth, UnderrunsMoreThanAMinuteApartLeaveTheQueueAsItIs)
{
    Underrun();
    // A minute and a period of audio later.
    device->RenderPeriods(48000 * 60 / 256 + 1);
    Underrun();
    EXPECT_EQ(device->QueuedAheadFrames(), 2048);
    // The next one within the minute is a repeat.
    Underrun();
    EXPECT_EQ(device->QueuedAheadFrames(), 4096);
}

} // namespace
