#include "platform/base/Hooks.h"

#include "platform/base/Clock.h"
#include "platform/base/Numbers.h"

#include <utility>
#include <vector>

namespace platform {

namespace {
PumpHook pumpHook;
PumpHook pumpWithoutInputHook;
RefillHook refillHook;
int inputHolds = 0;
std::vector<std::function<void()>> afterInputHold;
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
    ++inputHolds;
}

InputHold::~InputHold()
{
    if (--inputHolds > 0) {
        return;
    }
    // An action may take a hold of its own and queue more.
    const std::vector<std::function<void()>> actions = std::exchange(afterInputHold, {});
    for (const auto& action : actions) {
        action();
    }
}

bool InputHeld()
{
    return inputHolds > 0;
}

void AfterInputHold(std::function<void()> action)
{
    if (inputHolds > 0) {
        afterInputHold.push_back(std::move(action));
    } else {
        action();
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
