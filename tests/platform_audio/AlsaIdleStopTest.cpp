// A card with nothing to play is not fed silence: once all it holds is
// silence it is stopped and its mixer sleeps, and whatever may sound again (a
// start, more buffers for a voice that ran dry, a resume) wakes it; the card
// then starts at once, with the sound's first frame.
#include "support/AudioTestSignals.h"

#include "platform/audio/AlsaSink.h"
#include "platform/audio/MixerThreadObserver.h"
#include "platform/audio/OutputDevice.h"
#include "platform/audio/Voice.h"
#include "support/TestAlsaDevice.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace {

using namespace platform::audio;

class AlsaIdleStop : public testsupport::PacedTestCardTest {
protected:
    void SetUp() override { OpenCard("formats \"S16_LE\""); }
    void TearDown() override
    {
        voice.reset();
        device.reset();
    }
    // Plays a short loud sound on the voice and waits until it has sounded.
    void PlayLoud(VoiceBuffer& buffer)
    {
        buffer.data = loud;
        card.arm();
        ASSERT_EQ(voice->Write(buffer), AudioError::None);
        ASSERT_TRUE(testsupport::WithinRealWait([&] { return card.played() >= 0; })) << "it is heard";
        ASSERT_TRUE(testsupport::WithinRealWait([&] { return buffer.Done(); }));
    }

    // A decoder's voice plays what it was given and runs dry, more still to
    // come: its card stops.
    void RunDry()
    {
        voice = device->OpenVoice(format);
        ASSERT_TRUE(voice);
        voice->SetMoreToCome(true);
        ASSERT_NO_FATAL_FAILURE(PlayLoud(played));
        ASSERT_TRUE(testsupport::WithinRealWait([&] { return device->Asleep(); }));
    }

    const StreamFormat format{48000, 16, 2};
    const std::vector<std::uint8_t> loud = audiotest::Constant16(2, 480, 28672);
    std::unique_ptr<Voice> voice;
    VoiceBuffer played;
};

TEST_F(AlsaIdleStop, ACardWithNothingToPlaySleepsAndAStartWakesItAtOnce)
{
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return device->Asleep(); })) << "nothing plays on it";
    const std::uint64_t mixed = device->RenderedFrames();
    // Fed silence first, a card that cannot take audio back would play its
    // first sound behind it.
    EXPECT_EQ(mixed, 0U) << "a card just opened is fed nothing before its first sound";
    voice = device->OpenVoice(format);
    ASSERT_TRUE(voice);
    EXPECT_EQ(device->RenderedFrames(), mixed) << "opening a voice plays nothing";
    EXPECT_TRUE(device->Asleep());

    VoiceBuffer buffer;
    PlayLoud(buffer);
    EXPECT_EQ(voice->Position(), 480U);
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return device->Asleep(); })) << "asleep again once it ended";
}

TEST_F(AlsaIdleStop, MoreBuffersForAVoiceThatRanDryWakeTheCard)
{
    voice = device->OpenVoice(format);
    ASSERT_TRUE(voice);
    VoiceBuffer first;
    PlayLoud(first);
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return device->Asleep(); }));
    // Not a start: the voice has played and goes on where it ran dry.
    VoiceBuffer second;
    PlayLoud(second);
    EXPECT_EQ(voice->Position(), 960U);
}

TEST_F(AlsaIdleStop, AResumeWakesTheCard)
{
    voice = device->OpenVoice(format);
    ASSERT_TRUE(voice);
    voice->Pause();
    VoiceBuffer buffer;
    buffer.data = loud;
    ASSERT_EQ(voice->Write(buffer), AudioError::None);
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return device->Asleep(); })) << "a paused voice plays nothing";
    EXPECT_FALSE(buffer.Done());
    card.arm();
    voice->Restart();
    // Mixed (done) comes before heard: the card plays what it was handed at its own pace.
    EXPECT_TRUE(testsupport::WithinRealWait([&] { return card.played() >= 0; })) << "it is heard";
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return buffer.Done(); }));
}

