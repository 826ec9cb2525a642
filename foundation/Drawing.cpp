#include "foundation/Drawing.h"

#include "foundation/Background.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <cmath>
#include <numbers>

namespace basic {

namespace {

int Round(double value)
{
    return static_cast<int>(numeric::RoundToInt64(value));
}

// The outline colour at step i of n: colour1 at both ends, colour2 half-way.
Color RunColour(int i, int n, Color colour1, Color colour2)
{
    const double half = n / 2.0;
    const double t = std::abs(i - half) / half;
    std::int16_t r1 = 0, g1 = 0, b1 = 0, r2 = 0, g2 = 0, b2 = 0;
    SplitRgb(colour1, r1, g1, b1);
    SplitRgb(colour2, r2, g2, b2);
    const auto mix = [t](int c1, int c2) { return Round(c2 * (1 - t) + c1 * t); };
    return MakeRgb(mix(r1, r2), mix(g1, g2), mix(b1, b2));
}

} // namespace

void DrawEdgeRect(platform::Surface& picture, std::int32_t left, std::int32_t top, std::int32_t width,
                  std::int32_t height, int sunken)
{
    const int p = TwipsPerPixel;
    if (p <= 0) {
        return;
    }
    const platform::PixelRect rect{static_cast<int>(numeric::DivTrunc(left, p)),
                                   static_cast<int>(numeric::DivTrunc(top, p)),
                                   static_cast<int>(numeric::DivTrunc(std::int64_t{left} + width, p)),
                                   static_cast<int>(numeric::DivTrunc(std::int64_t{top} + height, p))};
    picture.DrawEdge(rect, sunken != 0 ? platform::EdgeSunken : platform::EdgeRaised,
                     platform::EdgeRect | platform::EdgeSoft);
}

void DrawButtonFace(platform::Surface& surface, float x1, float y1, float x2, float y2, std::string_view caption)
{
    const int p = TwipsPerPixel;
    if (p <= 0) {
        return;
    }
    if (caption.empty()) {
        const auto toPixel = [p](float twips) {
            return static_cast<int>(numeric::DivTrunc(numeric::RoundToInt64(twips), p));
        };
        surface.DrawEdge({toPixel(x1), toPixel(y1), toPixel(x2), toPixel(y2)}, platform::EdgeBump, platform::EdgeRect);
        return;
    }
    const double textWidth = surface.TextWidth(caption);
    const double textHeight = surface.TextHeight(caption);
    surface.SetCurrentX(x1 + 300.0);
    surface.SetCurrentY(y1 - textHeight / 2);
    surface.Print(caption);

    const double gapEnd = x1 + 300.0 + textWidth;
    const auto outline = [&](double d, Color colour) {
        const double left = x1 - d;
        const double top = y1 - d;
        const double right = x2 - d;
        const double bottom = y2 - d;
        surface.Line(left, top, x1 + 300.0, top, colour);
        surface.Line(gapEnd, top, right, top, colour);
        surface.Line(right, top, right, bottom, colour);
        surface.Line(right, bottom, left, bottom, colour);
        surface.Line(left, bottom, left, top, colour);
    };
    outline(0, SysColor(3));
    outline(p, SysColor(0));
}

void DrawFrame(platform::Surface& surface, Color colour1, Color colour2, int keepBackground, int thickness)
{
    const int p = TwipsPerPixel;
    if (p <= 0) {
        return;
    }
    if (keepBackground == 0) {
        PaintBackground(surface, 2, colour1, colour2, -1);
    }
    const Color dark = ShiftColor(colour1, -40, -40, -40, -1.0f);
    const Color light = ShiftColor(colour2, 40, 40, 40, -1.0f);
    const double w = surface.Width();
    const double h = surface.Height();
    using platform::LineShape;
    for (int i = 0; i < thickness; ++i) {
        const double d = static_cast<double>(i) * p;
        surface.Line(d, d, w - d, d, light, LineShape::FilledBox);
        surface.Line(d, d, d, h - d, light, LineShape::FilledBox);
        surface.Line(d, h - d, w - d - p, h - d - p, dark, LineShape::FilledBox);
        surface.Line(w - d, d, w - d - p, h - d - p, dark, LineShape::FilledBox);
    }
}

void DrawLineHdc(platform::Surface& surface, int left, int top, int right, int bottom, Color colour1, Color colour2,
                 int penWidth)
{
    constexpr int steps = 190;
    constexpr double angleStep = 2 * std::numbers::pi / steps;
    const int r = (bottom - top) / 3 - 1;
    double counter = 260.0 / 360.0 * steps;
    surface.SetDrawWidth(penWidth);
    for (int i = 0; i <= steps; ++i) {
        // Which corner the point belongs to; the straight edges are the jumps
        // from one corner's arc to the next.
        const auto m = static_cast<double>(numeric::RoundToInt64(counter) % steps);
        int cx = right - r - 1;
        int cy = top + r;
        if (m < 47.5) {
            cy = bottom - r - 2;
        } else if (m < 95) {
            cx = left + r;
            cy = bottom - r - 2;
        } else if (m < 142.5) {
            cx = left + r;
        }
        const double angle = counter * angleStep;
        const int x = Round(r * std::cos(angle) + cx);
        const int y = Round(r * std::sin(angle) + cy);
        if (i == 0) {
            surface.MoveToEx(x, y);
        }
        surface.SetForeColor(RunColour(i, steps, colour1, colour2));
        surface.LineTo(x, y);
        counter += 1;
    }
}

void DrawLineHdc2(platform::Surface& surface, int left, int top, int right, int bottom, Color colour1, Color colour2,
                  int penWidth, int shape)
{
    if (shape != 0 && shape != 1) {
        return;
    }
    const int steps = shape == 0 ? 190 : 4;
    const double start = shape == 0 ? 250.0 / 360.0 * steps : 3.5;
    const double angleStep = 2 * std::numbers::pi / steps;
    const int r = (bottom - top) / 2 - 2;
    const int cx = (left + right) / 2;
    const int cy = (top + bottom) / 2;
    const auto pointAt = [&](double position) {
        const double angle = position * angleStep;
        return std::pair{Round(r * std::cos(angle) + cx), Round(r * std::sin(angle) + cy)};
    };
    surface.SetDrawWidth(penWidth);
    const auto [startX, startY] = pointAt(start);
    surface.MoveToEx(startX, startY);
    for (int i = 0; i <= steps; ++i) {
        surface.SetForeColor(RunColour(i, steps, colour1, colour2));
        const auto [x, y] = pointAt(start + i);
        surface.LineTo(x, y);
    }
}

} // namespace basic
