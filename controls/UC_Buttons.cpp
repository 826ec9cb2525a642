#include "controls/UC_Buttons.h"

#include "controls/ButtonIconLibrary.h"
#include "controls/SurfaceBox.h"
#include "foundation/Background.h"
#include "foundation/Colors.h"
#include "foundation/Fonts.h"
#include "platform/InputCodes.h"
#include "platform/ToolTip.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace controls {

namespace {

using platform::LineShape;
using platform::RasterOp;
using platform::Surface;

int RoundInt(double value)
{
    return static_cast<int>(numeric::RoundToInt64(value));
}

// The face style of each design; other designs keep the plain face.
int FaceStyle(int design)
{
    switch (design) {
    case 0:
        return 7;
    case 1:
        return 12;
    case 2:
        return 13;
    case 3:
        return 14;
    default:
        return -2;
    }
}

} // namespace

UC_Buttons::UC_Buttons(QWidget* parent) : QWidget(parent), picture_(new SurfaceBox(this)), cells_(1)
{
    icons_.SetPicture(ButtonIconLibrary());
    picture_->setGeometry(rect());
    picture_->OnPointer = [this](const PointerEvent& event) { OnPointer(event); };
}

UC_Buttons::~UC_Buttons() = default;

const Surface& UC_Buttons::Picture() const
{
    return picture_->Picture();
}

QWidget* UC_Buttons::PictureWidget() const
{
    return picture_;
}

void UC_Buttons::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    picture_->setGeometry(rect());
}

void UC_Buttons::SetNumButtons(int count)
{
    // Button indexes are 16-bit numbers.
    constexpr int most = 32767;
    cells_.assign(static_cast<std::size_t>(std::clamp(count, 1, most)), Cell{});
}

void UC_Buttons::SetDesignType(int design)
{
    designType_ = design;
    if (design == 1) {
        selectedColor_ = 0xFFFFFF;
    }
}

void UC_Buttons::ApplyFont()
{
    basic::SetControlFont(&picture_->Picture(), -2, nullptr, fontSize_, fontBold_, false, fontFace_);
}

void UC_Buttons::SetFontSize(float size)
{
    fontSize_ = size;
    ApplyFont();
}

void UC_Buttons::SetFontFace(std::string_view face)
{
    fontFace_ = face;
    ApplyFont();
}

void UC_Buttons::SetFontBold(bool bold)
{
    fontBold_ = bold;
    ApplyFont();
}

void UC_Buttons::SetSelectedColor(platform::Color colour)
{
    selectedColor_ = colour;
    selectedShadow_ = basic::ShiftColor(colour, -70, -70, -70, -1);
}

void UC_Buttons::AdaptIcons()
{
    if (iconsAdapted_) {
        return;
    }
    bool anyIcon = false;
    for (const Cell& cell : cells_) {
        anyIcon = anyIcon || IsIconButton(cell);
    }
    if (!anyIcon) {
        return;
    }
    iconsAdapted_ = true;
    // The icons are drawn for a face of grey 210; scaling each channel by
    // face / 210 makes them sit on this face. Lit icons keep their colours.
    std::int16_t faceRed = 0;
    std::int16_t faceGreen = 0;
    std::int16_t faceBlue = 0;
    basic::SplitRgb(platform::GetSysColor(platform::ColorBtnFace), faceRed, faceGreen, faceBlue);
    const double kRed = faceRed / 210.0;
    const double kGreen = faceGreen / 210.0;
    const double kBlue = faceBlue / 210.0;
    for (int column = 0; column < IconCount; ++column) {
        if (IsLitIcon(column)) {
            continue;
        }
        for (int x = column * IconSize; x < (column + 1) * IconSize; ++x) {
            for (int y = 0; y < IconSize; ++y) {
                const platform::Color pixel = icons_.GetPixel(x, y);
                if (pixel == 0 || pixel == platform::ColorInvalid) {
                    continue;
                }
                std::int16_t red = 0;
                std::int16_t green = 0;
                std::int16_t blue = 0;
                basic::SplitRgb(pixel, red, green, blue);
                icons_.SetPixelV(
                    x, y, basic::MakeRgb(RoundInt(red * kRed), RoundInt(green * kGreen), RoundInt(blue * kBlue)));
            }
        }
    }
}

