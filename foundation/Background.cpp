#include "foundation/Background.h"

#include "foundation/Drawing.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace basic {

namespace {

using platform::LineShape;
using Channels = std::array<double, 3>;

int Round(double value)
{
    return static_cast<int>(numeric::RoundToInt64(value));
}

Channels Split(Color colour)
{
    std::int16_t red = 0;
    std::int16_t green = 0;
    std::int16_t blue = 0;
    SplitRgb(colour, red, green, blue);
    return {static_cast<double>(red), static_cast<double>(green), static_cast<double>(blue)};
}

Color Compose(const Channels& channels)
{
    return MakeRgb(Round(channels[0]), Round(channels[1]), Round(channels[2]));
}

// base + step x i per channel, in single precision as the gradients were
// designed, rounded half to even.
Color Along(const Channels& base, const std::array<float, 3>& step, int i)
{
    Channels out{};
    for (std::size_t c = 0; c < 3; ++c) {
        out[c] = static_cast<double>(static_cast<float>(base[c]) + step[c] * static_cast<float>(i));
    }
    return Compose(out);
}

// Per channel (to - from) / n.
std::array<float, 3> Slope(const Channels& from, const Channels& to, double n)
{
    std::array<float, 3> slope{};
    for (std::size_t c = 0; c < 3; ++c) {
        slope[c] = static_cast<float>((to[c] - from[c]) / n);
    }
    return slope;
}

// The nine palette entries: colour1, two steps towards colour2, colour2, two
// steps towards colour3, colour3 and two darker shades of it.
std::array<Channels, 9> MakePalette(Color colour1, Color colour2, Color colour3)
{
    std::array<Channels, 9> p{};
    p[0] = Split(colour1);
    p[3] = Split(colour2);
    p[6] = Split(colour3);
    for (std::size_t c = 0; c < 3; ++c) {
        p[1][c] = Round(p[3][c] * 0.33 + p[0][c] * 0.66);
        p[2][c] = Round(p[3][c] * 0.66 + p[0][c] * 0.33);
        p[4][c] = Round(p[6][c] * 0.33 + p[3][c] * 0.66);
        p[5][c] = Round(p[6][c] * 0.66 + p[3][c] * 0.33);
        p[7][c] = Round(p[6][c] * 0.66);
        p[8][c] = Round(p[6][c] * 0.33);
    }
    return p;
}

constexpr std::array<Color, 29> brushedMetal{
    0xC4BDBE, 0xD7D3D4, 0xCFC8C8, 0xD2CCCD, 0xD0CBCB, 0xCCC4C5, 0xCAC3C4, 0xD2CDCE, 0xC3BBBC, 0xD5D0D1,
    0xCEC9C8, 0xD2CDCE, 0xC7C0C2, 0xCDC6C8, 0xD1CCCC, 0xCFC9CA, 0xD2CCCD, 0xD5CED0, 0xCDC7C6, 0xCFC8C8,
    0xD2CDCE, 0xD8D3D4, 0xCCC6C6, 0xD2CCCD, 0xD7D1D2, 0xC9C2C2, 0xCDC7C8, 0xD0C9C9, 0xD3CECE,
};

class BackgroundPainter {
public:
    BackgroundPainter(platform::Surface& surface, Color colour1, Color colour2, Color colour3)
        : s_(surface), p_(TwipsPerPixel), sw_(surface.ScaleWidth()), sh_(surface.ScaleHeight()),
          wpx_(static_cast<int>(numeric::DivTrunc(Round(sw_), p_))),
          hpx_(static_cast<int>(numeric::DivTrunc(Round(sh_), p_))), pal_(MakePalette(colour1, colour2, colour3))
    {
    }

