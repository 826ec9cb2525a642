// The graph players (DirectShow, filter graph with either renderer) and the
// MCI player on a device that fails while they play (a USB interface
// unplugged): they read as stopped, one line is logged, a start on the dead
// device fails instead of playing into nothing, and once the device is back
// sounds play again without a restart.
#include "GraphPlayerFixture.h"

#include "audio/C_DShow.h"
#include "audio/C_FGraph.h"
#include "audio/C_MCI.h"
#include "platform/audio/MciCommands.h"
#include "support/CapturedLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using platform::audio::MediaGraph;

MediaGraph* GraphOf(GraphPlayer& player)
{
    return player.MediaGraphInUse();
}

MediaGraph* GraphOf(C_MCI& player)
{
    platform::audio::MciDevice* device = platform::audio::mci::Device(player.DevID());
    return device != nullptr ? device->Graph() : nullptr;
}

// A back-end as the output's set-up leaves it, on "Null 1" (the default
// device for those that take no device), polled as the engine tick polls it.
template <typename P, int DevMode = -1> struct BackEnd {
    BackEnd()
    {
        if constexpr (DevMode >= 0) {
            player.SetDevMode(DevMode);
            player.SetDevName("Null 1");
            player.Init();
        }
    }
    MediaGraph* MediaGraphInUse() { return GraphOf(player); }
    std::int32_t Position() { return player.Position(); }
    std::int32_t mode() { return player.mode(); }

    P player;
};

template <typename B> class GraphDeviceLoss : public graphtest::GraphPlayerFixture {
protected:
    int LinesWith(std::string_view part) const { return log.LinesWith(part); }
    static bool Sounds(const std::vector<float>& played, std::size_t frames)
    {
        const auto end = played.begin() + static_cast<std::ptrdiff_t>(std::min(played.size(), 2 * frames));
        return std::any_of(played.begin(), end, [](float v) { return v != 0.0f; });
    }
    // What device 1 played holds the file's frames from frame on, with
    // nothing sounding before them.
    void ExpectPlayedFrom(std::size_t frame)
    {
        const auto played = Played(1);
        const std::size_t at = Find(played, Noise(), frame, 4800);
        ASSERT_NE(at, std::string::npos) << "frame " << frame << " on";
        EXPECT_FALSE(Sounds(played, at));
    }
    // The device was in use before it failed (it failed at its next period).
    void Unplug()
    {
        Played(1);
        ASSERT_TRUE(System().SetNullOutputUnplugged(1, true));
    }

    static constexpr const char* lost = "\"Null 1\": lost";
    static constexpr const char* refused = "Media graph: the output device refused the sound: "
                                           "The audio device was lost and is not back yet.";
    testsupport::CapturedLog log; // what the audio layer logs
};

using BackEnds = testing::Types<BackEnd<C_DShow>, BackEnd<C_FGraph, 0>, BackEnd<C_FGraph, 1>, BackEnd<C_MCI>>;
TYPED_TEST_SUITE(GraphDeviceLoss, BackEnds);

TYPED_TEST(GraphDeviceLoss, AnUnpluggedDeviceStopsThePlayerAndAStartFailsUntilTheDeviceIsBack)
{
    TypeParam back;
    auto& player = back.player;
    player.SetFileName(this->NoiseWave("long.wav", 3.0));
    ASSERT_EQ(player.Length(), 3000);
    ASSERT_EQ(player.Play(), 1);
    this->Tick(back, 300);
    ASSERT_EQ(player.mode(), 3);

    this->Unplug();
    this->Tick(back, 100);
    EXPECT_EQ(player.mode(), 1) << "nothing sounds, so the lamps must go off";
    EXPECT_EQ(this->LinesWith(this->lost), 1);

    // A start while the device is missing fails with a log line.
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(player.mode(), 1);
    EXPECT_EQ(this->LinesWith(this->refused), 1);
    this->Tick(back, 2000);
    EXPECT_EQ(this->LinesWith(this->lost), 1) << "the loss is logged once";
    EXPECT_EQ(this->LinesWith("opened again"), 0);

    // Plugged back in: the next start opens it afresh and plays from its start point.
    ASSERT_TRUE(this->System().SetNullOutputUnplugged(1, false));
    player.SetFromMS(1000);
    ASSERT_EQ(player.Play(), 1);
    EXPECT_EQ(this->LinesWith("\"Null 1\": opened again"), 1);
    this->Tick(back, 200);
    EXPECT_EQ(player.mode(), 3);
    EXPECT_NEAR(player.Position(), 1200, 6);
    this->ExpectPlayedFrom(48000);
    EXPECT_EQ(this->LinesWith(this->lost), 1);
    EXPECT_EQ(this->LinesWith(this->refused), 1);
    player.CloseWave();
}

