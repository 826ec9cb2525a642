// One engine tick with four outputs playing (target: under 1 ms): refill,
// meters, bars, counters and lamps of all four players, on null devices
// whose mixers follow a virtual clock that moves on by one tick per run.
#include "PlaybackBench.h"

#include "platform/base/VirtualClock.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace {

using namespace platform::audio;

void OneTickWithFourOutputsPlaying(benchmark::State& state)
{
    platform::VirtualClock clock;
    platform::ScopedVirtualClock installed(clock);
    AudioSystem::Install(AudioSystem::WithNullDevices(4, NullTiming::VirtualClock, {}, 0));
    std::vector<double> costs;
    {
        playbackbench::Rig rig;
        for (int output = 0; output < 4; ++output) {
            rig.Assign(output, 0, playbackbench::MakeWave("tick-" + std::to_string(output) + ".wav", 512LL << 20));
            rig.control.Pon(output, 0, 0, 0, 0);
            // Started apart, as sounds are: their disk reads fall in different ticks.
            for (int tick = 0; tick < 15; ++tick) {
                clock.Advance(50);
                rig.control.TimerUpdate_Timer();
            }
        }
        if (rig.window.State.SomethingPlays != 1) {
            state.SkipWithError("the outputs did not start");
        }
        costs.reserve(static_cast<std::size_t>(state.max_iterations));
        for (auto _ : state) {
            clock.Advance(50);
            AudioSystem::Current().Sync();
            const auto start = std::chrono::steady_clock::now();
            rig.control.TimerUpdate_Timer();
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            state.SetIterationTime(seconds);
            costs.push_back(seconds * 1e6);
        }
        if (rig.window.State.OutputState != MainState::PerOutput{1, 1, 1, 1}) {
            state.SkipWithError("an output stopped during the run");
        }
    }
    AudioSystem::Install(nullptr);
    std::sort(costs.begin(), costs.end());
    const auto at = [&costs](double fraction) {
        return costs[std::min(costs.size() - 1,
                              static_cast<std::size_t>(fraction * static_cast<double>(costs.size())))];
    };
    state.counters["p50_us"] = at(0.50);
    state.counters["p99_us"] = at(0.99);
    state.counters["max_us"] = costs.back();
    state.counters["p999_us"] = at(0.999);
    state.counters["over_1ms"] =
        static_cast<double>(std::count_if(costs.begin(), costs.end(), [](double us) { return us > 1000.0; }));
}
BENCHMARK(OneTickWithFourOutputsPlaying)->UseManualTime()->Iterations(2000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    playbackbench::App();
    return playbackbench::RunBenchmarks(argc, argv);
}
