#pragma once

#include <functional>

namespace platform {

// Pump: dispatches pending window events once (the program installs Qt's
// processEvents). Every wait of the program calls it, so timers, clicks and
// keys run nested inside waits as the program expects.
using PumpHook = std::function<void()>;
void SetPumpHook(PumpHook hook);
void Pump();
// Dispatches pending window events once but holds clicks and keys back until
// the next Pump: for a wait inside a request that a nested click could
// undo (a close or a rebuild destroying the player that waits). Pump when no
// such hook is installed.
void SetPumpWithoutInputHook(PumpHook hook);
void PumpWithoutInput();

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