    void Bands(int n);
    void Bevel();
    void Diagonal();
    void Columns(bool fromColour3);
    void Vertical();
    void Horizontal();
    void Inset();
    void RoundedRectangles();
    void Circles(int radius, int centreX, int centreY);
    void BrushedMetal(bool shaded);
    void Border();

private:
    Color P(std::size_t k) const { return Compose(pal_[k]); }
    double Px(double pixels) const { return pixels * p_; }
    void Line(double x1, double y1, double x2, double y2, Color colour) { s_.Line(x1, y1, x2, y2, colour); }
    void Box(double x1, double y1, double x2, double y2, Color colour)
    {
        s_.Line(x1, y1, x2, y2, colour, LineShape::FilledBox);
    }
    // Per channel a x (1 - t) + b x t, rounded.
    Color Mix(std::size_t a, std::size_t b, double t) const
    {
        Channels out{};
        for (std::size_t c = 0; c < 3; ++c) {
            out[c] = pal_[a][c] * (1 - t) + pal_[b][c] * t;
        }
        return Compose(out);
    }

    platform::Surface& s_;
    int p_;
    double sw_;
    double sh_;
    int wpx_;
    int hpx_;
    std::array<Channels, 9> pal_;
};

// Styles 0 and 10: a band at the top from colour1 to colour2 and one at the
// bottom from colour2 to colour3, n + 1 rows each.
void BackgroundPainter::Bands(int n)
{
    const auto top = Slope(pal_[0], pal_[3], n);
    for (int i = 0; i <= n; ++i) {
        Line(0, Px(i), sw_ + Px(20), Px(i), Along(pal_[0], top, i));
    }
    const double y0 = Round(sh_ - Px(n));
    const auto bottom = Slope(pal_[3], pal_[6], n);
    for (int i = 0; i <= n; ++i) {
        Line(0, y0 + Px(i), sw_ + Px(20), y0 + Px(i), Along(pal_[3], bottom, i));
    }
}

// Styles 1 and 11: a three-pixel raised bevel.
void BackgroundPainter::Bevel()
{
    const double p = p_;
    Line(0, 0, sw_, 0, P(0));
    Box(p, p, sw_ - p, p, P(1));
    Box(2 * p, 2 * p, sw_ - 2 * p, 2 * p, P(1));
    Box(0, 0, 0, sh_, P(0));
    Line(p, p, p, sh_ - p, P(1));
    Line(2 * p, 2 * p, 2 * p, sh_ - 2 * p, P(2));
    Box(sw_ - p, 0, sw_, sh_, P(6));
    Line(sw_ - 2 * p, p, sw_ - 2 * p, sh_ - p, P(5));
    Line(sw_ - 3 * p, 2 * p, sw_ - 3 * p, sh_ - 2 * p, P(4));
    Box(0, sh_ - p, sw_, sh_, P(6));
    Line(p, sh_ - 2 * p, sw_ - p, sh_ - 2 * p, P(5));
    Line(p, sh_ - 3 * p, sw_ - 2 * p, sh_ - 3 * p, P(4));
}

// Style 2: 45-degree lines from the left edge to the top edge.
void BackgroundPainter::Diagonal()
{
    const int n = static_cast<int>(numeric::DivTrunc(Round(sh_ + sw_ + 20), p_));
    if (n == 0) {
        return;
    }
    const auto slope = Slope(pal_[0], pal_[3], n);
    for (int i = 0; i <= n; ++i) {
        Line(0, Px(i), Px(i), 0, Along(pal_[0], slope, i));
    }
}

// Styles 3 and 4: one line per pixel column, from colour2 darkening or from
// colour3 lightening.
void BackgroundPainter::Columns(bool fromColour3)
{
    if (wpx_ == 0) {
        return;
    }
    std::array<float, 3> slope{};
    for (std::size_t c = 0; c < 3; ++c) {
        const auto s = static_cast<float>(std::abs(pal_[6][c] - pal_[3][c]) / wpx_);
        slope[c] = fromColour3 ? s : -s;
    }
    const Channels& base = fromColour3 ? pal_[6] : pal_[3];
    for (int i = 0; i <= wpx_; ++i) {
        Line(Px(i), 0, Px(i), sh_, Along(base, slope, i));
    }
}

// Styles 5 and 7: colour2 in the middle row, colour1 at the top, colour3 at
// the bottom.
void BackgroundPainter::Vertical()
{
    const int n = std::max(1, static_cast<int>(numeric::DivTrunc(Round(sh_), 2LL * p_)));
    for (int i = 0; i <= n; ++i) {
        const double t = 1 - static_cast<double>(i) / n;
        Line(0, Px(n - i), sw_ + Px(20), Px(n - i), Mix(0, 3, t));
        Line(0, Px(n + i), sw_ + Px(20), Px(n + i), Mix(6, 3, t));
    }
}

// Styles 6 and 8: colour2 at the left edge to colour1 at the centre, then
// colour2 at the centre to colour3 at the right edge.
void BackgroundPainter::Horizontal()
{
    const int n = std::max(1, static_cast<int>(numeric::DivTrunc(Round(sw_), 2LL * p_)));
    for (int i = 0; i <= n; ++i) {
        const double t = 1 - static_cast<double>(i) / n;
        Line(Px(i), 0, Px(i), sh_ + Px(20), Mix(0, 3, t));
        Line(Px(n + i), 0, Px(n + i), sh_ + Px(20), Mix(6, 3, t));
    }
}

// Style 9: an inset panel with a gradient and a shelf at the bottom.
void BackgroundPainter::Inset()
{
    s_.Cls();
    s_.SetBackColor(P(1));
    const int wi = wpx_ - 3;
    const int n = static_cast<int>(numeric::DivTrunc(hpx_ - 3, 2));
    if (n == 0) {
        return; // too low for the two gradients
    }
    const auto lower = Slope(pal_[6], pal_[3], n);
    for (int i = 0; i <= n; ++i) {
        Line(Px(2), Px(i + 3), Px(wi), Px(i + 3), Along(pal_[6], lower, i));
    }
    const auto upper = Slope(pal_[3], pal_[0], n);
    for (int i = 0; i <= n; ++i) {
        Line(Px(2), Px(n + 3 + i), Px(wi), Px(n + 3 + i), Along(pal_[3], upper, i));
    }
    const double m = static_cast<double>(numeric::DivTrunc(Round(sh_), 2));
    Box(Px(2), m, Px(wi - 1), m, P(5));
    Box(Px(2), sh_ - Px(5), Px(wi - 1), sh_, P(0));
    Box(Px(1), sh_ - Px(3), Px(wi), sh_, P(6));
    Box(0, sh_ - Px(1), sw_, sh_, P(7));
    Box(sw_ - Px(1), 0, sw_, sh_, P(8));
}

// Style 12: rounded rectangles shrinking towards the middle.
void BackgroundPainter::RoundedRectangles()
{
    const int n = hpx_ / 2;
    if (n == 0) {
        return;
    }
    const auto s1 = Slope(pal_[0], pal_[3], n);
    const auto s2 = Slope(pal_[3], pal_[6], n);
    for (int k = 1; k <= n; ++k) {
        const double f = std::sqrt(static_cast<double>(n) * n - static_cast<double>(n - k) * (n - k));
        Channels a{};
        Channels b{};
        for (std::size_t c = 0; c < 3; ++c) {
            a[c] = pal_[0][c] + static_cast<double>(s1[c]) * f;
            b[c] = pal_[6][c] - static_cast<double>(s2[c]) * f;
        }
        DrawLineHdc(s_, k + 1, k, wpx_ - k - 1, hpx_ - k, Compose(a), Compose(b), 3);
    }
    DrawLineHdc(s_, 1, 0, wpx_ - 1, hpx_, 0xFFFFFF, P(8), 1);
}

// Style 13: concentric circles.
void BackgroundPainter::Circles(int radius, int centreX, int centreY)
{
    const int r = radius == DefaultShapeValue ? hpx_ / 2 : radius;
    const int cx = centreX == DefaultShapeValue ? wpx_ / 2 : centreX;
    const int cy = centreY == DefaultShapeValue ? hpx_ / 2 : centreY;
    if (r == 0) {
        return;
    }
    const auto s1 = Slope(pal_[0], pal_[3], r);
    const auto s2 = Slope(pal_[3], pal_[6], r);
    for (int k = 1; k <= r; ++k) {
        const double f = std::sqrt(static_cast<double>(r) * r - static_cast<double>(r - k) * (r - k));
        Channels a{};
        Channels b{};
        for (std::size_t c = 0; c < 3; ++c) {
            a[c] = pal_[0][c] + static_cast<double>(s1[c]) * f;
            b[c] = pal_[6][c] - static_cast<double>(s2[c]) * f;
        }
        DrawLineHdc2(s_, cx - r + k, cy - r + k, cx + r - k, cy + r - k, Compose(a), Compose(b), 2, 0);
    }
    DrawLineHdc2(s_, cx - r, cy - r, cx + r, cy + r, 0xFFFFFF, P(7), 1, 0);
}

// Styles 14 and 15: brushed-metal rows in a white and grey frame; style 15
// lightens the top 20 rows and darkens the bottom 20.
void BackgroundPainter::BrushedMetal(bool shaded)
{
    for (int j = 1; j <= hpx_; ++j) {
        Channels row = Split(brushedMetal[static_cast<std::size_t>(j % 29)]);
        if (shaded) {
            int amount = 0;
            if (j < 20) {
                amount = 3 * (20 - j);
            } else if (j > hpx_ - 20) {
                amount = 3 * (hpx_ - j - 20);
            }
            for (double& channel : row) {
                channel += amount;
            }
        }
        Box(Px(1), Px(j), sw_, Px(j), Compose(row));
    }
    const double p = p_;
    Box(p, p, p, sh_ - p, 0xFFFFFF);
    Box(p, p, sw_ - p, p, 0xFFFFFF);
    Box(0, 0, 0, sh_, 0xFFFFFF);
    Box(0, 0, sw_, 0, 0xFFFFFF);
    Box(2 * p, sh_ - 2 * p, sw_, sh_, 0xB0B0B0);
    Box(sw_ - 2 * p, 2 * p, sw_, sh_, 0xB0B0B0);
    Box(p, sh_ - p, sw_, sh_, 0x606060);
    Box(sw_ - p, p, sw_, sh_, 0x606060);
}

// The one-pixel frame of styles -1, 0, 7, 8, 10 and 11.
void BackgroundPainter::Border()
{
    const double p = p_;
    Line(0, 0, 0, sh_ - p, P(0));
    Line(0, 0, sw_ - p, 0, P(0));
    Line(sw_ - p, 0, sw_ - p, sh_, P(8));
    Line(0, sh_ - p, sw_ - p, sh_ - p, P(8));
}

} // namespace

