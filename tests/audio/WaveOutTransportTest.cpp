// Start delay, mute tail, pause, position and the ways a start can fail.
#include "WaveOutFixture.h"

#include <gtest/gtest.h>

namespace {

using namespace wavetest;
using platform::audio::StreamFormat;

class WaveOutTransport : public WaveOutFixture {
protected:
    void Load(C_WaveOut& player, std::size_t frames = 96000, int bits = 16, std::uint32_t seed = 21)
    {
        samples = Noise(2, bits, frames, seed);
        expected = audiotest::ExpectedFloats(StreamFormat{Rate, bits, 2}, samples);
        player.SetFileName(WriteWave("transport.wav", 2, bits, samples));
        ASSERT_NE(player.FileName(), "");
    }
    std::vector<std::uint8_t> samples;
    std::vector<float> expected;
};

TEST_F(WaveOutTransport, TheStartDelayIsSilenceAheadOfTheSoundAndNotCountedAsPosition)
{
    C_WaveOut player;
    player.SetDelayMS(100);
    SetUpPlayer(player);
    Load(player);
    player.SetFromSample(24000); // 500 ms
    Played(1);
    ASSERT_EQ(player.Play(), 1);
    // While the delay plays the position stays at the start point.
    Run({&player}, 90);
    EXPECT_EQ(player.Position(), 500);
    Run({&player}, 210);
    EXPECT_NEAR(player.Position(), 700, 6);
    EXPECT_NEAR(player.Position(2), 2000 - 700, 6);
    RunUntilStopped(player, 2000);

    const auto played = Played(1);
    for (std::size_t f = 0; f < 2 * 4800; ++f) {
        ASSERT_EQ(played[f], 0.0f) << f / 2;
    }
    for (std::size_t f = 0; f < 2 * 72000; ++f) {
        ASSERT_EQ(played[2 * 4800 + f], expected[2 * 24000 + f]) << f / 2;
    }
}

TEST_F(WaveOutTransport, AnEightBitDelayIsTrueSilence)
{
    C_WaveOut player;
    player.SetDelayMS(50);
    SetUpPlayer(player);
    Load(player, 9000, 8);
    Played(1);
    ASSERT_EQ(player.Play(), 1);
    RunUntilStopped(player, 1000);
    const auto played = Played(1);
    for (std::size_t f = 0; f < 2 * 2400; ++f) {
        ASSERT_EQ(played[f], 0.0f) << f / 2;
    }
    EXPECT_EQ(played[2 * 2400], expected[0]);
}

TEST_F(WaveOutTransport, TheMuteTailStopsTheSoundAtOnceAndKeepsTheOwnerTickingEveryTenMs)
{
    C_WaveOut player;
    player.SetMuteMS(300);
    SetUpPlayer(player);
    Load(player);
    std::vector<std::int64_t> calls;
    std::vector<std::int32_t> muting;
    std::vector<std::int32_t> modes;
    player.MutingProc = [&] {
        calls.push_back(clock.TotalMs());
        muting.push_back(player.WhileMute());
        modes.push_back(player.mode());
    };
    Played(1);
    ASSERT_EQ(player.Play(), 1);
    Run({&player}, 500);
    const std::size_t heard = Played(1).size() / 2;
    const std::int64_t before = clock.TotalMs();
    player.StopIO(0);
    EXPECT_EQ(clock.TotalMs() - before, 300);
    EXPECT_EQ(player.WhileMute(), 0);
    EXPECT_EQ(player.mode(), 1);
    EXPECT_EQ(player.Position(), 0);
    ASSERT_EQ(calls.size(), 30U);
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i] - before, 10 * static_cast<std::int64_t>(i + 1));
        EXPECT_EQ(muting[i], 1);
        EXPECT_EQ(modes[i], 3);
    }
    // After the stop: the last sample fades within the declick length, then
    // silence for the whole tail.
    const auto tail = Played(1);
    EXPECT_GE(tail.size() / 2, 300U * 48 - Period);
    for (std::size_t f = 2 * platform::audio::Voice::DeclickFrames; f < tail.size(); ++f) {
        ASSERT_EQ(tail[f], 0.0f) << f / 2;
    }
    EXPECT_GT(heard, 0U);
}

