#include "controls/UC_TolvButton.h"

#include "controls/CharacterWrap.h"
#include "controls/SurfaceBox.h"
#include "foundation/Fonts.h"
#include "platform/DragSource.h"
#include "platform/DropTarget.h"
#include "platform/InputCodes.h"
#include "platform/Surface.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <QPointer>

#include <cmath>
#include <vector>

namespace controls {

namespace {

using platform::LineShape;
using platform::RasterOp;
using platform::Surface;

// A move this far from the press (twips) is a drag.
constexpr double dragThreshold = 90;

constexpr int lampWideWidth = 27; // layout 1
constexpr int lampWideHeight = 12;
constexpr int lampTallWidth = 8; // layout 0
constexpr int lampTallHeight = 27;

double RoundTwips(double twips)
{
    return numeric::RoundHalfEven(twips);
}

void PrintAt(Surface& picture, double x, double y, std::string_view text)
{
    picture.SetCurrentX(x);
    picture.SetCurrentY(y);
    picture.Print(text);
}

} // namespace

UC_TolvButton::UC_TolvButton(QWidget* parent)
    : QWidget(parent), picture_(new SurfaceBox(this)), dropTarget_(new platform::DropTarget(*picture_))
{
    picture_->setGeometry(rect());
    picture_->OnPointer = [this](const PointerEvent& event) { OnPointer(event); };
    dropTarget_->OnDragOver = [this](platform::DragData&, int& effect, int, int, double, double, int) {
        if (locked_ != 0) {
            effect = platform::DropEffectNone;
            return;
        }
        if (OLEDragOver) {
            OLEDragOver();
        }
    };
    dropTarget_->OnDragDrop = [this](platform::DragData& dropped, int& effect, int, int, double, double) {
        // A locked button takes nothing, and says so to the drag's source.
        if (locked_ != 0) {
            effect = platform::DropEffectNone;
            return;
        }
        if (OLEDropped) {
            OLEDropped(dropped);
        }
    };
}

UC_TolvButton::~UC_TolvButton() = default;

QWidget* UC_TolvButton::CtrlhWnd() const
{
    return picture_;
}

const Surface& UC_TolvButton::Picture() const
{
    return picture_->Picture();
}

void UC_TolvButton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    picture_->setGeometry(rect());
}

void UC_TolvButton::SetText(int index, std::string_view text)
{
    if (index >= 0 && index < TextSlots) {
        slots_[static_cast<std::size_t>(index)].text = text;
    }
}

std::string UC_TolvButton::Text(int index) const
{
    return index >= 0 && index < TextSlots ? slots_[static_cast<std::size_t>(index)].text : std::string();
}

void UC_TolvButton::SetFont(int index, float size, bool bold)
{
    if (index >= 0 && index < TextSlots) {
        Slot& slot = slots_[static_cast<std::size_t>(index)];
        slot.size = size;
        slot.bold = bold;
        slot.fontIndex = -1;
    }
}

void UC_TolvButton::Init()
{
    picture_->setGeometry(rect());
    Surface& picture = picture_->Picture();
    picture.Cls();
    const int p = basic::TwipsPerPixel;
    if (p <= 0) {
        return;
    }
    const double w = platform::WidthTwips(*this);
    const double h = platform::HeightTwips(*this);
    const double s0 = slots_[0].size;
    const double s1 = slots_[1].size;
    if (buttonType_ == 1) {
        lampTop_ = s0 / 10 * 5 * p;
        textTop_ = std::max(RoundTwips(2 * lampTop_ + 12.0 * p), 22.0 * p);
        textLeft_ = 3.0 * p;
        textWidth_ = w - 6.0 * p;
        textHeight_ = h - 5.0 * p - textTop_;
        titleCentre_ = 40 * p;
    } else {
        lampTop_ = (h - static_cast<double>(lampTallHeight) * p) / 2;
        textTop_ = 2.0 * p;
        textLeft_ = RoundTwips(s0 / 9 * (480.0 - 13.0 * p) + 13.0 * p);
        textWidth_ = w - textLeft_ - 6.0 * p;
        textHeight_ = h - 6.0 * p;
        titleCentre_ = static_cast<int>(RoundTwips(s1 / 9 * (345.0 - 13.0 * p) + 13.0 * p));
    }
    textLeftWhole_ = static_cast<int>(RoundTwips(textLeft_));
    textTopWhole_ = static_cast<int>(RoundTwips(textTop_));
}

