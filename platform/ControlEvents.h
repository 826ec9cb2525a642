#pragma once

#include <QKeyEvent>

#include <functional>
#include <optional>

class QMouseEvent;
class QWidget;

namespace platform {

// Key events of a control, with the code passed by reference: a handler that
// sets it to 0 swallows the key (the control does nothing with it), and a
// KeyPress handler that sets another character makes the control type that.
struct KeyHandlers {
    std::function<void(int& keyCode, int shift)> KeyDown;
    std::function<void(int& keyCode, int shift)> KeyUp;
    std::function<void(int& keyAscii)> KeyPress;
};

// Mouse events of a control: button and shift codes, position in the
// control's scale (twips unless the control says otherwise).
struct MouseHandlers {
    std::function<void(int button, int shift, double x, double y)> MouseDown;
    std::function<void(int button, int shift, double x, double y)> MouseMove;
    std::function<void(int button, int shift, double x, double y)> MouseUp;
    std::function<void()> Click;
    std::function<void()> DblClick;
};

// Offers a key press to the handlers: KeyDown, then, unless it swallowed the
// key, KeyPress for a key that types a character. Returns true when the
// control must not handle the key; otherwise, when KeyPress typed another
// character, replacement holds the event the control handles instead.
bool RouteKeyPress(const KeyHandlers& handlers, const QKeyEvent& event, std::optional<QKeyEvent>& replacement);
// Offers a key release to KeyUp (not the releases of auto-repeat); true when
// it is swallowed.
bool RouteKeyRelease(const KeyHandlers& handlers, const QKeyEvent& event);

// Units of the positions a control reports.
enum class ScaleUnit { Twips, Pixels };

double ToScale(int pixels, ScaleUnit unit);

// Raises MouseDown / MouseMove / MouseUp (and DblClick on a double press)
// for a mouse event of widget.
void RaiseMouseEvent(const MouseHandlers& handlers, const QMouseEvent& event, ScaleUnit unit);

} // namespace platform

namespace platform {

// Routes the key events of a widget through handlers before the widget
// handles them (swallowing or retyping as the handlers decide), while active
// says so (always when it is empty). The hook is a child of the widget;
// handlers must outlive it (controls own both).
void InstallKeyRouting(QWidget& target, const KeyHandlers& handlers, std::function<bool()> active = nullptr);
// Raises the mouse handlers for the mouse events of a widget; the widget
// still handles them. positions come in the given unit, read at each event.
void InstallMouseRouting(QWidget& target, const MouseHandlers& handlers, const ScaleUnit& unit);

} // namespace platform
