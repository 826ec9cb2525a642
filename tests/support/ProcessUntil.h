#pragma once

#include "support/RealWait.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>
#include <thread>

namespace testsupport {

// Takes step() until done() or ms of real time have passed; done() as it is
// then.
inline bool StepUntil(const std::function<bool()>& done, int ms, const std::function<void()>& step)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < ms) {
        step();
    }
    return done();
}

// Runs the event loop until done() or ms of real time have passed: what a
// real X server (its input, the window manager's answers) sends arrives
// through the loop. done() as it is then.
inline bool ProcessUntil(const std::function<bool()>& done, int ms)
{
    return StepUntil(done, ms, [] { QCoreApplication::processEvents(QEventLoop::AllEvents, 20); });
}

// Waits without the event loop until done() or ms of real time have passed:
// for what another process does that sends this one nothing, where running
// the loop meanwhile would act on the program's own windows.
inline bool YieldUntil(const std::function<bool()>& done, int ms)
{
    return StepUntil(done, ms, [] { std::this_thread::yield(); });
}

} // namespace testsupport
