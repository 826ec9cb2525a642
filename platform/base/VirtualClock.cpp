#include "platform/base/VirtualClock.h"

#include <algorithm>
#include <vector>

namespace platform {

namespace {

constexpr std::int64_t msPerDay = 86'400'000;

std::vector<VirtualTimer*>& AttachedTimers()
{
    static std::vector<VirtualTimer*> timers;
    return timers;
}

// The attached timer that falls due first, no later than limit.
VirtualTimer* NextDueTimer(std::int64_t limit)
{
    VirtualTimer* next = nullptr;
    std::int64_t nextDue = limit;
    for (VirtualTimer* timer : AttachedTimers()) {
        const std::optional<std::int64_t> due = timer->DueAt();
        if (due && (*due < nextDue || (next == nullptr && *due == nextDue))) {
            next = timer;
            nextDue = *due;
        }
    }
    return next;
}

} // namespace

void AttachVirtualTimer(VirtualTimer& timer)
{
    auto& timers = AttachedTimers();
    if (std::find(timers.begin(), timers.end(), &timer) == timers.end()) {
        timers.push_back(&timer);
    }
}

void DetachVirtualTimer(VirtualTimer& timer)
{
    auto& timers = AttachedTimers();
    timers.erase(std::remove(timers.begin(), timers.end(), &timer), timers.end());
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
    const std::int64_t target = TotalMs() + ms;
    if (&CurrentClock() == this) {
        while (VirtualTimer* timer = NextDueTimer(target)) {
            const std::int64_t due = timer->DueAt().value_or(target);
            if (due > TotalMs()) {
                MoveTo(due);
            }
            timer->Fire();
        }
    }
    if (TotalMs() < target) {
        MoveTo(target);
    }
}

std::int64_t VirtualClock::TotalMs() const
{
    return static_cast<std::int64_t>(date_.time_since_epoch().count()) * msPerDay + msOfDay_;
}

void VirtualClock::MoveTo(std::int64_t totalMs)
{
    Set(std::chrono::sys_days{}, totalMs);
}

} // namespace platform
