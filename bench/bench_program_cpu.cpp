// The whole program's processor time, its own (getrusage, so that other work
// on the machine does not count), as a share of one core: four outputs, each
// a waveOut player on its own tests' rate-paced ALSA device at 48 kHz (through
// the program's audio layer, pointed at them with TOLV_ALSA_CONFIG), the
// engine's tick run at the interval it sets itself, as its timer would.
// Measured over five seconds with the four devices open and nothing playing
// (target: at most 0.5 %), and with a sound playing on every output (target:
// at most 2 %): over twenty seconds of steady playing, after the five
// seconds that follow the four starts, which are reported on their own
// because in them every player also reads the pages it keeps ahead (about
// twelve seconds of its sound). The main thread's share is reported too.
#include "PlaybackBench.h"

#include "platform/audio/OutputDevice.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "PacedTestDevice.h"

namespace {

using namespace platform::audio;

double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Four paced devices: output 0 is pcm.default, then the others by name.
bool InstallFourPacedDevices()
{
    if (!std::filesystem::exists(pacedtest::Device)) {
        return false;
    }
    const std::string config = playbackbench::Folder() + "/asound.conf";
    std::ofstream file(config);
    file << pacedtest::PacedDeviceConfig("default", true);
    for (int d = 2; d <= 4; ++d) {
        file << "pcm.out" << d << " { type tolvtest paced 1 formats \"S32_LE\" rate 48000 }\n";
    }
    file.close();
    setenv("TOLV_ALSA_CONFIG", config.c_str(), 1);
    unsetenv("TOLV_AUDIO");
    AudioSystem::Install(AudioSystem::FromEnvironment());
    if (AudioSystem::Current().IsNull() || AudioSystem::Current().OutputCount() != 4) {
        return false;
    }
    for (int d = 0; d < 4; ++d) {
        if (!AudioSystem::Current().Output(d)) {
            return false;
        }
    }
    return true;
}

struct Share {
    double process = 0.0;
    double mainThread = 0.0;
};

// Some seconds of the program: the engine's tick whenever its timer would fire.
Share Run(playbackbench::Rig& rig, int seconds)
{
    const double processBefore = CpuSeconds(RUSAGE_SELF);
    const double mainBefore = CpuSeconds(RUSAGE_THREAD);
    const auto start = std::chrono::steady_clock::now();
    const auto until = start + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < until) {
        const int interval = rig.window.TimerUpdate.Interval();
        const bool ticking = interval > 0 && rig.window.TimerUpdate.Enabled();
        std::this_thread::sleep_for(std::chrono::milliseconds(ticking ? interval : 50));
        if (ticking) {
            rig.control.TimerUpdate_Timer();
        }
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return Share{(CpuSeconds(RUSAGE_SELF) - processBefore) / wall, (CpuSeconds(RUSAGE_THREAD) - mainBefore) / wall};
}

void ProgramCpuFourPacedDevices(benchmark::State& state)
{
    if (!InstallFourPacedDevices()) {
        state.SkipWithError("the four paced test devices do not open (build the tests' ALSA device)");
        return;
    }
    Share idle;
    Share starting;
    Share playing;
    int voices = 0;
    {
        playbackbench::Rig rig;
        for (int output = 0; output < 4; ++output) {
            rig.window.State.PlayerAt(output).SetDeviceID(output);
            rig.Assign(output, 0, playbackbench::MakeWave("cpu-" + std::to_string(output) + ".wav", 512LL << 20));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        for (auto _ : state) {
            idle = Run(rig, 5);
            for (int output = 0; output < 4; ++output) {
                rig.control.Pon(output, 0, 0, 0, 0);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            starting = Run(rig, 5);
            playing = Run(rig, 20);
        }
        for (int d = 0; d < 4; ++d) {
            voices += AudioSystem::Current().Output(d)->VoiceCount() > 0 ? 1 : 0;
        }
        if (rig.window.State.OutputState != MainState::PerOutput{1, 1, 1, 1}) {
            state.SkipWithError("an output did not play");
        }
    }
    AudioSystem::Install(nullptr);
    state.counters["idle_cpu_percent_of_one_core"] = idle.process * 100.0;
    state.counters["idle_main_thread_percent"] = idle.mainThread * 100.0;
    state.counters["first_5s_playing_cpu_percent_of_one_core"] = starting.process * 100.0;
    state.counters["playing_cpu_percent_of_one_core"] = playing.process * 100.0;
    state.counters["playing_main_thread_percent"] = playing.mainThread * 100.0;
    state.counters["devices_with_a_voice"] = voices;
}
BENCHMARK(ProgramCpuFourPacedDevices)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    playbackbench::App();
    return playbackbench::RunBenchmarks(argc, argv);
}
