#include "platform/LostMapRetry.h"

#include "platform/ServerState.h"

#include <QWidget>

#include <algorithm>

namespace platform {

LostMapRetry::LostMapRetry(QWidget& window) : QObject(&window), window_(window)
{
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { Check(); });
}

void LostMapRetry::Start()
{
    intervalMs_ = FirstCheckMs;
    timer_.start(intervalMs_);
}

void LostMapRetry::Stop()
{
    timer_.stop();
}

void LostMapRetry::Check()
{
    if (!window_.isVisible()) {
        return;
    }
    const std::optional<bool> taken = ServerWindowTaken(window_);
    if (!taken || *taken) {
        return;
    }
    // A window manager that is slow to answer finds the request twice: it
    // manages the window at the first and has nothing left to do at the next.
    ServerMapAgain(window_);
    intervalMs_ = std::min(2 * intervalMs_, LongestIntervalMs);
    timer_.start(intervalMs_);
}

} // namespace platform
