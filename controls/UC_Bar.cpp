#include "controls/UC_Bar.h"

#include "controls/SurfaceBox.h"
#include "foundation/Background.h"
#include "foundation/Colors.h"
#include "foundation/Fonts.h"
#include "platform/InputCodes.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <algorithm>

namespace controls {

namespace {

using platform::LineShape;
using platform::RasterOp;
using platform::Surface;

int RoundInt(double value)
{
    return static_cast<int>(numeric::RoundToInt64(value));
}

platform::Color ButtonShadow()
{
    return platform::GetSysColor(platform::ColorBtnShadow);
}

} // namespace

UC_Bar::UC_Bar(QWidget* parent) : QWidget(parent), face_(new SurfaceBox(this))
{
    face_->setGeometry(rect());
    face_->OnPointer = [this](const PointerEvent& event) { OnPointer(event); };
}

UC_Bar::~UC_Bar() = default;

const Surface& UC_Bar::Picture() const
{
    return face_->Picture();
}

void UC_Bar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    face_->setGeometry(rect());
}

double UC_Bar::InnerWidth() const
{
    return platform::WidthTwips(*this) - 4.0 * basic::TwipsPerPixel;
}

double UC_Bar::InnerHeight() const
{
    return platform::HeightTwips(*this) - 4.0 * basic::TwipsPerPixel;
}

void UC_Bar::SetStyle(float fontSize, bool fontBold, std::string_view fontName, platform::Color foreColor)
{
    Surface& picture = face_->Picture();
    picture.SetForeColor(foreColor);
    basic::SetControlFont(&picture, -2, nullptr, fontSize, fontBold, false, fontName);
    drawn_.valid = false;
}

void UC_Bar::Init()
{
    face_->setGeometry(rect());
    drawn_.valid = false;
    const int p = basic::TwipsPerPixel;
    trackWidth_ = InnerWidth();
    max_ = 1000;
    prepared_ = false;
    const int iw = platform::TwipsToPixels(InnerWidth());
    const int ih = platform::TwipsToPixels(InnerHeight());
    if (p <= 0 || iw <= 0 || ih <= 0) {
        // No room inside the frame: nothing to prepare, and no position can
        // be read from the mouse.
        trackWidth_ = 0;
        frame_ = {};
        Draw(0);
        return;
    }
    prepared_ = true;
    const platform::Color colour = barColor_ != 0 ? barColor_ : ButtonShadow();
    Surface& face = face_->Picture();
    frame_ = {0, 0, face.PixelWidth(), face.PixelHeight()};
    face.DrawEdge(frame_, platform::EdgeSunken, platform::EdgeRect);

    // The filled bar, lit along its middle, with a dark front column.
    grad_.Resize(iw, ih);
    if (noGrad_ != 0) {
        grad_.Line(0, 0, grad_.Width(), grad_.Height(), colour, LineShape::FilledBox);
    } else {
        basic::PaintBackground(grad_, 5, colour, basic::ShiftColor(colour, 90, 90, 90, -1), colour);
        grad_.Line(grad_.Width() - p, 0, grad_.Width(), grad_.Height(), basic::ShiftColor(colour, -80, -80, -80, -1),
                   LineShape::FilledBox);
    }
    face.BitBlt(2, 2, iw, ih, grad_, 0, 0, RasterOp::SrcCopy);

    // The empty track above it, one row of the back colour between.
    grad_.Cls();
    basic::PaintBackground(grad_, 2, basic::ShiftColor(ButtonShadow(), 20, 20, 20, -1),
                           basic::ShiftColor(ButtonShadow(), -40, -40, -40, -1), -1);
    // One row more than twice the band, so the filled bar keeps its last row.
    grad_.Resize(iw, 2 * ih + 1);
    grad_.BitBlt(0, ih + 1, iw, ih, face, 2, 2, RasterOp::SrcCopy);
    Draw(0);
}

