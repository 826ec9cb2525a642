// Four outputs playing on the tests' own rate-paced ALSA devices (48 kHz,
// two voices each, one at 44.1 kHz so that it is resampled) for ten minutes
// while every core of the machine is kept busy by spinning threads of normal
// priority; every half second a short sound starts on one of them, mixed
// into its queued audio. Counted: the underruns the devices logged (expected
// 0), and, as the devices saw them, those of the second half of the run
// (expected 0: the queue has adapted by then), the times the queued audio or the start margin grew,
// the frames a start wrote back too late to sound (expected 0), and whether
// the mixers got real-time priority.
// The length in seconds is the benchmark's argument (600, and 20 for a quick
// look: --benchmark_filter=s:20).
#include "platform/audio/AlsaSink.h"
#include "platform/audio/OutputDevice.h"
#include "platform/audio/Voice.h"
#include "platform/base/LogSink.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PacedTestDevice.h"

namespace {

using namespace platform::audio;

using pacedtest::QuietNoise;
constexpr const char* testDevice = pacedtest::Device;

constexpr int rate = 48000;

// "... 1 underrun ..." or "... 13 underruns ...": the count the line reports.
long UnderrunsIn(const std::string& line)
{
    const std::size_t at = line.find(" underrun");
    if (at == std::string::npos) {
        return 0;
    }
    std::size_t from = at;
    while (from > 0 && line[from - 1] >= '0' && line[from - 1] <= '9') {
        --from;
    }
    return from < at ? std::stol(line.substr(from, at - from)) : 0;
}

void FourOutputsUnderLoad(benchmark::State& state)
{
    if (!std::filesystem::exists(testDevice)) {
        state.SkipWithError("the paced test device was not built");
        return;
    }
    std::mutex linesLock;
    std::vector<std::string> lines;
    platform::SetLogSink([&](std::string_view text, int) {
        const std::lock_guard<std::mutex> hold(linesLock);
        lines.emplace_back(text);
    });
    std::vector<std::shared_ptr<OutputDevice>> devices;
    std::string error;
    for (int d = 0; d < 4; ++d) {
        devices.push_back(pacedtest::OpenPacedDevice("Paced " + std::to_string(d + 1), error));
        if (!devices.back()) {
            platform::SetLogSink(nullptr);
            state.SkipWithError(("the paced test device does not open: " + error).c_str());
            return;
        }
    }
    auto voices = std::make_unique<pacedtest::LoopingVoices>(devices, 11);

    std::atomic<bool> loading{true};
    std::vector<std::thread> load;
    const unsigned int cores = std::max(1U, std::thread::hardware_concurrency());
    for (unsigned int c = 0; c < cores; ++c) {
        load.emplace_back([&loading] {
            std::uint64_t spin = 0;
            while (loading.load(std::memory_order_relaxed)) {
                spin = spin * 6364136223846793005ULL + 1;
                benchmark::DoNotOptimize(spin);
            }
        });
    }
    pacedtest::Watch watch;
    const bool watched = pacedtest::FindWatch(watch);
    const long long lateBefore = watched ? watch.late() : 0;
    long long dryAtHalfway = -1;
    const auto shot = QuietNoise(rate / 5, 12);
    std::unique_ptr<Voice> fired;
    std::unique_ptr<VoiceBuffer> firedBuffer;
    long starts = 0;
    auto halfway = std::chrono::steady_clock::now();
    for (auto _ : state) {
        halfway = std::chrono::steady_clock::now() + std::chrono::seconds(state.range(0)) / 2;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(state.range(0));
        while (std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            if (watched && dryAtHalfway < 0 && std::chrono::steady_clock::now() >= halfway) {
                dryAtHalfway = watch.ranDry();
            }
            for (const auto& device : devices) {
                device->Sync();
            }
            fired.reset();
            firedBuffer = std::make_unique<VoiceBuffer>();
            firedBuffer->data = shot;
            fired = devices[static_cast<std::size_t>(starts % 4)]->OpenVoice(StreamFormat{rate, 16, 2});
            if (fired && fired->Write(*firedBuffer) == AudioError::None) {
                ++starts;
            }
        }
    }
    fired.reset();
    const long long lateFrames = watched ? watch.late() - lateBefore : -1;
    const long long drySecondHalf = watched && dryAtHalfway >= 0 ? watch.ranDry() - dryAtHalfway : -1;
    loading.store(false);
    for (std::thread& thread : load) {
        thread.join();
    }
    std::uint64_t rendered = 0;
    for (const auto& device : devices) {
        rendered += device->RenderedFrames();
    }
    voices.reset();
    devices.clear(); // the last underruns are reported as the devices close
    platform::SetLogSink(nullptr);
    long underruns = 0;
    long grown = 0;
    long shrunk = 0;
    long late = 0;
    long marginGrown = 0;
    double realtime = 1.0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        underruns += UnderrunsIn(line);
        grown += line.find("now queued ahead") != std::string::npos ? 1 : 0;
        shrunk += line.find("without an underrun; back to") != std::string::npos ? 1 : 0;
        late += line.find("was late") != std::string::npos ? 1 : 0;
        marginGrown += line.find("a start ran the device dry") != std::string::npos ? 1 : 0;
        realtime = line.find("without real-time priority") != std::string::npos ? 0.0 : realtime;
    }
    state.counters["underruns"] = static_cast<double>(underruns);
    state.counters["underruns_second_half"] = static_cast<double>(drySecondHalf);
    state.counters["queue_grown"] = static_cast<double>(grown);
    state.counters["queue_shrunk"] = static_cast<double>(shrunk);
    state.counters["mixer_late"] = static_cast<double>(late);
    state.counters["starts"] = static_cast<double>(starts);
    state.counters["start_margin_grown"] = static_cast<double>(marginGrown);
    state.counters["late_frames"] = static_cast<double>(lateFrames);
    state.counters["realtime_priority"] = realtime;
    state.counters["loaded_cores"] = cores;
    state.counters["seconds_played"] = static_cast<double>(rendered) / rate / 4;
}
// 600 s is the measure; 20 s is a quick look.
BENCHMARK(FourOutputsUnderLoad)
    ->Arg(20)
    ->Arg(600)
    ->ArgName("s")
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace
