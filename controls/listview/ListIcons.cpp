#include "controls/listview/ListIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace listview {

namespace {

constexpr int Cell = 16;

// The outline of one icon inside its cell.
QPainterPath Shape(int icon)
{
    QPainterPath path;
    switch (icon) {
    case IconPlay:
        path.addPolygon(QPolygonF({QPointF(4, 2), QPointF(13, 8), QPointF(4, 14)}));
        path.closeSubpath();
        break;
    case IconPause:
        path.addRect(3, 3, 4, 10);
        path.addRect(9, 3, 4, 10);
        break;
    case IconStop:
        path.addRect(3, 3, 10, 10);
        break;
    case IconReady:
        path.addEllipse(3, 3, 10, 10);
        break;
    case IconDone:
        path.addPolygon(
            QPolygonF({QPointF(2, 8), QPointF(5, 5), QPointF(7, 8), QPointF(12, 2), QPointF(14, 5), QPointF(7, 13)}));
        path.closeSubpath();
        break;
    default:
        path.addPolygon(QPolygonF({QPointF(3, 5), QPointF(5, 3), QPointF(8, 6), QPointF(11, 3), QPointF(13, 5),
                                   QPointF(10, 8), QPointF(13, 11), QPointF(11, 13), QPointF(8, 10), QPointF(5, 13),
                                   QPointF(3, 11), QPointF(6, 8)}));
        path.closeSubpath();
        break;
    }
    return path;
}

QColor Colour(int icon)
{
    switch (icon) {
    case IconPlay:
        return QColor(0, 160, 0);
    case IconPause:
        return QColor(230, 150, 0);
    case IconStop:
        return QColor(60, 60, 60);
    case IconReady:
        return QColor(0, 90, 220);
    case IconDone:
        return QColor(0, 130, 130);
    default:
        return QColor(210, 0, 0);
    }
}

} // namespace

QImage DefaultListIcons()
{
    QImage strip(Cell * IconCount, Cell * 2, QImage::Format_RGB32);
    strip.fill(Qt::black);
    QPainter painter(&strip);
    painter.fillRect(0, Cell, Cell * IconCount, Cell, Qt::white);
    for (int icon = 0; icon < IconCount; ++icon) {
        const QPainterPath shape = Shape(icon).translated(icon * Cell, 0);
        painter.fillPath(shape, Colour(icon));
        painter.fillPath(shape.translated(0, Cell), Qt::black);
    }
    return strip;
}

} // namespace listview