void UC_Bar::Draw(double x)
{
    const int p = basic::TwipsPerPixel;
    if (p <= 0) {
        return;
    }
    const double iw = InnerWidth();
    if (x > iw + 2.0 * p) {
        x = numeric::RoundHalfEven(iw + 2.0 * p);
    }
    x = std::max(x, 2.0 * p);
    drawnOnce_ = true;
    drawnX_ = x;
    // In pixels: the end of the filled bar, and where in the band it is taken from.
    const int end = RoundInt(x / p);
    const int from = RoundInt((iw - x) / p);
    if (drawn_.valid && end == drawn_.end && from == drawn_.from && textToDisp_ == drawn_.text &&
        size() == drawn_.size) {
        return; // the engine's tick sets the position far more often than it moves a pixel
    }
    drawn_ = Drawn{true, end, from, textToDisp_, size()};
    face_->setGeometry(rect());
    Surface& face = face_->Picture();
    face.Cls();
    if (prepared_ && x != 0) {
        const int iwPx = grad_.PixelWidth();
        const int ihPx = (grad_.PixelHeight() - 1) / 2;
        // The empty track, then as much of the filled bar's right-hand end as
        // the value covers, so its dark front column always leads.
        face.BitBlt(1, 1, iwPx, 2 * ihPx, grad_, 0, 0, RasterOp::SrcCopy);
        face.BitBlt(1, 1, end - 1, 2 * ihPx, grad_, from + 1, ihPx, RasterOp::SrcCopy);
    }
    face.DrawEdge(frame_, platform::EdgeSunken, platform::EdgeRect);
    if (!textToDisp_.empty()) {
        const double w = platform::WidthTwips(*this);
        const double h = platform::HeightTwips(*this);
        face.SetCurrentX(std::max((w - 2.0 * p - face.TextWidth(textToDisp_)) / 2, 2.0 * p));
        face.SetCurrentY(std::max((h - 2.0 * p - face.TextHeight("I")) / 2, 2.0 * p));
        face.Print(textToDisp_);
    }
    face_->Refresh();
}

void UC_Bar::SetTextToDisp(std::string_view text)
{
    if (text == textToDisp_) {
        return;
    }
    textToDisp_ = text;
    if (drawnOnce_) {
        Draw(drawnX_);
    }
}

void UC_Bar::SetValue(int value)
{
    if (clicked_) {
        return;
    }
    // A bar without a range shows nothing.
    value = max_ > 0 ? std::clamp(value, 0, max_) : 0;
    if (value == 0 || trackWidth_ <= 0) {
        Draw(0);
    } else {
        Draw(numeric::RoundHalfEven(trackWidth_ * value / max_ + 2.0 * basic::TwipsPerPixel));
    }
    value_ = value;
}

void UC_Bar::ValueFromMouse(double x)
{
    if (trackWidth_ <= 0) {
        return; // no track to measure against
    }
    const double v = numeric::RoundHalfEven((x - 2.0 * basic::TwipsPerPixel) / trackWidth_ * max_);
    value_ = max_ > 0 ? static_cast<int>(std::clamp(v, 0.0, static_cast<double>(max_))) : 0;
}

void UC_Bar::OnPointer(const PointerEvent& event)
{
    switch (event.kind) {
    case PointerEvent::Kind::Press:
    case PointerEvent::Kind::DoubleClick:
        OnMouseDown(event.button, event.shift, event.x, event.y);
        break;
    case PointerEvent::Kind::Move:
        OnMouseMove(event.buttons, event.shift, event.x, event.y);
        break;
    case PointerEvent::Kind::Release:
        OnMouseUp(event.button, event.shift, event.x, event.y);
        break;
    }
}

void UC_Bar::OnMouseDown(int button, int /*shift*/, double x, double /*y*/)
{
    if (locked_ != 0 || button != platform::ButtonLeft) {
        return;
    }
    Draw(numeric::RoundHalfEven(x));
    ValueFromMouse(x);
    clicked_ = true;
    bool isDown = true;
    if (MouseUD) {
        MouseUD(isDown);
    }
}

void UC_Bar::OnMouseMove(int button, int /*shift*/, double x, double /*y*/)
{
    if (locked_ != 0 || button != platform::ButtonLeft || x == lastMoveX_) {
        return;
    }
    lastMoveX_ = x;
    Draw(numeric::RoundHalfEven(x));
    ValueFromMouse(x);
    if (Scrolled) {
        Scrolled();
    }
}

void UC_Bar::OnMouseUp(int button, int /*shift*/, double x, double /*y*/)
{
    if (locked_ != 0) {
        return;
    }
    if (button == platform::ButtonLeft) {
        Draw(numeric::RoundHalfEven(x));
        ValueFromMouse(x);
        clicked_ = false;
        bool isDown = false;
        if (MouseUD) {
            MouseUD(isDown);
        }
        return;
    }
    bool isDown = false;
    if (RightClicked) {
        RightClicked(isDown);
    }
}

} // namespace controls