void UC_TolvButton::SelectFont(int index)
{
    Slot& slot = slots_[static_cast<std::size_t>(index)];
    Surface& picture = picture_->Picture();
    if (slot.fontIndex == -1) {
        slot.fontIndex = basic::SetControlFont(&picture, -2, nullptr, slot.size, slot.bold, false, "");
    } else if (slot.fontIndex >= 0) {
        // A failed lookup keeps the font selected before.
        if (basic::SetControlFont(&picture, slot.fontIndex, nullptr, 0, false, false, "") < 0) {
            slot.fontIndex = -3;
        }
    }
}

double UC_TolvButton::HeightFactor(int index) const
{
    const int font = slots_[static_cast<std::size_t>(index)].fontIndex;
    if (font < 0 || font >= basic::FontCount()) {
        return 1.0;
    }
    return basic::FontCache()[static_cast<std::size_t>(font)].HeightRatio;
}

UC_TolvButton::DrawInputs UC_TolvButton::CurrentInputs(int pressed) const
{
    DrawInputs inputs;
    inputs.pressed = pressed;
    inputs.buttonType = buttonType_;
    inputs.activated = activated_;
    inputs.normalColor = normalColor_;
    inputs.bgColor = bgColor_;
    inputs.alert = alert_;
    inputs.alertColor = alertColor_;
    inputs.width = width();
    inputs.height = height();
    inputs.twipsPerPixel = basic::TwipsPerPixel;
    inputs.layout = {textTop_, textLeft_, textWidth_, textHeight_, lampTop_};
    inputs.titleCentre = titleCentre_;
    inputs.pictures = {picHdc_, pic2Hdc_, selHdc_};
    for (std::size_t i = 0; i < inputs.pictures.size(); ++i) {
        // The key of a picture's content changes whenever it is drawn on.
        inputs.pictureContents[i] = inputs.pictures[i] != nullptr ? inputs.pictures[i]->Image().cacheKey() : 0;
    }
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        inputs.slotLooks[i] = {slots_[i].text, slots_[i].size, slots_[i].bold, slots_[i].fontIndex == -3};
    }
    inputs.fontCount = basic::FontCount();
    return inputs;
}

void UC_TolvButton::Draw(int pressed)
{
    const int p = basic::TwipsPerPixel;
    if (p <= 0) {
        return;
    }
    picture_->setGeometry(rect());
    Surface& picture = picture_->Picture();
    Drawing& drawing = drawings_[pressed == 0 ? 0 : 1];
    if (drawing.valid && drawing.inputs == CurrentInputs(pressed)) {
        picture.BitBlt(0, 0, picture.PixelWidth(), picture.PixelHeight(), drawing.picture, 0, 0, RasterOp::SrcCopy);
        picture_->Refresh();
        return;
    }
    const double h = platform::HeightTwips(*this);
    const int backWidth = static_cast<int>(numeric::RoundToInt64(platform::WidthTwips(*this) / static_cast<double>(p)));
    const int backHeight = static_cast<int>(numeric::RoundToInt64(h / p));
    // A background that covers the whole picture leaves nothing of the
    // cleared one to see.
    const int shownWidth = picture.PixelWidth();
    const int shownHeight = picture.PixelHeight();
    if (picHdc_ != nullptr && backWidth >= shownWidth && backHeight >= shownHeight &&
        picHdc_->PixelWidth() >= shownWidth && picHdc_->PixelHeight() >= shownHeight) {
        picture.SetCurrentX(0);
        picture.SetCurrentY(0);
    } else {
        picture.Cls();
    }
    if (picHdc_ != nullptr) {
        picture.BitBlt(0, 0, backWidth, backHeight, *picHdc_, 0, 0, RasterOp::SrcCopy);
    }
    DrawLamp(picture);

    SelectFont(1);
    picture.SetForeColor(platform::SystemColor(platform::ColorWindowText));
    DrawTitle(picture, h);

    DrawTextArea(picture, pressed);
    picture.SetForeColor(alert_ == 1 ? alertColor_ : normalColor_);
    double reserve = 0;
    if (!slots_[4].text.empty()) {
        reserve = DrawCorner(picture, 4, true, pressed);
    }
    if (!slots_[5].text.empty()) {
        reserve = DrawCorner(picture, 5, false, pressed);
    }
    if (!slots_[0].text.empty()) {
        DrawWrapped(picture, reserve, pressed);
    }
    drawing.valid = true;
    drawing.inputs = CurrentInputs(pressed);
    drawing.picture.Resize(picture.PixelWidth(), picture.PixelHeight());
    drawing.picture.BitBlt(0, 0, picture.PixelWidth(), picture.PixelHeight(), picture, 0, 0, RasterOp::SrcCopy);
    picture_->Refresh();
}