TEST_F(WaveOutTransport, CancelMuteEndsTheTailAtTheNextTurnAndAnImmediateStopHasNone)
{
    C_WaveOut player;
    player.SetMuteMS(500);
    SetUpPlayer(player);
    Load(player);
    int calls = 0;
    player.MutingProc = [&] {
        if (++calls == 3) {
            player.SetCancelMute(1);
        }
    };
    ASSERT_EQ(player.Play(), 1);
    Run({&player}, 100);
    std::int64_t before = clock.TotalMs();
    player.StopIO(0);
    EXPECT_EQ(clock.TotalMs() - before, 30);
    EXPECT_EQ(calls, 3);

    ASSERT_EQ(player.Play(), 1);
    Run({&player}, 100);
    before = clock.TotalMs();
    player.StopIO(1);
    EXPECT_EQ(clock.TotalMs(), before);
    EXPECT_EQ(player.mode(), 1);
    // A stopped player has nothing to fade: no tail either.
    player.StopIO(0);
    EXPECT_EQ(clock.TotalMs(), before);
}

TEST_F(WaveOutTransport, TheEndOfTheSoundStopsWithTheMuteTailAndRewindsTheStart)
{
    C_WaveOut player;
    player.SetMuteMS(100);
    SetUpPlayer(player);
    Load(player, 10000);
    player.SetFromSample(2000);
    int calls = 0;
    player.MutingProc = [&] { ++calls; };
    ASSERT_EQ(player.Play(), 1);
    RunUntilStopped(player, 1000);
    EXPECT_EQ(player.mode(), 1);
    EXPECT_EQ(calls, 10);
    // The start point as set is kept; the next start is from the beginning.
    EXPECT_EQ(player.FromSample(), 2000);
    Played(1);
    ASSERT_EQ(player.Play(), 1);
    Run({&player}, 100);
    const auto played = Played(1);
    EXPECT_EQ(played[0], expected[0]);
}

TEST_F(WaveOutTransport, PauseHoldsTheSoundAndTheSecondPauseGoesOnWithTheNextFrame)
{
    C_WaveOut player;
    SetUpPlayer(player);
    Load(player);
    Played(1);
    ASSERT_EQ(player.Play(), 1);
    Run({&player}, 300);
    const std::size_t pausedAt = Played(1).size() / 2;
    player.Pause();
    EXPECT_EQ(player.mode(), 2);
    const std::int32_t held = player.Position();
    Run({&player}, 200);
    EXPECT_EQ(player.Position(), held);
    EXPECT_EQ(player.mode(), 2);
    const auto paused = Played(1);
    for (std::size_t f = 2 * platform::audio::Voice::DeclickFrames; f < paused.size(); ++f) {
        ASSERT_EQ(paused[f], 0.0f) << f / 2;
    }
    player.Pause();
    EXPECT_EQ(player.mode(), 3);
    RunUntilStopped(player, 3000);
    const auto resumed = Played(1);
    const std::size_t declick = platform::audio::Voice::DeclickFrames;
    for (std::size_t f = 2 * declick; f < 2 * (96000 - pausedAt); ++f) {
        ASSERT_EQ(resumed[f], expected[2 * pausedAt + f]) << f / 2;
    }
}

TEST_F(WaveOutTransport, PlayClearsAStrayPause)
{
    C_WaveOut player;
    SetUpPlayer(player);
    Load(player);
    player.Pause();
    EXPECT_EQ(player.mode(), 2);
    Played(1);
    ASSERT_EQ(player.Play(), 1);
    EXPECT_EQ(player.mode(), 3);
    Run({&player}, 100);
    EXPECT_GT(player.Position(), 90);
    EXPECT_EQ(Played(1)[0], expected[0]);
}

TEST_F(WaveOutTransport, ASecondPlayStartsAgainFromTheStartPoint)
{
    C_WaveOut player;
    SetUpPlayer(player);
    Load(player);
    player.SetFromMS(250);
    ASSERT_EQ(player.Play(), 1);
    Run({&player}, 400);
    EXPECT_NEAR(player.Position(), 650, 6);
    ASSERT_EQ(player.Play(), 1);
    Run({&player}, 10);
    EXPECT_NEAR(player.Position(), 260, 6);
    EXPECT_EQ(player.Position(1), player.Length() - player.Position());
}

