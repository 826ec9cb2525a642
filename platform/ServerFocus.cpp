#include "platform/ServerFocus.h"

#include "platform/ServerState.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <cstring>

namespace platform {

namespace {

// The start of an X focus event as the X protocol lays it out: its type (the
// top bit marks a sent event), how the focus came (detail), a sequence
// number, the window, the mode.
struct XFocusEventHead {
    std::uint8_t type;
    std::uint8_t detail;
    std::uint16_t sequence;
    std::uint32_t window;
    std::uint8_t mode;
};
constexpr std::uint8_t XFocusIn = 9;
// Focus that reaches the window only because the pointer is over it.
constexpr std::uint8_t NotifyPointer = 5;

} // namespace

void ServerFocus::Install()
{
    // Gone with the application that owned it: a later one gets its own.
    static QPointer<ServerFocus> installed;
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (installed == nullptr && application != nullptr) {
        installed = new ServerFocus(application);
        application->installNativeEventFilter(installed);
    }
}

bool ServerFocus::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (message == nullptr || eventType != "xcb_generic_event_t") {
        return false;
    }
    XFocusEventHead head{};
    std::memcpy(&head, message, sizeof head);
    if ((head.type & 0x7FU) == XFocusIn && head.detail != NotifyPointer) {
        // After the toolkit has handled the event: only what it missed is
        // made up for.
        QTimer::singleShot(0, this, &ServerFocus::FollowTheServer);
    }
    return false;
}

void ServerFocus::FollowTheServer()
{
    const std::optional<std::uintptr_t> focus = ServerKeyboardFocus();
    QWidget* window = focus ? QWidget::find(static_cast<WId>(*focus)) : nullptr;
    if (window == nullptr || !window->isWindow() || !window->isVisible() || QApplication::activeWindow() == window) {
        return;
    }
    // A modal window keeps the keyboard from the windows it blocks.
    if (const QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != window) {
        return;
    }
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QApplication::setActiveWindow(window);
    QT_WARNING_POP
}

} // namespace platform
