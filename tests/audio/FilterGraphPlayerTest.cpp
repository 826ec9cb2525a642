#include "GraphPlayerFixture.h"

#include "audio/C_FGraph.h"
#include "platform/audio/MediaGraph.h"
#include "platform/audio/Voice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

using graphtest::GraphPlayerFixture;

class FilterGraphPlayer : public GraphPlayerFixture {
protected:
    void SetUpPlayer(C_FGraph& player, int devMode, const std::string& devName)
    {
        player.SetDevMode(devMode);
        player.SetDevName(devName);
        player.Init();
    }
};

TEST_F(FilterGraphPlayer, AFreshPlayerIsStoppedAndEmpty)
{
    C_FGraph player;
    EXPECT_EQ(player.mode(), 1);
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(player.Length(), 0);
    EXPECT_EQ(player.FileName(), "");
}

TEST_F(FilterGraphPlayer, TheRendererIsTheDevicesOwnOrItsDirectSoundOne)
{
    C_FGraph waveOut;
    SetUpPlayer(waveOut, 0, "");
    EXPECT_EQ(waveOut.RendererName(), "Default WaveOut Device");
    C_FGraph directSound;
    SetUpPlayer(directSound, 1, "");
    EXPECT_EQ(directSound.RendererName(), "Default DirectSound Device");
    C_FGraph named;
    SetUpPlayer(named, 0, "NULL 2");
    EXPECT_EQ(named.RendererName(), "null 2");
    C_FGraph namedDirectSound;
    SetUpPlayer(namedDirectSound, 1, "Null 2");
    EXPECT_EQ(namedDirectSound.RendererName(), "direct sound: null 2");
    C_FGraph unknown;
    SetUpPlayer(unknown, 0, "Studio Out");
    EXPECT_EQ(unknown.RendererName(), "Default WaveOut Device");
}

TEST_F(FilterGraphPlayer, AWavePlaysOnItsDeviceToTheEndAndModeNoticesTheEnd)
{
    for (const int devMode : {0, 1}) {
        SCOPED_TRACE(devMode);
        C_FGraph player;
        SetUpPlayer(player, devMode, "Null 2");
        player.SetFileName(NoiseWave("noise.wav", 0.5));
        EXPECT_EQ(player.Length(), 500);
        EXPECT_EQ(player.ToMS(), 500);
        EXPECT_EQ(player.FromMS(), 0);
        EXPECT_EQ(player.mode(), 1);
        EXPECT_EQ(player.Position(), 0);
        ASSERT_EQ(player.Play(), 1);
        EXPECT_EQ(player.mode(), 3);
        Tick(player, 200, 20, false);
        EXPECT_NEAR(player.Position(), 200, 6);
        EXPECT_NEAR(player.Position(1), 300, 6);
        EXPECT_NEAR(player.Position(2), 300, 6);
        EXPECT_EQ(player.Position(7), 0);
        Tick(player, 400, 20, false);
        // The end is noticed by reading mode, once; the read stops the player.
        EXPECT_EQ(player.mode(), 0);
        EXPECT_EQ(player.mode(), 1);
        EXPECT_EQ(player.Position(), 0);
        const auto played = Played(2);
        const std::size_t start = Find(played, Noise(), 0, 2000);
        ASSERT_NE(start, std::string::npos);
        ASSERT_GE(played.size(), 2 * start + Noise().size());
        EXPECT_TRUE(
            std::equal(Noise().begin(), Noise().end(), played.begin() + static_cast<std::ptrdiff_t>(2 * start)));
        EXPECT_EQ(TailPeak(Played(1), 0, Rate), 0.0f) << "nothing on the other device";
        EXPECT_EQ(DayLog().find("connect failed"), std::string::npos);
    }
}

TEST_F(FilterGraphPlayer, FromAndToPointsAreHeardAndTheEndPointStopsAtAPositionRead)
{
    C_FGraph player;
    SetUpPlayer(player, 0, "Null 1");
    player.SetFileName(NoiseWave("noise.wav", 1.0));
    player.SetFromMS(250);
    player.SetToMS(500);
    ASSERT_EQ(player.Play(), 1);
    Tick(player, 300);
    EXPECT_EQ(player.mode(), 1) << "stopped at the first position read past 500 ms";
    auto played = Played(1);
    const std::size_t start = Find(played, Noise(), Rate / 4, 2000);
    ASSERT_NE(start, std::string::npos);
    // It sounded from 250 ms to the read after 500 ms (one tick of 20 ms later at most).
    std::size_t last = played.size() / 2;
    while (last > 0 && played[2 * (last - 1)] == 0.0f) {
        --last;
    }
    EXPECT_GE(last - start, static_cast<std::size_t>(Rate / 4));
    EXPECT_LE(last - start, static_cast<std::size_t>(Rate / 4 + Rate / 50 + 256));

    // Without position reads it plays on to the end of the file.
    ASSERT_EQ(player.Play(), 1);
    Tick(player, 900, 20, false);
    EXPECT_EQ(player.mode(), 0);
}

TEST_F(FilterGraphPlayer, PauseTogglesAndPlayRestartsAtTheStartPoint)
{
    C_FGraph player;
    SetUpPlayer(player, 0, "");
    player.SetFileName(NoiseWave("noise.wav", 1.0));
    ASSERT_EQ(player.Play(), 1);
    Tick(player, 100);
    player.Pause();
    EXPECT_EQ(player.mode(), 2);
    const std::int32_t heldAt = player.Position();
    Tick(player, 200);
    EXPECT_EQ(player.Position(), heldAt);
    player.Pause();
    EXPECT_EQ(player.mode(), 3);
    Tick(player, 100);
    EXPECT_NEAR(player.Position(), heldAt + 100, 6);
    // Play again goes back to the start point.
    player.SetFromMS(600);
    ASSERT_EQ(player.Play(), 1);
    EXPECT_EQ(player.Position(), 600);
    Played(1);
    Tick(player, 60);
    // (After the short fade of the sound cut off.)
    EXPECT_NE(Find(Played(1), Noise(), Rate * 6 / 10 + platform::audio::Voice::DeclickFrames, 1000), std::string::npos);
}

TEST_F(FilterGraphPlayer, SpeedTakesEffectAtOnceOnlyOnTheDirectSoundRenderer)
{
    C_FGraph waveOut;
    SetUpPlayer(waveOut, 0, "Null 1");
    waveOut.SetFileName(NoiseWave("a.wav", 1.0));
    waveOut.SetPlaySpeed(2.0f);
    ASSERT_EQ(waveOut.Play(), 1);
    Tick(waveOut, 200, 20, false);
    EXPECT_NEAR(waveOut.Position(), 200, 6) << "the speed waits for the next file";
    waveOut.SetFileName(NoiseWave("b.wav", 1.0));
    ASSERT_EQ(waveOut.Play(), 1);
    Tick(waveOut, 200, 20, false);
    EXPECT_NEAR(waveOut.Position(), 400, 12);

    C_FGraph directSound;
    SetUpPlayer(directSound, 1, "Null 2");
    directSound.SetFileName(NoiseWave("c.wav", 1.0));
    ASSERT_EQ(directSound.Play(), 1);
    directSound.SetPlaySpeed(2.0f);
    Tick(directSound, 200, 20, false);
    EXPECT_NEAR(directSound.Position(), 400, 12);
    directSound.SetPlaySpeed(0.0f);
    EXPECT_FLOAT_EQ(directSound.PlaySpeed(), 0.1f);
}

TEST_F(FilterGraphPlayer, AttenuationFollowsTheSquareLawAndReadsBackTheLevel)
{
    C_FGraph player;
    SetUpPlayer(player, 0, "Null 1");
    player.SetFileName(LevelWave("level.wav", 1.0, 16384));
    // VolMinLevel -10000: -5000 gives the level -5000 x -5000 / -10000 = -2500.
    player.SetAttenuation(-5000);
    EXPECT_EQ(player.Attenuation(), -2500);
    ASSERT_EQ(player.Play(), 1);
    Tick(player, 100);
    EXPECT_NEAR(TailPeak(Played(1), 0, 1000), 0.5f * std::pow(10.0f, -2500.0f / 2000.0f), 1e-5f);
    // At or below the silence level: silence.
    player.SetAttenuation(-10000);
    EXPECT_EQ(player.Attenuation(), -10000);
    Tick(player, 100);
    EXPECT_EQ(TailPeak(Played(1), 0, 1000), 0.0f);
    // A level set before the file is kept for it.
    player.SetVolMinLevel(-4000);
    player.SetAttenuation(-2000);
    player.SetPanValue(10000);
    player.SetFileName(LevelWave("level2.wav", 1.0, 16384));
    EXPECT_EQ(player.Attenuation(), -1000);
    EXPECT_EQ(player.PanValue(), 10000);
    ASSERT_EQ(player.Play(), 1);
    Tick(player, 100);
    const auto played = Played(1);
    EXPECT_EQ(TailPeak(played, 0, 1000), 0.0f);
    EXPECT_NEAR(TailPeak(played, 1, 1000), 0.5f * std::pow(10.0f, -0.5f), 1e-5f);
}

