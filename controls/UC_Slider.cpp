#include "controls/UC_Slider.h"

#include "foundation/Background.h"
#include "foundation/Colors.h"
#include "platform/EventPump.h"
#include "platform/InputCodes.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <QPointer>

#include <algorithm>
#include <cmath>

namespace {

using controls::PointerEvent;
using platform::Color;
using platform::Surface;

// The arrow buttons are this long along the slider.
constexpr int arrowLength = 270;
constexpr int autoRepeatMs = 200;

// A line of pixels from (x1, y1) up to, not including, (x2, y2).
void PixelLine(Surface& surface, int x1, int y1, int x2, int y2, Color colour)
{
    const int tpp = basic::TwipsPerPixel;
    surface.Line(static_cast<double>(x1) * tpp, static_cast<double>(y1) * tpp, static_cast<double>(x2) * tpp,
                 static_cast<double>(y2) * tpp, colour);
}

// An arrow glyph strip: four cells (arrow 0 pressed, arrow 1 pressed, arrow 0
// released, arrow 1 released), the glyphs at the top and their AND masks
// below. Pressed glyphs are white, released ones black; arrow 0 points left
// (up when vertical), arrow 1 right (down).
Surface MakeArrowStrip(bool vertical)
{
    const int cellWidth = vertical ? 10 : 6;
    const int cellHeight = vertical ? 6 : 10;
    Surface strip(4 * cellWidth, 2 * cellHeight);
    strip.SetBackColor(0x000000);
    for (int x = 0; x < strip.PixelWidth(); ++x) {
        for (int y = cellHeight; y < 2 * cellHeight; ++y) {
            strip.SetPixelV(x, y, 0xFFFFFF);
        }
    }
    for (int cell = 0; cell < 4; ++cell) {
        const bool pointsBack = cell % 2 == 0; // left or up
        const Color ink = cell < 2 ? 0xFFFFFF : 0x000000;
        // Four rows (columns when horizontal) widening from a 2-pixel tip.
        for (int step = 0; step < 4; ++step) {
            const int along = pointsBack ? 1 + step : 4 - step;
            for (int across = 4 - step; across <= 5 + step; ++across) {
                const int x = cell * cellWidth + (vertical ? across : along);
                const int y = vertical ? along : across;
                strip.SetPixelV(x, y, ink);
                strip.SetPixelV(x, y + cellHeight, 0x000000);
            }
        }
    }
    return strip;
}

} // namespace

UC_Slider::UC_Slider(QWidget* parent)
    : QWidget(parent),
      pictureSlider_(new controls::SurfaceBox(this)), pictureSrc_{MakeArrowStrip(false), MakeArrowStrip(true)},
      timerCheck_(this)
{
    pictureSlider_->setObjectName("PictureSlider");
    pictureSlider_->SetSunkenBorder(true);
    pictureSlider_->OnPointer = [this](const PointerEvent& event) { OnTrackPointer(event); };
    for (int i = 0; i < 2; ++i) {
        auto* arrow = new controls::SurfaceBox(this);
        arrow->setObjectName(QStringLiteral("PictureArrow%1").arg(i));
        arrow->OnPointer = [this, i](const PointerEvent& event) { OnArrowPointer(i, event); };
        pictureArrow_[static_cast<std::size_t>(i)] = arrow;
    }
    timerCheck_.SetEnabled(false);
    timerCheck_.SetInterval(autoRepeatMs);
    timerCheck_.OnTimer = [this] { Step(); };
}

void UC_Slider::SetNoArrow(std::int32_t noArrow)
{
    noArrow_ = noArrow;
    disableTrim_ = true;
}

void UC_Slider::SetPointerSizeTwips(std::int32_t twips)
{
    pointerSize_ = twips;
    trackLength_ = TrackAlong() - pointerSize_;
}

void UC_Slider::MeasureTrack()
{
    const int tpp = basic::TwipsPerPixel;
    trackWidth_ = std::max(platform::WidthTwips(*pictureSlider_) - 4.0 * tpp, 15.0);
    trackHeight_ = std::max(platform::HeightTwips(*pictureSlider_) - 4.0 * tpp, 15.0);
}

