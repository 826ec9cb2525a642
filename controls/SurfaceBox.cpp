#include "controls/SurfaceBox.h"

#include "platform/InputCodes.h"
#include "platform/base/Twips.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace controls {

SurfaceBox::SurfaceBox(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Moves are reported with and without a button held.
    setMouseTracking(true);
}

platform::Surface& SurfaceBox::Picture()
{
    const int width = std::max(this->width() - 2 * Inset(), 0);
    const int height = std::max(this->height() - 2 * Inset(), 0);
    picture_.Resize(width, height);
    return picture_;
}

void SurfaceBox::SetSunkenBorder(bool sunken)
{
    sunken_ = sunken;
    update();
}

void SurfaceBox::paintEvent(QPaintEvent* /*event*/)
{
    const platform::Surface& picture = Picture();
    QPainter painter(this);
    if (sunken_) {
        if (border_.size() != size()) {
            platform::Surface border(width(), height());
            border.SetBackColor(platform::SystemColor(platform::ColorBtnFace));
            border.DrawEdge({0, 0, width(), height()}, platform::EdgeSunken, platform::EdgeRect);
            border_ = border.Image();
        }
        painter.drawImage(0, 0, border_);
    }
    painter.drawImage(Inset(), Inset(), picture.Image());
}

void SurfaceBox::Report(PointerEvent::Kind kind, const QMouseEvent& event)
{
    if (!OnPointer) {
        return;
    }
    // Fractions of a pixel (scaled screens, precise pointers) are kept.
    const QPointF at = event.position();
    PointerEvent report;
    report.kind = kind;
    report.button = platform::MouseButtonCode(event.button());
    report.buttons = platform::MouseButtonsCode(event.buttons());
    report.shift = platform::ShiftCode(event.modifiers());
    report.x = (at.x() - Inset()) * basic::TwipsPerPixel;
    report.y = (at.y() - Inset()) * basic::TwipsPerPixel;
    OnPointer(report);
}

void SurfaceBox::mousePressEvent(QMouseEvent* event)
{
    Report(PointerEvent::Kind::Press, *event);
}

void SurfaceBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    Report(PointerEvent::Kind::DoubleClick, *event);
}

void SurfaceBox::mouseMoveEvent(QMouseEvent* event)
{
    Report(PointerEvent::Kind::Move, *event);
}

void SurfaceBox::mouseReleaseEvent(QMouseEvent* event)
{
    Report(PointerEvent::Kind::Release, *event);
}

} // namespace controls
