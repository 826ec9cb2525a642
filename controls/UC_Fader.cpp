#include "controls/UC_Fader.h"

#include "foundation/Background.h"
#include "foundation/Colors.h"
#include "platform/EventPump.h"
#include "platform/InputCodes.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <QPointer>

#include <algorithm>

namespace {

using controls::PointerEvent;
using platform::Color;
using platform::Surface;

std::int32_t RoundToLong(double value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(numeric::RoundToInt64(value), INT32_MIN, INT32_MAX));
}

} // namespace

UC_Fader::UC_Fader(QWidget* parent) : QWidget(parent), picFader_(new controls::SurfaceBox(this))
{
    picFader_->setObjectName("PicFader");
    picFader_->OnPointer = [this](const PointerEvent& event) { OnPointer(event); };
}

UC_Fader::~UC_Fader() = default;

void UC_Fader::SetFaderType(std::int32_t type)
{
    if (type == 0) {
        SetMin(0);
        SetMax(255);
    } else if (type == 1) {
        SetMin(0);
        SetMax(1000);
    }
}

void UC_Fader::SetMax(std::int32_t max)
{
    max_ = max;
}

void UC_Fader::SetMin(std::int32_t min)
{
    min_ = min;
}

void UC_Fader::FillControl()
{
    picFader_->setGeometry(0, 0, width(), height());
}

void UC_Fader::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FillControl();
}

void UC_Fader::RecomputeTrackLength()
{
    trackLength_ = RoundToLong(trackHeight_ - static_cast<double>(knobHeight_) * basic::TwipsPerPixel);
}

std::int32_t UC_Fader::PointerSize() const
{
    return knobHeight_ * basic::TwipsPerPixel;
}

void UC_Fader::SetPointerSize(std::int32_t twips)
{
    if (basic::TwipsPerPixel <= 0) {
        return;
    }
    knobHeight_ = std::max(twips / basic::TwipsPerPixel, 0);
    RecomputeTrackLength();
}

void UC_Fader::LockLinked()
{
    linkLock_ = 1;
    linked_ = 1;
}

void UC_Fader::SetLinkDisabled(std::int32_t lock)
{
    linked_ = 1;
    linkLock_ = lock;
}

void UC_Fader::SetLinked(std::int32_t linked)
{
    if (!(linkLock_ == 1 && linked == 0)) {
        linked_ = linked != 0 ? 1 : 0;
    }
    DrawValues();
}

void UC_Fader::SetKnobPicA(const Surface& picture)
{
    const int tpp = basic::TwipsPerPixel;
    knobA_ = &picture;
    knobHeight_ = picture.PixelHeight();
    knobAWidth_ = picture.PixelWidth();
    const auto widthTwips = static_cast<std::int32_t>(numeric::RoundToInt64(picture.Width()));
    centreL_ = widthTwips / 2 + 2 * tpp;
    centreR_ = RoundToLong(picture.Width() * 1.5 + 2 * tpp);
    // The knob's height sets how far it can travel.
    RecomputeTrackLength();
}

void UC_Fader::SetKnobPicB(const Surface& picture)
{
    const int tpp = basic::TwipsPerPixel;
    knobB_ = &picture;
    knobBWidth_ = picture.PixelWidth();
    knobBCentre_ = tpp > 0 ? static_cast<int>(numeric::RoundToInt64(picture.Width() / 2) / tpp) + 1 : 0;
}

