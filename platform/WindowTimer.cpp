#include "platform/WindowTimer.h"

namespace platform {

namespace {

VirtualClock* VirtualClockInForce()
{
    return dynamic_cast<VirtualClock*>(&CurrentClock());
}

} // namespace

WindowTimer::WindowTimer(QObject* parent) : QObject(parent)
{
    qtTimer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&qtTimer_, &QTimer::timeout, this, [this] { Fire(); });
}

WindowTimer::~WindowTimer()
{
    DetachVirtualTimer(*this);
}

void WindowTimer::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Restart();
}

void WindowTimer::SetInterval(int ms)
{
    interval_ = ms > 0 ? ms : 0;
    Restart();
}

void WindowTimer::Halt()
{
    ++generation_;
    qtTimer_.stop();
    due_.reset();
    if (onVirtualClock_) {
        DetachVirtualTimer(*this);
        onVirtualClock_ = false;
    }
}

void WindowTimer::Restart()
{
    Halt();
    if (!Running()) {
        return;
    }
    if (VirtualClock* clock = VirtualClockInForce()) {
        due_ = clock->TotalMs() + interval_;
        onVirtualClock_ = true;
        AttachVirtualTimer(*this);
    } else {
        qtTimer_.start(interval_);
    }
}

std::optional<std::int64_t> WindowTimer::DueAt() const
{
    if (firing_ || !Running()) {
        return std::nullopt;
    }
    return due_;
}

void WindowTimer::Fire()
{
    if (firing_ || !Running()) {
        return;
    }
    const std::optional<std::int64_t> firedAt = due_;
    const std::uint64_t generation = generation_;
    const std::weak_ptr<char> alive = alive_;
    firing_ = true;
    if (OnTimer) {
        OnTimer();
    }
    if (alive.expired()) {
        return; // the handler destroyed the timer
    }
    firing_ = false;
    // On virtual time the next instant follows the one just fired; a handler
    // that overran it moves it a whole interval past now, as a QTimer does.
    // A handler that restarted or stopped the timer has decided for itself.
    if (generation == generation_ && firedAt && onVirtualClock_) {
        std::int64_t next = *firedAt + interval_;
        if (const VirtualClock* clock = VirtualClockInForce(); clock != nullptr && next <= clock->TotalMs()) {
            next = clock->TotalMs() + interval_;
        }
        due_ = next;
    }
}

} // namespace platform
