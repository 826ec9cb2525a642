// A device that fails while a sound plays (a USB interface unplugged): the
// player reads as stopped, one line is logged, a start on the dead device
// fails instead of playing into nothing, and once the device is back sounds
// play again without a restart.
#include "WaveOutFixture.h"

#include "support/AudioTestSignals.h"
#include "support/CapturedLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace platform::audio;
using wavetest::Float16;

class WaveOutDeviceLoss : public wavetest::WaveOutFixture {
protected:
    void SetUp() override
    {
        WaveOutFixture::SetUp();
        log.emplace();
    }
    void TearDown() override
    {
        log.reset();
        WaveOutFixture::TearDown();
    }
    // Lines the audio layer logged that hold part.
    int LinesWith(std::string_view part) const { return log->LinesWith(part); }
    static bool Sounds(const std::vector<float>& played)
    {
        return std::any_of(played.begin(), played.end(), [](float v) { return v != 0.0f; });
    }

    std::optional<testsupport::CapturedLog> log;
};

TEST_F(WaveOutDeviceLoss, AnUnpluggedDeviceStopsItsPlayerWithOneLineAndFailsStartsUntilItIsBack)
{
    constexpr std::size_t frames = 3 * Rate;
    const auto samples = Noise(2, 16, frames, 21);
    C_WaveOut player;
    SetUpPlayer(player, 1);
    player.SetFileName(WriteWave("long.wav", 2, 16, samples));
    ASSERT_EQ(player.Play(), 1);
    Run({&player}, 300);
    ASSERT_EQ(player.mode(), 3);
    EXPECT_TRUE(Sounds(Played(1)));

    ASSERT_TRUE(AudioSystem::Current().SetNullOutputUnplugged(1, true));
    Run({&player}, 50);
    EXPECT_EQ(player.mode(), 1) << "nothing sounds, so the lamps must go off";
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(LinesWith("\"Null 1\": lost"), 1);

    // A start while the device is missing fails with a log line, no box.
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(player.mode(), 1);
    EXPECT_NE(ErrorLog().find("The audio device was lost and is not back yet."), std::string::npos) << ErrorLog();
    EXPECT_TRUE(messageBoxes.empty());
    Run({&player}, 2000);
    EXPECT_EQ(LinesWith("lost"), 1) << "the loss is logged once";
    EXPECT_EQ(LinesWith("opened again"), 0);

    // Plugged back in: the next start opens it afresh and plays from the first frame.
    ASSERT_TRUE(AudioSystem::Current().SetNullOutputUnplugged(1, false));
    ASSERT_EQ(player.Play(), 1);
    EXPECT_EQ(LinesWith("\"Null 1\": opened again"), 1);
    Run({&player}, 200);
    EXPECT_EQ(player.mode(), 3);
    const auto played = Played(1);
    const auto values = audiotest::ExpectedFloats(StreamFormat{Rate, 16, 2}, samples);
    ASSERT_GE(played.size(), 2u * Rate / 10);
    for (std::size_t i = 0; i < 2u * Rate / 10; ++i) {
        ASSERT_EQ(played[i], std::max(values[i], Float16(-32767))) << i;
    }
    EXPECT_EQ(LinesWith("lost"), 1);
}

TEST_F(WaveOutDeviceLoss, ADeviceThatComesBackIsOpenedAgainByThePollAtMostOnceASecond)
{
    const auto samples = Noise(2, 16, 3 * Rate, 22);
    C_WaveOut player;
    SetUpPlayer(player, 2);
    player.SetFileName(WriteWave("long.wav", 2, 16, samples));
    ASSERT_EQ(player.Play(), 1);
    Run({&player}, 300); // the poll at 10 ms was the first check for lost devices
    ASSERT_TRUE(AudioSystem::Current().SetNullOutputUnplugged(2, true));
    Run({&player}, 100);
    ASSERT_EQ(player.mode(), 1);
    ASSERT_TRUE(AudioSystem::Current().SetNullOutputUnplugged(2, false));

    Run({&player}, 10); // 410 ms: less than a second since the last check
    EXPECT_EQ(LinesWith("opened again"), 0);
    Run({&player}, 600); // 1,010 ms
    EXPECT_EQ(LinesWith("\"Null 2\": opened again"), 1);
    Run({&player}, 3000);
    EXPECT_EQ(LinesWith("opened again"), 1);

    // The start finds the device open and running.
    ASSERT_EQ(player.Play(), 1);
    Run({&player}, 100);
    EXPECT_EQ(player.mode(), 3);
    EXPECT_TRUE(Sounds(Played(2)));
    EXPECT_EQ(LinesWith("opened again"), 1);
}

TEST_F(WaveOutDeviceLoss, ASoundSpreadOverThreeDevicesPlaysOnOnThoseThatWorkToItsEnd)
{
    constexpr std::size_t frames = Rate; // one second
    const auto samples = Noise(6, 16, frames, 23);
    C_WaveOut player;
    player.SetExtDeviceID(1, 2);
    player.SetExtDeviceID(2, 3);
    SetUpPlayer(player, 1);
    player.SetFileName(WriteWave("surround.wav", 6, 16, samples));
    for (int d = 1; d <= 3; ++d) {
        Played(d);
    }
    ASSERT_EQ(player.Play(), 1);
    Run({&player}, 200);
    ASSERT_TRUE(AudioSystem::Current().SetNullOutputUnplugged(2, true));
    Run({&player}, 100);
    EXPECT_EQ(player.mode(), 3) << "devices 1 and 3 still sound";
    EXPECT_EQ(LinesWith("\"Null 2\": lost"), 1);

    const std::int64_t rest = RunUntilStopped(player, 3000);
    EXPECT_GE(rest, 600);
    EXPECT_LE(rest, 800) << "the sound ends when its last page has played";

    // Devices 1 and 3 played their pairs of every frame, uninterrupted.
    const auto values = audiotest::ExpectedFloats(StreamFormat{Rate, 16, 6}, samples);
    for (const int device : {1, 3}) {
        const auto played = Played(device);
        ASSERT_GE(played.size(), 2 * frames);
        const auto pair = static_cast<std::size_t>(device - 1);
        for (std::size_t f = 0; f < frames; ++f) {
            for (std::size_t c = 0; c < 2; ++c) {
                ASSERT_EQ(played[2 * f + c], std::max(values[6 * f + 2 * pair + c], Float16(-32767)))
                    << "device " << device << " frame " << f;
            }
        }
    }
    EXPECT_EQ(LinesWith("lost"), 1);
}

} // namespace
