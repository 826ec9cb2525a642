#pragma once

#include "platform/base/VirtualClock.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace platform {

// A window timer as the windows of the program use it: while Enabled and with
// an Interval above 0 it raises OnTimer every Interval milliseconds. Setting
// Enabled or Interval starts the count again. In the program a QTimer drives
// it through the event loop; while a virtual clock is in force, advancing that
// clock fires it at its instants instead. A timer never fires again inside its
// own handler (a handler that waits and pumps events is not re-entered).
class WindowTimer final : public QObject, private VirtualTimer {
public:
    explicit WindowTimer(QObject* parent = nullptr);
    ~WindowTimer() override;
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    int Interval() const { return interval_; }
    // Milliseconds; 0 (and anything below) keeps the timer from firing.
    void SetInterval(int ms);

    std::function<void()> OnTimer;

private:
    bool Running() const { return enabled_ && interval_ > 0; }
    void Restart();
    void Halt();
    std::optional<std::int64_t> DueAt() const override;
    void Fire() override;

    QTimer qtTimer_;
    bool enabled_ = true;
    int interval_ = 0;
    bool firing_ = false;
    bool onVirtualClock_ = false;
    std::optional<std::int64_t> due_;
    std::uint64_t generation_ = 0;
    std::shared_ptr<char> alive_ = std::make_shared<char>();
};

} // namespace platform
