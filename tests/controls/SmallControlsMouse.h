#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

// Synthetic mouse events for the tests of the slider, fader, path box, check
// box and tab strip: sent straight to the child widget the pointer would be
// over, positions in pixels of that widget.
namespace smallcontrols {

inline void SendMouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, QPointF(at), widget.mapToGlobal(QPointF(at)), button, buttons, modifiers);
    QApplication::sendEvent(&widget, &event);
}

inline void Press(QWidget& widget, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    SendMouse(widget, QEvent::MouseButtonPress, at, button, button, modifiers);
}

inline void DoubleClick(QWidget& widget, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    SendMouse(widget, QEvent::MouseButtonDblClick, at, button, button, modifiers);
}

inline void Move(QWidget& widget, QPoint at, Qt::MouseButtons buttons = Qt::LeftButton,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    SendMouse(widget, QEvent::MouseMove, at, Qt::NoButton, buttons, modifiers);
}

inline void Release(QWidget& widget, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    SendMouse(widget, QEvent::MouseButtonRelease, at, button, Qt::NoButton, modifiers);
}

inline void Click(QWidget& widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    Press(widget, at, button);
    Release(widget, at, button);
}

} // namespace smallcontrols
