#include "controls/ButtonIconLibrary.h"

#include <QPainter>
#include <QPolygon>

#include <array>
#include <initializer_list>

namespace controls {

namespace {

// Glyph colours, for a face of grey 210; never pure black, which the image
// row keeps for "no icon here".
const QColor glyph(64, 64, 64);
const QColor glyphLight(250, 250, 250);
const QColor litGreen(20, 190, 40);
const QColor litAmber(240, 170, 20);
const QColor litRed(225, 40, 40);
const QColor litBlue(40, 120, 235);

class IconPainter {
public:
    IconPainter(QPainter& painter, int icon) : painter_(painter), left_(icon * IconSize) {}

    void Polygon(std::initializer_list<QPoint> points, const QColor& colour)
    {
        QPolygon polygon;
        for (const QPoint& point : points) {
            polygon << QPoint(left_ + point.x(), point.y());
        }
        painter_.setPen(colour);
        painter_.setBrush(colour);
        painter_.drawPolygon(polygon);
    }
    // A filled box with both corners included.
    void Box(int x1, int y1, int x2, int y2, const QColor& colour)
    {
        painter_.fillRect(QRect(QPoint(left_ + x1, y1), QPoint(left_ + x2, y2)), colour);
    }
    void Disc(int cx, int cy, int r, const QColor& colour)
    {
        painter_.setPen(colour);
        painter_.setBrush(colour);
        painter_.drawEllipse(QPoint(left_ + cx, cy), r, r);
    }
    void Ring(int cx, int cy, int r, const QColor& colour)
    {
        painter_.setPen(QPen(colour, 2));
        painter_.setBrush(Qt::NoBrush);
        painter_.drawEllipse(QPoint(left_ + cx, cy), r, r);
    }

private:
    QPainter& painter_;
    int left_;
};

void RightTriangle(IconPainter& icon, int x, int width, const QColor& colour)
{
    icon.Polygon({{x, 3}, {x + width, 9}, {x, 15}}, colour);
}

void LeftTriangle(IconPainter& icon, int x, int width, const QColor& colour)
{
    icon.Polygon({{x + width, 3}, {x, 9}, {x + width, 15}}, colour);
}

void DrawIcon(QPainter& painter, int index, const QColor& colour)
{
    IconPainter icon(painter, index);
    switch (index) {
    case IconToStart:
    case IconToStartLit:
        icon.Box(3, 3, 4, 15, colour);
        LeftTriangle(icon, 5, 9, colour);
        break;
    case IconPlay:
    case IconPlayLit:
        RightTriangle(icon, 5, 9, colour);
        break;
    case IconPause:
    case IconPauseLit:
        icon.Box(4, 4, 7, 14, colour);
        icon.Box(10, 4, 13, 14, colour);
        break;
    case IconStop:
    case IconStopLit:
        icon.Box(4, 4, 13, 13, colour);
        break;
    case IconMarkIn:
        icon.Box(2, 3, 3, 15, colour);
        icon.Box(4, 3, 5, 4, colour);
        icon.Box(4, 14, 5, 15, colour);
        RightTriangle(icon, 8, 7, colour);
        break;
    case IconMarkOut:
        LeftTriangle(icon, 3, 7, colour);
        icon.Box(14, 3, 15, 15, colour);
        icon.Box(12, 3, 13, 4, colour);
        icon.Box(12, 14, 13, 15, colour);
        break;
    case IconRewind:
        LeftTriangle(icon, 1, 7, colour);
        LeftTriangle(icon, 8, 7, colour);
        break;
    case IconForward:
        RightTriangle(icon, 2, 7, colour);
        RightTriangle(icon, 9, 7, colour);
        break;
    case IconRecord:
    case IconRecordLit:
        icon.Disc(8, 8, 5, colour);
        break;
    case IconLoop:
        icon.Ring(8, 9, 5, colour);
        icon.Polygon({{11, 1}, {16, 4}, {11, 7}}, colour);
        break;
    case IconPrevious:
    case IconPreviousLit:
        icon.Box(2, 3, 3, 15, colour);
        LeftTriangle(icon, 4, 6, colour);
        LeftTriangle(icon, 10, 6, colour);
        break;
    case IconCue:
    case IconCueLit:
        icon.Box(3, 4, 5, 14, colour);
        RightTriangle(icon, 8, 7, colour);
        break;
    case IconNext:
    case IconNextLit:
        RightTriangle(icon, 1, 6, colour);
        RightTriangle(icon, 7, 6, colour);
        icon.Box(14, 3, 15, 15, colour);
        break;
    case IconOpen:
    case IconOpenLit:
        icon.Polygon({{1, 4}, {6, 4}, {8, 6}, {15, 6}, {15, 14}, {1, 14}}, colour);
        icon.Box(3, 8, 13, 8, glyphLight);
        break;
    case IconRepeat:
    case IconRepeatLit:
        icon.Ring(8, 9, 5, colour);
        icon.Polygon({{11, 1}, {16, 4}, {11, 7}}, colour);
        icon.Box(8, 6, 9, 12, colour);
        break;
    case IconEject:
        icon.Polygon({{2, 10}, {8, 3}, {15, 10}}, colour);
        icon.Box(2, 12, 15, 14, colour);
        break;
    default:
        break;
    }
}

QColor ColourOf(int index)
{
    switch (index) {
    case IconPlayLit:
        return litGreen;
    case IconPauseLit:
    case IconOpenLit:
    case IconRepeatLit:
        return litAmber;
    case IconStopLit:
    case IconRecordLit:
        return litRed;
    case IconToStartLit:
    case IconPreviousLit:
    case IconCueLit:
    case IconNextLit:
        return litBlue;
    default:
        return glyph;
    }
}

QImage MakeLibrary()
{
    QImage library(IconCount * IconSize, 2 * IconSize, QImage::Format_RGB32);
    library.fill(Qt::black);
    {
        QPainter painter(&library);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setClipRect(0, 0, library.width(), IconSize);
        for (int i = 0; i < IconCount; ++i) {
            DrawIcon(painter, i, ColourOf(i));
        }
    }
    // The mask covers exactly what the image row draws.
    for (int y = 0; y < IconSize; ++y) {
        const auto* image = reinterpret_cast<const QRgb*>(library.constScanLine(y));
        auto* mask = reinterpret_cast<QRgb*>(library.scanLine(y + IconSize));
        for (int x = 0; x < library.width(); ++x) {
            mask[x] = (image[x] & 0xFFFFFFu) == 0 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
        }
    }
    return library;
}

} // namespace

const QImage& ButtonIconLibrary()
{
    static const QImage library = MakeLibrary();
    return library;
}

bool IsLitIcon(int icon)
{
    static constexpr std::array<int, 10> lit{8, 9, 10, 11, 13, 18, 19, 20, 23, 24};
    for (const int i : lit) {
        if (i == icon) {
            return true;
        }
    }
    return false;
}

} // namespace controls
