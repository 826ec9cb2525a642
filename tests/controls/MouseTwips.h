#pragma once

#include "controls/SurfaceBox.h"
#include "platform/base/Twips.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

#include <string>
#include <vector>

// Synthetic mouse events at positions in twips (fractions of a pixel kept),
// delivered to the picture a control draws on, as the desktop would deliver
// them to the widget under the pointer; and files dropped on it.
namespace mousetwips {

inline QWidget& SurfaceOf(QWidget& control)
{
    auto* picture = control.findChild<controls::SurfaceBox*>();
    return picture != nullptr ? *picture : control;
}

inline void Send(QWidget& control, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
                 Qt::KeyboardModifiers modifiers, double x, double y)
{
    const double perPixel = basic::TwipsPerPixel;
    const QPointF at(x / perPixel, y / perPixel);
    QWidget& target = SurfaceOf(control);
    QMouseEvent event(type, at, target.mapToGlobal(at), button, held, modifiers);
    QApplication::sendEvent(&target, &event);
}

inline void Press(QWidget& control, double x, double y, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    Send(control, QEvent::MouseButtonPress, button, button, modifiers, x, y);
}

inline void Release(QWidget& control, double x, double y, Qt::MouseButton button = Qt::LeftButton,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    Send(control, QEvent::MouseButtonRelease, button, Qt::NoButton, modifiers, x, y);
}

inline void Move(QWidget& control, double x, double y, Qt::MouseButtons held = Qt::LeftButton,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    Send(control, QEvent::MouseMove, Qt::NoButton, held, modifiers, x, y);
}

// The second press of a double click (Qt sends it in place of a press).
inline void DoubleClick(QWidget& control, double x, double y, Qt::MouseButton button = Qt::LeftButton)
{
    Send(control, QEvent::MouseButtonDblClick, button, button, Qt::NoModifier, x, y);
}

inline void Click(QWidget& control, double x, double y, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    Press(control, x, y, button, modifiers);
    Release(control, x, y, button, modifiers);
}

// Drags local files onto a widget at a pixel position and lets go; true when
// the drop was taken.
inline bool DropFiles(QWidget& target, const std::vector<std::string>& files, QPoint at)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const std::string& file : files) {
        urls.push_back(QUrl::fromLocalFile(QString::fromStdString(file)));
    }
    mime.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
    return drop.isAccepted() && drop.dropAction() != Qt::IgnoreAction;
}

} // namespace mousetwips