void UC_Buttons::Init()
{
    Surface& picture = picture_->Picture();
    picture.Cls();
    grad_.Cls();
    SetSelectedColor(selectedColor_);
    ApplyFont();
    AdaptIcons();
    const int p = basic::TwipsPerPixel;
    const int count = NumButtons();
    const int mimi = mimiWidth_ >= 0 ? mimiWidth_ : (designType_ == 0 ? 8 : 0);
    const int widthPx = platform::TwipsToPixels(platform::WidthTwips(*this));
    const int buttonWidth = p > 0 ? (widthPx - (2 * mimi + 2)) / count : 0;
    const int buttonHeight = platform::TwipsToPixels(platform::HeightTwips(*this));
    if (buttonWidth <= 0 || buttonHeight <= 0) {
        // Too small for one button: no layout, so nothing is hit or drawn.
        buttonWidth_ = 0;
        buttonHeight_ = 0;
        return;
    }
    buttonWidth_ = buttonWidth;
    buttonHeight_ = buttonHeight;
    // The row snaps to whole buttons.
    resize(buttonWidth * count + 2 * mimi + 2, height());
    picture_->setGeometry(rect());
    grad_.Resize(buttonWidth, buttonHeight);

    basic::PaintBackground(grad_, -2, -1, -1, -1);
    basic::PaintBackground(picture, -2, -1, -1, -1);
    basic::PaintBackground(grad_, FaceStyle(designType_), -1, -1, -1);

    if (mimi != 0) {
        picture.BitBlt(0, 0, mimi, buttonHeight, grad_, 0, 0, RasterOp::SrcCopy);
        picture.BitBlt(buttonWidth * count + mimi + 1, 0, mimi, buttonHeight, grad_, 0, 0, RasterOp::SrcCopy);
        const platform::Color dark = platform::SystemColor(platform::Color3dDkShadow);
        const double w = platform::WidthTwips(*this);
        picture.Line(static_cast<double>(mimi) * p, 0, static_cast<double>(mimi) * p,
                     static_cast<double>(buttonHeight) * p, dark);
        picture.Line(w - p, 0, w, platform::HeightTwips(*this), dark, LineShape::FilledBox);
    }
    for (int i = 0; i < count; ++i) {
        cells_[static_cast<std::size_t>(i)].x = RoundInt(static_cast<double>(buttonWidth) * i + mimi + 1);
        PlaceContent(i);
        DrawButton(i, 0);
    }
}

void UC_Buttons::PlaceContent(int index)
{
    Cell& cell = cells_[static_cast<std::size_t>(index)];
    if (IsIconButton(cell)) {
        cell.contentY = RoundInt(buttonHeight_ / 2.0 - IconSize / 2);
        cell.contentX = RoundInt(cell.x + buttonWidth_ / 2.0 - IconSize / 2);
        return;
    }
    const Surface& picture = picture_->Picture();
    const double p = basic::TwipsPerPixel;
    cell.contentY = RoundInt(buttonHeight_ / 2.0 - picture.TextHeight(cell.caption) / p / 2);
    cell.contentX = RoundInt(cell.x + buttonWidth_ / 2.0 - picture.TextWidth(cell.caption) / p / 2);
}

void UC_Buttons::DrawAll()
{
    for (int i = 0; i < NumButtons(); ++i) {
        DrawButton(i, 0);
    }
}

void UC_Buttons::DrawButton(int index, int state)
{
    if (!Valid(index)) {
        return;
    }
    cells_[static_cast<std::size_t>(index)].state = state;
    Paint(index, state);
}

void UC_Buttons::Paint(int index, int state)
{
    if (!Valid(index) || buttonWidth_ <= 0) {
        return;
    }
    const int p = basic::TwipsPerPixel;
    Surface& picture = picture_->Picture();
    const Cell& cell = cells_[static_cast<std::size_t>(index)];
    const int offset = state == 1 ? 1 : 0;
    const bool active = state == 1 || state == 2;
    // A pressed button is the face moved down one pixel.
    picture.Line(static_cast<double>(cell.x) * p, 0, static_cast<double>(cell.x + buttonWidth_ - 1) * p,
                 static_cast<double>(buttonHeight_) * p, picture.BackColor(), LineShape::FilledBox);
    picture.BitBlt(cell.x, offset, buttonWidth_, buttonHeight_, grad_, 0, 0, RasterOp::SrcCopy);

    if (IsIconButton(cell)) {
        const int icon = cell.hasActiveIcon == 1 && active ? cell.picIndexA : cell.picIndexN;
        if (icon >= 0 && icon < IconCount) {
            picture.BitBlt(cell.contentX, cell.contentY + offset, IconSize, IconSize, icons_, icon * IconSize, IconSize,
                           RasterOp::SrcAnd);
            picture.BitBlt(cell.contentX, cell.contentY + offset, IconSize, IconSize, icons_, icon * IconSize, 0,
                           RasterOp::SrcInvert);
        }
        picture_->Refresh();
        return;
    }
    if (cell.caption.empty()) {
        picture_->Refresh();
        return;
    }
    const bool lit = cell.on == 1 || active || selectedButton_ == index;
    const bool disabled = cell.disabled != 0 || cell.disabled2 != 0;
    const platform::Color highlight = platform::SystemColor(platform::ColorBtnHighlight);
    if (disable3D_ == 0) {
        picture.SetForeColor(disabled ? highlight : (lit ? selectedShadow_ : basic::SysColor(3)));
        picture.SetCurrentX(static_cast<double>(cell.contentX + 1) * p);
        picture.SetCurrentY(static_cast<double>(cell.contentY + offset + 1) * p);
        picture.Print(cell.caption);
    }
    platform::Color main = 0;
    if (disabled && noGrayAtDisabled_ == 0) {
        main = highlight;
    } else if (lit) {
        main = selectedColor_;
    } else {
        main = disable3D_ == 0 ? highlight : basic::SysColor(3);
    }
    picture.SetForeColor(main);
    picture.SetCurrentX(static_cast<double>(cell.contentX) * p);
    picture.SetCurrentY(static_cast<double>(cell.contentY + offset) * p);
    picture.Print(cell.caption);
    picture_->Refresh();
}