void UC_TolvButton::DrawLamp(Surface& picture) const
{
    const int p = basic::TwipsPerPixel;
    const bool wide = buttonType_ == 1;
    const int y = platform::TwipsToPixels(lampTop_);
    const int cellWidth = wide ? lampWideWidth : lampTallWidth;
    // A cell the strip does not hold leaves the lamp undrawn.
    if (selHdc_ != nullptr && activated_ >= 0 && activated_ < selHdc_->PixelWidth() / cellWidth) {
        picture.BitBlt(5, y, cellWidth, wide ? lampWideHeight : lampTallHeight, *selHdc_, activated_ * cellWidth, 0,
                       RasterOp::SrcCopy);
    }
    // A sunken one-pixel frame round the cell, on the cell's own pixel row
    // (a lamp top between two pixels would otherwise let them overlap).
    const double y0 = static_cast<double>(y) * p;
    const platform::Color dark = platform::SystemColor(platform::Color3dDkShadow);
    const platform::Color light = 0xFFFFFF;
    const double right = wide ? 32.0 * p : 13.0 * p;
    const double below = wide ? 13.0 * p : 28.0 * p; // the left and right lines run to here
    const double bottom = wide ? 12.0 * p : 27.0 * p;
    picture.Line(4.0 * p, y0 - p, 4.0 * p, y0 + below, dark);
    picture.Line(right, y0 - p, right, y0 + below, light);
    picture.Line(4.0 * p, y0 - p, right, y0 - p, dark);
    picture.Line(4.0 * p, y0 + bottom, right + p, y0 + bottom, light);
}

void UC_TolvButton::DrawTitle(Surface& picture, double height)
{
    const int p = basic::TwipsPerPixel;
    const double factor = HeightFactor(1);
    if (buttonType_ == 1) {
        std::string line;
        for (int i = 1; i <= 3; ++i) {
            const std::string& text = slots_[static_cast<std::size_t>(i)].text;
            if (!text.empty()) {
                line += line.empty() ? text : " " + text;
            }
        }
        if (line.empty()) {
            return;
        }
        // Centred on the middle of the lamp.
        const double h = picture.TextHeight(slots_[1].text + slots_[2].text) * factor;
        PrintAt(picture, 38.0 * p, lampTop_ + 6.0 * p - h / 2, line);
        return;
    }
    int lines = 0;
    for (int i = 1; i <= 3; ++i) {
        lines += slots_[static_cast<std::size_t>(i)].text.empty() ? 0 : 1;
    }
    if (lines == 0) {
        return;
    }
    const double pitch = picture.TextHeight("|") * factor + 2.0 * p;
    double y = height / 2 - pitch * (lines - 1) / 2;
    for (int i = 1; i <= 3; ++i) {
        const std::string& text = slots_[static_cast<std::size_t>(i)].text;
        if (text.empty()) {
            continue;
        }
        PrintAt(picture, titleCentre_ - picture.TextWidth(text) / 2, y - picture.TextHeight(text) * factor / 2, text);
        y += pitch;
    }
}

void UC_TolvButton::DrawTextArea(Surface& picture, int pressed) const
{
    const int p = basic::TwipsPerPixel;
    if (textWidth_ <= 0 || textHeight_ <= 0) {
        return; // a button too small for a text area
    }
    const double shift = static_cast<double>(pressed) * p;
    if (pic2Hdc_ == nullptr || bgColor_ != 0) {
        picture.Line(textLeftWhole_, textTopWhole_ + shift, textLeftWhole_ + textWidth_,
                     textTopWhole_ + textHeight_ + shift, bgColor_, LineShape::FilledBox);
        return;
    }
    picture.BitBlt(platform::TwipsToPixels(textLeftWhole_), platform::TwipsToPixels(textTopWhole_) + pressed,
                   platform::TwipsToPixels(textWidth_), platform::TwipsToPixels(textHeight_), *pic2Hdc_, 0, 0,
                   RasterOp::SrcCopy);
}

double UC_TolvButton::DrawCorner(Surface& picture, int index, bool right, int pressed)
{
    const int p = basic::TwipsPerPixel;
    const std::string& text = slots_[static_cast<std::size_t>(index)].text;
    SelectFont(index);
    const double reserve = picture.TextHeight(text) * HeightFactor(index) + 2.0 * p;
    const double x = right ? textLeftWhole_ + textWidth_ - picture.TextWidth(text) - 2.0 * p
                           : static_cast<double>(textLeftWhole_) + 2.0 * p;
    PrintAt(picture, x, textTopWhole_ + textHeight_ - reserve + static_cast<double>(pressed) * p, text);
    return reserve;
}

