// Media graphs and MCI devices whose output device fails while they play (a
// USB interface unplugged): they stop reading as running, a start while the
// device is missing fails with a log line instead of playing into nothing,
// and once the device is back the next start opens it afresh and sounds.
#include "support/AudioTestSignals.h"
#include "support/CapturedLog.h"
#include "support/MediaFixture.h"
#include "support/MediaTestFiles.h"

#include "platform/audio/MciCommands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace platform::audio;

class GraphDeviceLoss : public audiotest::MediaFixture {
protected:
    int LinesWith(std::string_view part) const { return log.LinesWith(part); }
    // Seconds of noise at 48 kHz, 16-bit stereo; frames holds them as the device plays them.
    std::string NoiseWave(const std::string& name, double seconds)
    {
        const StreamFormat format{Rate, 16, 2};
        const auto bytes = audiotest::NoiseBytes(format, static_cast<std::size_t>(seconds * Rate), 7);
        frames = audiotest::ExpectedFloats(format, bytes);
        const std::string path = folder / name;
        testsupport::WriteWave(path, Rate, 16, 2, bytes);
        return path;
    }
    // Where frame from of the file starts in what a device played, or npos.
    std::size_t Find(const std::vector<float>& played, std::size_t from, std::size_t count) const
    {
        const auto first = frames.begin() + static_cast<std::ptrdiff_t>(2 * from);
        const auto at =
            std::search(played.begin(), played.end(), first, first + static_cast<std::ptrdiff_t>(2 * count));
        return at == played.end() ? std::string::npos : static_cast<std::size_t>(at - played.begin()) / 2;
    }
    static bool Sounds(const std::vector<float>& played)
    {
        return std::any_of(played.begin(), played.end(), [](float v) { return v != 0.0f; });
    }
    // Moves virtual time on while nothing of the graph runs.
    void Idle(int ms)
    {
        for (int t = 0; t < ms; t += 20) {
            clock.Advance(20);
            System().Sync();
        }
    }

    static constexpr const char* refused = "Media graph: the output device refused the sound: "
                                           "The audio device was lost and is not back yet.";
    std::vector<float> frames;
    testsupport::CapturedLog log; // what the audio layer logs
};

TEST_F(GraphDeviceLoss, AGraphOnALostDeviceStopsRunningAndRunsAgainFromWhereItStoodOnceTheDeviceIsBack)
{
    MediaGraph graph;
    ASSERT_TRUE(graph.RenderFile(NoiseWave("noise.wav", 3.0), 1)) << graph.LastError();
    MediaGraph other;
    ASSERT_TRUE(other.RenderFile(folder / "noise.wav", 2)) << other.LastError();
    ASSERT_TRUE(graph.Run());
    ASSERT_TRUE(other.Run());
    PlayFor(graph, 300);
    EXPECT_FALSE(graph.PollOutputLost());
    EXPECT_TRUE(Sounds(Played(1)));

    ASSERT_TRUE(System().SetNullOutputUnplugged(1, true));
    PlayFor(graph, 100);
    EXPECT_TRUE(graph.PollOutputLost()) << "its one renderer is on the lost device";
    EXPECT_EQ(graph.LastError(), "The audio device was lost and is not back yet.");
    EXPECT_TRUE(graph.RendererLost());
    EXPECT_FALSE(other.PollOutputLost()) << "a graph on another device plays on";
    EXPECT_EQ(LinesWith("\"Null 1\": lost"), 1);
    Played(2);
    PlayFor(other, 100);
    EXPECT_TRUE(Sounds(Played(2)));

    // Stopped, it does not run again while the device is missing.
    ASSERT_TRUE(graph.Stop());
    const double stoppedAt = graph.CurrentPosition();
    EXPECT_NEAR(stoppedAt, 0.5, 0.006) << "the lost voice went on at the device's pace";
    EXPECT_FALSE(graph.Run());
    EXPECT_NE(graph.State(), GraphState::Running);
    EXPECT_NE(graph.LastError().find("lost"), std::string::npos) << graph.LastError();
    EXPECT_EQ(LinesWith(refused), 1);
    EXPECT_FALSE(graph.ReopenLostRenderers());
    EXPECT_EQ(LinesWith(refused), 2) << "every start that fails says so";
    Idle(2000);
    EXPECT_EQ(LinesWith("\"Null 1\": lost"), 1) << "the loss is logged once";
    EXPECT_EQ(LinesWith("opened again"), 0);

    // Back: the renderer gets a voice on the device opened afresh; the graph
    // stands stopped where it stood and then plays from a new position.
    ASSERT_TRUE(System().SetNullOutputUnplugged(1, false));
    ASSERT_TRUE(graph.ReopenLostRenderers()) << graph.LastError();
    EXPECT_EQ(LinesWith("\"Null 1\": opened again"), 1);
    EXPECT_FALSE(graph.RendererLost());
    EXPECT_EQ(graph.State(), GraphState::Stopped);
    EXPECT_NEAR(graph.CurrentPosition(), stoppedAt, 0.0001);
    ASSERT_TRUE(graph.SetCurrentPosition(1.0));
    ASSERT_TRUE(graph.Run());
    PlayFor(graph, 200);
    EXPECT_FALSE(graph.PollOutputLost());
    const auto played = Played(1);
    const std::size_t at = Find(played, Rate, 4800);
    ASSERT_NE(at, std::string::npos) << "the file from 1 s on";
    EXPECT_FALSE(Sounds({played.begin(), played.begin() + static_cast<std::ptrdiff_t>(2 * at)}))
        << "nothing of the file before it";
    EXPECT_EQ(LinesWith("lost"), 1 + 2);
}

TEST_F(GraphDeviceLoss, PollingTheGraphAloneOpensItsDeviceAgainWithinASecondOfItsReturn)
{
    MediaGraph graph;
    ASSERT_TRUE(graph.RenderFile(NoiseWave("noise.wav", 3.0), 1)) << graph.LastError();
    ASSERT_TRUE(graph.Run());
    PlayFor(graph, 300);
    ASSERT_TRUE(System().SetNullOutputUnplugged(1, true));
    // From here on only the graph's poll moves the devices, as in a program
    // whose players are all graph players.
    const auto poll = [&](int ms) {
        for (int t = 0; t < ms; t += 20) {
            clock.Advance(20);
            graph.PollOutputLost();
        }
    };
    poll(20);
    EXPECT_TRUE(graph.PollOutputLost());
    EXPECT_EQ(LinesWith("\"Null 1\": lost"), 1);
    poll(2000);
    EXPECT_EQ(LinesWith("opened again"), 0);

    ASSERT_TRUE(System().SetNullOutputUnplugged(1, false));
    int waited = 0;
    while (LinesWith("opened again") == 0 && waited < 2000) {
        poll(20);
        waited += 20;
    }
    EXPECT_EQ(LinesWith("\"Null 1\": opened again"), 1);
    EXPECT_LE(waited, 1000);
    poll(3000);
    EXPECT_EQ(LinesWith("opened again"), 1);
    EXPECT_TRUE(graph.RendererLost()) << "its voice is still the lost one until it is started";
    // It ran to its end into nothing meanwhile; played again from the start:
    ASSERT_TRUE(graph.ReopenLostRenderers());
    ASSERT_TRUE(graph.SetCurrentPosition(0.0));
    ASSERT_TRUE(graph.Run());
    PlayFor(graph, 100);
    const auto played = Played(1);
    const std::size_t at = Find(played, 0, 2400);
    ASSERT_NE(at, std::string::npos) << "on the device as it was opened again";
    EXPECT_FALSE(Sounds({played.begin(), played.begin() + static_cast<std::ptrdiff_t>(2 * at)}));
    EXPECT_EQ(LinesWith("opened again"), 1);
}