int UC_Buttons::GetButtonDisable(int index, int which) const
{
    if (!Valid(index)) {
        return 0;
    }
    const Cell& cell = cells_[static_cast<std::size_t>(index)];
    return which != 0 ? cell.disabled2 : cell.disabled;
}

void UC_Buttons::SetButtonDisable(int index, int value, int redraw, int which)
{
    if (!Valid(index)) {
        return;
    }
    Cell& cell = cells_[static_cast<std::size_t>(index)];
    (which != 0 ? cell.disabled2 : cell.disabled) = value;
    if (redraw != 0) {
        DrawButton(index, 0);
    }
}

void UC_Buttons::SetButtonDisableAll(int value, int which)
{
    for (int i = 0; i < NumButtons(); ++i) {
        Cell& cell = cells_[static_cast<std::size_t>(i)];
        (which != 0 ? cell.disabled2 : cell.disabled) = value;
        if (cell.hasActiveIcon == 0) {
            DrawButton(i, 0);
        }
    }
}

void UC_Buttons::SetButtonState(int index, int state)
{
    if (Valid(index)) {
        DrawButton(index, state);
    }
}

void UC_Buttons::ToolTip(std::string_view text)
{
    platform::SetToolTipText(*picture_, text);
}

void UC_Buttons::SetPicIndexa(int index, int icon)
{
    if (!Valid(index)) {
        return;
    }
    Cell& cell = cells_[static_cast<std::size_t>(index)];
    cell.picIndexA = icon;
    cell.hasActiveIcon = 1;
    cell.caption.clear();
}

void UC_Buttons::SetPicIndexn(int index, int icon)
{
    if (!Valid(index)) {
        return;
    }
    Cell& cell = cells_[static_cast<std::size_t>(index)];
    cell.picIndexN = icon;
    cell.caption.clear();
}

void UC_Buttons::SetPreset(std::initializer_list<std::pair<int, int>> icons, int hasActiveIcon)
{
    SetNumButtons(static_cast<int>(icons.size()));
    std::size_t i = 0;
    for (const auto& [normal, active] : icons) {
        Cell& cell = cells_[i++];
        cell.picIndexN = normal;
        cell.picIndexA = active;
        cell.caption.clear();
        cell.hasActiveIcon = hasActiveIcon;
    }
}

void UC_Buttons::SetButtonsMCI()
{
    SetPreset({{IconPlay, IconPlayLit}, {IconPause, IconPauseLit}, {IconStop, IconStopLit}}, 1);
}

void UC_Buttons::SetButtonsPCXplay()
{
    SetPreset({{IconPrevious, IconPreviousLit},
               {IconCue, IconCueLit},
               {IconPlay, IconPlayLit},
               {IconStop, IconStopLit},
               {IconNext, IconNextLit}},
              1);
}

void UC_Buttons::SetButtonsEditorCtrl()
{
    SetPreset(
        {{IconMarkIn, IconMarkIn}, {IconMarkOut, IconMarkOut}, {IconRewind, IconRewind}, {IconForward, IconForward}},
        0);
}

void UC_Buttons::SetButtonsEditorPlay()
{
    SetPreset(
        {{IconToStart, IconToStartLit}, {IconPlay, IconPlayLit}, {IconPause, IconPauseLit}, {IconStop, IconStopLit}},
        1);
}

void UC_Buttons::SetOKCancel(int okFirst, int keepSize, int designType)
{
    SetNumButtons(2);
    cells_[0].caption = okFirst != 0 ? "OK" : "キャンセル";
    cells_[1].caption = okFirst != 0 ? "キャンセル" : "OK";
    SetDesignType(designType);
    if (keepSize == 0) {
        platform::SetWidthTwips(*this, 2400);
        platform::SetHeightTwips(*this, 330);
    }
    Init();
}