void UC_Slider::PaintFace(Surface& surface) const
{
    if (noGrad_ != 0) {
        basic::PaintBackground(surface, 1, -1, -1, -1);
    } else {
        basic::PaintBackground(surface, Vertical() ? 6 : 5, pointerColours_[0], pointerColours_[1], pointerColours_[2]);
    }
}

void UC_Slider::Init()
{
    const int tpp = basic::TwipsPerPixel;
    if (tpp <= 0) {
        return;
    }
    const int width = platform::WidthTwips(*this);
    const int height = platform::HeightTwips(*this);
    controls::SurfaceBox& arrow0 = *pictureArrow_[0];
    controls::SurfaceBox& arrow1 = *pictureArrow_[1];
    if (Vertical()) {
        glyphWidth_ = 10;
        glyphHeight_ = 6;
        maskRow_ = 6;
        platform::MoveTwips(arrow0, 0, 0, width, arrowLength);
        if (noArrow_ != 0) {
            platform::MoveTwips(*pictureSlider_, 0, 0, width, height);
        } else {
            const int sliderHeight = std::max(height - 2 * arrowLength - tpp, 15);
            const int sliderTop = arrowLength + tpp;
            platform::MoveTwips(*pictureSlider_, 0, sliderTop, width, sliderHeight);
            platform::MoveTwips(arrow1, 0, sliderTop + platform::HeightTwips(*pictureSlider_), width, arrowLength);
        }
    } else {
        glyphWidth_ = 6;
        glyphHeight_ = 10;
        maskRow_ = 10;
        platform::MoveTwips(arrow0, 0, 0, arrowLength, height);
        if (noArrow_ != 0) {
            platform::MoveTwips(*pictureSlider_, 0, 0, width, height);
        } else {
            const int sliderWidth = std::max(width - 2 * arrowLength - tpp, 15);
            const int sliderLeft = arrowLength + tpp;
            platform::MoveTwips(*pictureSlider_, sliderLeft, 0, sliderWidth, height);
            platform::MoveTwips(arrow1, sliderLeft + platform::WidthTwips(*pictureSlider_), 0, arrowLength, height);
        }
    }
    arrow0.setVisible(noArrow_ == 0);
    arrow1.setVisible(noArrow_ == 0);

    MeasureTrack();
    pictureGrad_.Resize(platform::TwipsToPixels(trackWidth_), platform::TwipsToPixels(trackHeight_));

    for (std::size_t i = 0; i < 2; ++i) {
        const controls::SurfaceBox& arrow = *pictureArrow_[i];
        glyphY_[i] =
            static_cast<int>(numeric::RoundToInt64(platform::HeightTwips(arrow) / (2 * tpp) - glyphHeight_ / 2.0));
        glyphX_[i] =
            static_cast<int>(numeric::RoundToInt64(platform::WidthTwips(arrow) / (2 * tpp) - glyphWidth_ / 2.0));
    }

    const Color shadow = platform::SystemColor(platform::ColorBtnShadow);
    const Color face = platform::SystemColor(platform::ColorBtnFace);
    pointerColours_ = {basic::ShiftColor(shadow, 0, 0, 0, 1.2f), basic::ShiftColor(face, 0, 0, 0, 1.1f),
                       basic::ShiftColor(shadow, 0, 0, 0, 0.9f)};

    const Color darkShadow = platform::SystemColor(platform::Color3dDkShadow);
    for (controls::SurfaceBox* arrow : pictureArrow_) {
        Surface& picture = arrow->Picture();
        PaintFace(picture);
        const int right = picture.PixelWidth();
        const int bottom = picture.PixelHeight();
        PixelLine(picture, 0, bottom - 1, right, bottom - 1, darkShadow);
        PixelLine(picture, right - 1, 0, right - 1, bottom, darkShadow);
        arrow->Refresh();
    }
    if (!disableTrim_) {
        DrawArrow(0, false);
        DrawArrow(1, false);
    }
    Init2();
}

