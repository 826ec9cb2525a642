// The play function on a sound card that fails mid-sound, as an unplugged USB
// interface does (the tests' own ALSA device at the real rate, told to fail):
// the lamp and the tally go off, the loss is logged once, a press says "Play
// Failed." while the card is gone, and once it is back a press is heard. The
// card's mixer runs on its own thread at the card's pace, so the test waits
// (at most a few seconds) for what that thread does; the program's side runs
// on virtual time.
#include "DeviceLossFixture.h"

#include "platform/audio/AudioSystem.h"
#include "platform/audio/OutputDevice.h"
#include "support/RiffFileBuilder.h"
#include "support/TestAlsaDevice.h"

#include <gmock/gmock.h>

namespace {

using namespace platform::audio;
using playbacktest::DeviceLossFixture;
using testing::ElementsAre;

class CardLossPlay : public DeviceLossFixture {
protected:
    void SetUp() override
    {
        DeviceLossFixture::SetUp();
        if (!testsupport::TestAlsaDeviceBuilt()) {
            GTEST_SKIP() << "the test ALSA device was not built (" << testsupport::TestAlsaDevice << ")";
        }
        std::string error;
        auto system = AudioSystem::WithAlsaConfiguration(
            testsupport::TestAlsaConfig("pcm.default { type null }\n"
                                        "pcm.card { type tolvtest paced 1 formats \"S16_LE\" rate 48000 }\n"),
            error);
        ASSERT_TRUE(system) << error;
        AudioSystem::Install(std::move(system));
    }
    void TearDown() override
    {
        if (testCard.unplug != nullptr) {
            testCard.unplug(0);
        }
        DeviceLossFixture::TearDown();
    }
    // A second of 16-bit stereo at three quarters of full scale.
    std::string LoudWave(const std::string& name)
    {
        testsupport::Bytes samples(static_cast<std::size_t>(Rate) * 4);
        for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
            samples[i] = 0x00;
            samples[i + 1] = 0x60;
        }
        const std::string path = sounds / name;
        testsupport::RiffFileBuilder().Format(1, 2, Rate, 16).Data(samples).WriteTo(path);
        return path;
    }

    testsupport::TestAlsaControls testCard;
};

TEST_F(CardLossPlay, TheLampGoesOffAndAPressFailsUntilTheCardIsBackThenAPressIsHeard)
{
    Store("NumOut", "1");
    Store("DeviceWave_1", "card");
    ASSERT_EQ(window->Form_Load(), FrmMain::StartOutcome::Running);
    controls::UC_TextPicture& counter = ButtonsAndCounter();
    Assign(0, 0, 2, RampWave("long.wav", 20 * Rate));
    const std::string next = LoudWave("next.wav");
    Assign(0, 0, 3, next);

    control->Pon(0, 2, 0, 0, 0);
    Run(100);
    ASSERT_EQ(State().OutputState[0], 1);
    ASSERT_EQ(window->TolvButton(2)->Activated(), State().StateColorSet[1]);
    const int cardIndex = 1; // the PCMs after "default", in their order
    ASSERT_EQ(AudioSystem::Current().OutputName(cardIndex), "card");
    std::shared_ptr<OutputDevice> device = AudioSystem::Current().Output(cardIndex);
    ASSERT_TRUE(device);
    ASSERT_TRUE(testCard.Find());
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return device->RenderedFrames() > 4800; })) << "the card plays";

    ports.Log.Clear();
    testCard.unplug(1);
    ASSERT_TRUE(testsupport::WithinRealWait([&] { return device->Lost(); }));
    Run(200);
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_EQ(window->TolvButton(2)->Activated(), 0);
    EXPECT_EQ(State().SomethingPlays, 0);
    EXPECT_THAT(ports.Log.Starting("SendRemoteCommand 0 4"), ElementsAre("SendRemoteCommand 0 4 2"));
    EXPECT_EQ(LogLinesWith("Audio device \"card\": lost (r=-19, No such device)"), 1);

    control->Pon(0, 3, 0, 0, 0);
    EXPECT_EQ(counter.TextMes(1), "Play Failed.");
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_EQ(LogLinesWith("PonFail2 " + next), 1);
    Run(1500);
    EXPECT_EQ(LogLinesWith("lost ("), 1) << "the loss is logged once";

    testCard.unplug(0);
    testCard.arm();
    control->Pon(0, 3, 0, 0, 0);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(window->TolvButton(3)->Activated(), State().StateColorSet[1]);
    EXPECT_TRUE(testsupport::WithinRealWait([&] { return testCard.played() >= 0; })) << "the press is heard";
    EXPECT_EQ(LogLinesWith("Audio device \"card\": opened again"), 1);
}

} // namespace
