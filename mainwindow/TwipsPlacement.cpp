#include "mainwindow/TwipsPlacement.h"

#include "mainwindow/PicturePanel.h"
#include "platform/TwipsGeometry.h"

#include <QCoreApplication>
#include <QResizeEvent>
#include <QWidget>

#include <algorithm>

namespace TwipsPlacement {

void DeliverResize(QWidget& control)
{
    if (!control.testAttribute(Qt::WA_PendingResizeEvent)) {
        return;
    }
    control.setAttribute(Qt::WA_PendingResizeEvent, false);
    QResizeEvent event(control.size(), QSize());
    QCoreApplication::sendEvent(&control, &event);
}

void Place(QWidget& control, const StripGeometry::TwipsRect& rect)
{
    platform::MoveTwips(control, rect.Left, rect.Top, rect.Width, rect.Height);
    DeliverResize(control);
}

void SetSize(QWidget& control, double width, double height)
{
    platform::SetWidthTwips(control, width);
    platform::SetHeightTwips(control, height);
    DeliverResize(control);
}

void SetTop(QWidget& control, double top)
{
    platform::SetTopTwips(control, top);
}

void SetLeftTop(QWidget& control, double left, double top)
{
    platform::SetLeftTwips(control, left);
    platform::SetTopTwips(control, top);
}

void Cls(PicturePanel& panel)
{
    DeliverResize(panel);
    panel.Picture().Resize(std::max(1, panel.width()), std::max(1, panel.height()));
    panel.Picture().Cls();
    panel.update();
}

} // namespace TwipsPlacement