void UC_Slider::Init2()
{
    const int tpp = basic::TwipsPerPixel;
    if (tpp <= 0) {
        return;
    }
    MeasureTrack();
    trackLength_ = TrackAlong() - pointerSize_;
    const int pointerPixels = platform::TwipsToPixels(pointerSize_);
    if (Vertical()) {
        pictureGrad_.Resize(platform::TwipsToPixels(trackWidth_), pointerPixels);
    } else {
        pictureGrad_.Resize(pointerPixels, platform::TwipsToPixels(trackHeight_));
    }
    pictureGrad_.Cls();
    PaintFace(pictureGrad_);

    const int across = Vertical() ? pictureGrad_.PixelWidth() : pictureGrad_.PixelHeight();
    // A line across the pointer, the given number of pixels from its start.
    const auto lineAcross = [&](int at, Color colour) {
        if (Vertical()) {
            PixelLine(pictureGrad_, 0, at, across, at, colour);
        } else {
            PixelLine(pictureGrad_, at, 0, at, across, colour);
        }
    };
    const Color shadow = platform::SystemColor(platform::ColorBtnShadow);
    if (centerLined_) {
        lineAcross(pointerSize_ / (2 * tpp) - 1, shadow);
    } else if (noGrad_ == 0) {
        lineAcross(4, shadow);
        lineAcross(platform::TwipsToPixels(pointerSize_ - 6 * tpp), shadow);
    }
    if (noGrad_ == 0) {
        lineAcross(platform::TwipsToPixels(pointerSize_ - tpp), platform::SystemColor(platform::Color3dDkShadow));
    }
}

void UC_Slider::SetPointerSize(float fraction)
{
    if (!(fraction < 1)) {
        fraction = 0.95f;
    }
    const double wanted = static_cast<double>(fraction) * TrackAlong();
    const std::int64_t rounded = numeric::RoundToInt64(wanted);
    const std::int64_t least = 8LL * basic::TwipsPerPixel;
    pointerSize_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(rounded, least, INT32_MAX));
    Init2();
}

void UC_Slider::SetValueDraw(std::int64_t value)
{
    const std::int64_t range = static_cast<std::int64_t>(max_) - min_;
    if (range == 0) {
        return;
    }
    value = std::min<std::int64_t>(value, max_);
    value = std::max<std::int64_t>(value, min_);
    value_ = static_cast<std::int32_t>(value);
    const double position = trackLength_ / static_cast<double>(range) * static_cast<double>(value - min_);
    DrawPointer(numeric::RoundHalfEven(position));
}

void UC_Slider::Draw(std::int32_t position)
{
    const std::int64_t range = static_cast<std::int64_t>(max_) - min_;
    // A track without length (not laid out yet, or shorter than the pointer)
    // gives no value.
    if (range == 0 || !(trackLength_ > 0)) {
        return;
    }
    const double value =
        numeric::RoundHalfEven(static_cast<double>(range) / trackLength_ * position + static_cast<double>(min_));
    double drawAt = position;
    if (value > max_) {
        value_ = max_;
        drawAt = numeric::RoundHalfEven(trackLength_);
    } else if (value < min_) {
        value_ = min_;
        drawAt = 0;
    } else {
        value_ = static_cast<std::int32_t>(value);
    }
    DrawPointer(drawAt);
}

void UC_Slider::DrawPointer(double position)
{
    const int tpp = basic::TwipsPerPixel;
    if (tpp <= 0) {
        return;
    }
    Surface& track = pictureSlider_->Picture();
    track.SetBackColor(platform::SystemColor(platform::ColorBtnShadow));
    const int offset = platform::TwipsToPixels(position);
    const int x = Vertical() ? 0 : offset;
    const int y = Vertical() ? offset : 0;
    track.BitBlt(x, y, pictureGrad_.PixelWidth(), pictureGrad_.PixelHeight(), pictureGrad_, 0, 0,
                 platform::RasterOp::SrcCopy);
    pictureSlider_->Refresh();
    pointerPosition_ = position;
}

