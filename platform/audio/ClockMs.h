#pragma once

#include "platform/base/Clock.h"

#include <cmath>
#include <cstdint>

namespace platform::audio {

// Milliseconds of the installed clock (virtual in tests) on a scale that runs
// on across midnight.
inline std::int64_t ClockMs()
{
    const LocalTime now = CurrentClock().Now();
    return static_cast<std::int64_t>(now.date.time_since_epoch().count()) * 86'400'000 +
           std::llround(now.secondsOfDay * 1000.0);
}

} // namespace platform::audio
