// Presses in a row over a playing sound, through the program's own players,
// on the tests' own rate-paced ALSA device that cannot take audio back (48
// kHz, 256-frame periods), while the machine is as busy as a studio computer
// under a test run: the program (its thread and its mixer, the mixer at
// real-time priority where permitted) on two cores, a spinning thread on
// every other core and a writer of files beside them (64 MB at a time,
// flushed, over and over). Each round a quiet 20 s sound plays on output 1
// and output 2's first button, a loud half second, is pressed every 0.9 s
// over it, 20 times; then the device idles until it has stopped, and the next
// round starts it again.
// Counted: the presses, the device's dry runs while a sound played
// (expected 0) and those of the whole run, the underruns and queue growths
// logged (every such line on stderr), the rounds that found the device
// stopped, the mixer thread's page faults after the first round (minor and
// major; expected 0), the megabytes written, whether the mixer got real-time
// priority, and the machine's load (1-minute average) before and after.
// The argument is the number of rounds: 40 (800 presses, about 15 minutes)
// is the measure, 3 a quick look (--benchmark_filter=rounds:3).
#include "SpeakerBench.h"

#include "mainwindow/OutputPlayers.h"
#include "platform/audio/MixerThreadObserver.h"
#include "platform/base/LogSink.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

namespace {

std::atomic<int> mixerThread{0};

void NoteMixerThread()
{
    mixerThread.store(static_cast<int>(syscall(SYS_gettid)), std::memory_order_release);
}

const platform::audio::MixerThreadObserver observer{NoteMixerThread, nullptr, nullptr, nullptr};

double LoadAverage()
{
    double load = -1.0;
    std::ifstream("/proc/loadavg") >> load;
    return load;
}

// Minor and major page faults of a thread of this process (fields 10 and 12
// of its stat line, counted after the command's closing parenthesis).
std::pair<long long, long long> FaultsOf(int thread)
{
    std::ifstream file("/proc/self/task/" + std::to_string(thread) + "/stat");
    std::string line;
    std::getline(file, line);
    const std::size_t end = line.rfind(')');
    if (end == std::string::npos) {
        return {-1, -1};
    }
    std::istringstream fields(line.substr(end + 2));
    std::string field;
    long long minor = -1;
    long long major = -1;
    for (int index = 3; fields >> field; ++index) {
        if (index == 10) {
            minor = std::stoll(field);
        } else if (index == 12) {
            major = std::stoll(field);
            break;
        }
    }
    return {minor, major};
}

void PinTo(int first, int last)
{
    cpu_set_t set;
    CPU_ZERO(&set);
    for (int core = first; core <= last; ++core) {
        CPU_SET(core, &set);
    }
    pthread_setaffinity_np(pthread_self(), sizeof set, &set);
}

// Spinning threads on every core but the program's two, and a writer of
// files among them, until stopped.
class MachineLoad {
public:
    MachineLoad(int firstCore, int cores, const std::string& folder)
    {
        for (int core = firstCore; core < cores; ++core) {
            threads_.emplace_back([this, core] {
                PinTo(core, core);
                std::uint64_t spin = 0;
                while (running_.load(std::memory_order_relaxed)) {
                    spin = spin * 6364136223846793005ULL + 1;
                    benchmark::DoNotOptimize(spin);
                }
            });
        }
        threads_.emplace_back([this, firstCore, cores, folder] {
            PinTo(firstCore, cores - 1);
            std::vector<char> block(1 << 20, 'w');
            for (int file = 0; running_.load(std::memory_order_relaxed); ++file) {
                const std::string path = folder + "/written-" + std::to_string(file % 4);
                const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
                for (int mb = 0; fd >= 0 && mb < 64 && running_.load(std::memory_order_relaxed); ++mb) {
                    if (::write(fd, block.data(), block.size()) == static_cast<ssize_t>(block.size())) {
                        written_.fetch_add(1, std::memory_order_relaxed);
                    }
                }
                if (fd >= 0) {
                    ::fsync(fd);
                    ::close(fd);
                }
            }
        });
    }
    ~MachineLoad()
    {
        running_.store(false);
        for (std::thread& thread : threads_) {
            thread.join();
        }
    }
    MachineLoad(const MachineLoad&) = delete;
    MachineLoad& operator=(const MachineLoad&) = delete;
    long long MegabytesWritten() const { return written_.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> running_{true};
    std::atomic<long long> written_{0};
    std::vector<std::thread> threads_;
};

void PressesOverASoundUnderLoad(benchmark::State& state)
{
    const double loadBefore = LoadAverage();
    const int cores = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    // The program on cores 0 and 1 (its mixer is made there and stays), the
    // load on the others; a machine of two cores or fewer shares them.
    const int programCores = cores > 2 ? 2 : cores;
    PinTo(0, programCores - 1);
    MachineLoad load(cores > 2 ? programCores : 0, cores, playbackbench::Folder());
    platform::audio::SetMixerThreadObserver(&observer);
    if (!speakerbench::InstallPacedDevice(false)) {
        state.SkipWithError("the paced test device is not there (build the tests' ALSA device)");
        platform::audio::SetMixerThreadObserver(nullptr);
        return;
    }
    std::vector<std::string> logged;
    bool realtime = true;
    platform::SetLogSink([&logged, &realtime](std::string_view text, int) {
        realtime = realtime && text.find("without real-time priority") == std::string_view::npos;
        if (text.find("queued ahead") != std::string_view::npos || text.find("underrun") != std::string_view::npos) {
            logged.emplace_back(text);
        }
    });
    long presses = 0;
    long stoppedAtRound = 0;
    long long dryInSounds = 0;
    long long dryAll = 0;
    std::pair<long long, long long> faultsAfterFirstRound{-1, -1};
    std::pair<long long, long long> faultsAtEnd{-1, -1};
    {
        playbackbench::Rig rig;
        for (auto& player : rig.window.State.Players) {
            player->SetDeviceID(0);
        }
        // A 20 s bed (a megabyte of quiet noise, then silence that plays on
        // as sound) and the pressed half second.
        rig.Assign(0, 0, speakerbench::MakeWave("bed.wav", 44 + 48000 * 4 * 20, false));
        rig.Assign(1, 0, speakerbench::MakeWave("pressed.wav", 44 + 48000 * 4 / 2, true));
        ButtonGrid grid{rig.control};
        OutputPlayers::ReadyForFirstStart(rig.window.State.Players);
        const auto device = platform::audio::AudioSystem::Current().Output(0);
        pacedtest::Watch watch;
        if (!device || !pacedtest::FindWatch(watch)) {
            state.SkipWithError("the paced device did not open at the start");
            platform::SetLogSink(nullptr);
            platform::audio::SetMixerThreadObserver(nullptr);
            return;
        }
        const long long dryBefore = watch.ranDry();
        // Ticks as the engine does until the moment due, noting on stderr
        // when the device ran dry (the monotonic time and how far into the
        // sound and after the last press).
        long long drySeen = dryBefore;
        std::int64_t bedStart = 0;
        std::int64_t lastPress = 0;
        const auto tickUntil = [&](std::int64_t due) {
            while (speakerbench::NowNs() < due) {
                speakerbench::Tick(rig, 5);
                const long long dry = watch.ranDry();
                if (dry != drySeen) {
                    const std::int64_t now = speakerbench::NowNs();
                    std::fprintf(stderr, "ran dry at %.3f s, %.3f s into the sound, %.3f s after the last press\n",
                                 static_cast<double>(now) / 1e9, static_cast<double>(now - bedStart) / 1e9,
                                 static_cast<double>(now - lastPress) / 1e9);
                    drySeen = dry;
                }
            }
        };
        for (auto _ : state) {
            for (long round = 0; round < state.range(0); ++round) {
                // Idle until the device has stopped, as between sounds.
                for (int wait = 0; wait < 400 && !device->Asleep(); ++wait) {
                    speakerbench::Tick(rig, 5);
                }
                stoppedAtRound += device->Asleep() ? 1 : 0;
                const long long dryAtBed = watch.ranDry();
                bedStart = speakerbench::NowNs();
                rig.control.Pon(0, 0, 0, 0, 0);
                for (int press = 0; press < 20; ++press) {
                    tickUntil(bedStart + 500'000'000 + press * std::int64_t{900'000'000});
                    lastPress = speakerbench::NowNs();
                    grid.TolvButton_MouseUD(32, 1, false, 0);
                    ++presses;
                }
                // The bed's end, and what was queued behind it.
                tickUntil(bedStart + 20'300'000'000);
                dryInSounds += watch.ranDry() - dryAtBed;
                const int mixer = mixerThread.load(std::memory_order_acquire);
                if (round == 0 && mixer > 0) {
                    faultsAfterFirstRound = FaultsOf(mixer);
                }
            }
        }
        const int mixer = mixerThread.load(std::memory_order_acquire);
        faultsAtEnd = mixer > 0 ? FaultsOf(mixer) : faultsAtEnd;
        speakerbench::Tick(rig, 600);
        device->Sync();
        dryAll = watch.ranDry() - dryBefore;
        state.counters["queued_end"] = device->QueuedAheadFrames();
        state.counters["takes_frames_back"] = device->Sink().TriedTakingFramesBack().value_or(true) ? 1 : 0;
    }
    platform::SetLogSink(nullptr);
    platform::audio::AudioSystem::Install(nullptr);
    platform::audio::SetMixerThreadObserver(nullptr);
    for (const std::string& line : logged) {
        std::cerr << line << "\n";
    }
    state.counters["presses"] = static_cast<double>(presses);
    state.counters["dry_runs_in_sounds"] = static_cast<double>(dryInSounds);
    state.counters["dry_runs"] = static_cast<double>(dryAll);
    state.counters["lines_logged"] = static_cast<double>(logged.size());
    state.counters["rounds_on_stopped_device"] = static_cast<double>(stoppedAtRound);
    const bool counted = faultsAfterFirstRound.first >= 0 && faultsAtEnd.first >= 0;
    state.counters["mixer_minor_faults"] =
        counted ? static_cast<double>(faultsAtEnd.first - faultsAfterFirstRound.first) : -1.0;
    state.counters["mixer_major_faults"] =
        counted ? static_cast<double>(faultsAtEnd.second - faultsAfterFirstRound.second) : -1.0;
    state.counters["mixer_faults_first_round"] = static_cast<double>(faultsAfterFirstRound.first);
    state.counters["realtime_priority"] = realtime ? 1 : 0;
    state.counters["loaded_cores"] = cores > 2 ? cores - programCores : cores;
    state.counters["load_before"] = loadBefore;
    state.counters["load_after"] = LoadAverage();
}
BENCHMARK(PressesOverASoundUnderLoad)
    ->ArgName("rounds")
    ->Arg(3)
    ->Arg(40)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    playbackbench::App();
    return speakerbench::RunBenchmarks(argc, argv);
}
