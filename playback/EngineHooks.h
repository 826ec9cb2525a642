#pragma once

#include <functional>
#include <string_view>

// Steps of the engine tick and the play function that other parts of
// playback control and the remote control provide. The program sets every
// one (its composition checks that none is empty); tests that build
// playback control alone may leave some empty, and those are skipped.
struct EngineHooks {
    // The right-click menu the handlers left pending (shell).
    std::function<void()> ShowPendingPopup;
    // Serial ports, HID boxes, the mouse wheel, MIDI and contact inputs.
    std::function<void()> PollRemote;
    // The armed start timers, once per clock second.
    std::function<void()> CheckTimer;
    // One fade step of an output whose fade mode is on.
    std::function<void(int output)> ProcessFade;
    // The status bar, while nothing plays and the observation line is on.
    std::function<void()> DrawStatusBar;
    // A line of the observation log (only called with ShowObservation on).
    std::function<void(std::string_view text)> AddObservation;
};
