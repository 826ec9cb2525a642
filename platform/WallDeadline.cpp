#include "platform/WallDeadline.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace platform {

WallDeadline::WallDeadline(int budgetMs, TimeSource now)
    : now_(std::move(now)), end_(now_() + std::chrono::milliseconds(std::max(budgetMs, 0)))
{
}

std::chrono::nanoseconds WallDeadline::Left() const
{
    return std::max(end_ - now_(), TimePoint::duration::zero());
}

int WallDeadline::RemainingMs() const
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(Left()).count();
    return static_cast<int>(std::min<decltype(left)>(left, std::numeric_limits<int>::max()));
}

bool WallDeadline::Passed() const
{
    return Left() == std::chrono::nanoseconds::zero();
}

timeval WallDeadline::RemainingTimeout() const
{
    const auto left = std::max(std::chrono::ceil<std::chrono::microseconds>(Left()), std::chrono::microseconds(1));
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    timeval timeout{};
    timeout.tv_sec = static_cast<decltype(timeout.tv_sec)>(seconds.count());
    timeout.tv_usec = static_cast<decltype(timeout.tv_usec)>((left - seconds).count());
    return timeout;
}

} // namespace platform
