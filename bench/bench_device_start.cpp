// What a listener hears: from the moment a voice is started on a running
// device to the moment its first sample is played by the device, measured on
// the tests' own rate-paced ALSA device at 48 kHz (it consumes frames at the
// real rate and notes when a loud frame plays). Three other voices play on
// the same device meanwhile (others:3), or none, so that every start wakes
// an idle device (others:0). The device takes frames back (kind:0), or
// cannot, as sound servers' plugins (kind:1), and then also after it ran dry
// once (kind:2). Targets: median at most 6 ms, maximum at most 11 ms; on a
// device that cannot take frames back, where a start over other voices waits
// behind the audio queued for them, at most a period and 25 ms (30.3 ms),
// and on the idle one as on others. Also reported: start -> first loud
// sample handed to ALSA, and the period and the queued audio the device ran
// with.
//
// Two more benchmarks measure the whole process's CPU time (its own, so that
// other work on the machine does not count) with four paced devices playing
// two voices each, real mixer threads at the real rate (target: under 2 % of
// one core), and with the four devices open and nothing playing (target:
// under 0.5 %).
#include "platform/audio/AlsaSink.h"
#include "platform/audio/OutputDevice.h"
#include "platform/audio/Voice.h"

#include <benchmark/benchmark.h>

#include <dlfcn.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "PacedTestDevice.h"

