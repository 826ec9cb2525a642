#pragma once

#include "platform/base/Clock.h"

#include <atomic>
#include <cstdint>
#include <optional>

namespace platform {

// Something that falls due on virtual time: a window timer while a test runs
// on a virtual clock. Advancing the clock in force runs every due timer at its
// instant, earliest first (ties in the order the timers were attached).
class VirtualTimer {
public:
    virtual ~VirtualTimer() = default;
    // The instant (VirtualClock::TotalMs) it falls due next; none while idle.
    // Fire must move it past the instant it fired at, or clear it.
    virtual std::optional<std::int64_t> DueAt() const = 0;
    virtual void Fire() = 0;
};
void AttachVirtualTimer(VirtualTimer& timer);
void DetachVirtualTimer(VirtualTimer& timer);

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
    // While this clock is in force, attached timers fire at their instants on
    // the way (a timer may sleep in turn, moving time on inside its handler).
    void Advance(std::int64_t ms);
    // Milliseconds since 1970-01-01 00:00 of the clock's own calendar.
    std::int64_t TotalMs() const;

    std::int64_t MsOfDay() const;
    std::chrono::sys_days Date() const;

private:
    void MoveTo(std::int64_t totalMs);

    // One count, so that a player's own thread reading the time (a feed
    // timing a silence) never sees half a move of the test's thread.
    std::atomic<std::int64_t> totalMs_{0};
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
