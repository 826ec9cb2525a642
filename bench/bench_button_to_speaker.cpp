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
// on a device that cannot take frames back, where every start waits behind
// the audio queued for the sounds that play, at most a period and 25 ms
// (30.3 ms).
// Also reported: release -> first loud sample handed to ALSA, and the period,
// queued-ahead audio and start margin the device ran with.
//
// PressesOnAStoppedDevice: one output on the paced device, as the program
// starts it (the composition opens its players' cards), and a 0.5 s sound on
// its first button pressed every 0.9 s, 60 times, the first press 0.9 s
// after the start: the device stops between the sounds, so that every press
// starts it, the first one included. The device cannot rewind (kind:1) or
// can (kind:0). Targets on the one that cannot: median at most 5 ms, first
// press included, no underrun while a sound plays, also with the machine
// under load, and no queue growth without an underrun.
// PressesOverAPlayingSound: the same presses on output 2 while output 1
// plays a quiet sound on the same device all along, so that every press
// starts a sound over one that plays. Target on the device that cannot
// rewind: at most a period and 25 ms (30.3 ms), no underrun.
// PressesAfterAStartupSound: PressesOnAStoppedDevice after a half-second
// "startup.wav" that the program starts on its player before it makes the
// player ready (the readying waits until that sound has ended), so the first
// press is the first after the start-up sound. Targets as there.
// Reported by all three: each press's time and the frames queued ahead at each
// press and a quarter second into each sound (on stderr), the median, the
// maximum and the first press (and the time to the sound's first frame
// handed to ALSA, the program's own part), the presses that found the
// device stopped, the device's dry runs (all, and those while a sound
// played), the queue growths logged (and every line of its underruns and
// queue on stderr), and the machine's load (1-minute average) before and
// after.
#include "SpeakerBench.h"

#include "mainwindow/OutputPlayers.h"
#include "platform/base/LogSink.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

using speakerbench::FiredButton;

void ReleaseToFirstSamplePlayed(benchmark::State& state)
{
    const bool rewinds = state.range(1) == 0;
    const bool ranDry = state.range(1) == 2;
    if (!speakerbench::InstallPacedDevice(rewinds)) {
        state.SkipWithError("the paced test device is not there (build the tests' ALSA device)");
        return;
    }
    {
        FiredButton fired(state.range(0) * speakerbench::OneMegabyte);
        if (!ranDry || speakerbench::RunDryOnce(state, fired)) {
            speakerbench::MeasureFires(state, fired, [&fired] {
                const std::int64_t release = speakerbench::NowNs();
                fired.grid.TolvButton_MouseUD(FiredButton::Index, 1, false, 0);
                return release;
            });
        }
    }
    platform::audio::AudioSystem::Install(nullptr);
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

double LoadAverage()
{
    double load = -1.0;
    std::ifstream("/proc/loadavg") >> load;
    return load;
}

// "304 x58, 368 x2": the values in order, runs of equal ones counted.
std::string Runs(const std::vector<int>& values)
{
    std::ostringstream text;
    for (std::size_t i = 0; i < values.size();) {
        std::size_t next = i;
        while (next < values.size() && values[next] == values[i]) {
            ++next;
        }
        text << (i > 0 ? ", " : "") << values[i] << " x" << next - i;
        i = next;
    }
    return text.str();
}

// What plays before the presses.
enum class Before { Nothing, Bed, StartupSound };

// Presses output pressed's first button every 0.9 s, 60 times, as the
// program runs it on the paced device (which cannot rewind when rewinds is
// false); with a bed, output 1 plays a quiet sound all along. Fills the
// state's counters (see the top of this file).
void PressEvery900Ms(benchmark::State& state, bool rewinds, Before before)
{
    const bool bed = before == Before::Bed;
    const double loadBefore = LoadAverage();
    if (!speakerbench::InstallPacedDevice(rewinds)) {
        state.SkipWithError("the paced test device is not there (build the tests' ALSA device)");
        return;
    }
    std::vector<std::string> grown;
    platform::SetLogSink([&grown](std::string_view text, int) {
        if (text.find("queued ahead") != std::string_view::npos || text.find("underrun") != std::string_view::npos) {
            grown.emplace_back(text);
        }
    });
    {
        playbackbench::Rig rig;
        for (auto& player : rig.window.State.Players) {
            player->SetDeviceID(0);
        }
        // The press plays a loud half second on its output's first button.
        const int pressed = bed ? 1 : 0;
        rig.Assign(pressed, 0, speakerbench::MakeWave("half-second.wav", 44 + 48000 * 4 / 2, true));
        // TOLV_BENCH_ALTERNATE=1: the presses alternate between two buttons
        // of different files, so that no press repeats the last sound.
        const bool alternate = std::getenv("TOLV_BENCH_ALTERNATE") != nullptr;
        rig.Assign(pressed, 1, speakerbench::MakeWave("half-second-b.wav", 44 + 48000 * 4 / 2, true));
        ButtonGrid grid{rig.control};
        const std::int64_t started = speakerbench::NowNs();
        if (before == Before::StartupSound) {
            // As the start-up does, on every player, before the window is up.
            const std::string startup = speakerbench::MakeWave("startup.wav", 44 + 48000 * 4 / 2, true);
            for (auto& player : rig.window.State.Players) {
                player->SetFileName(startup);
                player->Play();
            }
        }
        // As the composition does once the window is up.
        OutputPlayers::ReadyForFirstStart(rig.window.State.Players);
        const auto device = platform::audio::AudioSystem::Current().Output(0);
        pacedtest::Watch watch;
        if (!device || !pacedtest::FindWatch(watch)) {
            state.SkipWithError("the paced device did not open at the start");
            platform::SetLogSink(nullptr);
            return;
        }
        if (bed) {
            rig.Assign(0, 0, speakerbench::MakeWave("bed.wav", 512 * speakerbench::OneMegabyte, false));
            rig.control.Pon(0, 0, 0, 0, 0);
        }
        const long long dryBefore = watch.ranDry();
        long long dryInSounds = 0;
        std::vector<double> playedMs;
        std::vector<double> handedMs;
        std::vector<int> queued;
        std::vector<int> queuedPlaying;
        int stopped = 0;
        for (auto _ : state) {
            for (int press = 0; press < 60; ++press) {
                const std::int64_t due = started + (press + 1) * std::int64_t{900'000'000};
                speakerbench::Tick(
                    rig, static_cast<int>(std::max<std::int64_t>(0, due - speakerbench::NowNs()) / 1'000'000));
                stopped += device->Asleep() ? 1 : 0;
                queued.push_back(device->QueuedAheadFrames());
                const long long dryAtPress = watch.ranDry();
                watch.arm();
                const std::int64_t release = speakerbench::NowNs();
                grid.TolvButton_MouseUD(pressed * 32 + (alternate ? press % 2 : 0), 1, false, 0);
                long long played = -1;
                while ((played = watch.played()) < 0 && speakerbench::NowNs() - release < 1'000'000'000) {
                    QCoreApplication::processEvents();
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
                }
                if (played < 0) {
                    state.SkipWithError("a press was not heard");
                    platform::SetLogSink(nullptr);
                    return;
                }
                playedMs.push_back(static_cast<double>(played - release) / 1e6);
                handedMs.push_back(static_cast<double>(watch.handed() - release) / 1e6);
                rig.control.TimerUpdate_Timer();
                speakerbench::Tick(rig, 250);
                queuedPlaying.push_back(device->QueuedAheadFrames());
                // The rest of the sound, and what was queued behind its end.
                const std::int64_t heardUntil = played + 530'000'000;
                speakerbench::Tick(
                    rig, static_cast<int>(std::max<std::int64_t>(0, heardUntil - speakerbench::NowNs()) / 1'000'000));
                dryInSounds += watch.ranDry() - dryAtPress;
            }
        }
        speakerbench::Tick(rig, 600);
        device->Sync();
        std::ostringstream times;
        for (const double ms : playedMs) {
            times << (times.tellp() > 0 ? " " : "") << static_cast<int>(ms * 10 + 0.5) / 10.0;
        }
        std::cerr << (rewinds ? "rewinds" : "rewind 0") << (bed ? ", over a playing sound" : "")
                  << ", ms at each press: " << times.str() << "\nframes queued ahead at each press: " << Runs(queued)
                  << "\nframes queued ahead a quarter second into each sound: " << Runs(queuedPlaying) << "\n";
        for (const std::string& line : grown) {
            std::cerr << line << "\n";
        }
        state.counters["played_median_ms"] = pacedtest::Percentile(playedMs, 0.5);
        state.counters["played_max_ms"] = *std::max_element(playedMs.begin(), playedMs.end());
        state.counters["first_press_ms"] = playedMs.front();
        // Handed to ALSA: the program's own part; the rest waited behind the queued audio.
        state.counters["handed_median_ms"] = pacedtest::Percentile(handedMs, 0.5);
        state.counters["handed_max_ms"] = *std::max_element(handedMs.begin(), handedMs.end());
        state.counters["presses_on_stopped_device"] = stopped;
        state.counters["queued_min"] = *std::min_element(queued.begin(), queued.end());
        state.counters["queued_max"] = *std::max_element(queued.begin(), queued.end());
        state.counters["queued_playing_min"] = *std::min_element(queuedPlaying.begin(), queuedPlaying.end());
        state.counters["queued_playing_max"] = *std::max_element(queuedPlaying.begin(), queuedPlaying.end());
        state.counters["queued_end"] = device->QueuedAheadFrames();
        // 0 for the device with rewind 0: the setting reached it.
        state.counters["takes_frames_back"] = device->Sink().TriedTakingFramesBack().value_or(true) ? 1 : 0;
        state.counters["dry_runs"] = static_cast<double>(watch.ranDry() - dryBefore);
        // With the bed, a sound plays all along.
        state.counters["dry_runs_in_sounds"] = static_cast<double>(bed ? watch.ranDry() - dryBefore : dryInSounds);
        state.counters["growths_logged"] =
            static_cast<double>(std::count_if(grown.begin(), grown.end(), [](const std::string& line) {
                return line.find("now queued ahead") != std::string::npos;
            }));
    }
    platform::SetLogSink(nullptr);
    platform::audio::AudioSystem::Install(nullptr);
    state.counters["load_before"] = loadBefore;
    state.counters["load_after"] = LoadAverage();
}

// PressesOnAStoppedDevice, PressesOverAPlayingSound (with the bed) and
// PressesAfterAStartupSound, on the device that cannot rewind (kind:1) and
// on one that can (kind:0).
void RegisterPresses(const char* name, Before before)
{
    benchmark::RegisterBenchmark(
        name, [before](benchmark::State& state) { PressEvery900Ms(state, state.range(0) == 0, before); })
        ->ArgName("kind")
        ->Arg(1)
        ->Arg(0)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

} // namespace

int main(int argc, char** argv)
{
    playbackbench::App();
    RegisterPresses("PressesOnAStoppedDevice", Before::Nothing);
    RegisterPresses("PressesOverAPlayingSound", Before::Bed);
    RegisterPresses("PressesAfterAStartupSound", Before::StartupSound);
    return speakerbench::RunBenchmarks(argc, argv);
}
