#pragma once

#include <functional>
#include <string_view>

// Steps of the engine tick and the play function that other parts of
// playback control and the remote control provide. Each is optional: an
// empty one is skipped, so the tick runs with whatever this build has.
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
