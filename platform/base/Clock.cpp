#include "platform/base/Clock.h"

#include <cmath>
#include <ctime>
#include <thread>

namespace platform {

LocalTime SystemClock::Now() const
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    // The engine's tick reads the time several times a second, and turning
    // a second into local time costs more than the rest of a reading: the
    // same second is the same local time.
    thread_local std::time_t convertedSecs = -1;
    thread_local std::tm local{};
    if (secs != convertedSecs) {
        localtime_r(&secs, &local);
        convertedSecs = secs;
    }
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    LocalTime result;
    result.date = sys_days{year{local.tm_year + 1900} / month{static_cast<unsigned>(local.tm_mon + 1)} /
                           day{static_cast<unsigned>(local.tm_mday)}};
    result.secondsOfDay = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
                          static_cast<double>(ms < 0 ? 0 : ms) / 1000.0;
    return result;
}

void SystemClock::Sleep(int ms)
{
    if (ms > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

namespace {
SystemClock systemClock;
Clock* installedClock = nullptr;
} // namespace

Clock& CurrentClock()
{
    return installedClock != nullptr ? *installedClock : systemClock;
}

void SetClock(Clock* clock)
{
    installedClock = clock;
}

double Timer()
{
    const double t = CurrentClock().Now().secondsOfDay;
    if (t < 0.0) {
        return 0.0;
    }
    return t > 86399.999 ? 86399.999 : t;
}

std::chrono::sys_days Today()
{
    return CurrentClock().Now().date;
}

std::int64_t ClockMs()
{
    const LocalTime now = CurrentClock().Now();
    return static_cast<std::int64_t>(now.date.time_since_epoch().count()) * 86'400'000 +
           std::llround(now.secondsOfDay * 1000.0);
}

} // namespace platform