void UC_Buttons::SetSelectedButton(int index)
{
    const int old = selectedButton_;
    selectedButton_ = index;
    if (old != -1) {
        DrawButton(old, 0);
    }
    if (index != -1) {
        DrawButton(index, 0);
    }
}

void UC_Buttons::SetButtonChar(int index, std::string_view text)
{
    if (!Valid(index)) {
        return;
    }
    Cell& cell = cells_[static_cast<std::size_t>(index)];
    cell.caption = text;
    cell.picIndexN = -1;
    cell.picIndexA = -1;
    if (buttonWidth_ > 0) {
        PlaceContent(index);
    }
}

std::string UC_Buttons::GetButtonChar(int index) const
{
    return Valid(index) ? cells_[static_cast<std::size_t>(index)].caption : std::string();
}

void UC_Buttons::SetButtonOn(int index, int value, int redraw)
{
    if (!Valid(index)) {
        return;
    }
    cells_[static_cast<std::size_t>(index)].on = value;
    if (redraw != 0) {
        DrawButton(index, 0);
    }
}

int UC_Buttons::GetButtonOn(int index) const
{
    return Valid(index) ? cells_[static_cast<std::size_t>(index)].on : 0;
}

void UC_Buttons::SetButtonCharNum()
{
    for (int i = 0; i < NumButtons(); ++i) {
        SetButtonChar(i, std::to_string(i + 1));
    }
}

bool UC_Buttons::Enabled(int index) const
{
    const Cell& cell = cells_[static_cast<std::size_t>(index)];
    return cell.disabled == 0 && cell.disabled2 == 0;
}

int UC_Buttons::ButtonAt(double x) const
{
    if (buttonWidth_ <= 0) {
        return -1;
    }
    const int px = platform::TwipsToPixels(x);
    if (px < cells_.front().x || px > cells_.back().x + buttonWidth_) {
        return -1;
    }
    for (int i = 0; i < NumButtons(); ++i) {
        if (cells_[static_cast<std::size_t>(i)].x + buttonWidth_ > px) {
            return i;
        }
    }
    return -1;
}

void UC_Buttons::OnPointer(const PointerEvent& event)
{
    switch (event.kind) {
    case PointerEvent::Kind::Press:
        OnMouseDown(event.button, event.shift, event.x, event.y);
        break;
    case PointerEvent::Kind::DoubleClick:
        // A double click is one more left press where the last press was.
        if (event.button == platform::ButtonLeft) {
            OnMouseDown(platform::ButtonLeft, 0, lastPressX_, 0);
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

void UC_Buttons::OnMouseDown(int button, int /*shift*/, double x, double /*y*/)
{
    lastPressX_ = x;
    if (pressShown_ && Valid(pressed_)) {
        // A press whose release never came (a second button, a grab taken away).
        Paint(pressed_, cells_[static_cast<std::size_t>(pressed_)].state);
    }
    pressShown_ = false;
    pressed_ = ButtonAt(x);
    if (pressed_ == -1 || !Enabled(pressed_) || button != platform::ButtonLeft) {
        return;
    }
    pressShown_ = true;
    Paint(pressed_, 1);
    int index = pressed_;
    if (ButtonDown) {
        ButtonDown(index);
    }
}

void UC_Buttons::OnMouseMove(int /*button*/, int /*shift*/, double x, double /*y*/)
{
    const int index = ButtonAt(x);
    if (index == hovered_) {
        return;
    }
    hovered_ = index;
    int reported = index;
    if (Hover) {
        Hover(reported);
    }
}

void UC_Buttons::OnMouseUp(int button, int shift, double x, double y)
{
    if (!Valid(pressed_) || !Enabled(pressed_)) {
        return;
    }
    const int i = pressed_;
    pressed_ = -1;
    const Cell& cell = cells_[static_cast<std::size_t>(i)];
    if (pressShown_) {
        // Back to the look the button had: only the owner, deciding on the
        // click, changes it.
        pressShown_ = false;
        Paint(i, cell.state);
    }
    const int px = platform::TwipsToPixels(x);
    const int py = platform::TwipsToPixels(y);
    if (px < cell.x || px > cell.x + buttonWidth_ || py < 0 || py > buttonHeight_) {
        return;
    }
    int index = i;
    if (button == platform::ButtonLeft) {
        if (shift != 0) {
            int mask = shift;
            if (ShiftClicked) {
                ShiftClicked(index, mask);
            }
        } else if (ButtonClicked) {
            ButtonClicked(index);
        }
    } else if (button == platform::ButtonRight && RightClicked) {
        RightClicked(index);
    }
}

} // namespace controls