// A decoder that fell behind gives the first block it catches up with a
// moment before the next ones: the card stays stopped until the voice holds
// what it keeps queued, else the sound would come back with that block and a
// gap of silence after it. The sound's end plays what it holds, however little.
std::atomic<int> mixerDecisions{0};

TEST_F(AlsaIdleStop, AVoiceThatRanDryWakesTheCardOnceItHoldsWhatTheCardKeepsQueued)
{
    static const MixerThreadObserver observer{nullptr, [] { ++mixerDecisions; }, [] { ++mixerDecisions; }, nullptr};
    SetMixerThreadObserver(&observer);
    ASSERT_NO_FATAL_FAILURE(RunDry());
    const int half = device->QueuedAheadFrames() / 2;
    const std::vector<std::uint8_t> quiet = audiotest::Constant16(2, half, 1000);
    const std::vector<std::uint8_t> loudHalf = audiotest::Constant16(2, half, 28672);
    std::array<VoiceBuffer, 3> pieces;
    pieces[0].data = quiet;
    pieces[1].data = loudHalf;
    pieces[2].data = quiet;
    int before = mixerDecisions.load();
    ASSERT_EQ(voice->WriteFromStream(pieces[0]), AudioError::None);
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return mixerDecisions.load() > before; }));
    card.arm();
    ASSERT_EQ(voice->WriteFromStream(pieces[1]), AudioError::None);
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return card.played() >= 0; }));
    EXPECT_EQ(card.loudFrame(), half) << "the next block follows the first one without a gap";

    ASSERT_TRUE(testsupport::WithinRealWait([&] { return device->Asleep(); }));
    before = mixerDecisions.load();
    ASSERT_EQ(voice->WriteFromStream(pieces[2]), AudioError::None);
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return mixerDecisions.load() > before; }));
    voice->SetMoreToCome(false);
    EXPECT_TRUE(testsupport::WithinRealWait([&] { return pieces[2].Done(); })) << "its end plays what it holds";
    SetMixerThreadObserver(nullptr);
}

// A decoder whose blocks are small may give no more than ResumeBuffers of
// them before it waits for some to play: they wake the card, though they
// hold less than it keeps queued. A pause is silence asked for: the card's
// stop is no longer counted as silence heard in place of the sound.
TEST_F(AlsaIdleStop, SmallBlocksWakeTheCardAndAPauseEndsTheSilenceCounted)
{
    ASSERT_NO_FATAL_FAILURE(RunDry());
    const std::vector<std::uint8_t> small = audiotest::Constant16(2, 8, 28672);
    ASSERT_LT(Mixer::ResumeBuffers * 8, device->QueuedAheadFrames());
    std::array<VoiceBuffer, Mixer::ResumeBuffers> blocks;
    card.arm();
    for (VoiceBuffer& block : blocks) {
        block.data = small;
        ASSERT_EQ(voice->WriteFromStream(block), AudioError::None);
    }
    EXPECT_TRUE(testsupport::WithinRealWait([&] { return card.played() >= 0; })) << "the small blocks are heard";
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return blocks.back().Done(); }));

    ASSERT_TRUE(testsupport::WithinRealWait([&] { return device->Asleep(); }));
    const std::int64_t asleep = voice->SilenceHeardFrames();
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return voice->SilenceHeardFrames() > asleep; }))
        << "the card's stop is heard as silence";
    voice->Pause();
    const std::int64_t counted = voice->SilenceHeardFrames();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(voice->SilenceHeardFrames(), counted) << "a paused sound is not short";
}

// A card unplugged while it sleeps is known lost before the next press, so
// that press fails as it does on a card lost while playing.
TEST_F(AlsaIdleStop, ACardUnpluggedWhileAsleepIsFoundLostWithoutAPress)
{
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return device->Asleep(); })) << "nothing plays on it";
    card.unplug(1);
    const bool found = testsupport::WithinRealWait([&] { return device->Lost(); });
    card.unplug(0);
    EXPECT_TRUE(found);
}

} // namespace
