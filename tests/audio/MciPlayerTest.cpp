#include "GraphPlayerFixture.h"

#include "audio/C_MCI.h"
#include "platform/audio/MciCommands.h"
#include "platform/audio/NullInput.h"

#include <gtest/gtest.h>

namespace {

using graphtest::GraphPlayerFixture;
namespace mci = platform::audio::mci;

// The player as the fixture's tick sees it: its MCI device's graph.
struct Polled {
    C_MCI& player;
    platform::audio::MediaGraph* MediaGraphInUse() const
    {
        platform::audio::MciDevice* device = mci::Device(player.DevID());
        return device != nullptr ? device->Graph() : nullptr;
    }
    std::int32_t Position() { return player.Position(); }
    std::int32_t mode() { return player.mode(); }
};

class MciPlayer : public GraphPlayerFixture {
protected:
    void Tick(C_MCI& player, int ms)
    {
        Polled polled{player};
        GraphPlayerFixture::Tick(polled, ms);
    }
};

TEST_F(MciPlayer, NothingOpenGivesZeroes)
{
    C_MCI player;
    EXPECT_EQ(player.mode(), 0);
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(player.Play(), 0);
}

TEST_F(MciPlayer, TheModesFollowTheTransport)
{
    C_MCI player;
    player.SetFileName(NoiseWave("noise.wav", 1.0));
    EXPECT_EQ(player.Length(), 1000);
    EXPECT_EQ(player.ToMS(), 1000);
    EXPECT_EQ(player.mode(), 1);
    ASSERT_EQ(player.Play(), 1);
    EXPECT_EQ(player.mode(), 3);
    Tick(player, 200);
    player.Pause();
    EXPECT_EQ(player.mode(), 2);
    const std::int32_t pausedAt = player.Position();
    EXPECT_NEAR(pausedAt, 200, 6);
    Tick(player, 200);
    EXPECT_EQ(player.Position(), pausedAt);
    // Pause again resumes from where it paused.
    player.Pause();
    EXPECT_EQ(player.mode(), 3);
    Tick(player, 100);
    EXPECT_NEAR(player.Position(), pausedAt + 100, 6);
    player.StopIO();
    EXPECT_EQ(player.mode(), 1);
    // Stopped, the device keeps its position.
    EXPECT_NEAR(player.Position(), pausedAt + 100, 6);
    EXPECT_NEAR(player.Position(1), 1000 - pausedAt - 100, 6);
    player.CloseWave();
    EXPECT_EQ(player.mode(), 0);
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(player.FileName(), "");
    EXPECT_EQ(mci::OpenCount(), 0);
}

TEST_F(MciPlayer, ItPlaysFromTheStartPointToTheEndPointAndStopsThere)
{
    C_MCI player;
    player.SetFileName(NoiseWave("noise.wav", 1.0));
    player.SetFromMS(250);
    player.SetToMS(500);
    ASSERT_EQ(player.Play(), 1);
    Tick(player, 400);
    EXPECT_EQ(player.mode(), 1);
    EXPECT_EQ(player.Position(), 500);
    EXPECT_EQ(player.Position(2), 0);
    const auto played = Played(1);
    const std::size_t start = Find(played, Noise(), Rate / 4, 2000);
    ASSERT_NE(start, std::string::npos);
    // Exactly the frames from 250 ms to 500 ms sounded.
    EXPECT_TRUE(std::equal(Noise().begin() + Rate / 2, Noise().begin() + Rate,
                           played.begin() + static_cast<std::ptrdiff_t>(2 * start)));
    EXPECT_EQ(played[2 * (start + Rate / 4)], 0.0f);

    // Cued: played and paused at once at the start point.
    player.SetFromMS(100);
    player.PlayPause();
    EXPECT_EQ(player.mode(), 2);
    EXPECT_EQ(player.Position(), 100);
}

TEST_F(MciPlayer, ANewNameKeepsTheStartPointAndTakesTheNewLength)
{
    C_MCI player;
    const std::string first = NoiseWave("a.wav", 1.0);
    player.SetFileName(first);
    const std::int32_t device = player.DevID();
    player.SetFromMS(300);
    player.SetToMS(700);
    player.SetFileName(first);
    EXPECT_EQ(player.DevID(), device);
    EXPECT_EQ(player.FromMS(), 300);
    EXPECT_EQ(player.ToMS(), 700);
    player.SetFileName(NoiseWave("b.wav", 0.5));
    EXPECT_NE(player.DevID(), device);
    EXPECT_EQ(player.FromMS(), 300);
    EXPECT_EQ(player.ToMS(), 500);
    EXPECT_EQ(mci::OpenCount(), 1);
    // A play command that fails is reported as such.
    player.SetFromMS(800);
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(player.mode(), 1);
}

TEST_F(MciPlayer, AMissingFileOpensNothing)
{
    C_MCI player;
    player.SetFileName(NoiseWave("a.wav", 0.5));
    player.SetFromMS(100);
    player.SetFileName(folder / "missing.wav");
    EXPECT_EQ(player.FileName(), "");
    EXPECT_EQ(player.Length(), 0);
    EXPECT_EQ(player.FromMS(), 0);
    EXPECT_EQ(player.ToMS(), 0);
    EXPECT_EQ(player.mode(), 0);
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(mci::OpenCount(), 0);
    const std::string junk = folder / "junk.mp3";
    testsupport::WriteFile(junk, testsupport::Bytes(9000, 0x21));
    player.SetFileName(junk);
    EXPECT_EQ(player.FileName(), "");
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(mci::OpenCount(), 0);
}

TEST_F(MciPlayer, AWaveDeviceNumberMovesTheSoundButNotTheIdentifier)
{
    C_MCI player;
    player.SetFileName(LevelWave("level.wav", 1.0, 8000));
    const std::int32_t id = player.DevID();
    ASSERT_EQ(player.Play(), 1);
    Tick(player, 100);
    player.SetDevID(2);
    EXPECT_EQ(player.DevID(), id);
    EXPECT_EQ(player.mode(), 3);
    Played(2);
    Tick(player, 100);
    EXPECT_FLOAT_EQ(TailPeak(Played(2), 0, 1000), 8000.0f / 32768.0f);
    player.StopIO();
    EXPECT_EQ(player.mode(), 1);
}

TEST_F(MciPlayer, ARecordingIsSavedInTheFormatAskedFor)
{
    C_MCI player;
    player.SetRecCh(2);
    player.SetRec_Bit(8);
    player.SetRec_Freqency(11025);
    const std::string path = folder / "take.wav";
    player.SetRecFileName(path);
    player.Record();
    EXPECT_GT(player.DevID(), 0);
    EXPECT_EQ(player.mode(), 4);
    const std::vector<float> input(Rate, 0.5f); // half a second, stereo
    System().NullInputDevice(0)->Supply(input);
    player.StopIO();
    EXPECT_EQ(player.mode(), 1);
    EXPECT_EQ(player.Position(), 500);
    player.Save();
    player.CloseWave();
    EXPECT_EQ(player.mode(), 0);

    const std::string saved = testsupport::ReadText(path);
    ASSERT_GE(saved.size(), 44U);
    const auto u16 = [&saved](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(saved[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(saved[at + 1])) << 8;
    };
    const std::size_t format = saved.find("fmt ");
    ASSERT_NE(format, std::string::npos);
    EXPECT_EQ(u16(format + 10), 2U);
    EXPECT_EQ(u16(format + 12), 11025U);
    EXPECT_EQ(u16(format + 20), 2U); // block align
    EXPECT_EQ(u16(format + 22), 8U);
    const std::size_t data = saved.find("data");
    ASSERT_NE(data, std::string::npos);
    const std::size_t frames = (u16(data + 4) | u16(data + 6) << 16) / 2;
    EXPECT_NEAR(static_cast<double>(frames), 11025.0 / 2, 32.0);
    // 8-bit samples are offset by 128: half of full scale is 192.
    const auto sample = static_cast<unsigned char>(saved[data + 8 + 2 * 2000]);
    EXPECT_NEAR(sample, 192, 1);
}

} // namespace