void PaintBackground(platform::Surface& surface, int style, Color colour1, Color colour2, Color colour3, int radius,
                     int centreX, int centreY)
{
    if (style < -2 || style > 15 || TwipsPerPixel <= 0) {
        return;
    }
    colour1 = colour1 == -1 ? SysColor(0) : colour1;
    colour2 = colour2 == -1 ? SysColor(1) : colour2;
    colour3 = colour3 == -1 ? SysColor(2) : colour3;
    if (style == -2) {
        surface.SetBackColor(colour2);
        return;
    }
    BackgroundPainter painter(surface, colour1, colour2, colour3);
    switch (style) {
    case 0:
    case 10:
        painter.Bands(style == 0 ? 20 : 8);
        break;
    case 1:
    case 11:
        painter.Bevel();
        break;
    case 2:
        painter.Diagonal();
        break;
    case 3:
    case 4:
        painter.Columns(style == 4);
        break;
    case 5:
    case 7:
        painter.Vertical();
        break;
    case 6:
    case 8:
        painter.Horizontal();
        break;
    case 9:
        painter.Inset();
        break;
    case 12:
        painter.RoundedRectangles();
        break;
    case 13:
        painter.Circles(radius, centreX, centreY);
        break;
    case 14:
    case 15:
        painter.BrushedMetal(style == 15);
        break;
    default:
        break;
    }
    switch (style) {
    case -1:
    case 0:
    case 7:
    case 8:
    case 10:
    case 11:
        painter.Border();
        break;
    default:
        break;
    }
}

} // namespace basic
