#include "support/AudioTestSignals.h"
#include "support/MediaFixture.h"

#include "platform/audio/Voice.h"
#include "support/MediaTestFiles.h"
#include "support/RealWait.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace platform::audio;
using audiotest::ExpectedFloats;
using audiotest::NoiseBytes;

// Where the sound starts in what a device played: the first frame that is not silence.
std::size_t FirstSound(const std::vector<float>& played)
{
    const auto first = std::find_if(played.begin(), played.end(), [](float v) { return v != 0.0f; });
    return static_cast<std::size_t>(first - played.begin()) / 2 * 2;
}

// Peak of one channel over interleaved stereo frames [from, to).
float PeakOf(const std::vector<float>& played, std::size_t channel, std::size_t from, std::size_t to)
{
    float peak = 0.0f;
    for (std::size_t f = from; f < to && 2 * f + channel < played.size(); ++f) {
        peak = std::max(peak, std::abs(played[2 * f + channel]));
    }
    return peak;
}

class MediaGraphPlayback : public audiotest::MediaFixture {
protected:
    // A second of noise at 48 kHz, 16-bit stereo, as a wave file.
    std::string NoiseWave(std::size_t frames = Rate)
    {
        bytes = NoiseBytes(format, frames, 5);
        const std::string path = folder / "noise.wav";
        testsupport::WriteWave(path, Rate, 16, 2, bytes);
        return path;
    }
    // The file's frames from frame on, as the device plays them at unity gain.
    std::vector<float> FileFrom(std::size_t frame) const
    {
        const auto all = ExpectedFloats(format, bytes);
        return {all.begin() + static_cast<std::ptrdiff_t>(2 * frame), all.end()};
    }
    static void ExpectSamePrefix(const std::vector<float>& played, std::size_t at, const std::vector<float>& want,
                                 std::size_t count)
    {
        ASSERT_GE(played.size(), at + count);
        for (std::size_t i = 0; i < count; ++i) {
            ASSERT_EQ(played[at + i], want[i]) << i;
        }
    }

    const StreamFormat format{Rate, 16, 2};
    std::vector<std::uint8_t> bytes;
};

TEST_F(MediaGraphPlayback, AWaveFilePlaysSampleForSampleToItsEnd)
{
    MediaGraph graph;
    ASSERT_TRUE(graph.RenderFile(NoiseWave(), 1)) << graph.LastError();
    EXPECT_DOUBLE_EQ(graph.Duration(), 1.0);
    EXPECT_EQ(graph.State(), GraphState::Stopped);
    EXPECT_EQ(graph.RendererDevice(), 1);
    // Prepared, it decodes ahead but sounds only once it runs.
    ASSERT_TRUE(graph.WaitBuffered(testsupport::RealWaitMs)) << "the decoder did not decode ahead";
    clock.Advance(100);
    System().Sync();
    EXPECT_EQ(graph.CurrentPosition(), 0.0);
    ASSERT_TRUE(graph.Run());
    EXPECT_EQ(graph.State(), GraphState::Running);
    PlayFor(graph, 500);
    EXPECT_FALSE(graph.Completed());
    EXPECT_NEAR(graph.CurrentPosition(), 0.5, 0.006);
    PlayFor(graph, 600);
    EXPECT_TRUE(graph.Completed());
    EXPECT_DOUBLE_EQ(graph.CurrentPosition(), 1.0);

    const auto played = Played(1);
    const std::size_t start = FirstSound(played);
    // Not one period of silence between Run and the sound.
    EXPECT_LE(start, 2U * 100 * Rate / 1000 + 2 * 256);
    ExpectSamePrefix(played, start, FileFrom(0), 2 * bytes.size() / 4);
}

TEST_F(MediaGraphPlayback, AnMp3FilePlaysToItsEnd)
{
    const std::string wave = folder / "sine.wav";
    const std::string mp3 = folder / "sine.mp3";
    testsupport::WriteWave(wave, 44100, 16, 2, testsupport::SineSamples16(44100, 2, 2 * 44100, 441.0, 0.5));
    ASSERT_TRUE(testsupport::EncodeMp3(wave, mp3));

    MediaGraph graph;
    ASSERT_TRUE(graph.RenderFile(mp3, 1)) << graph.LastError();
    EXPECT_NEAR(graph.Duration(), 2.0, 0.06);
    ASSERT_TRUE(graph.Run());
    PlayFor(graph, 1000);
    EXPECT_FALSE(graph.Completed());
    EXPECT_NEAR(graph.CurrentPosition(), 1.0, 0.006);
    PlayFor(graph, 1200);
    EXPECT_TRUE(graph.Completed());
    // The decoded sine sounds at its level: 0.5 of full scale (an MP3 is not exact).
    const auto played = Played(1);
    EXPECT_NEAR(PeakOf(played, 0, Rate / 2, Rate), 0.5f, 0.03f);
    EXPECT_NEAR(PeakOf(played, 1, Rate / 2, Rate), 0.5f, 0.03f);
}

TEST_F(MediaGraphPlayback, SeekingGoesOnWithTheFramesFromThere)
{
    MediaGraph graph;
    ASSERT_TRUE(graph.RenderFile(NoiseWave(), 1));
    ASSERT_TRUE(graph.SetCurrentPosition(0.25));
    EXPECT_DOUBLE_EQ(graph.CurrentPosition(), 0.25);
    ASSERT_TRUE(graph.Run());
    PlayFor(graph, 300);
    auto played = Played(1);
    std::size_t start = FirstSound(played);
    ExpectSamePrefix(played, start, FileFrom(Rate / 4), 2 * 4800);

    // While it runs: the sound goes on from the new position at once.
    ASSERT_TRUE(graph.SetCurrentPosition(0.75));
    EXPECT_DOUBLE_EQ(graph.CurrentPosition(), 0.75);
    PlayFor(graph, 100);
    EXPECT_GT(graph.CurrentPosition(), 0.8);
    // (Past the short fade of what was cut off.)
    played = Played(1);
    const auto want = FileFrom(Rate * 3 / 4 + Voice::DeclickFrames);
    const auto at = std::search(played.begin(), played.end(), want.begin(), want.begin() + 2 * 2400);
    EXPECT_NE(at, played.end());
}

TEST_F(MediaGraphPlayback, StopHoldsThePositionAndRunGoesOnFromIt)
{
    MediaGraph graph;
    ASSERT_TRUE(graph.RenderFile(NoiseWave(), 1));
    ASSERT_TRUE(graph.Run());
    PlayFor(graph, 300);
    ASSERT_TRUE(graph.Stop());
    EXPECT_EQ(graph.State(), GraphState::Stopped);
    const double stoppedAt = graph.CurrentPosition();
    EXPECT_NEAR(stoppedAt, 0.3, 0.006);
    Played(1);
    clock.Advance(200);
    System().Sync();
    EXPECT_DOUBLE_EQ(graph.CurrentPosition(), stoppedAt);
    // Stopped means silent: nothing of the decoded-ahead sound leaks out.
    const auto quiet = Played(1);
    EXPECT_EQ(PeakOf(quiet, 0, 100, quiet.size() / 2), 0.0f);

    ASSERT_TRUE(graph.Run());
    PlayFor(graph, 100);
    const auto played = Played(1);
    ExpectSamePrefix(played, FirstSound(played), FileFrom(static_cast<std::size_t>(std::lround(stoppedAt * Rate))),
                     2 * 2400);
}

TEST_F(MediaGraphPlayback, PauseHoldsAndRunResumesWithoutAGap)
{
    MediaGraph graph;
    ASSERT_TRUE(graph.RenderFile(NoiseWave(), 1));
    ASSERT_TRUE(graph.Run());
    PlayFor(graph, 200);
    ASSERT_TRUE(graph.Pause());
    EXPECT_EQ(graph.State(), GraphState::Paused);
    PlayFor(graph, 20);
    const double pausedAt = graph.CurrentPosition();
    PlayFor(graph, 300);
    EXPECT_DOUBLE_EQ(graph.CurrentPosition(), pausedAt);
    ASSERT_TRUE(graph.Run());
    PlayFor(graph, 100);
    EXPECT_NEAR(graph.CurrentPosition(), pausedAt + 0.1, 0.006);
    PlayFor(graph, 800);
    EXPECT_TRUE(graph.Completed());
}

TEST_F(MediaGraphPlayback, RateTwoPlaysInHalfTheTimeAndCountsFileTime)
{
    MediaGraph graph;
    ASSERT_TRUE(graph.RenderFile(NoiseWave(), 1));
    ASSERT_TRUE(graph.SetRate(2.0));
    EXPECT_DOUBLE_EQ(graph.Rate(), 2.0);
    EXPECT_FALSE(graph.SetRate(0.0));
    ASSERT_TRUE(graph.Run());
    PlayFor(graph, 250);
    EXPECT_NEAR(graph.CurrentPosition(), 0.5, 0.012);
    PlayFor(graph, 280);
    EXPECT_TRUE(graph.Completed());
}

TEST_F(MediaGraphPlayback, VolumeAndBalanceFollowTheDecibelLaw)
{
    const std::string path = folder / "level.wav";
    testsupport::WriteWave(path, Rate, 16, 2, audiotest::Constant16(2, Rate, 16384));
    MediaGraph graph;
    ASSERT_TRUE(graph.RenderFile(path, 1));
    EXPECT_FALSE(graph.SetVolume(1));
    EXPECT_FALSE(graph.SetVolume(-10001));
    ASSERT_TRUE(graph.SetVolume(-2000)); // -20 dB
    ASSERT_TRUE(graph.SetBalance(-600)); // right 6 dB lower
    EXPECT_EQ(graph.Volume(), -2000);
    EXPECT_EQ(graph.Balance(), -600);
    ASSERT_TRUE(graph.Run());
    PlayFor(graph, 200);
    auto played = Played(1);
    std::size_t end = played.size() / 2;
    EXPECT_NEAR(PeakOf(played, 0, end - 1000, end), 0.5f * 0.1f, 1e-5f);
    EXPECT_NEAR(PeakOf(played, 1, end - 1000, end), 0.5f * 0.1f * std::pow(10.0f, -0.3f), 1e-5f);

    ASSERT_TRUE(graph.SetVolume(0));
    ASSERT_TRUE(graph.SetBalance(10000)); // left silent
    PlayFor(graph, 100);
    played = Played(1);
    end = played.size() / 2;
    EXPECT_EQ(PeakOf(played, 0, end - 1000, end), 0.0f);
    EXPECT_NEAR(PeakOf(played, 1, end - 1000, end), 0.5f, 1e-6f);
    ASSERT_TRUE(graph.SetVolume(-10000));
    PlayFor(graph, 100);
    played = Played(1);
    end = played.size() / 2;
    EXPECT_EQ(PeakOf(played, 1, end - 1000, end), 0.0f);
}

TEST_F(MediaGraphPlayback, FilesThatCannotPlayFailCleanly)
{
    {
        MediaGraph graph;
        EXPECT_FALSE(graph.RenderFile(folder / "missing.wav", 1));
        EXPECT_FALSE(graph.LastError().empty());
        EXPECT_FALSE(graph.Run());
        EXPECT_EQ(graph.Duration(), 0.0);
        EXPECT_EQ(graph.CurrentPosition(), 0.0);
    }
    {
        const std::string junk = folder / "junk.mp3";
        testsupport::WriteFile(junk, testsupport::Bytes(20000, 0x5A));
        MediaGraph graph;
        EXPECT_FALSE(graph.RenderFile(junk, 1));
        EXPECT_FALSE(graph.Completed());
    }
    {
        // A wave header whose data chunk is cut short plays what is there.
        const std::string cut = folder / "cut.wav";
        testsupport::RiffFileBuilder().Format(1, 2, Rate, 16).DataDeclared(4 * Rate, 4 * 4800).WriteTo(cut);
        MediaGraph graph;
        ASSERT_TRUE(graph.RenderFile(cut, 1));
        ASSERT_TRUE(graph.Run());
        PlayFor(graph, 1100);
        EXPECT_TRUE(graph.Completed());
    }
}

