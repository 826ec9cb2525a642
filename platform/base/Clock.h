#pragma once

#include <chrono>
#include <cstdint>

namespace platform {

// A moment as the program sees it: the local calendar date and the seconds
// since local midnight (with milliseconds), as the old seconds-since-midnight
// timer gave them.
struct LocalTime {
    std::chrono::sys_days date{};
    double secondsOfDay = 0.0;
};

// Every reading of the time and every sleep of the program goes through one
// injectable clock, so that tests run on virtual time and never sleep.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() const = 0;
    virtual void Sleep(int ms) = 0;
};

// The wall clock of the machine in local time.
class SystemClock final : public Clock {
public:
    LocalTime Now() const override;
    void Sleep(int ms) override;
};

// The clock in force; the system clock unless a test installed another one.
Clock& CurrentClock();
// Installs a clock (null restores the system clock). The caller keeps it alive.
void SetClock(Clock* clock);

// Seconds since local midnight, 0 .. 86399.999.
double Timer();
// The local date.
std::chrono::sys_days Today();
// Milliseconds of the clock in force on a scale that runs on across
// midnight, for intervals and deadlines.
std::int64_t ClockMs();

} // namespace platform
