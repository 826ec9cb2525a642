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

// Whole days since 1970-01-01 up to an instant, rounded down before it.
std::int64_t DaysOf(std::int64_t totalMs)
{
    return totalMs >= 0 ? totalMs / msPerDay : -((-totalMs + msPerDay - 1) / msPerDay);
}

std::chrono::sys_days DateOf(std::int64_t totalMs)
{
    return std::chrono::sys_days{std::chrono::days{DaysOf(totalMs)}};
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
    const std::int64_t total = TotalMs();
    return LocalTime{DateOf(total), static_cast<double>(total - DaysOf(total) * msPerDay) / 1000.0};
}

std::int64_t VirtualClock::MsOfDay() const
{
    const std::int64_t total = TotalMs();
    return total - DaysOf(total) * msPerDay;
}

std::chrono::sys_days VirtualClock::Date() const
{
    return DateOf(TotalMs());
}

void VirtualClock::Sleep(int ms)
{
    if (ms > 0) {
        Advance(ms);
    }
}

void VirtualClock::Set(std::chrono::sys_days date, std::int64_t msOfDay)
{
    totalMs_ = static_cast<std::int64_t>(date.time_since_epoch().count()) * msPerDay + msOfDay;
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
    return totalMs_;
}

void VirtualClock::MoveTo(std::int64_t totalMs)
{
    Set(std::chrono::sys_days{}, totalMs);
}

} // namespace platform
