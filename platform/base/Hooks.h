#pragma once

#include <functional>

namespace platform {

// Pump: dispatches pending window events once (the program installs Qt's
// processEvents). Every wait of the program calls it, so timers, clicks and
// keys run nested inside waits as the program expects.
using PumpHook = std::function<void()>;
void SetPumpHook(PumpHook hook);
void Pump();
// The pump used while input is held: window events without clicks, keys and
// menu activations, which stay queued in order. Without it (a test's own
// pump hook) Pump calls the pump hook while input is held too.
void SetPumpWithoutInputHook(PumpHook hook);

// While an InputHold lives no pump dispatches input, whoever calls it: a
// press whose player waits for its file takes one, so no click, key, menu or
// drop can open a dialog or close the player under it. Holds nest; what was
// held is carried out after the last one ends.
class InputHold {
public:
    InputHold();
    ~InputHold();
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;
};
bool InputHeld();
// Runs action once the last hold has ended, or at once when none is held:
// input the platform keeps aside itself (a drop) is handed back there.
void AfterInputHold(std::function<void()> action);

// Refill: feeds the sample-position players while the engine tick itself
// waits, so that no wait longer than the queued audio turns into dead air.
// Empty until the engine installs it; every wait calls it at least every
// RefillIntervalMs.
using RefillHook = std::function<void()>;
inline constexpr int RefillIntervalMs = 20;
void SetRefillHook(RefillHook hook);
void Refill();
// Runs Refill when RefillIntervalMs or more have passed on the clock since the
// last refill (or the clock went back); waits call it on every turn.
void RefillIfDue();

} // namespace platform
