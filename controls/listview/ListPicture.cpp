#include "controls/listview/ListPicture.h"

#include "platform/ControlEvents.h"
#include "platform/InputCodes.h"

#include <QMouseEvent>
#include <QPainter>

namespace listview {

namespace {

template <class Handler> void Raise(const Handler& handler, int button, const QMouseEvent& event)
{
    if (handler) {
        const QPoint at = event.position().toPoint();
        handler(button, platform::ShiftCode(event.modifiers()), platform::ToScale(at.x(), platform::ScaleUnit::Twips),
                platform::ToScale(at.y(), platform::ScaleUnit::Twips));
    }
}

} // namespace

ListPicture::ListPicture(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ListPicture::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.drawImage(0, 0, picture_.Image());
}

void ListPicture::resizeEvent(QResizeEvent* /*event*/)
{
    if (picture_.PixelWidth() != width() || picture_.PixelHeight() != height()) {
        picture_.Resize(std::max(width(), 1), std::max(height(), 1));
    }
}

void ListPicture::mousePressEvent(QMouseEvent* event)
{
    Raise(OnMouseDown, platform::MouseButtonCode(event->button()), *event);
}

void ListPicture::mouseMoveEvent(QMouseEvent* event)
{
    Raise(OnMouseMove, platform::MouseButtonsCode(event->buttons()), *event);
}

void ListPicture::mouseReleaseEvent(QMouseEvent* event)
{
    Raise(OnMouseUp, platform::MouseButtonCode(event->button()), *event);
}

void ListPicture::mouseDoubleClickEvent(QMouseEvent* event)
{
    Raise(OnDblClick, platform::MouseButtonCode(event->button()), *event);
}

} // namespace listview
