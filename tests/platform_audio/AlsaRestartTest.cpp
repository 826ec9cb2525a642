// A card that cannot take queued audio back starts from its sleep with a
// period and a small margin queued, the sound's first frame first, and is
// topped up at once to what it keeps while it runs: that, and 16 ms for a
// mixer woken late. It wakes its mixer only at the ends of its periods. When
// it starts afresh (woken from its sleep, or after running dry) it must
// start with its fill queued: started with more, rounded up to whole
// periods, it is a little above its refill point at a period's end and runs
// dry before the next, again after each restart. Its stops and starts never
// grow its queue unasked. The card is the tests' own paced ALSA device.
#include "support/AudioTestSignals.h"

#include "platform/audio/AlsaSink.h"
#include "platform/audio/MixerThreadObserver.h"
#include "platform/audio/OutputDevice.h"
#include "platform/audio/Voice.h"
#include "platform/base/LogSink.h"
#include "support/TestAlsaDevice.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace platform::audio;

constexpr int period = 256;
// 16 ms at 48 kHz in whole periods: what the card keeps beyond the period
// and the margin while it runs.
constexpr int runningLead = 3 * period;

class AlsaRestart : public testsupport::PacedTestCardTest {
protected:
    void SetUp() override
    {
        platform::SetLogSink([this](std::string_view text, int) {
            if (text.find("now queued ahead") != std::string_view::npos) {
                const std::lock_guard<std::mutex> lock(grownLinesMutex);
                grownLines.emplace_back(text);
            }
        });
        OpenCard("rewind 0 formats \"S16_LE\"");
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        ASSERT_EQ(device->PeriodFrames(), period);
        // A bed plays, and a sound starts on it.
        bed = device->OpenVoice(format);
        ASSERT_TRUE(bed);
        bedBuffer.data = quiet;
        bedBuffer.SetLooping(true);
        ASSERT_EQ(bed->Write(bedBuffer), AudioError::None);
        ASSERT_TRUE(PlayedFor(100));
        shot = device->OpenVoice(format);
        ASSERT_TRUE(shot);
        PlayLoud();
        // A period, the least margin the card allows and the lead, with the
        // step an underrun of a slow start-up adds, or the steps said since.
        ASSERT_TRUE(testsupport::WithinRealWait([&] {
            device->Sync();
            const int queued = device->QueuedAheadFrames();
            return queued <= period + device->StartMarginFrames() + runningLead + period / 4 ||
                   SaidGrownTo(queued, steppedByChance);
        })) << "a period, the margin and the lead queued";
    }
    // True when the last growth of the queue was logged, to frames, for why.
    bool SaidGrownTo(int frames, std::string_view why = {})
    {
        const std::string value = " " + std::to_string(frames) + " frames";
        const std::lock_guard<std::mutex> lock(grownLinesMutex);
        return !grownLines.empty() && grownLines.back().find(value) != std::string::npos &&
               grownLines.back().find(why) != std::string::npos;
    }
    // A busy machine may hold the mixer up more than once: such a card grows
    // a step each time (at an underrun, or a wake-up that would have run it
    // dry), and says so.
    static constexpr std::string_view steppedByChance = "cannot take queued audio back";
    void TearDown() override
    {
        platform::SetLogSink(nullptr);
        SetMixerThreadObserver(nullptr);
        shot.reset();
        bed.reset();
        device.reset();
    }
    // Waits until ms more of audio have been mixed.
    bool PlayedFor(int ms)
    {
        const std::uint64_t until = device->RenderedFrames() + static_cast<std::uint64_t>(48 * ms);
        return testsupport::WithinRealWait([&] { return device->RenderedFrames() >= until; });
    }
    // Waits until the card sleeps and its mixer has set it to start again
    // with the least queue: the mixer marks it asleep before it sets the
    // queue, so the two are seen apart for a moment.
    bool SleepsWithTheLeastQueued()
    {
        return testsupport::WithinRealWait(
            [&] { return device->Asleep() && device->QueuedAheadFrames() == period + device->StartMarginFrames(); });
    }
    // Plays a quarter second of loud sound (or the bytes given) on the shot
    // voice and waits until it has played out.
    void PlayLoud(const std::vector<std::uint8_t>* bytes = nullptr)
    {
        shotBuffers.push_back(std::make_unique<VoiceBuffer>());
        VoiceBuffer& buffer = *shotBuffers.back();
        buffer.data = bytes != nullptr ? *bytes : loud;
        card.arm();
        ASSERT_EQ(shot->Write(buffer), AudioError::None);
        ASSERT_TRUE(testsupport::WithinRealWait([&] { return buffer.Done(); }));
        EXPECT_TRUE(testsupport::WithinRealWait([&] { return card.played() >= 0; })) << "it is heard";
    }

