#pragma once

#include "platform/base/Twips.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

// Synthetic mouse events at positions in twips, sent to the widget under the
// pointer as the desktop would, and key events.
namespace dialoginput {

inline void Send(QWidget& target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, double x, double y)
{
    const double perPixel = basic::TwipsPerPixel;
    const QPointF at(x / perPixel, y / perPixel);
    QMouseEvent event(type, at, target.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

inline void Press(QWidget& target, double x, double y)
{
    Send(target, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, x, y);
}

inline void Release(QWidget& target, double x, double y)
{
    Send(target, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, x, y);
}

inline void Click(QWidget& target, double x, double y)
{
    Press(target, x, y);
    Release(target, x, y);
}

// A move with the left button held.
inline void Drag(QWidget& target, double x, double y)
{
    Send(target, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, x, y);
}

inline void DoubleClick(QWidget& target, double x, double y)
{
    Send(target, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, x, y);
}

inline void Key(QWidget& target, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                const QString& text = {})
{
    QKeyEvent event(type, key, modifiers, text);
    QApplication::sendEvent(&target, &event);
}

// Types the characters one key at a time, as a keyboard does.
inline void Type(QWidget& target, const QString& characters)
{
    for (const QChar character : characters) {
        Key(target, QEvent::KeyPress, character.unicode(), Qt::NoModifier, QString(character));
        Key(target, QEvent::KeyRelease, character.unicode(), Qt::NoModifier, QString(character));
    }
}

} // namespace dialoginput