namespace {

using namespace platform::audio;

using pacedtest::FindWatch;
using pacedtest::NowNs;
using pacedtest::OpenPacedDevice;
using pacedtest::Percentile;
using pacedtest::QuietNoise;
using pacedtest::Watch;
constexpr const char* testDevice = pacedtest::Device;

constexpr int rate = 48000;

// A loud 16-bit stereo constant, well above half of full scale.
std::vector<std::uint8_t> Loud(std::size_t frames)
{
    std::vector<std::uint8_t> bytes(frames * 4);
    const std::int16_t value = 29000;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        bytes[i] = static_cast<std::uint8_t>(value & 0xFF);
        bytes[i + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    }
    return bytes;
}

// Waits up to a second for done.
template <typename Done> bool WithinASecond(Done done)
{
    const std::int64_t start = NowNs();
    while (!done() && NowNs() - start < 1'000'000'000) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return done();
}

void BM_StartToFirstSamplePlayed(benchmark::State& state)
{
    const bool rewinds = state.range(0) == 0;
    const bool ranDry = state.range(0) == 2;
    const auto otherCount = static_cast<std::size_t>(state.range(1));
    Watch watch;
    std::string error;
    const auto device = std::filesystem::exists(testDevice) ? OpenPacedDevice("Paced", error, rewinds) : nullptr;
    if (!device || !FindWatch(watch)) {
        state.SkipWithError(("the paced test device does not open: " + error).c_str());
        return;
    }
    const StreamFormat format{rate, 16, 2};
    const auto quiet = QuietNoise(rate, 7);
    std::vector<std::unique_ptr<Voice>> others;
    std::vector<VoiceBuffer> loops(otherCount);
    for (std::size_t i = 0; i < otherCount; ++i) {
        others.push_back(device->OpenVoice(format));
        loops[i].data = quiet;
        loops[i].SetLooping(true);
        others.back()->Write(loops[i]);
    }
    auto fired = device->OpenVoice(format);
    const auto loud = Loud(rate / 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    {
        // A first start, not measured, shows whether the device takes frames back.
        VoiceBuffer first;
        first.data = loud;
        fired->Write(first);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        fired->Reset();
    }
    int queuedBefore = device->QueuedAheadFrames();
    if (ranDry) {
        watch.runDry(1);
        if (!WithinASecond([&] { return device->QueuedAheadFrames() > queuedBefore; })) {
            state.SkipWithError("the device did not run dry");
            return;
        }
        device->Sync();
    }
    int asleep = 0;

    std::vector<double> playedMs;
    std::vector<double> handedMs;
    std::uint32_t seed = 1;
    for (auto _ : state) {
        for (int fire = 0; fire < 100; ++fire) {
            if (otherCount == 0) {
                asleep += WithinASecond([&] { return device->Asleep(); }) ? 1 : 0;
            }
            VoiceBuffer buffer;
            buffer.data = loud;
            watch.arm();
            const std::int64_t start = NowNs();
            fired->Write(buffer);
            long long played = -1;
            while ((played = watch.played()) < 0 && NowNs() - start < 1'000'000'000) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            if (played >= 0) {
                playedMs.push_back(static_cast<double>(played - start) / 1e6);
                handedMs.push_back(static_cast<double>(watch.handed() - start) / 1e6);
            }
            // Let it sound a little, stop it, and fire again at another phase of the period.
            seed = seed * 1664525U + 1013904223U;
            std::this_thread::sleep_for(std::chrono::microseconds(20'000 + (seed >> 20) % 7'000));
            fired->Reset();
        }
    }
    device->Sync();
    if (playedMs.empty()) {
        state.SkipWithError("no fire was heard");
        return;
    }
    state.counters["played_median_ms"] = Percentile(playedMs, 0.5);
    state.counters["played_max_ms"] = *std::max_element(playedMs.begin(), playedMs.end());
    state.counters["handed_median_ms"] = Percentile(handedMs, 0.5);
    state.counters["handed_max_ms"] = *std::max_element(handedMs.begin(), handedMs.end());
    state.counters["late_frames"] = static_cast<double>(watch.late());
    state.counters["heard"] = static_cast<double>(playedMs.size());
    state.counters["period_frames"] = device->PeriodFrames();
    state.counters["queued_frames_opened"] = device->PeriodFrames() * device->Sink().Options().periods;
    state.counters["queued_frames_before_dry"] = queuedBefore;
    state.counters["queued_frames"] = device->QueuedAheadFrames();
    state.counters["fired_on_sleeping_device"] = asleep;
    // 0 for the device with rewind 0: the setting reached it.
    state.counters["takes_frames_back"] = device->Sink().TriedTakingFramesBack().value_or(true) ? 1 : 0;
}
BENCHMARK(BM_StartToFirstSamplePlayed)
    ->ArgNames({"kind", "others"})
    ->Args({0, 3})
    ->Args({1, 3})
    ->Args({2, 3})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

double ProcessCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The whole process's CPU time over five seconds, as a share of one core.
double ProcessCpuShareOverFiveSeconds()
{
    const double cpuBefore = ProcessCpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(5));
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    return (ProcessCpuSeconds() - cpuBefore) / wall;
}

// Four paced devices, "Paced 1" .. "Paced 4"; false (with the state's
// error) when the device was not built or one does not open.
bool OpenFourPacedDevices(benchmark::State& state, std::vector<std::shared_ptr<OutputDevice>>& devices)
{
    if (!std::filesystem::exists(testDevice)) {
        state.SkipWithError("the paced test device was not built");
        return false;
    }
    std::string error;
    for (int d = 0; d < 4; ++d) {
        devices.push_back(OpenPacedDevice("Paced " + std::to_string(d + 1), error));
        if (!devices.back()) {
            state.SkipWithError(("the paced test device does not open: " + error).c_str());
            return false;
        }
    }
    return true;
}

void BM_WholeProcessCpuFourDevicesTwoVoicesEach(benchmark::State& state)
{
    std::vector<std::shared_ptr<OutputDevice>> devices;
    if (!OpenFourPacedDevices(state, devices)) {
        return;
    }
    const pacedtest::LoopingVoices voices(devices, 9);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    double share = 0.0;
    for (auto _ : state) {
        share = ProcessCpuShareOverFiveSeconds();
    }
    state.counters["cpu_percent_of_one_core"] = share * 100.0;
}
BENCHMARK(BM_WholeProcessCpuFourDevicesTwoVoicesEach)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Four devices open, a voice open on each (as the players keep theirs), nothing playing.
void BM_WholeProcessCpuFourDevicesIdle(benchmark::State& state)
{
    std::vector<std::shared_ptr<OutputDevice>> devices;
    if (!OpenFourPacedDevices(state, devices)) {
        return;
    }
    std::vector<std::unique_ptr<Voice>> voices;
    for (const auto& device : devices) {
        voices.push_back(device->OpenVoice(StreamFormat{rate, 16, 2}));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    double share = 0.0;
    for (auto _ : state) {
        share = ProcessCpuShareOverFiveSeconds();
    }
    state.counters["cpu_percent_of_one_core"] = share * 100.0;
}
BENCHMARK(BM_WholeProcessCpuFourDevicesIdle)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace
