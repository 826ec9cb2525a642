#include "platform/TwipsGeometry.h"

#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <QWidget>

#include <algorithm>
#include <cstdint>

namespace platform {

int TwipsToPixels(double twips)
{
    if (basic::TwipsPerPixel <= 0) {
        return 0;
    }
    const std::int64_t whole = numeric::RoundToInt64(twips);
    const std::int64_t pixels = numeric::DivTrunc(whole, basic::TwipsPerPixel);
    return static_cast<int>(std::clamp<std::int64_t>(pixels, -MaxPixels, MaxPixels));
}

int PixelsToTwips(int pixels)
{
    const std::int64_t twips = std::int64_t{pixels} * basic::TwipsPerPixel;
    return static_cast<int>(std::clamp<std::int64_t>(twips, INT32_MIN, INT32_MAX));
}

int LeftTwips(const QWidget& control)
{
    return PixelsToTwips(control.x());
}

int TopTwips(const QWidget& control)
{
    return PixelsToTwips(control.y());
}

int WidthTwips(const QWidget& control)
{
    return PixelsToTwips(control.width());
}

int HeightTwips(const QWidget& control)
{
    return PixelsToTwips(control.height());
}

void SetLeftTwips(QWidget& control, double twips)
{
    if (basic::TwipsPerPixel > 0) {
        control.move(TwipsToPixels(twips), control.y());
    }
}

void SetTopTwips(QWidget& control, double twips)
{
    if (basic::TwipsPerPixel > 0) {
        control.move(control.x(), TwipsToPixels(twips));
    }
}

void SetWidthTwips(QWidget& control, double twips)
{
    if (basic::TwipsPerPixel > 0) {
        control.resize(std::max(0, TwipsToPixels(twips)), control.height());
    }
}

void SetHeightTwips(QWidget& control, double twips)
{
    if (basic::TwipsPerPixel > 0) {
        control.resize(control.width(), std::max(0, TwipsToPixels(twips)));
    }
}

void MoveTwips(QWidget& control, double left, double top, double width, double height)
{
    if (basic::TwipsPerPixel <= 0) {
        return;
    }
    const int w = width < 0 ? control.width() : TwipsToPixels(width);
    const int h = height < 0 ? control.height() : TwipsToPixels(height);
    control.setGeometry(TwipsToPixels(left), TwipsToPixels(top), w, h);
}

} // namespace platform