TEST_F(GraphDeviceLoss, RunOnAGraphWhoseDeviceCameBackGoesOnFromWhereItGotTo)
{
    MediaGraph graph;
    ASSERT_TRUE(graph.RenderFile(NoiseWave("noise.wav", 3.0), 1)) << graph.LastError();
    ASSERT_TRUE(graph.Run());
    PlayFor(graph, 300);
    ASSERT_TRUE(System().SetNullOutputUnplugged(1, true));
    PlayFor(graph, 200);
    ASSERT_TRUE(graph.Pause());
    ASSERT_TRUE(graph.PollOutputLost());
    // The lost voice went on at the device's pace: where the listener would be.
    const auto pausedAt = static_cast<std::size_t>(std::llround(graph.CurrentPosition() * Rate));
    EXPECT_NEAR(static_cast<double>(pausedAt), Rate / 2.0, 300.0);
    ASSERT_TRUE(System().SetNullOutputUnplugged(1, false));
    // Resumed, the sound goes on from there on the device opened afresh.
    ASSERT_TRUE(graph.Run());
    EXPECT_EQ(graph.State(), GraphState::Running);
    PlayFor(graph, 100);
    const auto played = Played(1);
    const std::size_t at = Find(played, pausedAt, 2400);
    ASSERT_NE(at, std::string::npos);
    EXPECT_FALSE(Sounds({played.begin(), played.begin() + static_cast<std::ptrdiff_t>(2 * at)}));
}

TEST_F(GraphDeviceLoss, AGraphBuiltWhileItsDeviceIsLostFailsWithOneLineAndOneBuiltOnceItIsBackPlays)
{
    Played(1); // the device is open, as after an earlier sound
    ASSERT_TRUE(System().SetNullOutputUnplugged(1, true));
    Idle(100);
    EXPECT_EQ(LinesWith("\"Null 1\": lost"), 1);
    const std::string path = NoiseWave("noise.wav", 1.0);
    {
        MediaGraph graph;
        EXPECT_FALSE(graph.RenderFile(path, 1));
        EXPECT_EQ(LinesWith(refused), 1);
        EXPECT_TRUE(graph.RendererLost()) << "no other way of building would help";
        EXPECT_FALSE(graph.Run());
    }

    ASSERT_TRUE(System().SetNullOutputUnplugged(1, false));
    MediaGraph graph;
    ASSERT_TRUE(graph.RenderFile(path, 1)) << graph.LastError();
    EXPECT_EQ(LinesWith("\"Null 1\": opened again"), 1);
    EXPECT_FALSE(graph.RendererLost());
    ASSERT_TRUE(graph.Run());
    PlayFor(graph, 200);
    const auto played = Played(1);
    const std::size_t at = Find(played, 0, 4800);
    ASSERT_NE(at, std::string::npos);
    EXPECT_FALSE(Sounds({played.begin(), played.begin() + static_cast<std::ptrdiff_t>(2 * at)}))
        << "from its first frame on";
}

TEST_F(GraphDeviceLoss, AnMciDeviceStopsOnALostDeviceRefusesToPlayUntilItIsBackThenPlays)
{
    namespace mci = platform::audio::mci;
    const int id = mci::OpenFile(NoiseWave("noise.wav", 3.0));
    ASSERT_GT(id, 0);
    MediaGraph& graph = *mci::Device(id)->Graph();
    std::int64_t mode = 0;
    const auto Mode = [&] {
        EXPECT_EQ(mci::Status(id, mci::StatusItem::Mode, mode), mci::Ok);
        return static_cast<MciMode>(mode);
    };
    ASSERT_EQ(mci::Play(id, 0, 3000), mci::Ok);
    PlayFor(graph, 300);
    ASSERT_EQ(Mode(), MciMode::Playing);
    ASSERT_EQ(mci::Pause(id), mci::Ok);

    ASSERT_TRUE(System().SetNullOutputUnplugged(1, true));
    PlayFor(graph, 100);
    EXPECT_EQ(Mode(), MciMode::Stopped) << "a paused device whose output is gone is stopped too";
    EXPECT_EQ(LinesWith("\"Null 1\": lost"), 1);
    EXPECT_EQ(mci::Play(id, 0, 3000), mci::DeviceNotReady);
    EXPECT_EQ(Mode(), MciMode::Stopped);
    EXPECT_EQ(LinesWith(refused), 1);

    ASSERT_TRUE(System().SetNullOutputUnplugged(1, false));
    ASSERT_EQ(mci::Play(id, 1000, 3000), mci::Ok);
    EXPECT_EQ(Mode(), MciMode::Playing);
    PlayFor(graph, 200);
    EXPECT_NE(Find(Played(1), Rate, 4800), std::string::npos) << "the file from 1 s on";
    EXPECT_EQ(LinesWith("\"Null 1\": lost"), 1);
    mci::Close(id);
}

} // namespace
