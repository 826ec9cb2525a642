#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

namespace platform {

// A window shown while a window manager starts may never reach the screen:
// openbox drops a map request that reaches it while it starts, even after it
// has taken the screen, and leaves the window unmapped and unmanaged, so the
// operator would face no window at all. While a shown window is neither
// mapped nor kept by a window manager, its map request is sent again, at
// growing intervals. The X server and the window manager answer in real
// time, so a real timer paces the checks. Off X11 nothing is checked.
class LostMapRetry final : public QObject {
public:
    explicit LostMapRetry(QWidget& window);

    // The window was shown: checks begin.
    void Start();
    // The window was hidden: no more checks.
    void Stop();

    static constexpr int FirstCheckMs = 250;
    static constexpr int LongestIntervalMs = 2000;

private:
    void Check();

    QWidget& window_;
    QTimer timer_;
    int intervalMs_ = FirstCheckMs;
};

} // namespace platform
