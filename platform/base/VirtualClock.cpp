#include "platform/base/VirtualClock.h"

namespace platform {

namespace {
constexpr std::int64_t msPerDay = 86'400'000;
}

VirtualClock::VirtualClock()
    : VirtualClock(std::chrono::sys_days{std::chrono::year{2026} / 1 / 1}, 12 * 3'600'000)
{
}

VirtualClock::VirtualClock(std::chrono::sys_days date, std::int64_t msOfDay)
{
    Set(date, msOfDay);
}

LocalTime VirtualClock::Now() const
{
    return LocalTime{date_, static_cast<double>(msOfDay_) / 1000.0};
}

void VirtualClock::Sleep(int ms)
{
    if (ms > 0) {
        Advance(ms);
    }
}

void VirtualClock::Set(std::chrono::sys_days date, std::int64_t msOfDay)
{
    const std::int64_t days = msOfDay >= 0 ? msOfDay / msPerDay : -((-msOfDay + msPerDay - 1) / msPerDay);
    date_ = date + std::chrono::days{days};
    msOfDay_ = msOfDay - days * msPerDay;
}

void VirtualClock::Advance(std::int64_t ms)
{
    if (ms <= 0) {
        return;
    }
    msOfDay_ += ms;
    while (msOfDay_ >= msPerDay) {
        msOfDay_ -= msPerDay;
        date_ += std::chrono::days{1};
    }
}

} // namespace platform
