#pragma once

// Waits on the machine's clock for a state that another thread, process or
// X server brings about. With every core busy several times over, any of
// them may take tens of seconds to get there, so the bound is generous: it
// stays well inside a test process's time limit and only turns a state that
// never comes into a failure that says what did not happen.
#include <chrono>
#include <functional>
#include <thread>

namespace testsupport {

inline constexpr int RealWaitMs = 120000;

// The bound as a duration, for condition variables and futures.
inline constexpr std::chrono::milliseconds RealWait{RealWaitMs};

// Looks at done() every millisecond until it holds or ms of real time have
// passed; done() as it is then. For what other threads do, without Qt's
// event loop; the pause between looks leaves a busy machine's cores to them.
inline bool PollUntil(const std::function<bool()>& done, int ms = RealWaitMs)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) {
            return done();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace testsupport