TEST_F(WaveOutTransport, PointsFollowTheirLimits)
{
    C_WaveOut player;
    SetUpPlayer(player);
    Load(player); // 96,000 frames, 2,000 ms
    player.SetToSample(0);
    EXPECT_EQ(player.ToSample(), 96000);
    player.SetToMS(5000);
    EXPECT_EQ(player.ToMS(), 2000);
    player.SetToMS(1000);
    EXPECT_EQ(player.ToSample(), 48000);
    player.SetFromSample(200000);
    EXPECT_EQ(player.FromSample(), 96000);
    player.SetFromMS(1500);
    EXPECT_EQ(player.FromSample(), 72000);
    EXPECT_EQ(player.FromMS(), 1500);
    // Writing the same name again resets the points and keeps the file.
    player.SetFileName(player.FileName());
    EXPECT_EQ(player.FromSample(), 0);
    EXPECT_EQ(player.ToSample(), 96000);
}

TEST_F(WaveOutTransport, AFailedLoadOrAnEmptyNameLeavesThePlayerUnloaded)
{
    C_WaveOut player;
    SetUpPlayer(player);
    const std::string missing = folder / "missing.wav";
    player.SetFileName(missing);
    EXPECT_EQ(player.FileName(), "");
    EXPECT_EQ(player.Length(), 0);
    EXPECT_EQ(player.Play(), 0);
    EXPECT_NE(ErrorLog().find("C_WaveOut Let FileName Fail " + missing), std::string::npos);
    // The same failing name again still loads nothing.
    player.SetFileName(missing);
    EXPECT_EQ(player.Play(), 0);
    player.SetFileName("");
    EXPECT_EQ(player.Play(), 0);

    Load(player);
    ASSERT_EQ(player.Play(), 1);
    player.SetFileName("");
    EXPECT_EQ(player.mode(), 1);
    EXPECT_EQ(player.FileName(), "");
    EXPECT_EQ(player.Length(), 0);
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(player.hWave(0), 0);
}

TEST_F(WaveOutTransport, AStartThatFailsAfterOpeningClosesWhatItOpened)
{
    C_WaveOut player;
    SetUpPlayer(player);
    Load(player);
    // A start beyond the end point: the first page cannot be read.
    player.SetFromMS(3000);
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(player.mode(), 1);
    EXPECT_EQ(player.hWave(0), 0);
    EXPECT_EQ(platform::audio::AudioSystem::Current().Output(1)->VoiceCount(), 0);
    EXPECT_NE(ErrorLog().find("C_WaveOut AddPlayBuffer(Start) Failed"), std::string::npos);

    // A device that does not exist: its error text in a message box.
    player.SetFromMS(0);
    player.SetDeviceID(9);
    EXPECT_EQ(player.Play(), 0);
    ASSERT_EQ(messageBoxes.size(), 1U);
    EXPECT_EQ(messageBoxes[0], ErrorText(platform::audio::AudioError::BadDevice));
    EXPECT_EQ(player.hWave(0), 0);
    player.SetDeviceID(1);
    EXPECT_EQ(player.Play(), 1);
}

TEST_F(WaveOutTransport, NoCloseKeepsTheDevicesForFilesOfTheSameFormat)
{
    C_WaveOut player;
    player.SetNoClose(1);
    SetUpPlayer(player);
    Load(player);
    ASSERT_EQ(player.Play(), 1);
    const std::int32_t handle = player.hWave(0);
    player.StopIO(0);
    EXPECT_EQ(player.hWave(0), handle);
    player.SetFileName(WriteWave("same.wav", 2, 16, Noise(2, 16, 5000, 9)));
    ASSERT_EQ(player.Play(), 1);
    EXPECT_EQ(player.hWave(0), handle);
    player.SetFileName(WriteWave("mono.wav", 1, 16, Noise(1, 16, 5000, 9)));
    ASSERT_EQ(player.Play(), 1);
    EXPECT_NE(player.hWave(0), handle);
    EXPECT_NE(player.hWave(0), 0);
    // A player that must not get a certain handle refuses to start on it (the
    // audio layer numbers its voices one after the other).
    player.StopIO(1);
    player.SetHaitahWave(player.hWave(0) + 1);
    player.SetDeviceID(2);
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(player.Play(), 1);
}

} // namespace
