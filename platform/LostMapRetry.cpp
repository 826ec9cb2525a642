#include "platform/LostMapRetry.h"

#include "platform/ServerState.h"

#include <QCoreApplication>
#include <QWidget>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

// The start of an X unmap event as the X protocol lays it out: its type (the
// top bit marks a sent event), a pad byte, a sequence number, the window it
// was reported to, the window unmapped.
struct XUnmapEventHead {
    std::uint8_t type;
    std::uint8_t pad;
    std::uint16_t sequence;
    std::uint32_t event;
    std::uint32_t window;
};
constexpr std::uint8_t XUnmapNotify = 18;

} // namespace

LostMapRetry::LostMapRetry(QWidget& window) : QObject(&window), window_(window)
{
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { Check(); });
}

LostMapRetry::~LostMapRetry()
{
    if (filtering_ && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

void LostMapRetry::Start()
{
    if (!filtering_ && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        filtering_ = true;
    }
    intervalMs_ = FirstCheckMs;
    timer_.start(intervalMs_);
}

void LostMapRetry::Stop()
{
    timer_.stop();
}

bool LostMapRetry::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (message == nullptr || eventType != "xcb_generic_event_t" || !window_.isVisible() ||
        !window_.testAttribute(Qt::WA_WState_Created)) {
        return false;
    }
    XUnmapEventHead head{};
    std::memcpy(&head, message, sizeof head);
    if ((head.type & 0x7FU) == XUnmapNotify && head.window == window_.internalWinId() && !timer_.isActive()) {
        // A window manager unmaps a window it takes over for a moment, and
        // one that lets go of it for good: which, the check tells.
        Start();
    }
    return false;
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