TYPED_TEST(GraphDeviceLoss, APausedPlayerWhoseDeviceIsLostReadsAsStopped)
{
    TypeParam back;
    auto& player = back.player;
    player.SetFileName(this->NoiseWave("long.wav", 2.0));
    ASSERT_EQ(player.Play(), 1);
    this->Tick(back, 200);
    player.Pause();
    ASSERT_EQ(player.mode(), 2);
    this->Unplug();
    this->Tick(back, 100);
    EXPECT_EQ(player.mode(), 1);

    ASSERT_TRUE(this->System().SetNullOutputUnplugged(1, false));
    ASSERT_EQ(player.Play(), 1);
    this->Tick(back, 200);
    EXPECT_EQ(player.mode(), 3);
    this->ExpectPlayedFrom(0);
    player.CloseWave();
}

TYPED_TEST(GraphDeviceLoss, AFileLoadedWhileTheDeviceIsLostDoesNotStartAndLoadsAndPlaysOnceItIsBack)
{
    TypeParam back;
    auto& player = back.player;
    const std::string path = this->NoiseWave("short.wav", 1.0);
    this->Unplug();
    this->Tick(back, 100);
    ASSERT_EQ(this->LinesWith(this->lost), 1);

    player.SetFileName(path);
    EXPECT_EQ(player.FileName(), "");
    EXPECT_EQ(player.Length(), 0);
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(this->LinesWith(this->refused), 1) << "no other way of building is tried";

    ASSERT_TRUE(this->System().SetNullOutputUnplugged(1, false));
    player.SetFileName(path);
    ASSERT_EQ(player.Length(), 1000);
    ASSERT_EQ(player.Play(), 1);
    this->Tick(back, 200);
    EXPECT_EQ(player.mode(), 3);
    this->ExpectPlayedFrom(0);
    player.CloseWave();
}

class GraphPlayersOnTwoDevices : public graphtest::GraphPlayerFixture {};

TEST_F(GraphPlayersOnTwoDevices, APlayerOnAnotherDevicePlaysOnWhileOneDeviceIsLost)
{
    BackEnd<C_DShow> lost;
    BackEnd<C_FGraph, 0> other;
    other.player.SetDevName("Null 2");
    other.player.Init();
    const std::string path = NoiseWave("long.wav", 3.0);
    lost.player.SetFileName(path);
    other.player.SetFileName(path);
    ASSERT_EQ(lost.player.Play(), 1);
    ASSERT_EQ(other.player.Play(), 1);
    const auto tick = [&](int ms) {
        for (int t = 0; t < ms; t += 20) {
            PlayFor(*other.MediaGraphInUse(), 20);
            lost.player.mode();
            other.player.mode();
        }
    };
    tick(200);
    Played(1);
    ASSERT_TRUE(System().SetNullOutputUnplugged(1, true));
    tick(100);
    EXPECT_EQ(lost.player.mode(), 1);
    EXPECT_EQ(other.player.mode(), 3);
    Played(2);
    tick(200);
    EXPECT_NEAR(other.player.Position(), 500, 6);
    const auto played = Played(2);
    const std::size_t at = Find(played, Noise(), 18000, 4800);
    EXPECT_NE(at, std::string::npos) << "the other device goes on without a gap";
}

} // namespace
