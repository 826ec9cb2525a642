// What an operator hears after firing a Normal button (PressToPlay 0, so the
// sound starts on the mouse release): from the release handler's call, as
// the button makes it, to the first sample played by the tests' own
// rate-paced ALSA device at 48 kHz, through the program's own audio layer
// pointed at that device with TOLV_ALSA_CONFIG. Four outputs play on the one
// device: three keep playing quiet sounds while output 4's button is fired
// 100 times, for a 1 MB and a 2 GB (sparse) file, the file in the page cache.
// The device takes frames back (kind:0) or cannot, as sound servers' plugins
// (kind:1), and then also after it ran dry once (kind:2).
// Targets: median at most 6 ms, maximum at most 11 ms, equal for both files;
// on a device that cannot take frames back, median at most a period and 2 ms
// (7.3 ms), maximum at most 11 ms.
// Also reported: release -> first loud sample handed to ALSA, and the period,
// queued-ahead audio and start margin the device ran with.
#include "PlaybackBench.h"

#include "platform/audio/OutputDevice.h"
#include "playback/ButtonGrid.h"

#include <benchmark/benchmark.h>

#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <fstream>
#include <thread>

#include "PacedTestDevice.h"

namespace {

using namespace platform::audio;

using pacedtest::FindWatch;
using pacedtest::NowNs;
using pacedtest::Percentile;
using pacedtest::Watch;
constexpr const char* testDevice = pacedtest::Device;

constexpr std::int64_t OneMegabyte = 1 << 20;

// A 16-bit stereo 48 kHz wave file of size bytes whose first megabyte holds
// samples of the given size (loud: the device's watch sees its first frame;
// quiet: never near half of full scale), then a hole that costs no disk.
std::string MakeWave(const std::string& name, std::int64_t size, bool loud)
{
    const std::string path = playbackbench::Folder() + "/" + name;
    std::vector<std::uint8_t> bytes = benchsetup::PcmWaveHeader(static_cast<std::uint32_t>(size - 44));
    std::uint32_t state = 7;
    while (static_cast<std::int64_t>(bytes.size()) + 1 < std::min<std::int64_t>(size, OneMegabyte)) {
        state = state * 1664525U + 1013904223U;
        const auto value = static_cast<std::int16_t>(loud ? 29000 : static_cast<int>(state >> 22) - 512);
        benchsetup::Put(bytes, static_cast<std::uint16_t>(value), 2);
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size));
    return path;
}

// The program's audio layer on one paced test device, as TOLV_ALSA_CONFIG sets it up.
bool InstallPacedDevice(bool rewinds)
{
    if (!std::filesystem::exists(testDevice)) {
        return false;
    }
    const std::string config = playbackbench::Folder() + "/asound.conf";
    std::ofstream(config) << pacedtest::PacedDeviceConfig("default", rewinds);
    setenv("TOLV_ALSA_CONFIG", config.c_str(), 1);
    unsetenv("TOLV_AUDIO");
    AudioSystem::Install(AudioSystem::FromEnvironment());
    return !AudioSystem::Current().IsNull() && AudioSystem::Current().OutputCount() == 1;
}

// Sleeps for ms while feeding the players as the engine's tick does.
void Tick(playbackbench::Rig& rig, int ms)
{
    const std::int64_t until = NowNs() + std::int64_t{ms} * 1'000'000;
    while (NowNs() < until) {
        rig.control.TimerUpdate_Timer();
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::min<std::int64_t>(5, (until - NowNs()) / 1'000'000 + 1)));
    }
}

void ReleaseToFirstSamplePlayed(benchmark::State& state)
{
    Watch watch;
    const bool rewinds = state.range(1) == 0;
    const bool ranDry = state.range(1) == 2;
    if (!InstallPacedDevice(rewinds)) {
        state.SkipWithError("the paced test device is not there (build the tests' ALSA device)");
        return;
    }
    std::vector<double> playedMs;
    std::vector<double> handedMs;
    int period = 0;
    int queued = 0;
    int queuedBefore = 0;
    int queuedAfterDry = 0;
    int margin = 0;
    {
        playbackbench::Rig rig;
        ButtonGrid grid(rig.control);
        for (auto& player : rig.window.State.Players) {
            player->SetDeviceID(0); // all four outputs on the one device
        }
        for (int output = 0; output < 3; ++output) {
            rig.Assign(output, 0, MakeWave("other-" + std::to_string(output) + ".wav", 512 * OneMegabyte, false));
            rig.control.Pon(output, 0, 0, 0, 0);
        }
        rig.Assign(3, 0, MakeWave("fired.wav", state.range(0) * OneMegabyte, true));
        const int index = 3 * rig.window.State.ButtonsPerOutput; // output 4, button 1
        Player& player = rig.window.State.PlayerAt(3);
        // Once, so the file is in the page cache and the device is open.
        grid.TolvButton_MouseUD(index, 1, false, 0);
        Tick(rig, 200);
        if (!FindWatch(watch)) {
            state.SkipWithError("the test device's watch is not found");
            return;
        }
        const auto output = AudioSystem::Current().Output(0);
        queuedBefore = output ? output->QueuedAheadFrames() : 0;
        if (ranDry && output) {
            watch.runDry(1);
            const std::int64_t since = NowNs();
            while (output->QueuedAheadFrames() == queuedBefore && NowNs() - since < 1'000'000'000) {
                Tick(rig, 5);
            }
            if (output->QueuedAheadFrames() == queuedBefore) {
                state.SkipWithError("the device did not run dry");
                return;
            }
            queuedAfterDry = output->QueuedAheadFrames();
        }
        std::uint32_t seed = 1;
        for (auto _ : state) {
            player.StopIO(1);
            seed = seed * 1664525U + 1013904223U;
            Tick(rig, 20 + static_cast<int>((seed >> 20) % 7));
            watch.arm();
            const std::int64_t release = NowNs();
            grid.TolvButton_MouseUD(index, 1, false, 0);
            long long played = -1;
            while ((played = watch.played()) < 0 && NowNs() - release < 1'000'000'000) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
            if (played < 0) {
                state.SkipWithError("a fire was not heard");
                break;
            }
            playedMs.push_back(static_cast<double>(played - release) / 1e6);
            handedMs.push_back(static_cast<double>(watch.handed() - release) / 1e6);
            rig.control.TimerUpdate_Timer();
        }
        if (rig.window.State.OutputState[0] != 1 || rig.window.State.OutputState[2] != 1) {
            state.SkipWithError("an output that should play stopped");
        }
        const auto device = AudioSystem::Current().Output(0);
        if (device) {
            period = device->PeriodFrames();
            queued = device->QueuedAheadFrames();
            margin = device->StartMarginFrames();
        }
    }
    AudioSystem::Install(nullptr);
    if (playedMs.empty()) {
        return;
    }
    state.counters["played_median_ms"] = Percentile(playedMs, 0.5);
    state.counters["played_max_ms"] = *std::max_element(playedMs.begin(), playedMs.end());
    state.counters["handed_median_ms"] = Percentile(handedMs, 0.5);
    state.counters["handed_max_ms"] = *std::max_element(handedMs.begin(), handedMs.end());
    state.counters["late_frames"] = static_cast<double>(watch.late());
    state.counters["period_frames"] = period;
    state.counters["queued_frames"] = queued;
    state.counters["queued_frames_before_dry"] = queuedBefore;
    state.counters["queued_frames_after_dry"] = queuedAfterDry;
    state.counters["margin_frames"] = margin;
}
BENCHMARK(ReleaseToFirstSamplePlayed)
    ->ArgNames({"MB", "kind"})
    ->Args({1, 0})
    ->Args({2048, 0})
    ->Args({1, 1})
    ->Args({2048, 1})
    ->Args({1, 2})
    ->Iterations(100)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    playbackbench::App();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(playbackbench::Folder());
    return 0;
}