    const StreamFormat format{48000, 16, 2};
    const std::vector<std::uint8_t> quiet = audiotest::Constant16(2, 8 * period, 100);
    const std::vector<std::uint8_t> loud = audiotest::Constant16(2, 12000, 28672);
    std::unique_ptr<Voice> bed;
    std::unique_ptr<Voice> shot;
    VoiceBuffer bedBuffer;
    std::vector<std::unique_ptr<VoiceBuffer>> shotBuffers;
    std::mutex grownLinesMutex;
    std::vector<std::string> grownLines;
};

// A machine may hold the mixer up once; running dry again and again is the
// restart's own doing.
constexpr long long chanceDryRuns = 1;

TEST_F(AlsaRestart, ACardWokenFromItsSleepPlaysOnWithoutRunningDry)
{
    bed.reset();
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return device->Asleep(); })) << "nothing plays on it";
    const long long before = card.ranDryCount();
    PlayLoud();
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return device->Asleep(); }));
    PlayLoud();
    EXPECT_LE(card.ranDryCount() - before, chanceDryRuns);
}

TEST_F(AlsaRestart, ACardThatRanDryOncePlaysOnWithoutRunningDryAgain)
{
    const int queued = device->QueuedAheadFrames();
    const long long before = card.ranDryCount();
    card.runDry(1);
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return device->QueuedAheadFrames() > queued; }))
        << "the underrun grows the queue";
    ASSERT_TRUE(PlayedFor(300));
    EXPECT_LE(card.ranDryCount() - before, chanceDryRuns);
    device->Sync();
    const int now = device->QueuedAheadFrames();
    EXPECT_TRUE(now <= period + device->StartMarginFrames() + runningLead + period / 2 ||
                SaidGrownTo(now, steppedByChance))
        << "grown for the one underrun, and at most one more by chance, or the steps said since: " << now;
}

TEST_F(AlsaRestart, EachStartOfTheStoppedCardPlaysTheSoundsFirstFrameFirstAndGrowsNoQueueUnsaid)
{
    bed.reset();
    const int queued = device->QueuedAheadFrames();
    const auto blip = audiotest::Constant16(2, 2 * period, 28672);
    for (int start = 0; start < 5; ++start) {
        ASSERT_TRUE(SleepsWithTheLeastQueued()) << "nothing plays on it, and it starts with the least";
        // As a player starts a sound: its voice reset, resumed, then given its first buffer.
        shot->Reset();
        shot->Restart();
        PlayLoud(&blip);
        EXPECT_EQ(card.loudFrame(), 0) << "no silence before the sound";
    }
    const int now = device->QueuedAheadFrames();
    EXPECT_TRUE(testsupport::WithinRealWait([&] {
        device->Sync();
        return now == queued || SaidGrownTo(now);
    })) << "grown from "
        << queued << " to " << now << " frames without a log line";
}

// A player's voice is resumed on the program's thread while its decoder's
// thread queues the sound's first buffer: the mixer, woken by the resume, may
// look at the voices after the buffer is queued and before its start is said.
std::atomic<OutputDevice*> resumedDevice{nullptr};
std::atomic<int> mixerDecisions{0};

void CountMixerDecision()
{
    mixerDecisions.fetch_add(1, std::memory_order_relaxed);
}

void ResumeBetweenBufferAndStart()
{
    OutputDevice* device = resumedDevice.exchange(nullptr);
    if (device == nullptr) {
        return;
    }
    const int before = mixerDecisions.load();
    device->VoiceMayPlay();
    // Until the woken mixer has filled the card or let it sleep on.
    (void)testsupport::WithinRealWait([before] { return mixerDecisions.load() > before; });
}

TEST_F(AlsaRestart, AResumeThatWakesTheMixerAsTheFirstBufferIsQueuedLeavesNoSilenceBeforeTheSound)
{
    bed.reset();
    static const MixerThreadObserver observer{nullptr, CountMixerDecision, CountMixerDecision,
                                              ResumeBetweenBufferAndStart};
    SetMixerThreadObserver(&observer);
    const auto blip = audiotest::Constant16(2, 2 * period, 28672);
    for (int start = 0; start < 3; ++start) {
        ASSERT_TRUE(SleepsWithTheLeastQueued()) << "nothing plays on it, and it starts with the least";
        shot->Reset();
        resumedDevice = device.get();
        PlayLoud(&blip);
        EXPECT_EQ(card.loudFrame(), 0) << "no silence before the sound";
    }
}

TEST_F(AlsaRestart, AVoiceFilledWhilePausedStartsTheCardWithItsFirstFrameWhenResumed)
{
    bed.reset();
    static const MixerThreadObserver observer{nullptr, CountMixerDecision, CountMixerDecision, nullptr};
    SetMixerThreadObserver(&observer);
    const auto blip = audiotest::Constant16(2, 2 * period, 28672);
    for (int start = 0; start < 3; ++start) {
        ASSERT_TRUE(SleepsWithTheLeastQueued()) << "nothing plays on it, and it starts with the least";
        // As a decoding graph starts a sound: its voice paused and filled by
        // the decoder's thread, then resumed once the graph has prerolled.
        shot->Reset();
        shot->Pause();
        VoiceBuffer buffer;
        buffer.data = blip;
        card.arm();
        ASSERT_EQ(shot->WriteFromStream(buffer), AudioError::None);
        // The mixer looks at the card once more before the resume.
        const int before = mixerDecisions.load();
        device->VoiceMayPlay();
        ASSERT_TRUE(testsupport::WithinRealWait([&] { return mixerDecisions.load() > before; }));
        shot->Restart();
        ASSERT_TRUE(testsupport::WithinRealWait([&] { return buffer.Done(); }));
        ASSERT_TRUE(testsupport::WithinRealWait([&] { return card.played() >= 0; })) << "it is heard";
        EXPECT_EQ(card.loudFrame(), 0) << "no silence before the sound";
    }
}

TEST_F(AlsaRestart, AStoppedCardStartedBySoundIsToppedUpToItsRunningQueueWhileTheSoundPlays)
{
    bed.reset();
    ASSERT_TRUE(SleepsWithTheLeastQueued()) << "nothing plays on it, and it starts with the least";
    const int least = period + device->StartMarginFrames();
    const long long before = card.ranDryCount();
    shot->Reset();
    shot->Restart();
    VoiceBuffer looping;
    looping.data = loud;
    looping.SetLooping(true);
    card.arm();
    ASSERT_EQ(shot->Write(looping), AudioError::None);
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return card.played() >= 0; })) << "it is heard";
    EXPECT_EQ(card.loudFrame(), 0) << "the sound's first frame is the first the card plays";
    EXPECT_TRUE(testsupport::WithinRealWait([&] { return device->QueuedAheadFrames() >= least + runningLead; }))
        << "running, it keeps the lead";
    ASSERT_TRUE(PlayedFor(300));
    EXPECT_LE(card.ranDryCount() - before, chanceDryRuns);
    shot->Reset();
}

} // namespace