void UC_Slider::DrawArrow(int index, bool pressed)
{
    const auto i = static_cast<std::size_t>(index);
    const Surface& strip = pictureSrc_[Vertical() ? 1 : 0];
    const int cell = (pressed ? 0 : 2) + (index != 0 ? 1 : 0);
    Surface& arrow = pictureArrow_[i]->Picture();
    arrow.BitBlt(glyphX_[i], glyphY_[i], glyphWidth_, glyphHeight_, strip, cell * glyphWidth_, maskRow_,
                 platform::RasterOp::SrcAnd);
    arrow.BitBlt(glyphX_[i], glyphY_[i], glyphWidth_, glyphHeight_, strip, cell * glyphWidth_, 0,
                 platform::RasterOp::SrcInvert);
    pictureArrow_[i]->Refresh();
}

void UC_Slider::RaiseScrolled()
{
    if (Scrolled) {
        Scrolled(1);
    }
}

void UC_Slider::Step()
{
    if (held_[0] != 0) {
        SetValueDraw(static_cast<std::int64_t>(value_) - smallChange_);
    } else if (held_[1] != 0) {
        SetValueDraw(static_cast<std::int64_t>(value_) + smallChange_);
    } else {
        return;
    }
    RaiseScrolled();
}

void UC_Slider::OnTrackPointer(const PointerEvent& event)
{
    if (refuseInput_) {
        return;
    }
    const double coordinate = Vertical() ? event.y : event.x;
    const auto dragTo = [&] {
        Draw(static_cast<std::int32_t>(
            std::clamp<std::int64_t>(numeric::RoundToInt64(coordinate - grabOffset_), INT32_MIN, INT32_MAX)));
    };
    switch (event.kind) {
    case PointerEvent::Kind::Press:
        if (event.button == platform::ButtonLeft) {
            const bool onPointer = coordinate > pointerPosition_ && coordinate < pointerPosition_ + pointerSize_;
            grabOffset_ = onPointer ? coordinate - pointerPosition_ : pointerSize_ / 2.0;
            dragTo();
        }
        clicked_ = true;
        if (MouseUD) {
            MouseUD(true, event.button);
        }
        if (event.button == platform::ButtonLeft) {
            RaiseScrolled();
        }
        break;
    case PointerEvent::Kind::Move:
        if ((event.buttons & platform::ButtonLeft) != 0 && coordinate != lastCoordinate_) {
            lastCoordinate_ = coordinate;
            // Pending events run here, and may take the slider away.
            const QPointer<UC_Slider> alive(this);
            platform::DoEvents();
            if (alive == nullptr) {
                return;
            }
            dragTo();
            RaiseScrolled();
        }
        break;
    case PointerEvent::Kind::Release:
        clicked_ = false;
        if (MouseUD) {
            MouseUD(false, event.button);
        }
        if (event.button == platform::ButtonLeft) {
            RaiseScrolled();
        }
        break;
    case PointerEvent::Kind::DoubleClick:
        if (DblClicked) {
            DblClicked();
        }
        RaiseScrolled();
        break;
    }
}

void UC_Slider::PressArrow(int index)
{
    held_[static_cast<std::size_t>(index)] = 1;
    DrawArrow(index, true);
    Step();
    timerCheck_.SetEnabled(true);
    clicked_ = true;
}

void UC_Slider::OnArrowPointer(int index, const PointerEvent& event)
{
    if (refuseInput_ || disableTrim_) {
        return;
    }
    switch (event.kind) {
    case PointerEvent::Kind::Press:
    case PointerEvent::Kind::DoubleClick:
        if (event.button == platform::ButtonLeft) {
            PressArrow(index);
        }
        break;
    case PointerEvent::Kind::Release:
        if (event.button == platform::ButtonLeft) {
            held_[static_cast<std::size_t>(index)] = 0;
            DrawArrow(index, false);
            timerCheck_.SetEnabled(false);
            clicked_ = false;
        }
        if (MouseUD) {
            MouseUD(false, event.button);
        }
        break;
    case PointerEvent::Kind::Move:
        break;
    }
}
