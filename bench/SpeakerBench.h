#pragma once

// What the button-to-speaker benchmarks share: the program's audio layer
// pointed at the tests' own rate-paced ALSA device (48 kHz) with
// TOLV_ALSA_CONFIG, four outputs on that one device of which three keep
// playing quiet sounds while output 4's first button, a Normal one, is fired
// again and again, and the figures of those fires: the release to the first
// sample played and to the first loud sample handed to ALSA, with the
// period, queued-ahead audio and start margin the device ran with.
#include "PacedTestDevice.h"
#include "PlaybackBench.h"

#include "platform/audio/OutputDevice.h"
#include "playback/ButtonGrid.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace speakerbench {

using pacedtest::NowNs;

inline constexpr std::int64_t OneMegabyte = 1 << 20;

// A 16-bit stereo 48 kHz wave file of size bytes whose first megabyte holds
// samples of the given size (loud: the device's watch sees its first frame;
// quiet: never near half of full scale), then a hole that costs no disk.
inline std::string MakeWave(const std::string& name, std::int64_t size, bool loud)
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

// The program's audio layer on one paced test device, as TOLV_ALSA_CONFIG
// sets it up; one that cannot take frames back when rewinds is false.
inline bool InstallPacedDevice(bool rewinds = true)
{
    if (!std::filesystem::exists(pacedtest::Device)) {
        return false;
    }
    const std::string config = playbackbench::Folder() + "/asound.conf";
    std::ofstream(config) << pacedtest::PacedDeviceConfig("default", rewinds);
    setenv("TOLV_ALSA_CONFIG", config.c_str(), 1);
    unsetenv("TOLV_AUDIO");
    platform::audio::AudioSystem::Install(platform::audio::AudioSystem::FromEnvironment());
    return !platform::audio::AudioSystem::Current().IsNull() &&
           platform::audio::AudioSystem::Current().OutputCount() == 1;
}

// Sleeps for ms while feeding the players as the engine's tick does and
// handling the window system's events as the program's main loop does.
inline void Tick(playbackbench::Rig& rig, int ms)
{
    const std::int64_t until = NowNs() + std::int64_t{ms} * 1'000'000;
    while (NowNs() < until) {
        rig.control.TimerUpdate_Timer();
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::min<std::int64_t>(5, (until - NowNs()) / 1'000'000 + 1)));
    }
}

// Four outputs on the paced device: three play quiet sounds, output 4's
// first button holds a loud sound of fileBytes and has been fired once, so
// the file is in the page cache and the device open.
struct FiredButton {
    explicit FiredButton(std::int64_t fileBytes)
    {
        for (auto& player : rig.window.State.Players) {
            player->SetDeviceID(0); // all four outputs on the one device
        }
        for (int output = 0; output < 3; ++output) {
            rig.Assign(output, 0, MakeWave("other-" + std::to_string(output) + ".wav", 512 * OneMegabyte, false));
            rig.control.Pon(output, 0, 0, 0, 0);
        }
        rig.Assign(3, 0, MakeWave("fired.wav", fileBytes, true));
        grid.TolvButton_MouseUD(Index, 1, false, 0);
        Tick(rig, 200);
    }

    static constexpr int Output = 3;
    static constexpr int Index = Output * 32; // output 4, button 1

    playbackbench::Rig rig;
    ButtonGrid grid{rig.control};
};

// Makes the device run dry once, as a busy machine does, and waits until
// its queue has grown for it; false (with the state's error) when it did
// not. Counts the queue before and after.
inline bool RunDryOnce(benchmark::State& state, FiredButton& fired)
{
    pacedtest::Watch watch;
    const auto output = platform::audio::AudioSystem::Current().Output(0);
    if (!pacedtest::FindWatch(watch) || !output) {
        state.SkipWithError("the test device's watch is not found");
        return false;
    }
    const int before = output->QueuedAheadFrames();
    watch.runDry(1);
    const std::int64_t since = NowNs();
    while (output->QueuedAheadFrames() == before && NowNs() - since < 1'000'000'000) {
        Tick(fired.rig, 5);
    }
    if (output->QueuedAheadFrames() == before) {
        state.SkipWithError("the device did not run dry");
        return false;
    }
    state.counters["queued_frames_before_dry"] = before;
    state.counters["queued_frames_after_dry"] = output->QueuedAheadFrames();
    return true;
}

// Fires the button once per iteration: each time the sound is stopped and
// the engine ticks for 20-26 ms first; fire arms the watch, lets the button
// go and returns when (NowNs) the release reached the program, or -1 when
// it did not. Fills the state's counters; false after an error.
inline bool MeasureFires(benchmark::State& state, FiredButton& fired, const std::function<std::int64_t()>& fire)
{
    pacedtest::Watch watch;
    if (!pacedtest::FindWatch(watch)) {
        state.SkipWithError("the test device's watch is not found");
        return false;
    }
    std::vector<double> playedMs;
    std::vector<double> handedMs;
    std::uint32_t seed = 1;
    for (auto _ : state) {
        fired.rig.window.State.PlayerAt(FiredButton::Output).StopIO(1);
        seed = seed * 1664525U + 1013904223U;
        Tick(fired.rig, 20 + static_cast<int>((seed >> 20) % 7));
        watch.arm();
        const std::int64_t release = fire();
        if (release < 0) {
            state.SkipWithError("a release did not reach the program");
            return false;
        }
        long long played = -1;
        while ((played = watch.played()) < 0 && NowNs() - release < 1'000'000'000) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        if (played < 0) {
            state.SkipWithError("a fire was not heard");
            return false;
        }
        playedMs.push_back(static_cast<double>(played - release) / 1e6);
        handedMs.push_back(static_cast<double>(watch.handed() - release) / 1e6);
        fired.rig.control.TimerUpdate_Timer();
    }
    if (fired.rig.window.State.OutputState[0] != 1 || fired.rig.window.State.OutputState[2] != 1) {
        state.SkipWithError("an output that should play stopped");
        return false;
    }
    state.counters["played_median_ms"] = pacedtest::Percentile(playedMs, 0.5);
    state.counters["played_p90_ms"] = pacedtest::Percentile(playedMs, 0.9);
    state.counters["played_max_ms"] = *std::max_element(playedMs.begin(), playedMs.end());
    state.counters["handed_median_ms"] = pacedtest::Percentile(handedMs, 0.5);
    state.counters["handed_max_ms"] = *std::max_element(handedMs.begin(), handedMs.end());
    state.counters["late_frames"] = static_cast<double>(watch.late());
    if (const auto device = platform::audio::AudioSystem::Current().Output(0)) {
        state.counters["period_frames"] = device->PeriodFrames();
        state.counters["queued_frames"] = device->QueuedAheadFrames();
        state.counters["margin_frames"] = device->StartMarginFrames();
    }
    return true;
}

using playbackbench::RunBenchmarks;

} // namespace speakerbench
