// A buffer player of back-end 0 must start within one mixer period (256
// frames at 48 kHz) of Play: from the call to the first frame of the sound
// handed to the device, on a null device running at the real rate. Play's own
// time (reading two seconds of the file, here from the page cache) is inside
// the figure and also shown alone.
#include "audio/C_DSound.h"
#include "audio/C_DSound5.h"
#include "platform/audio/AudioSystem.h"

#include <benchmark/benchmark.h>

#include <pthread.h>
#include <sched.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace platform::audio;

constexpr int rate = 48000;
constexpr int period = 256;

void PutU32(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// Ten seconds of 16-bit stereo noise that never holds a zero sample.
std::string WriteWave(const std::string& folder)
{
    const std::uint32_t dataBytes = 10U * rate * 4U;
    std::vector<std::uint8_t> bytes{'R', 'I', 'F', 'F'};
    PutU32(bytes, 36 + dataBytes);
    for (const char c : std::string("WAVEfmt ")) {
        bytes.push_back(static_cast<std::uint8_t>(c));
    }
    PutU32(bytes, 16);
    PutU32(bytes, 0x00020001); // PCM, two channels
    PutU32(bytes, rate);
    PutU32(bytes, rate * 4);
    PutU32(bytes, 0x00100004); // block align 4, 16 bits
    for (const char c : std::string("data")) {
        bytes.push_back(static_cast<std::uint8_t>(c));
    }
    PutU32(bytes, dataBytes);
    std::uint32_t state = 1;
    for (std::uint32_t i = 0; i < dataBytes; ++i) {
        state = state * 1664525U + 1013904223U;
        bytes.push_back(static_cast<std::uint8_t>((state >> 24) | 1U));
    }
    const std::string path = folder + "/start.wav";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file != nullptr) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    return path;
}

bool Sounds(const std::vector<float>& played)
{
    return std::any_of(played.begin(), played.end(), [](float sample) { return sample != 0.0f; });
}

template <typename P> void StartLatency(benchmark::State& state)
{
    // Measure from a real-time thread too (below the mixer's priority), so
    // that the machine's other work does not delay the measuring itself.
    sched_param parameters{};
    parameters.sched_priority = 60;
    const bool realtime = pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameters) == 0;

    std::string folder = (std::filesystem::temp_directory_path() / "tolv-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string path = WriteWave(folder);
    DeviceOptions options;
    options.rate = rate;
    options.periodFrames = period;
    AudioSystem::Install(AudioSystem::WithNullDevices(1, NullTiming::RealTime, options, 1));
    NullSink& sink = *AudioSystem::Current().NullOutput(1);
    P player;
    player.InitDS(nullptr, 1);
    player.SetFileName(path);

    double sum = 0.0;
    double worst = 0.0;
    double playSum = 0.0;
    int trials = 0;
    for (auto _ : state) {
        player.StopIO();
        // Start at a different moment of the period each time.
        const auto offset = std::chrono::microseconds((trials * 397) % 5333);
        std::this_thread::sleep_for(std::chrono::milliseconds(12) + offset);
        sink.TakePlayed();
        const auto called = std::chrono::steady_clock::now();
        player.Play();
        const auto returned = std::chrono::steady_clock::now();
        while (!Sounds(sink.TakePlayed())) {
        }
        const auto sounded = std::chrono::steady_clock::now();
        const double frames = std::chrono::duration<double>(sounded - called).count() * rate;
        state.SetIterationTime(std::chrono::duration<double>(sounded - called).count());
        sum += frames;
        worst = std::max(worst, frames);
        playSum += std::chrono::duration<double, std::micro>(returned - called).count();
        ++trials;
    }
    player.CloseWave();
    AudioSystem::Install(nullptr);
    std::filesystem::remove_all(folder);

    state.counters["mean_frames"] = sum / trials;
    state.counters["max_frames"] = worst;
    state.counters["period_frames"] = period;
    state.counters["play_call_us"] = playSum / trials;
    state.counters["realtime"] = realtime ? 1 : 0;
    parameters.sched_priority = 0;
    pthread_setschedparam(pthread_self(), SCHED_OTHER, &parameters);
}
BENCHMARK_TEMPLATE(StartLatency, C_DSound)->Iterations(300)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(StartLatency, C_DSound5)->Iterations(300)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
