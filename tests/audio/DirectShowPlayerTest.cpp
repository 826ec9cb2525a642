#include "GraphPlayerFixture.h"

#include "audio/C_DShow.h"
#include "platform/audio/Voice.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using graphtest::GraphPlayerFixture;

class DirectShowPlayer : public GraphPlayerFixture {};

TEST_F(DirectShowPlayer, AFreshPlayerIsStoppedAndEmpty)
{
    C_DShow player;
    EXPECT_EQ(player.mode(), 1);
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(player.Play(), 0);
    EXPECT_FLOAT_EQ(player.PlaySpeed(), 1.0f);
}

TEST_F(DirectShowPlayer, ItPlaysOnTheDefaultDeviceAndTheEndIsNoticedOnceByMode)
{
    C_DShow player;
    player.SetFileName(NoiseWave("noise.wav", 0.5));
    EXPECT_EQ(player.Length(), 500);
    EXPECT_EQ(player.ToMS(), 500);
    EXPECT_EQ(player.Position(), 0);
    ASSERT_EQ(player.Play(), 1);
    EXPECT_EQ(player.mode(), 3);
    Tick(player, 600, 20, false);
    EXPECT_EQ(player.mode(), 0);
    EXPECT_EQ(player.mode(), 1);
    // Null default is Null 1.
    const auto played = Played(1);
    const std::size_t start = Find(played, Noise(), 0, 2000);
    ASSERT_NE(start, std::string::npos);
    EXPECT_TRUE(std::equal(Noise().begin(), Noise().end(), played.begin() + static_cast<std::ptrdiff_t>(2 * start)));
    // Stopped, it was rewound: it plays from the start again.
    ASSERT_EQ(player.Play(), 1);
    Tick(player, 100);
    EXPECT_NE(Find(Played(1), Noise(), 0, 2000), std::string::npos);
}

TEST_F(DirectShowPlayer, StartAndEndPoints)
{
    C_DShow player;
    player.SetFileName(NoiseWave("noise.wav", 1.0));
    player.SetFromMS(-20);
    EXPECT_EQ(player.FromMS(), 0);
    // A start point at or beyond the length starts from 0.
    player.SetFromMS(1000);
    ASSERT_EQ(player.Play(), 1);
    EXPECT_EQ(player.FromMS(), 0);
    Tick(player, 100);
    EXPECT_NEAR(player.Position(), 100, 6);
    // Play while playing moves to the start point without stopping.
    player.SetFromMS(700);
    ASSERT_EQ(player.Play(), 1);
    EXPECT_EQ(player.mode(), 3);
    EXPECT_EQ(player.Position(), 700);
    Played(1);
    Tick(player, 100);
    EXPECT_NE(Find(Played(1), Noise(), Rate * 7 / 10 + platform::audio::Voice::DeclickFrames, 1000), std::string::npos);
    // The end point stops the player at the first position read past it.
    player.SetToMS(850);
    Tick(player, 100);
    EXPECT_EQ(player.mode(), 1);
    EXPECT_EQ(player.Position(), 0);
}

TEST_F(DirectShowPlayer, WritingTheSameNameKeepsTheGraphButClearsThePoints)
{
    C_DShow player;
    const std::string path = NoiseWave("noise.wav", 1.0);
    player.SetFileName(path);
    const platform::audio::MediaGraph* graph = player.MediaGraphInUse();
    player.SetFromMS(300);
    player.SetToMS(600);
    player.SetFileName(path);
    EXPECT_EQ(player.MediaGraphInUse(), graph);
    EXPECT_EQ(player.FromMS(), 0);
    EXPECT_EQ(player.ToMS(), 0);
    EXPECT_EQ(player.Length(), 1000);
    // An end point of 0 means none: it plays to the end.
    ASSERT_EQ(player.Play(), 1);
    Tick(player, 1100);
    EXPECT_EQ(player.mode(), 1);
}

TEST_F(DirectShowPlayer, TheVolumeLawAndTheLevelSentAtLoading)
{
    C_DShow player;
    // Before a file: stored, then sent as the volume as it is when the file loads.
    player.SetAttenuation(-2000);
    player.SetFileName(LevelWave("level.wav", 1.0, 16384));
    EXPECT_EQ(player.Attenuation(), -2000);
    ASSERT_EQ(player.Play(), 1);
    Tick(player, 100);
    EXPECT_NEAR(TailPeak(Played(1), 0, 1000), 0.5f * 0.1f, 1e-5f);
    // While loaded: -2000 with VolMinLevel -4000 gives -2000 x -2000 / -4000 = -1000.
    player.SetAttenuation(-2000);
    Tick(player, 100);
    EXPECT_NEAR(TailPeak(Played(1), 0, 1000), 0.5f * std::pow(10.0f, -0.5f), 1e-5f);
    player.SetAttenuation(-4000);
    Tick(player, 100);
    EXPECT_EQ(TailPeak(Played(1), 0, 1000), 0.0f);
    // The next file takes the stored -4000 itself as its volume (-40 dB).
    player.SetFileName(LevelWave("level2.wav", 1.0, 16384));
    ASSERT_EQ(player.Play(), 1);
    Tick(player, 100);
    EXPECT_NEAR(TailPeak(Played(1), 0, 1000), 0.5f * 0.01f, 1e-6f);
    // A stored level at or below -5000 loads silent.
    player.SetAttenuation(-6000);
    player.SetFileName(LevelWave("level3.wav", 1.0, 16384));
    ASSERT_EQ(player.Play(), 1);
    Tick(player, 100);
    EXPECT_EQ(TailPeak(Played(1), 0, 1000), 0.0f);
}

TEST_F(DirectShowPlayer, SpeedZeroIsATenthAndPanIsTheBalance)
{
    C_DShow player;
    player.SetFileName(LevelWave("level.wav", 2.0, 16384));
    player.SetPlaySpeed(0.0f);
    EXPECT_FLOAT_EQ(player.PlaySpeed(), 0.1f);
    player.SetPlaySpeed(2.0f);
    player.SetPanValue(-10000);
    EXPECT_EQ(player.PanValue(), -10000);
    ASSERT_EQ(player.Play(), 1);
    Tick(player, 200);
    EXPECT_NEAR(player.Position(), 400, 12);
    const auto played = Played(1);
    EXPECT_NEAR(TailPeak(played, 0, 1000), 0.5f, 1e-6f);
    EXPECT_EQ(TailPeak(played, 1, 1000), 0.0f);
}

TEST_F(DirectShowPlayer, AMissingOrUnplayableFileLeavesItEmpty)
{
    C_DShow player;
    player.SetFileName(folder / "missing.mp3");
    EXPECT_EQ(player.FileName(), "");
    EXPECT_EQ(player.Length(), 0);
    EXPECT_EQ(player.Play(), 0);
    const std::string junk = folder / "junk.wav";
    testsupport::WriteFile(junk, testsupport::Bytes(9000, 0x7E));
    player.SetFileName(junk);
    EXPECT_EQ(player.FileName(), "");
    EXPECT_EQ(player.Length(), 0);
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(player.mode(), 1);
    // An MP3 then loads as usual.
    player.SetFileName(SineMp3("sine.mp3"));
    EXPECT_NEAR(player.Length(), 2000, 60);
    EXPECT_EQ(player.Play(), 1);
}

} // namespace