void UC_Fader::Init(std::int32_t makeKnobs, std::int32_t knobStyle)
{
    const int tpp = basic::TwipsPerPixel;
    if (tpp <= 0) {
        return;
    }
    FillControl();
    Surface& track = picFader_->Picture();
    trackHeight_ = track.Height() - 4.0 * tpp;
    if (showLR_ != 0) {
        trackHeight_ = track.Height() - 8.0 * tpp - track.TextHeight("漢");
    }

    if (makeKnobs != 0) {
        if (picKnobA_ == nullptr) {
            picKnobA_ = std::make_unique<Surface>();
            picKnobB_ = std::make_unique<Surface>();
        }
        const int trackPixels = track.PixelWidth();
        picKnobA_->Resize(std::max((trackPixels - 6) / 2, 0), knobHeight_);
        picKnobB_->Resize(std::max(trackPixels - 5, 0), knobHeight_);
        const QPointer<UC_Fader> alive(this);
        platform::DoEvents();
        if (alive == nullptr) {
            return;
        }
        basic::PaintBackground(*picKnobA_, knobStyle, -1, -1, -1);
        basic::PaintBackground(*picKnobB_, knobStyle, -1, -1, -1);
        SetKnobPicA(*picKnobA_);
        SetKnobPicB(*picKnobB_);
    }

    const Color shadow = platform::SystemColor(platform::ColorBtnShadow);
    basic::PaintBackground(track, 2, basic::ShiftColor(shadow, 20, 20, 20, -1),
                           basic::ShiftColor(shadow, -40, -40, -40, -1), -1);
    track.DrawEdge({0, 0, track.PixelWidth(), track.PixelHeight()}, platform::EdgeSunken, platform::EdgeRect);

    if (showLR_ != 0) {
        track.SetForeColor(platform::SystemColor(platform::ColorBtnHighlight));
        const double labelTop = trackHeight_ + 2.0 * tpp;
        track.SetCurrentX(centreL_ - track.TextWidth("L") / 2);
        track.SetCurrentY(labelTop);
        track.Print("L");
        track.SetCurrentX(centreR_ - track.TextWidth("R") / 2);
        track.SetCurrentY(labelTop);
        track.Print("R");
    }
    savedTrack_ = track;
    RecomputeTrackLength();
    picFader_->Refresh();
}

void UC_Fader::DrawGroove(Surface& picture, double centreTwips) const
{
    const int tpp = basic::TwipsPerPixel;
    const double top = 6.0 * tpp;
    const double bottom = trackHeight_ - 10.0 * tpp;
    picture.Line(centreTwips, top, centreTwips, bottom, 0x000000);
    picture.Line(centreTwips + tpp, top, centreTwips + tpp, bottom, platform::SystemColor(platform::ColorBtnHighlight));
}

void UC_Fader::Draw(std::int32_t position, std::int32_t which)
{
    const int tpp = basic::TwipsPerPixel;
    // Created faders have no range and no track until the owner sets them up.
    if (Range() == 0 || trackLength_ <= 0 || tpp <= 0) {
        return;
    }
    const double product =
        static_cast<double>(static_cast<std::int64_t>(trackLength_) - position) * static_cast<double>(Range());
    const double value = numeric::RoundHalfEven(product / trackLength_ + min_);
    const std::int32_t bottom = RoundToLong(trackHeight_ - static_cast<double>(knobHeight_) * tpp);
    std::int32_t drawnValue = 0;
    if (value > max_) {
        drawnValue = max_;
        position = 0;
    } else if (value < min_) {
        drawnValue = min_;
        position = bottom;
    } else {
        drawnValue = static_cast<std::int32_t>(value);
        position = std::clamp(position, 0, std::max(bottom, 0));
    }

    Surface& track = picFader_->Picture();
    const int trackPixels = platform::TwipsToPixels(trackHeight_);
    const int knobTop = (2 * tpp + position) / tpp;
    const auto restore = [&](int x, int width) {
        track.BitBlt(x, 2, width, trackPixels, savedTrack_, x, 2, platform::RasterOp::SrcCopy);
    };
    const auto placeKnob = [&](const Surface* knob, int x) {
        if (knob != nullptr) {
            track.BitBlt(x, knobTop, knob->PixelWidth(), knob->PixelHeight(), *knob, 0, 0, platform::RasterOp::SrcCopy);
        }
    };
    switch (which) {
    case 0:
        valueL_ = drawnValue;
        restore(2, knobAWidth_);
        DrawGroove(track, centreL_);
        placeKnob(knobA_, 2);
        break;
    case 1:
        valueR_ = drawnValue;
        restore(knobAWidth_ + 2, knobAWidth_ + 2);
        DrawGroove(track, centreR_);
        placeKnob(knobA_, knobAWidth_ + 3);
        break;
    case 2:
        valueL_ = drawnValue;
        valueR_ = drawnValue;
        restore(2, knobBWidth_ + 2);
        DrawGroove(track, static_cast<double>(knobBCentre_) * tpp);
        placeKnob(knobB_, 2);
        break;
    default:
        break;
    }
    lastDrawn_ = position;
    picFader_->Refresh();
}

