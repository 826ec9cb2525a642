// From a press to the first frame of its sound handed to the device (target:
// at most one mixer period plus 5 ms, the same for a 1 MB and a 2 GB file):
// the play function on output 4 while outputs 1 to 3 play, the file in the
// page cache, null devices whose mixers run at the real rate. The press is
// the play function's call, as the sound-button handler makes it.
#include "PlaybackBench.h"

#include "platform/audio/NullSink.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

using namespace platform::audio;

constexpr std::int64_t OneMegabyte = 1 << 20;

void PressToFirstFrame(benchmark::State& state)
{
    AudioSystem::Install(AudioSystem::WithNullDevices(4, NullTiming::RealTime, {}, 1));
    double frameSum = 0.0;
    double worst = 0.0;
    double ponSum = 0.0;
    int trials = 0;
    {
        playbackbench::Rig rig;
        for (int output = 0; output < 3; ++output) {
            rig.Assign(output, 0,
                       playbackbench::MakeWave("other-" + std::to_string(output) + ".wav", 512 * OneMegabyte));
            rig.control.Pon(output, 0, 0, 0, 0);
        }
        const std::string path = playbackbench::MakeWave("pressed.wav", state.range(0) * OneMegabyte);
        rig.Assign(3, 0, path);
        NullSink* sink = AudioSystem::Current().NullOutput(4);
        Player& player = rig.window.State.PlayerAt(3);
        // Once, so the file is in the page cache.
        rig.control.Pon(3, 0, 0, 0, 0);
        for (auto _ : state) {
            player.StopIO(1);
            rig.control.TimerUpdate_Timer();
            std::this_thread::sleep_for(std::chrono::microseconds(6000 + (trials * 397) % 5333));
            std::uint64_t before = 0;
            std::uint64_t after = 1;
            while (before != after) {
                before = sink->FramesWritten();
                sink->TakePlayed();
                after = sink->FramesWritten();
            }
            const std::uint64_t atPress = sink->FramesWritten();
            const auto start = std::chrono::steady_clock::now();
            rig.control.Pon(3, 0, 0, 0, 0);
            ponSum += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            const std::vector<float> played = sink->TakePlayed();
            const auto first = std::find_if(played.begin(), played.end(), [](float v) { return v != 0.0F; });
            if (first == played.end()) {
                state.SkipWithError("no sound");
                break;
            }
            const double frames = static_cast<double>(before) + static_cast<double>((first - played.begin()) / 2) -
                                  static_cast<double>(atPress);
            frameSum += frames;
            worst = std::max(worst, frames);
            ++trials;
            // The other outputs are fed as the tick does.
            rig.control.TimerUpdate_Timer();
        }
        if (rig.window.State.OutputState[0] != 1 || rig.window.State.OutputState[2] != 1) {
            state.SkipWithError("an output that should play stopped");
        }
    }
    AudioSystem::Install(nullptr);
    const double rate = 48.0; // frames per ms
    state.counters["mean_ms"] = trials > 0 ? frameSum / trials / rate : 0.0;
    state.counters["max_ms"] = worst / rate;
    state.counters["pon_us"] = trials > 0 ? ponSum / trials : 0.0;
}
BENCHMARK(PressToFirstFrame)->Arg(1)->Arg(2048)->ArgName("MB")->Iterations(100)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    playbackbench::App();
    return playbackbench::RunBenchmarks(argc, argv);
}
