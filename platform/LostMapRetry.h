#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QTimer>

class QWidget;

namespace platform {

// A window shown while a window manager starts may never reach the screen:
// openbox drops a map request that reaches it while it starts, even after it
// has taken the screen, and may let go of a window it was taking over, which
// leaves the window unmapped and unmanaged: the operator would face no
// window at all. While a shown window is neither mapped nor kept by a window
// manager, its map request is sent again, at growing intervals, from its
// showing on and from each time the X server unmaps it. The X server and the
// window manager answer in real time, so a real timer paces the checks. Off
// X11 nothing is checked.
class LostMapRetry final : public QObject, public QAbstractNativeEventFilter {
public:
    explicit LostMapRetry(QWidget& window);
    ~LostMapRetry() override;
    LostMapRetry(const LostMapRetry&) = delete;
    LostMapRetry& operator=(const LostMapRetry&) = delete;

    // The window was shown: checks begin.
    void Start();
    // The window was hidden: no more checks.
    void Stop();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    static constexpr int FirstCheckMs = 250;
    static constexpr int LongestIntervalMs = 2000;

private:
    void Check();

    QWidget& window_;
    QTimer timer_;
    int intervalMs_ = FirstCheckMs;
    bool filtering_ = false;
};

} // namespace platform
