// What an operator hears after firing a Normal button (PressToPlay 0, so the
// sound starts on the mouse release): from the release handler's call, as
// the button makes it, to the first sample played by the tests' own
// rate-paced ALSA device at 48 kHz, through the program's own audio layer
// pointed at that device with TOLV_ALSA_CONFIG. Four outputs play on the one
// device: three keep playing quiet sounds while output 4's button is fired
// 100 times, for a 1 MB and a 2 GB (sparse) file, the file in the page cache.
// Targets: median at most 6 ms, maximum at most 11 ms, equal for both files.
// Also reported: release -> first loud sample handed to ALSA, and the period,
// queued-ahead audio and start margin the device ran with.
#include "SpeakerBench.h"

#include <benchmark/benchmark.h>

namespace {

using speakerbench::FiredButton;

void ReleaseToFirstSamplePlayed(benchmark::State& state)
{
    if (!speakerbench::InstallPacedDevice()) {
        state.SkipWithError("the paced test device is not there (build the tests' ALSA device)");
        return;
    }
    {
        FiredButton fired(state.range(0) * speakerbench::OneMegabyte);
        speakerbench::MeasureFires(state, fired, [&fired] {
            const std::int64_t release = speakerbench::NowNs();
            fired.grid.TolvButton_MouseUD(FiredButton::Index, 1, false, 0);
            return release;
        });
    }
    platform::audio::AudioSystem::Install(nullptr);
}
BENCHMARK(ReleaseToFirstSamplePlayed)
    ->Arg(1)
    ->Arg(2048)
    ->ArgName("MB")
    ->Iterations(100)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    playbackbench::App();
    return speakerbench::RunBenchmarks(argc, argv);
}
