#pragma once

#include <cstdint>
#include <ctime>

namespace platform::audio {

// Nanoseconds of the machine's monotonic clock: what a sound card's time is
// measured on, whatever clock the program runs on.
inline std::int64_t MonotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

} // namespace platform::audio