void UC_Fader::DrawValues()
{
    const std::int64_t range = Range();
    if (range == 0) {
        return;
    }
    const auto positionOf = [&](std::int32_t value) {
        return RoundToLong(static_cast<double>(max_ - static_cast<std::int64_t>(value)) * trackLength_ /
                           static_cast<double>(range));
    };
    const std::int32_t left = positionOf(valueL_);
    if (linked_ != 0) {
        Draw(left, 2);
        return;
    }
    const std::int32_t right = positionOf(valueR_);
    Draw(left, 0);
    Draw(right, 1);
}

void UC_Fader::SetValue(std::int32_t value, std::int32_t which)
{
    const std::int64_t range = Range();
    if (locked_ != 0 || clicked_ != 0 || range == 0) {
        return;
    }
    value = std::max(std::min(value, max_), min_);
    const std::int32_t position = trackLength_ == 0
                                      ? 0
                                      : RoundToLong(static_cast<double>(trackLength_) / static_cast<double>(range) *
                                                    static_cast<double>(max_ - static_cast<std::int64_t>(value)));
    Draw(position, linked_ != 0 ? 2 : which);
}

void UC_Fader::SetValueL(std::int32_t value)
{
    SetValue(value, 0);
}

void UC_Fader::SetValueR(std::int32_t value)
{
    SetValue(value, 1);
}

void UC_Fader::MoveKnob(int buttons, int shift, double x, double y)
{
    if ((buttons & platform::ButtonLeft) == 0 || clicked_ == 0) {
        if (Hovered) {
            Hovered();
        }
        return;
    }
    if (y == lastY_) {
        return;
    }
    const std::int32_t previousL = valueL_;
    const std::int32_t previousR = valueR_;
    const std::int32_t position = RoundToLong(y - grabOffset_);
    if (linked_ != 0) {
        lastY_ = y;
        Draw(position, 2);
    } else {
        // The column is the one pressed, wherever the mouse goes since.
        const double knobAWidthTwips = static_cast<double>(knobAWidth_) * basic::TwipsPerPixel;
        Draw(position, pressX_ >= knobAWidthTwips ? 1 : 0);
        lastX_ = x;
        lastY_ = y;
    }
    if (LevelChanged) {
        LevelChanged();
    }
    if (shift == platform::AltMask && AltChanged) {
        AltChanged(valueL_ - previousL, valueR_ - previousR, 0);
    }
}

void UC_Fader::OnPointer(const PointerEvent& event)
{
    if (locked_ != 0) {
        return;
    }
    switch (event.kind) {
    case PointerEvent::Kind::Press: {
        const double knobTwips = static_cast<double>(knobHeight_) * basic::TwipsPerPixel;
        const bool onKnob = event.y > lastDrawn_ && event.y < lastDrawn_ + knobTwips;
        grabOffset_ = onKnob ? event.y - lastDrawn_ : knobTwips / 2;
        clicked_ = 1;
        pressX_ = event.x;
        altMode_ = event.shift == platform::AltMask;
        MoveKnob(event.buttons | event.button, event.shift, event.x, event.y);
        break;
    }
    case PointerEvent::Kind::Move:
        MoveKnob(event.buttons, event.shift, event.x, event.y);
        break;
    case PointerEvent::Kind::Release: {
        bool toggled = false;
        if (event.button == platform::ButtonRight && linkLock_ == 0) {
            linked_ = linked_ != 0 ? 0 : 1;
            DrawValues();
            toggled = true;
        }
        clicked_ = 0;
        if (MouseUp) {
            MouseUp(event.button, event.shift, event.x, event.y);
        }
        if (event.shift == platform::AltMask && AltChanged) {
            AltChanged(0, 0, toggled ? 1 : 0);
        }
        break;
    }
    case PointerEvent::Kind::DoubleClick:
        if (DblClicked) {
            DblClicked();
        }
        if (altMode_ && AltChanged) {
            AltChanged(0, 0, 2);
        }
        break;
    }
}
