#include "controls/UC_VVU.h"

#include "audio/GainCurve.h"
#include "controls/SurfaceBox.h"
#include "foundation/Colors.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <cstdint>

namespace controls {

namespace {

using platform::RasterOp;
using platform::Surface;

int RoundInt(double value)
{
    return static_cast<int>(numeric::RoundToInt64(value));
}

// How far up the fader's scale a level lies, 0 at the bottom, 1 at 0 dB.
double ScaleFraction(double levelDb)
{
    const double step = WaveMMIO::DbToStep(levelDb, 1);
    const int zero = WaveMMIO::GainCurveZeroStep;
    return zero > 0 ? step / zero : 0.0;
}

constexpr int peakRows = 6;

} // namespace

UC_VVU::UC_VVU(QWidget* parent) : QWidget(parent), face_(new SurfaceBox(this)), pic_(0, 0)
{
    face_->setGeometry(rect());
}

UC_VVU::~UC_VVU() = default;

const Surface& UC_VVU::Picture() const
{
    return face_->Picture();
}

void UC_VVU::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    face_->setGeometry(rect());
}

int UC_VVU::RowOf(double levelDb) const
{
    return RoundInt(meterHeight_ - ScaleFraction(levelDb) * meterHeight_);
}

void UC_VVU::Init()
{
    face_->setGeometry(rect());
    const int p = basic::TwipsPerPixel;
    meterHeight_ = platform::TwipsToPixels(platform::HeightTwips(*this));
    const int width = platform::TwipsToPixels(platform::WidthTwips(*this));
    if (p <= 0 || meterHeight_ <= 0 || width <= 0) {
        meterHeight_ = 0;
        meterWidth_ = 0;
        pic_.Resize(0, 0);
        return;
    }
    pic_.Resize(width, meterHeight_ + peakRows);
    pic_.Cls();
    meterWidth_ = pic_.PixelWidth();
    const auto half = static_cast<std::int16_t>(numeric::RoundToInt64(meterWidth_ / 2.0));
    if (half == 0) {
        return; // too narrow to shade
    }
    const double heightTwips = platform::HeightTwips(*this);
    const double redTwips = numeric::RoundHalfEven(heightTwips - ScaleFraction(redPoint_) * heightTwips);
    const double w = pic_.Width();
    const double h = static_cast<double>(meterHeight_) * p;
    // Shaded across its width like a lit tube: darkest at both edges,
    // brightest in the middle; red above the red point.
    for (int i = 0; i <= half; ++i) {
        const int a = RoundInt(120.0 / half * i + 50);
        const int b = RoundInt(80.0 / half * i + 10);
        const double left = static_cast<double>(i) * p;
        const double right = w - static_cast<double>(i) * p;
        pic_.Line(left, 0, left, h, basic::MakeRgb(b, a, b));
        pic_.Line(right, 0, right, h, basic::MakeRgb(b, a, b));
        pic_.Line(left, 0, left, redTwips, basic::MakeRgb(a, b, b));
        pic_.Line(right, 0, right, redTwips, basic::MakeRgb(a, b, b));
    }
    for (int i = 0; i <= half; ++i) {
        const int c = RoundInt(120.0 / half * i + 30);
        const double left = static_cast<double>(i) * p;
        const double right = w - static_cast<double>(i) * p;
        pic_.Line(left, h, left, h + 7.0 * p, basic::MakeRgb(c, c, c));
        pic_.Line(right, h, right, h + 7.0 * p, basic::MakeRgb(c, c, c));
    }
}

void UC_VVU::MergePic(const Surface* source, int x, int y)
{
    if (source == nullptr) {
        return;
    }
    // Only pixels that exist on both pictures are added.
    for (int dx = 0; dx <= meterWidth_; ++dx) {
        for (int dy = 0; dy <= meterHeight_; ++dy) {
            const platform::Color over = source->GetPixel(x + dx, y + dy);
            const platform::Color lit = pic_.GetPixel(dx, dy);
            if (over == platform::ColorInvalid || lit == platform::ColorInvalid) {
                continue;
            }
            std::int16_t r1 = 0;
            std::int16_t g1 = 0;
            std::int16_t b1 = 0;
            std::int16_t r2 = 0;
            std::int16_t g2 = 0;
            std::int16_t b2 = 0;
            basic::SplitRgb(over, r1, g1, b1);
            basic::SplitRgb(lit, r2, g2, b2);
            pic_.SetPixelV(dx, dy, basic::MakeRgb(r1 + r2, g1 + g2, b1 + b2));
        }
    }
}

void UC_VVU::ClearVU()
{
    face_->setGeometry(rect());
    face_->Picture().Cls();
    face_->Refresh();
}

void UC_VVU::DrawVU(float levelDb, float peakDb, Surface* target, int x, int y)
{
    if (meterHeight_ <= 0) {
        return;
    }
    const int levelRow = RowOf(levelDb);
    const int peakRow = RowOf(peakDb);
    Surface* onto = target;
    if (onto == nullptr) {
        face_->setGeometry(rect());
        face_->Picture().Cls();
        onto = &face_->Picture();
    }
    if (levelRow < meterHeight_) {
        // The lit column from the level down; the meter's bottom row stays dark.
        onto->BitBlt(x, y + levelRow, meterWidth_, RoundInt(meterHeight_ - levelRow - 1.0), pic_, 0, levelRow,
                     RasterOp::SrcCopy);
    }
    if (peakRow < meterHeight_) {
        onto->BitBlt(x, y + peakRow, meterWidth_, peakRows, pic_, 0, meterHeight_ + 1, RasterOp::SrcCopy);
    }
    if (target == nullptr) {
        face_->Refresh();
    }
}

} // namespace controls
