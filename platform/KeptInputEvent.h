#pragma once

#include <QEvent>
#include <QPointF>
#include <QPointer>
#include <QPointingDevice>

#include <memory>

namespace platform {

// Input kept to be carried out later, made again as it came. A pointer event
// (a click, a move, a wheel turn) shares its point with the device's own,
// which every later event moves on: a copy kept as it is would land where the
// pointer went next, on another control or none. So a pointer event keeps its
// values and is made afresh when carried out; other input keeps a copy.
class KeptInputEvent {
public:
    explicit KeptInputEvent(const QEvent& event);

    // A move with the same buttons held, which a later move may replace.
    bool IsMoveWith(Qt::MouseButtons buttons) const;
    QEvent::Type Type() const { return type_; }
    // Where a pointer event was made: in its window, and on the screen.
    QPointF Position() const { return position_; }
    QPointF GlobalPosition() const { return globalPosition_; }
    Qt::KeyboardModifiers Modifiers() const { return modifiers_; }
    bool IsKeyPress(int key) const;
    // What it was, for a log line ("a click", "a key", ...).
    const char* What() const;

    std::unique_ptr<QEvent> Make() const;

private:
    QEvent::Type type_;
    std::unique_ptr<QEvent> copy_; // not a pointer event
    QPointF position_;
    QPointF scenePosition_;
    QPointF globalPosition_;
    QPoint pixelDelta_;
    QPoint angleDelta_;
    Qt::MouseButton button_ = Qt::NoButton;
    Qt::MouseButtons buttons_;
    Qt::KeyboardModifiers modifiers_;
    Qt::ScrollPhase phase_ = Qt::NoScrollPhase;
    bool inverted_ = false;
    QPointer<const QPointingDevice> device_;
};

} // namespace platform
