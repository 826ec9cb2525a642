#pragma once

#include <chrono>
#include <functional>
#include <sys/time.h>

namespace platform {

// A limit in wall time on waiting for another process, which runs in real
// time whatever clock the program uses (the virtual clock of a test cannot
// make a socket answer sooner). The time source can be replaced, so what is
// left is computed the same way in a test that never waits.
class WallDeadline {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using TimeSource = std::function<TimePoint()>;

    explicit WallDeadline(
        int budgetMs, TimeSource now = [] { return std::chrono::steady_clock::now(); });

    // Whole milliseconds left, rounded up so that a wait never ends before
    // the deadline; 0 once it has passed.
    int RemainingMs() const;
    bool Passed() const;
    // What is left as a socket time-out. Never all zero, which the kernel
    // would take for no time-out at all.
    timeval RemainingTimeout() const;

private:
    std::chrono::nanoseconds Left() const;

    TimeSource now_;
    TimePoint end_;
};

} // namespace platform
