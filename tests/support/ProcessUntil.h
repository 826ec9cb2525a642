#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

namespace testsupport {

// Runs the event loop until done() or ms of real time have passed: what a
// real X server (its input, the window manager's answers) sends arrives
// through the loop. done() as it is then.
inline bool ProcessUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

} // namespace testsupport
