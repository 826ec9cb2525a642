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
#include "SpeakerBench.h"

#include <benchmark/benchmark.h>

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

} // namespace

int main(int argc, char** argv)
{
    playbackbench::App();
    return speakerbench::RunBenchmarks(argc, argv);
}
