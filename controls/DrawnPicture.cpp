#include "controls/DrawnPicture.h"

#include "platform/InputCodes.h"
#include "platform/base/Twips.h"

#include <QMouseEvent>
#include <QPainter>

namespace controls {

namespace {

double TwipsOf(double pixels)
{
    return pixels * basic::TwipsPerPixel;
}

} // namespace

DrawnPicture::DrawnPicture(QWidget* parent) : QWidget(parent), picture_(1, 1)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    picture_.Resize(width(), height());
}

void DrawnPicture::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.drawImage(0, 0, picture_.Image());
}

void DrawnPicture::Place(const QRect& area)
{
    setGeometry(area);
    picture_.Resize(width(), height());
}

void DrawnPicture::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    picture_.Resize(width(), height());
}

void DrawnPicture::mousePressEvent(QMouseEvent* event)
{
    if (MouseDown) {
        MouseDown(platform::MouseButtonCode(event->button()), platform::ShiftCode(event->modifiers()),
                  TwipsOf(event->position().x()), TwipsOf(event->position().y()));
    }
}

void DrawnPicture::mouseMoveEvent(QMouseEvent* event)
{
    if (MouseMove) {
        MouseMove(platform::MouseButtonsCode(event->buttons()), platform::ShiftCode(event->modifiers()),
                  TwipsOf(event->position().x()), TwipsOf(event->position().y()));
    }
}

void DrawnPicture::mouseReleaseEvent(QMouseEvent* event)
{
    if (MouseUp) {
        MouseUp(platform::MouseButtonCode(event->button()), platform::ShiftCode(event->modifiers()),
                TwipsOf(event->position().x()), TwipsOf(event->position().y()));
    }
}

void DrawnPicture::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && DblClick) {
        DblClick();
        return;
    }
    mousePressEvent(event);
}

} // namespace controls
