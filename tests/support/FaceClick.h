#pragma once

// A click of one mouse button on a control as the pointer gives it: on the
// face the control draws on, at a point given as shares of the face's width
// and height.
#include "controls/SurfaceBox.h"

#include <QApplication>
#include <QMouseEvent>

namespace testsupport {

inline void ClickFace(QWidget& control, Qt::MouseButton button = Qt::LeftButton, double xShare = 0.5,
                      double yShare = 0.5)
{
    QWidget* surface = control.findChild<controls::SurfaceBox*>();
    QWidget& target = surface != nullptr ? *surface : control;
    const QPointF at(target.width() * xShare, target.height() * yShare);
    QMouseEvent press(QEvent::MouseButtonPress, at, target.mapToGlobal(at), button, button, Qt::NoModifier);
    QApplication::sendEvent(&target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, target.mapToGlobal(at), button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &release);
}

} // namespace testsupport
