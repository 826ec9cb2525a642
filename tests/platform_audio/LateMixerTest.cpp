// A mixer that wakes late nearly runs its device dry before it underruns:
// once half of what was left queued at its wake-up has played by the time it
// runs, the device queues twice as much, so that the next stall a little
// longer is no dropout. A device that cannot rewind, whose whole queue is
// the delay of every start, grows only once all that was left had played. A
// mixer without real-time priority, which any busy program can hold up,
// grows its queue at its first underrun.
#include "RewindingCard.h"
#include "support/AudioTestSignals.h"

#include "platform/audio/AlsaSink.h"
#include "platform/audio/OutputDevice.h"
#include "platform/audio/Voice.h"
#include "platform/base/LogSink.h"
#include "support/ClockFixture.h"
#include "support/TestAlsaDevice.h"

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace platform::audio;
using audiotest::RewindingCard;

constexpr int period = 256;

class LateMixer : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        platform::SetLogSink([this](std::string_view text, int) { lines.emplace_back(text); });
        Open(true);
    }
    void Open(bool canRewind)
    {
        auto owned = std::make_unique<RewindingCard>(canRewind, period, 16384);
        card = owned.get();
        card->keepStream = false;
        device = OutputDevice::Start("Card", std::move(owned), Pacing::Manual);
        device->RenderPeriods(8);
    }
    void TearDown() override
    {
        device.reset();
        platform::SetLogSink(nullptr);
    }
    // The mixer ran late frames after the card woke it.
    void WokeLate(int late)
    {
        card->late = late;
        device->RenderPeriods(1);
        device->Sync();
    }
    bool Logged(const std::string& line) const { return std::find(lines.begin(), lines.end(), line) != lines.end(); }

    RewindingCard* card = nullptr;
    std::shared_ptr<OutputDevice> device;
    std::vector<std::string> lines;
};

TEST_F(LateMixer, AWakeUpThatFindsHalfOfWhatWasLeftPlayedDoublesTheQueue)
{
    ASSERT_EQ(device->QueuedAheadFrames(), 8 * period);
    // Eight periods queued, woken with two left: 256 frames late is half of them.
    WokeLate(255);
    EXPECT_EQ(device->QueuedAheadFrames(), 8 * period) << "not yet half";
    WokeLate(256);
    EXPECT_EQ(device->QueuedAheadFrames(), 16 * period);
    EXPECT_EQ(device->StartMarginFrames(), 2 * 256 + 1)
        << "a start keeps clear of twice the lateness seen, not of all that the queue grew";
    EXPECT_TRUE(Logged("Audio device \"Card\": its mixer woke so late that it nearly ran dry; 4096 frames (85 ms) "
                       "are now queued ahead"));
    EXPECT_EQ(device->QueuedAheadFrames(), maxQueuedAheadFrames) << "at most the limit";

    // Sixteen periods queued are woken with ten left: half of them would double it again.
    WokeLate(1280);
    EXPECT_EQ(device->QueuedAheadFrames(), maxQueuedAheadFrames);
    WokeLate(4096);
    EXPECT_EQ(device->QueuedAheadFrames(), maxQueuedAheadFrames);
}

TEST_F(LateMixer, OnADeviceThatCannotRewindOnlyAWakeUpAfterAllThatWasLeftHadPlayedGrowsTheQueue)
{
    Open(false);
    const StreamFormat format{48000, 16, 2};
    const auto noise = audiotest::NoiseBytes(format, 4 * period, 5);
    VoiceBuffer loop;
    loop.data = noise;
    loop.SetLooping(true);
    auto voice = device->OpenVoice(format);
    ASSERT_EQ(voice->Write(loop), AudioError::None);
    device->RenderPeriods(1);
    // Nothing came back for the start: a period, 2 ms and 16 ms (three
    // periods), of which all but the period are left at a wake-up.
    const int running = period + 96 + 3 * period;
    ASSERT_EQ(device->QueuedAheadFrames(), running);
    for (const int late : {10, 300, 863, 863}) {
        WokeLate(late);
    }
    EXPECT_EQ(device->QueuedAheadFrames(), running) << "every start would wait for stalls that ran nothing dry";
    EXPECT_TRUE(lines.empty());
    WokeLate(864);
    EXPECT_EQ(device->QueuedAheadFrames(), running + period / 4);
    EXPECT_TRUE(Logged("Audio device \"Card\": its mixer woke so late that it would have run dry, and it cannot take "
                       "queued audio back; 1184 frames (24 ms) are now queued ahead"));
    voice.reset();
}

// In a process of its own, which gives up the right to real-time priority:
// a paced card runs dry once. 0 when its queue grew for it, with its log line.
int FirstUnderrunWithoutRealtime()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct caps[2]{};
    syscall(SYS_capget, &header, caps);
    for (auto& set : caps) {
        set.effective &= ~(1U << CAP_SYS_NICE);
        set.permitted &= ~(1U << CAP_SYS_NICE);
    }
    const rlimit none{0, 0};
    if (syscall(SYS_capset, &header, caps) != 0 || setrlimit(RLIMIT_RTPRIO, &none) != 0) {
        return 2;
    }
    std::vector<std::string> logged;
    platform::SetLogSink([&logged](std::string_view text, int) { logged.emplace_back(text); });
    std::string error;
    auto device = testsupport::OpenPacedTestCard("", error);
    testsupport::TestAlsaControls card;
    if (!device || !card.Find()) {
        return 3;
    }
    // A sound plays: a card with nothing to play is not fed at all.
    const std::vector<std::uint8_t> hush(4 * 256, 0);
    VoiceBuffer loop;
    loop.data = hush;
    loop.SetLooping(true);
    auto voice = device->OpenVoice(StreamFormat{48000, 16, 2});
    if (!voice || voice->Write(loop) != AudioError::None) {
        return 3;
    }
    const int queued = device->QueuedAheadFrames();
    card.runDry(1);
    const bool grown = testsupport::WithinRealWait([&] { return device->QueuedAheadFrames() > queued; });
    device->Sync();
    const auto logs = [&logged](const std::string& text) {
        return std::any_of(logged.begin(), logged.end(),
                           [&text](const std::string& line) { return line.find(text) != std::string::npos; });
    };
    const bool refused = logs("without real-time priority");
    // A busy machine may have grown the queue before (its mixer woke late): the frames are not fixed.
    const bool said = logs("\"Card\": underran, and its mixer has no real-time priority; ");
    voice.reset();
    device.reset();
    return !refused ? 4 : !grown ? 5 : !said ? 6 : 0;
}

TEST(LateMixerWithoutRealtime, GrowsTheQueueAtItsFirstUnderrun)
{
    if (!testsupport::TestAlsaDeviceBuilt()) {
        GTEST_SKIP() << "the test ALSA device was not built (" << testsupport::TestAlsaDevice << ")";
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::_Exit(FirstUnderrunWithoutRealtime()), testing::ExitedWithCode(0), "");
}

} // namespace
