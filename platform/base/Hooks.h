#pragma once

#include <functional>

namespace platform {

// Pump: dispatches pending window events once (the program installs Qt's
// processEvents). Every wait of the program calls it, so timers and the
// window system's messages run nested inside waits as the program expects;
// operator input only while no InputHold lives.
using PumpHook = std::function<void()>;
void SetPumpHook(PumpHook hook);
void Pump();
// A pump for waits while input is held, for tests that tell them apart; the
// program installs none (its input gate keeps the input), and without one
// Pump calls the pump hook then too.
void SetPumpWithoutInputHook(PumpHook hook);

// A press holds input from its start until it returns: while an InputHold
// lives, no pump of any kind carries out a click, key, menu, close or drop,
// so nothing can open a dialog or close a player under the press. Holds
// nest. The window layer keeps what comes meanwhile and carries it out after
// the last hold, in its order.
class InputHold {
public:
    InputHold();
    ~InputHold();
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;
};
bool InputHeld();
// Told true as the first hold begins and false as the last one ends.
using InputHoldHook = std::function<void(bool held)>;
void SetInputHoldHook(InputHoldHook hook);

// A press keeps the operator's input waiting limitMs at most on the
// program's clock, whatever its files' shares do: every wait inside it (a
// server file call, a graph's preparation) ends by the press's deadline, and
// one cut by it counts as timed out. Nested presses keep the first deadline.
class PressDeadline {
public:
    explicit PressDeadline(int limitMs);
    ~PressDeadline();
    PressDeadline(const PressDeadline&) = delete;
    PressDeadline& operator=(const PressDeadline&) = delete;
};
// How long a wait that begins now may take: limitMs outside a press; inside
// one, no longer than what is left of it (0 once its time is up).
int PressBoundMs(int limitMs);

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
