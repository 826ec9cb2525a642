// A sound card that fails while it plays (the tests' own ALSA device, told to
// fail as an unplugged USB interface does): the loss is logged once, the
// device is not written again, a sound cannot start on it while it is gone,
// and once it is back the system opens it afresh and a new sound is heard.
// The device runs at the real rate on its own mixer thread, as a card does,
// so the test waits (at most a few seconds) for what that thread does.
#include "platform/audio/AudioSystem.h"
#include "platform/audio/OutputDevice.h"
#include "platform/audio/Voice.h"
#include "platform/base/LogSink.h"
#include "support/AudioTestSignals.h"
#include "support/ClockFixture.h"
#include "support/TestAlsaDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace {

using namespace platform::audio;

class AlsaDeviceLoss : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        if (!testsupport::TestAlsaDeviceBuilt()) {
            GTEST_SKIP() << "the test ALSA device was not built (" << testsupport::TestAlsaDevice << ")";
        }
        platform::SetLogSink([this](std::string_view text, int) {
            const std::lock_guard<std::mutex> hold(linesLock);
            lines.emplace_back(text);
        });
        std::string error;
        system = AudioSystem::WithAlsaConfiguration(
            testsupport::TestAlsaConfig("pcm.default { type tolvtest paced 1 formats \"S16_LE\" rate 48000 }\n"),
            error);
        ASSERT_TRUE(system) << error;
    }
    void TearDown() override
    {
        if (testCard.unplug != nullptr) {
            testCard.unplug(0);
        }
        bed.reset(); // before the buffer it may still hold
        device.reset();
        system.reset();
        platform::SetLogSink(nullptr);
    }
    int LinesWith(const std::string& part)
    {
        const std::lock_guard<std::mutex> hold(linesLock);
        return static_cast<int>(std::count_if(
            lines.begin(), lines.end(), [&](const std::string& line) { return line.find(part) != std::string::npos; }));
    }

    // A voice looping noise on the card until the card plays it, then the
    // card unplugged and found lost.
    void PlayThenUnplug()
    {
        AudioError error = AudioError::None;
        bed = system->OpenVoice(0, format, &error);
        ASSERT_TRUE(bed) << static_cast<int>(error);
        ASSERT_TRUE(testCard.Find());
        loop.data = quiet;
        loop.SetLooping(true);
        ASSERT_EQ(bed->Write(loop), AudioError::None);
        device = system->Output(0);
        ASSERT_TRUE(testsupport::WithinRealWait([&] { return device->RenderedFrames() > 4800; })) << "the card plays";
        testCard.unplug(1);
        ASSERT_TRUE(testsupport::WithinRealWait([&] { return device->Lost(); }));
    }

    const StreamFormat format{48000, 16, 2};
    const std::vector<std::uint8_t> quiet = audiotest::NoiseBytes(format, 4800, 1);
    std::unique_ptr<AudioSystem> system;
    std::unique_ptr<Voice> bed;
    VoiceBuffer loop;
    std::shared_ptr<OutputDevice> device;
    std::mutex linesLock;
    std::vector<std::string> lines;
    testsupport::TestAlsaControls testCard;
};

TEST_F(AlsaDeviceLoss, AnUnpluggedCardIsLoggedOnceRefusesStartsAndPlaysAgainOnceItIsBack)
{
    ASSERT_NO_FATAL_FAILURE(PlayThenUnplug());
    AudioError error = AudioError::None;
    const std::uint64_t mixed = bed->Position();
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return bed->Position() > mixed + 4800; }))
        << "its sounds go on at the card's pace, into nothing";
    device->Sync();
    device->Sync();
    EXPECT_EQ(LinesWith("Audio device \"Default\": lost (r=-19, No such device)"), 1);

    // While it is gone, a sound cannot start on it; the check for its return finds nothing.
    EXPECT_EQ(system->OpenVoice(0, format, &error), nullptr);
    EXPECT_EQ(error, AudioError::DeviceLost);
    clock.Advance(1000);
    system->CheckLostDevices();
    EXPECT_EQ(LinesWith("opened again"), 0);

    testCard.unplug(0);
    clock.Advance(1000);
    system->CheckLostDevices();
    EXPECT_EQ(LinesWith("Audio device \"Default\": opened again"), 1);
    EXPECT_NE(system->Output(0), device) << "opened afresh";
    std::vector<std::uint8_t> loud(4 * 4800);
    for (std::size_t i = 0; i + 1 < loud.size(); i += 2) {
        loud[i] = 0x00;
        loud[i + 1] = 0x70; // 28,672: above half of full scale
    }
    VoiceBuffer shot;
    shot.data = loud;
    testCard.arm();
    auto fired = system->OpenVoice(0, format, &error);
    ASSERT_TRUE(fired) << static_cast<int>(error);
    ASSERT_EQ(fired->Write(shot), AudioError::None);
    EXPECT_TRUE(testsupport::WithinRealWait([&] { return testCard.played() >= 0; })) << "a new sound is heard";
    EXPECT_EQ(LinesWith("lost ("), 1);
}

TEST_F(AlsaDeviceLoss, ASoundStartedOnACardLetGoAfterItsLossStillReachesItsEnd)
{
    ASSERT_NO_FATAL_FAILURE(PlayThenUnplug());
    clock.Advance(1000);
    system->CheckLostDevices(); // still missing: the card is let go

    // The player on it starts its next sound: it plays into nothing at the
    // card's pace and ends, as the player expects.
    bed->Reset();
    VoiceBuffer next;
    next.data = quiet;
    ASSERT_EQ(bed->Write(next), AudioError::None);
    EXPECT_TRUE(testsupport::WithinRealWait([&] { return next.Done(); }));
}

} // namespace
