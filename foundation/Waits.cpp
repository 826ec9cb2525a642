#include "foundation/Waits.h"

#include "platform/base/Clock.h"
#include "platform/base/Hooks.h"

#include <algorithm>

namespace basic {

void WaitMs(int ms, int sleepMs)
{
    if (ms <= 0) {
        platform::Pump();
        return;
    }
    const double limit = ms / 1000.0;
    const double start = platform::Timer();
    const int step = sleepMs > 0 ? sleepMs : 1;
    while (true) {
        platform::Pump();
        platform::RefillIfDue();
        const double now = platform::Timer();
        const double elapsed = now >= start ? now - start : now + 86400.0 - start;
        if (elapsed > limit) {
            return;
        }
        // A long sleep is cut into pieces so that the players are still fed.
        for (int left = step; left > 0; left -= platform::RefillIntervalMs) {
            platform::CurrentClock().Sleep(std::min(left, platform::RefillIntervalMs));
            if (left > platform::RefillIntervalMs) {
                platform::RefillIfDue();
            }
        }
    }
}

double ElapsedSince(double start, int noWrap)
{
    const double now = platform::Timer();
    double d = now - start;
    if (noWrap == 0 && d < 0.0) {
        d = d >= -1.0 ? 0.0 : d + 86400.0;
        if (d < 0.0) {
            d = 0.0;
        }
    }
    return d;
}

} // namespace basic