class MediaGraphBuilding : public audiotest::MediaFixture {
protected:
    static int Registered(const MediaGraph& graph, std::string_view name)
    {
        const auto& filters = graph.Registered();
        for (std::size_t i = 0; i < filters.size(); ++i) {
            if (filters[i].name == name) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    static int Add(MediaGraph& graph, std::string_view name)
    {
        const int index = Registered(graph, name);
        return index < 0 ? -1 : graph.AddFilter(graph.Registered()[static_cast<std::size_t>(index)]);
    }
    static bool Link(MediaGraph& graph, int from, int to)
    {
        return graph.Connect(from, graph.FirstPin(from, PinDirection::Output), to,
                             graph.FirstPin(to, PinDirection::Input));
    }
};

TEST_F(MediaGraphBuilding, EveryOutputDeviceIsARendererUnderItsOwnNameAndAsDirectSound)
{
    MediaGraph graph;
    for (const char* name : {"Null default", "Null 1", "Null 2", "Direct Sound: Null 1", "Direct Sound: Null 2",
                             "Default WaveOut Device", "Default DirectSound Device", "既定の WaveOut デバイス"}) {
        const int index = Registered(graph, name);
        ASSERT_GE(index, 0) << name;
        EXPECT_NE(graph.Registered()[static_cast<std::size_t>(index)].kind, MediaFilter::Kind::Element) << name;
    }
    EXPECT_EQ(graph.Registered()[static_cast<std::size_t>(Registered(graph, "Direct Sound: Null 2"))].device, 2);
    EXPECT_EQ(graph.Registered()[static_cast<std::size_t>(Registered(graph, "Default WaveOut Device"))].device, 0);
    for (const char* name : {"File Source (Async.)", "Wave Parser", "MPEG-I Stream Splitter", "MPEG Layer-3 Decoder",
                             "WAV Dest", "File writer"}) {
        EXPECT_GE(Registered(graph, name), 0) << name;
    }
    // Names with no counterpart here are not registered.
    for (const char* name : {"MP3 Decoder DMO", "Windows Media Source Filter", "AudioRecorder WAV Dest"}) {
        EXPECT_LT(Registered(graph, name), 0) << name;
    }
}

TEST_F(MediaGraphBuilding, AnExplicitChainPlaysOnTheDeviceOfItsRenderer)
{
    const auto bytes = NoiseBytes(StreamFormat{Rate, 16, 2}, Rate / 2, 9);
    const std::string path = folder / "chain.wav";
    testsupport::WriteWave(path, Rate, 16, 2, bytes);
    MediaGraph graph;
    const int source = Add(graph, "File Source (Async.)");
    const int parser = Add(graph, "Wave Parser");
    const int renderer = Add(graph, "Direct Sound: Null 2");
    ASSERT_TRUE(graph.IsFileSource(source));
    EXPECT_FALSE(graph.IsFileSource(parser));
    ASSERT_TRUE(graph.SetSourceFileName(source, path));
    EXPECT_EQ(graph.SourceFileName(source), path);
    EXPECT_EQ(graph.FilterName(parser), "Wave Parser");
    // The parser's output appears only while it reads.
    const auto pins = graph.Pins(parser);
    ASSERT_EQ(pins.size(), 2U);
    EXPECT_EQ(pins[0].direction, PinDirection::Input);
    EXPECT_EQ(pins[1].direction, PinDirection::Output);
    EXPECT_EQ(pins[1].id, "src_%u");
    ASSERT_TRUE(Link(graph, source, parser));
    ASSERT_TRUE(Link(graph, parser, renderer));
    EXPECT_FALSE(Link(graph, parser, renderer)) << "an input takes one connection";
    ASSERT_TRUE(graph.Prepare()) << graph.LastError();
    EXPECT_TRUE(graph.OutputConnected(source));
    EXPECT_TRUE(graph.OutputConnected(parser));
    EXPECT_EQ(graph.RendererDevice(), 2);
    ASSERT_TRUE(graph.Run());
    PlayFor(graph, 600);
    EXPECT_TRUE(graph.Completed());
    const auto played = Played(2);
    const auto want = ExpectedFloats(StreamFormat{Rate, 16, 2}, bytes);
    const std::size_t start = FirstSound(played);
    ASSERT_GE(played.size(), start + want.size());
    EXPECT_TRUE(std::equal(want.begin(), want.end(), played.begin() + static_cast<std::ptrdiff_t>(start)));
    EXPECT_EQ(PeakOf(Played(1), 0, 0, Rate), 0.0f) << "nothing on the other device";
}

TEST_F(MediaGraphBuilding, AChainThatCannotCarryTheStreamFailsWhenPreparedAndNamesTheBrokenLink)
{
    const std::string wave = folder / "a.wav";
    const std::string mp3 = folder / "a.mp3";
    testsupport::WriteWave(wave, 44100, 16, 2, testsupport::SineSamples16(44100, 2, 44100, 441.0, 0.5));
    ASSERT_TRUE(testsupport::EncodeMp3(wave, mp3));
    MediaGraph graph;
    const int source = Add(graph, "File Source (Async.)");
    const int parser = Add(graph, "Wave Parser");
    const int renderer = Add(graph, "Null 1");
    graph.SetSourceFileName(source, mp3);
    ASSERT_TRUE(Link(graph, source, parser));
    ASSERT_TRUE(Link(graph, parser, renderer));
    // The parser's output carries coded sound the renderer cannot take: that
    // link is the broken one.
    EXPECT_FALSE(graph.Prepare());
    EXPECT_TRUE(graph.OutputConnected(source));
    EXPECT_FALSE(graph.OutputConnected(parser));

    // Taken apart, the same graph is built again another way: the source
    // straight to a renderer gets the automatic decoder between.
    for (int filter = 0; filter < graph.FilterCount(); ++filter) {
        const auto pins = graph.Pins(filter);
        for (std::size_t pin = 0; pin < pins.size(); ++pin) {
            if (pins[pin].direction == PinDirection::Output) {
                graph.Disconnect(filter, static_cast<int>(pin));
            }
        }
    }
    EXPECT_FALSE(graph.OutputConnected(source));
    const int second = Add(graph, "Null 1");
    ASSERT_TRUE(Link(graph, source, second));
    ASSERT_TRUE(graph.Prepare()) << graph.LastError();
    EXPECT_NEAR(graph.Duration(), 1.0, 0.06);
    ASSERT_TRUE(graph.Run());
    PlayFor(graph, 1200);
    EXPECT_TRUE(graph.Completed());
}

TEST_F(MediaGraphBuilding, AWriterChainConvertsAFile)
{
    const std::string wave = folder / "in.wav";
    const std::string out = folder / "out.wav";
    testsupport::WriteWave(wave, 44100, 16, 2, testsupport::SineSamples16(44100, 2, 44100, 441.0, 0.5));
    MediaGraph graph;
    const int source = Add(graph, "File Source (Async.)");
    const int converter = graph.AddElement("audioconvert", "converter");
    const int writer = Add(graph, "WAV Dest");
    const int file = Add(graph, "File writer");
    graph.SetSourceFileName(source, wave);
    ASSERT_TRUE(graph.SetSinkFileName(file, out));
    EXPECT_FALSE(graph.SetProperty(converter, "no-such-property", "1"));
    ASSERT_TRUE(Link(graph, source, converter)); // the automatic decoder comes between
    ASSERT_TRUE(Link(graph, converter, writer));
    ASSERT_TRUE(Link(graph, writer, file));
    ASSERT_TRUE(graph.Prepare()) << graph.LastError();
    EXPECT_FALSE(graph.HasRenderer());
    ASSERT_TRUE(graph.RunToEnd(20000)) << graph.LastError();
    // The same sound: the data chunks are alike.
    const auto dataOf = [](const std::string& text) {
        const std::size_t at = text.find("data");
        const auto byte = [&text](std::size_t i) {
            return static_cast<std::size_t>(static_cast<unsigned char>(text[i]));
        };
        const std::size_t size = byte(at + 4) | byte(at + 5) << 8 | byte(at + 6) << 16 | byte(at + 7) << 24;
        return text.substr(at + 8, size);
    };
    const std::string written = dataOf(testsupport::ReadText(out));
    const std::string original = dataOf(testsupport::ReadText(wave));
    EXPECT_EQ(written.size(), original.size());
    EXPECT_TRUE(written == original);
}

} // namespace
