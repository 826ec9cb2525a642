// A sound on a graph player must start as fast from a 60-minute MP3 as from
// a 10-second one (target: equal within noise): the time from Play to the
// first decoded frame mixed into the device, and, for the record, the time
// FileName takes to load each file.
#include "audio/C_FGraph.h"
#include "platform/audio/AudioSystem.h"
#include "platform/audio/MediaGraph.h"
#include "platform/base/VirtualClock.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace platform::audio;

constexpr int rate = 44100;
constexpr int shortSeconds = 10;
constexpr int longMinutes = 60;

void Put(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

void PutText(std::vector<std::uint8_t>& bytes, const char* text)
{
    bytes.insert(bytes.end(), text, text + 4);
}

// Ten seconds of a 441 Hz sine, 16-bit stereo.
void WriteSine(const std::string& path)
{
    const std::uint32_t frames = rate * shortSeconds;
    std::vector<std::uint8_t> bytes;
    PutText(bytes, "RIFF");
    Put(bytes, 36 + frames * 4, 4);
    PutText(bytes, "WAVE");
    PutText(bytes, "fmt ");
    Put(bytes, 16, 4);
    Put(bytes, 1, 2);
    Put(bytes, 2, 2);
    Put(bytes, rate, 4);
    Put(bytes, rate * 4, 4);
    Put(bytes, 4, 2);
    Put(bytes, 16, 2);
    PutText(bytes, "data");
    Put(bytes, frames * 4, 4);
    for (std::uint32_t f = 0; f < frames; ++f) {
        const auto value = static_cast<std::int16_t>(std::lround(16000.0 * std::sin(2 * M_PI * 441.0 * f / rate)));
        Put(bytes, static_cast<std::uint16_t>(value), 2);
        Put(bytes, static_cast<std::uint16_t>(value), 2);
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Encodes the wave as a constant-bitrate MP3 through a writer graph.
bool EncodeMp3(const std::string& wave, const std::string& mp3)
{
    MediaGraph graph;
    const int chain[] = {graph.AddElement("filesrc", "source"), graph.AddElement("wavparse", "parser"),
                         graph.AddElement("audioconvert", "converter"), graph.AddElement("lamemp3enc", "encoder"),
                         graph.AddElement("filesink", "writer")};
    if (!graph.SetSourceFileName(chain[0], wave) || !graph.SetSinkFileName(chain[4], mp3) ||
        !graph.SetProperty(chain[3], "target", "bitrate") || !graph.SetProperty(chain[3], "cbr", "true") ||
        !graph.SetProperty(chain[3], "bitrate", "128")) {
        return false;
    }
    for (int i = 0; i + 1 < 5; ++i) {
        if (!graph.Connect(chain[i], graph.FirstPin(chain[i], PinDirection::Output), chain[i + 1],
                           graph.FirstPin(chain[i + 1], PinDirection::Input))) {
            return false;
        }
    }
    return graph.Prepare() && graph.RunToEnd(60000);
}

struct Files {
    std::string shortMp3;
    std::string longMp3;
};

// The 10-second MP3, and the 60-minute one made of it end to end (frames of
// a constant-bitrate stream follow one another as they are).
const Files& TestFiles()
{
    static const Files files = [] {
        const std::string folder =
            std::filesystem::temp_directory_path() / ("tolv-bench-media-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        Files made{folder + "/short.mp3", folder + "/long.mp3"};
        WriteSine(folder + "/sine.wav");
        if (!EncodeMp3(folder + "/sine.wav", made.shortMp3)) {
            std::abort();
        }
        std::ifstream in(made.shortMp3, std::ios::binary);
        const std::vector<char> shortBytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::ofstream out(made.longMp3, std::ios::binary);
        for (int i = 0; i < longMinutes * 60 / shortSeconds; ++i) {
            out.write(shortBytes.data(), static_cast<std::streamsize>(shortBytes.size()));
        }
        return made;
    }();
    return files;
}

struct Devices {
    Devices()
    {
        AudioSystem::Install(AudioSystem::WithNullDevices(1, NullTiming::VirtualClock));
        device = AudioSystem::Current().Output(1);
    }
    ~Devices() { AudioSystem::Install(nullptr); }
    platform::VirtualClock clock;
    platform::ScopedVirtualClock installed{clock};
    std::shared_ptr<OutputDevice> device;
};

// Play to the first frame mixed, with the file loaded and decoded ahead as
// the player leaves it after FileName (settled), or at once after FileName
// returned (decoding ahead still under way).
void PlayToFirstFrame(benchmark::State& state, bool longFile, bool settled)
{
    const Files& files = TestFiles();
    const std::string& path = longFile ? files.longMp3 : files.shortMp3;
    Devices devices;
    C_FGraph player;
    player.SetDevName("Null 1");
    player.Init();
    double lengthMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        player.CloseWave();
        player.SetFileName(path);
        lengthMs = player.Length();
        if (settled) {
            player.MediaGraphInUse()->WaitBuffered(5000);
        }
        state.ResumeTiming();
        player.Play();
        MediaGraph* graph = player.MediaGraphInUse();
        int periods = 0;
        while (graph->CurrentPosition() <= 0.0 && periods < 100000) {
            devices.device->RenderPeriods(1);
            ++periods;
        }
        state.counters["periods"] = periods;
    }
    state.counters["length_s"] = lengthMs / 1000.0;
}

// FileName: building and prerolling the graph, for the record.
void LoadFile(benchmark::State& state, bool longFile)
{
    const Files& files = TestFiles();
    const std::string& path = longFile ? files.longMp3 : files.shortMp3;
    Devices devices;
    C_FGraph player;
    player.SetDevName("Null 1");
    player.Init();
    for (auto _ : state) {
        player.SetFileName(path);
        state.PauseTiming();
        player.CloseWave();
        state.ResumeTiming();
    }
}

BENCHMARK_CAPTURE(PlayToFirstFrame, mp3_10s, false, true)->Unit(benchmark::kMicrosecond)->Iterations(50);
BENCHMARK_CAPTURE(PlayToFirstFrame, mp3_60min, true, true)->Unit(benchmark::kMicrosecond)->Iterations(50);
BENCHMARK_CAPTURE(PlayToFirstFrame, mp3_10s_just_loaded, false, false)->Unit(benchmark::kMicrosecond)->Iterations(50);
BENCHMARK_CAPTURE(PlayToFirstFrame, mp3_60min_just_loaded, true, false)->Unit(benchmark::kMicrosecond)->Iterations(50);
BENCHMARK_CAPTURE(LoadFile, mp3_10s, false)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(LoadFile, mp3_60min, true)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