void UC_TolvButton::DrawWrapped(Surface& picture, double reserve, int pressed)
{
    const int p = basic::TwipsPerPixel;
    const std::string& text = slots_[0].text;
    SelectFont(0);
    const double lineHeight = RoundTwips(picture.TextHeight("|") * HeightFactor(0));
    const double x = static_cast<double>(textLeftWhole_) + 2.0 * p;
    const double shift = static_cast<double>(pressed) * p;
    double y = textTopWhole_ + static_cast<double>(p);
    if (picture.TextWidth(text) <= textWidth_) {
        PrintAt(picture, x, y + shift, text);
        return;
    }
    // The breaks depend only on the text, its font and the width: measured
    // once, not on every redraw.
    if (wrapMemo_.text != text || wrapMemo_.fontIndex != slots_[0].fontIndex || wrapMemo_.width != textWidth_) {
        wrapMemo_ = {text, slots_[0].fontIndex, textWidth_, WrapCharacters(text, picture, textWidth_)};
    }
    const std::vector<std::string>& lines = wrapMemo_.wrapped.lines;
    const double bottom = textTopWhole_ + textHeight_;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        PrintAt(picture, x, y + shift, lines[i]);
        y += lineHeight;
        // Stop when the next line would run into the bottom texts or out of
        // the area (empty lines after a too-wide character show nothing).
        if (lineHeight <= 0 || y + lineHeight + reserve > bottom) {
            return;
        }
    }
}

bool UC_TolvButton::InTextArea(double x, double y) const
{
    return buttonType_ == 1 ? y >= textTop_ : x >= textLeft_;
}

void UC_TolvButton::OnPointer(const PointerEvent& event)
{
    switch (event.kind) {
    case PointerEvent::Kind::Press:
        OnMouseDown(event.button, event.shift, event.x, event.y);
        break;
    case PointerEvent::Kind::DoubleClick:
        // A double click is one more press of the last button where it was.
        if (event.button == platform::ButtonLeft) {
            OnMouseDown(lastButton_, 0, lastX_, lastY_);
        } else {
            OnMouseDown(event.button, event.shift, event.x, event.y);
        }
        break;
    case PointerEvent::Kind::Move:
        OnMouseMove(event.buttons, event.shift, event.x, event.y);
        break;
    case PointerEvent::Kind::Release:
        OnMouseUp(event.button, event.shift, event.x, event.y);
        break;
    }
}

void UC_TolvButton::OnMouseDown(int button, int /*shift*/, double x, double y)
{
    if (locked_ != 0) {
        return;
    }
    const QPointer<UC_TolvButton> alive(this);
    int buttonIndex = button;
    bool isDown = true;
    if (InTextArea(x, y)) {
        pressArea_ = 1;
        if (button == platform::ButtonLeft) {
            Draw(1);
        }
        int area = 0;
        if (MouseUD) {
            MouseUD(buttonIndex, isDown, area);
        }
    } else {
        int area = 1;
        if (MouseUD) {
            MouseUD(buttonIndex, isDown, area);
        }
        if (alive) {
            pressArea_ = 2;
        }
    }
    if (!alive) {
        return;
    }
    lastButton_ = button;
    lastX_ = x;
    lastY_ = y;
    down_ = true;
}

void UC_TolvButton::OnMouseMove(int button, int shift, double x, double y)
{
    if (locked_ != 0 || button != platform::ButtonLeft) {
        return;
    }
    if (std::abs(x - lastX_) < dragThreshold && std::abs(y - lastY_) < dragThreshold) {
        return;
    }
    if (pressArea_ == 2 || (shift & (platform::ShiftMask | platform::CtrlMask)) != 0) {
        dragShift_ = shift;
        StartOleDrag();
    }
}

void UC_TolvButton::StartOleDrag()
{
    platform::DragData carried;
    int allowed = platform::DropEffectCopy;
    int shift = dragShift_;
    if (OLEStartDrag) {
        const QPointer<UC_TolvButton> alive(this);
        OLEStartDrag(carried, allowed, shift);
        if (!alive) {
            return;
        }
    }
    // A drag that cannot start (nothing to carry, nothing allowed) is ignored.
    if (carried.FileCount() == 0 || allowed == platform::DropEffectNone) {
        return;
    }
    const QPointer<UC_TolvButton> alive(this);
    const int effect = platform::StartDrag(*picture_, carried, allowed);
    if (alive && OLECompleteDrag) {
        OLECompleteDrag(effect);
    }
}

void UC_TolvButton::OnMouseUp(int button, int shift, double x, double y)
{
    if (locked_ != 0 || !down_) {
        return;
    }
    down_ = false;
    pressArea_ = 0;
    if (shift != 0) {
        return;
    }
    int buttonIndex = button;
    bool isDown = false;
    int area = 1;
    if (InTextArea(x, y)) {
        if (button == platform::ButtonLeft) {
            Draw(0);
        }
        area = 0;
    }
    if (MouseUD) {
        MouseUD(buttonIndex, isDown, area);
    }
}

} // namespace controls
