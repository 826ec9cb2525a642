#include "platform/base/Hooks.h"

#include "platform/base/Clock.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <utility>

namespace platform {

namespace {
PumpHook pumpHook;
PumpHook pumpWithoutInputHook;
RefillHook refillHook;
int inputHolds = 0;
InputHoldHook inputHoldHook;
int presses = 0;
std::int64_t pressEndMs = 0;
int pressLimitMs = 0;
bool refilling = false;
double lastRefill = -1.0;
} // namespace

void SetPumpHook(PumpHook hook)
{
    pumpHook = std::move(hook);
}

void Pump()
{
    if (inputHolds > 0 && pumpWithoutInputHook) {
        pumpWithoutInputHook();
    } else if (pumpHook) {
        pumpHook();
    }
}

void SetPumpWithoutInputHook(PumpHook hook)
{
    pumpWithoutInputHook = std::move(hook);
}

InputHold::InputHold()
{
    if (++inputHolds == 1 && inputHoldHook) {
        inputHoldHook(true);
    }
}

InputHold::~InputHold()
{
    if (--inputHolds == 0 && inputHoldHook) {
        inputHoldHook(false);
    }
}

bool InputHeld()
{
    return inputHolds > 0;
}

void SetInputHoldHook(InputHoldHook hook)
{
    inputHoldHook = std::move(hook);
}

PressDeadline::PressDeadline(int limitMs)
{
    if (presses++ == 0) {
        pressLimitMs = std::max(limitMs, 0);
        pressEndMs = ClockMs() + pressLimitMs;
    }
}

PressDeadline::~PressDeadline()
{
    --presses;
}

int PressBoundMs(int limitMs)
{
    if (presses == 0) {
        return limitMs;
    }
    // A clock set back does not lengthen the press beyond its own limit.
    const std::int64_t left = std::clamp<std::int64_t>(pressEndMs - ClockMs(), 0, pressLimitMs);
    return static_cast<int>(std::min<std::int64_t>(left, limitMs));
}

void SetRefillHook(RefillHook hook)
{
    refillHook = std::move(hook);
}

void Refill()
{
    // A refill may itself wait (a player's mute tail); it must not recurse.
    if (refillHook && !refilling) {
        refilling = true;
        refillHook();
        refilling = false;
    }
}

} // namespace platform

namespace platform {

void RefillIfDue()
{
    const double now = Timer();
    const std::int64_t sinceMs = numeric::RoundToInt64((now - lastRefill) * 1000.0);
    if (lastRefill < 0.0 || sinceMs < 0 || sinceMs >= RefillIntervalMs) {
        lastRefill = now;
        Refill();
    }
}

} // namespace platform
