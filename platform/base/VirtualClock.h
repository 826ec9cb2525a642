#pragma once

#include "platform/base/Clock.h"

#include <cstdint>

namespace platform {

// Virtual time for tests: it stands still until a test advances it or the
// program sleeps on it. Time is kept in whole milliseconds so that tests can
// state exact instants (23:59:59.900) without rounding.
class VirtualClock final : public Clock {
public:
    VirtualClock();
    VirtualClock(std::chrono::sys_days date, std::int64_t msOfDay);

    LocalTime Now() const override;
    // Sleeping on virtual time moves it on, as if the sleep had taken place.
    void Sleep(int ms) override;

    void Set(std::chrono::sys_days date, std::int64_t msOfDay);
    // Moves time forward by ms, across midnight into the next dates as needed.
    void Advance(std::int64_t ms);

    std::int64_t MsOfDay() const { return msOfDay_; }
    std::chrono::sys_days Date() const { return date_; }

private:
    std::chrono::sys_days date_;
    std::int64_t msOfDay_ = 0;
};

// Installs a virtual clock for the life of the guard (one per test).
class ScopedVirtualClock {
public:
    explicit ScopedVirtualClock(VirtualClock& clock) { SetClock(&clock); }
    ~ScopedVirtualClock() { SetClock(nullptr); }
    ScopedVirtualClock(const ScopedVirtualClock&) = delete;
    ScopedVirtualClock& operator=(const ScopedVirtualClock&) = delete;
};

} // namespace platform