TEST_F(FilterGraphPlayer, AnMp3PlaysThroughTheLayerThreeDecoder)
{
    C_FGraph player;
    SetUpPlayer(player, 0, "Null 1");
    player.SetFileName(SineMp3("sine.mp3"));
    EXPECT_NEAR(player.Length(), 2000, 60);
    ASSERT_EQ(player.Play(), 1);
    Tick(player, 1000);
    EXPECT_EQ(player.mode(), 3);
    EXPECT_NEAR(TailPeak(Played(1), 0, 4800), 0.5f, 0.03f);
    Tick(player, 1200);
    EXPECT_EQ(player.mode(), 1) << "the tick's mode read noticed the end";
    EXPECT_EQ(DayLog().find("connect failed"), std::string::npos);
}

TEST_F(FilterGraphPlayer, FilesThatDoNotLoadLeaveThePlayerEmpty)
{
    C_FGraph player;
    SetUpPlayer(player, 0, "Null 1");
    player.SetFileName(folder / "missing.wav");
    EXPECT_EQ(player.FileName(), "");
    EXPECT_EQ(player.Length(), 0);
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(player.mode(), 1);

    const std::string junk = folder / "junk.mp3";
    testsupport::WriteFile(junk, testsupport::Bytes(30000, 0x3C));
    player.SetFileName(junk);
    EXPECT_EQ(player.FileName(), "");
    EXPECT_EQ(player.Length(), 0);
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(player.mode(), 1);
    // Both explicit chains, then the graph's own connection, failed.
    const std::string log = DayLog();
    const std::string explicitLine = "SetupPinsToDecode File Source (Async.)#MPEG-I Stream Splitter connect failed";
    const std::size_t first = log.find(explicitLine);
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_NE(log.find(explicitLine, first + 1), std::string::npos) << log;
    EXPECT_NE(log.find("RenderPinsToDecode File Source (Async.)#null 1 connect failed"), std::string::npos) << log;
}

TEST_F(FilterGraphPlayer, AnUnknownTypeIsLoggedTwiceAndThenPlaysThroughTheGraphsOwnConnection)
{
    C_FGraph player;
    SetUpPlayer(player, 0, "Null 1");
    const std::string mp3 = SineMp3("sine.mp3");
    const std::string odd = folder / "sine.xyz";
    std::filesystem::copy_file(mp3, odd);
    player.SetFileName(odd);
    EXPECT_EQ(player.FileName(), odd);
    EXPECT_NEAR(player.Length(), 2000, 60);
    const std::string log = DayLog();
    const std::string line = "SetupPinsToDecode Unknown Filetype #" + odd;
    const std::size_t first = log.find(line);
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_NE(log.find(line, first + 1), std::string::npos);
    ASSERT_EQ(player.Play(), 1);
    Tick(player, 500);
    EXPECT_EQ(player.mode(), 3);
    EXPECT_NEAR(TailPeak(Played(1), 0, 4800), 0.5f, 0.03f);
}

} // namespace

namespace {

// A standard MIDI file of one track: a piano note held for half a second.
testsupport::Bytes OneNoteMidi()
{
    const testsupport::Bytes track{0x00, 0xC0, 0x00,         // program: piano
                                   0x00, 0x90, 60,   100,    // note on
                                   0x81, 0x40, 0x80, 60,  0, // 192 ticks later: note off
                                   0x00, 0xFF, 0x2F, 0x00};  // end of track
    testsupport::Bytes file;
    testsupport::PutText(file, "MThd");
    for (const std::uint8_t byte : {0, 0, 0, 6, 0, 0, 0, 1, 0, 96}) {
        file.push_back(byte);
    }
    testsupport::PutText(file, "MTrk");
    for (int shift = 24; shift >= 0; shift -= 8) {
        file.push_back(static_cast<std::uint8_t>(track.size() >> shift));
    }
    file.insert(file.end(), track.begin(), track.end());
    return file;
}

TEST_F(FilterGraphPlayer, MidiPlaysOnTheDefaultDeviceWhateverTheOutputDevice)
{
    // The synthesizer loads its 140 MB sound font while the graph prerolls: on
    // a busy machine under the sanitizers that outlasts a press's wait, which
    // the fixture leaves the graph as long as any wait on real time.
    C_FGraph player;
    SetUpPlayer(player, 0, "Null 2");
    const std::string path = folder / "note.mid";
    testsupport::WriteFile(path, OneNoteMidi());
    player.SetFileName(path);
    EXPECT_EQ(player.FileName(), path);
    EXPECT_GT(player.Length(), 0);
    ASSERT_EQ(player.Play(), 1);
    Tick(player, 300);
    EXPECT_GT(TailPeak(Played(1), 0, Rate / 4), 0.001f);
    EXPECT_EQ(TailPeak(Played(2), 0, Rate / 4), 0.0f);
    EXPECT_EQ(DayLog().find("connect failed"), std::string::npos);
}

} // namespace
