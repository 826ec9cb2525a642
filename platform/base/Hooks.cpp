#include "platform/base/Hooks.h"

#include "platform/base/Clock.h"
#include "platform/base/Numbers.h"

#include <utility>

namespace platform {

namespace {
PumpHook pumpHook;
PumpHook pumpWithoutInputHook;
RefillHook refillHook;
bool refilling = false;
double lastRefill = -1.0;
} // namespace

void SetPumpHook(PumpHook hook)
{
    pumpHook = std::move(hook);
}

void Pump()
{
    if (pumpHook) {
        pumpHook();
    }
}

void SetPumpWithoutInputHook(PumpHook hook)
{
    pumpWithoutInputHook = std::move(hook);
}

void PumpWithoutInput()
{
    if (pumpWithoutInputHook) {
        pumpWithoutInputHook();
    } else {
        Pump();
    }
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
