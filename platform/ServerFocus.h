#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

namespace platform {

// The window the X server gives the keyboard is the program's active
// window. The toolkit may miss it: a window hidden while it had the
// keyboard is no longer active for the toolkit, yet the toolkit may take the
// keyboard's return to the window shown again for no change at all, and the
// window's shortcuts and keys would stay dead until a click.
class ServerFocus final : public QObject, public QAbstractNativeEventFilter {
public:
    // Watches the keyboard focus of the application's windows, once.
    static void Install();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    using QObject::QObject;
    // Makes the window of the program that has the keyboard the active one.
    static void FollowTheServer();
};

} // namespace platform
