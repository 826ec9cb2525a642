// What an operator hears after letting go of a Normal button's key
// (PressToPlay 0, so the sound starts on the key's release), beside the
// mouse release of bench_button_to_speaker, in one process on an X server
// of the benchmark's own (Xvfb): the main window has the keyboard and
// output 4 is the key target; its button-1 key ("1") is pressed and
// released through XTest, as a keyboard would, 100 times. The figures run
// from the release's arrival in the program (for the click: the release
// handler's call, as the button makes it) to the first sample played by the
// tests' paced ALSA device, the setting of bench_button_to_speaker (1 MB
// file). Goal: the key's median within 1 ms of the click's. Also reported:
// the X server's hop (XTest's send to the arrival) and whether the server
// granted detectable auto-repeat (without it a release waits to be told
// from a repeat).
#include "SpeakerBench.h"

#include "foundation/ButtonKeys.h"
#include "platform/DetectableAutoRepeat.h"
#include "playback/Keyboard.h"
#include "playback/Pages.h"
#include "tests/support/XTestInput.h"
#include "tests/support/XvfbServer.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using speakerbench::FiredButton;
using speakerbench::NowNs;
using testsupport::KeyArrivals;

// Why there is no X server to run on; empty when there is one.
std::string& NoXServer()
{
    static std::string why;
    return why;
}

bool Prepare(benchmark::State& state)
{
    if (!NoXServer().empty()) {
        state.SkipWithError(NoXServer().c_str());
        return false;
    }
    if (!speakerbench::InstallPacedDevice()) {
        state.SkipWithError("the paced test device is not there (build the tests' ALSA device)");
        return false;
    }
    return true;
}

// Handles the window system's events until done holds; false after a second.
bool PumpUntil(const std::function<bool()>& done)
{
    const std::int64_t until = NowNs() + 1'000'000'000;
    while (!done()) {
        if (NowNs() > until) {
            return false;
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    return true;
}

void ClickReleaseToFirstSamplePlayed(benchmark::State& state)
{
    if (!Prepare(state)) {
        return;
    }
    {
        FiredButton fired(speakerbench::OneMegabyte);
        speakerbench::MeasureFires(state, fired, [&fired] {
            const std::int64_t release = NowNs();
            fired.grid.TolvButton_MouseUD(FiredButton::Index, 1, false, 0);
            return release;
        });
    }
    platform::audio::AudioSystem::Install(nullptr);
}
BENCHMARK(ClickReleaseToFirstSamplePlayed)->Iterations(100)->Unit(benchmark::kMillisecond)->UseRealTime();

void KeyReleaseToFirstSamplePlayed(benchmark::State& state)
{
    if (!Prepare(state)) {
        return;
    }
    {
        testsupport::XTestInput input;
        if (!input.Ready()) {
            state.SkipWithError(input.Why().c_str());
            return;
        }
        FiredButton fired(speakerbench::OneMegabyte);
        Pages pages(fired.rig.control, fired.grid);
        Keyboard keyboard(fired.rig.control, pages);
        keyboard.Attach();
        parms::SetDefaultButtonKeys(FiredButton::Output, 8);
        // Latin-1 keys have their character's code as their X keysym.
        const auto key = static_cast<unsigned long>(parms::KeyAssign[FiredButton::Output]);
        fired.rig.window.State.KeyTarget = FiredButton::Output;
        fired.rig.window.show();
        fired.rig.window.activateWindow();
        if (!PumpUntil([&fired] { return fired.rig.window.isActiveWindow(); })) {
            state.SkipWithError("the main window did not get the keyboard");
            return;
        }

        int presses = 0;
        std::int64_t released = -1;
        // Asked before the window's own key preview.
        KeyArrivals arrivals([&](const KeyArrivals::Arrival& arrival) {
            if (arrival.type == QEvent::KeyPress) {
                ++presses;
            } else {
                released = arrival.monotonicNs;
            }
        });
        std::vector<double> hopMs;
        const bool measured = speakerbench::MeasureFires(state, fired, [&] {
            const int before = presses;
            input.Key(key, true);
            if (!PumpUntil([&] { return presses > before; })) {
                return std::int64_t{-1};
            }
            released = -1;
            const std::int64_t sent = NowNs();
            input.Key(key, false);
            if (!PumpUntil([&] { return released >= 0; })) {
                return std::int64_t{-1};
            }
            hopMs.push_back(static_cast<double>(released - sent) / 1e6);
            return released;
        });
        if (measured) {
            state.counters["x_hop_median_ms"] = pacedtest::Percentile(hopMs, 0.5);
            state.counters["detectable_autorepeat"] = platform::RequestDetectableAutoRepeat() ? 1 : 0;
        }
    }
    platform::audio::AudioSystem::Install(nullptr);
}
BENCHMARK(KeyReleaseToFirstSamplePlayed)->Iterations(100)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    std::string display;
    const pid_t server = testsupport::StartXvfb(display, NoXServer());
    if (server > 0) {
        setenv("DISPLAY", display.c_str(), 1);
        unsetenv("WAYLAND_DISPLAY");
        benchsetup::AppOn("xcb");
    } else {
        playbackbench::App();
    }
    // The X server ends with this process, after the application is gone.
    return speakerbench::RunBenchmarks(argc, argv);
}
