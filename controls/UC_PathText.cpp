#include "controls/UC_PathText.h"

#include "foundation/CommonDialogs.h"
#include "foundation/Fonts.h"
#include "foundation/Paths.h"
#include "platform/InputCodes.h"
#include "platform/SysColors.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <QPalette>

#include <algorithm>
#include <cmath>

namespace {

using controls::PointerEvent;

std::int32_t Rounded(float value)
{
    const double rounded = numeric::RoundHalfEven(static_cast<double>(value));
    return std::isfinite(rounded) ? static_cast<std::int32_t>(std::clamp(rounded, -2147483648.0, 2147483647.0)) : 0;
}

QColor ToQColor(platform::Color colour)
{
    const auto plain = static_cast<std::uint32_t>(platform::ResolveColor(colour));
    return {static_cast<int>(plain & 0xFF), static_cast<int>((plain >> 8) & 0xFF),
            static_cast<int>((plain >> 16) & 0xFF)};
}

} // namespace

UC_PathText::UC_PathText(QWidget* parent)
    : QWidget(parent), surface_(new controls::SurfaceBox(this)), textPath_(new platform::TextBox(this))
{
    surface_->setObjectName("PathTextSurface");
    textPath_->setObjectName("TextPath");
    surface_->OnPointer = [this](const PointerEvent& event) { OnPointer(event); };
    textPath_->OnChange = [this] {
        if (TextChange) {
            TextChange();
        }
    };
    textPath_->Mouse.DblClick = [this] {
        if (TextDblClicked) {
            TextDblClicked();
        }
    };
}

void UC_PathText::SetFontSize(float points)
{
    fontSize_ = Rounded(points);
}

void UC_PathText::SetTextHeight(float twips)
{
    textHeight_ = Rounded(twips);
}

void UC_PathText::Init()
{
    if (basic::TwipsPerPixel <= 0) {
        return;
    }
    initialising_ = true;
    platform::Surface& picture = surface_->Picture();
    const float size = static_cast<float>(fontSize_);
    const int own = basic::SetControlFont(platform::FontWindow(&picture), -2, nullptr, size, false, false, "");
    const int text = basic::SetControlFont(platform::FontWindow(textPath_), -2, nullptr, size, false, false, "");
    if (own >= 0 && text >= 0) {
        fontsSet_ = 1;
    }
    platform::SetHeightTwips(*textPath_, textHeight_);
    Layout();
    Draw(0);
    initialising_ = false;
}

void UC_PathText::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

void UC_PathText::Layout()
{
    // Resizing the control to its text box's height comes back here.
    if (laying_) {
        return;
    }
    laying_ = true;
    const int textHeight = textPath_->height();
    textPath_->setGeometry(0, 0, std::max(width() - textHeight, 0), textHeight);
    if (height() != textHeight) {
        resize(width(), textHeight);
    }
    surface_->setGeometry(0, 0, width(), height());
    laying_ = false;
}

void UC_PathText::Draw(std::int32_t pressed)
{
    const int tpp = basic::TwipsPerPixel;
    if (tpp <= 0) {
        return;
    }
    // Init draws the button itself; a font that cannot be made must not send
    // the two round each other for ever.
    if (fontsSet_ == 0 && !initialising_) {
        Init();
    }
    platform::Surface& picture = surface_->Picture();
    picture.Cls();
    const double offset = static_cast<double>(pressed) * tpp;
    const double textHeight = platform::HeightTwips(*textPath_);
    const double left = platform::LeftTwips(*textPath_) + platform::WidthTwips(*textPath_) + tpp;
    const double right = platform::WidthTwips(*this) - tpp;
    const double top = offset;
    const double bottom = platform::HeightTwips(*this) - 2.0 * tpp + offset;
    const platform::Color light = platform::SystemColor(platform::ColorBtnHighlight);
    const platform::Color shadow = platform::SystemColor(platform::ColorBtnShadow);
    picture.Line(left, top, right, top, light);
    picture.Line(left, top, left, bottom, light);
    picture.Line(left, bottom, right + tpp, bottom, shadow);
    picture.Line(right, top, right, bottom, shadow);
    picture.SetForeColor(platform::SystemColor(platform::ColorBtnText));
    picture.SetCurrentX(left + textHeight / 2 - picture.TextWidth("...") / 2);
    picture.SetCurrentY(textHeight / 2 - picture.TextHeight("漢") / 2 + offset);
    picture.Print("...");
    surface_->Refresh();
}

void UC_PathText::SetLocked(std::int32_t locked)
{
    if (fontsSet_ == 0) {
        Init();
    }
    textPath_->SetLocked(locked == 1);
    QPalette palette = textPath_->palette();
    palette.setColor(QPalette::Base,
                     ToQColor(platform::SystemColor(locked != 0 ? platform::ColorBtnFace : platform::ColorWindow)));
    textPath_->setPalette(palette);
    Draw(0);
}

void UC_PathText::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    SetLocked(enabled ? 0 : 1);
}

void UC_PathText::SetTextDisabled(std::int32_t disabled)
{
    textDisabled_ = disabled;
    SetLocked(disabled);
}

std::string UC_PathText::Text() const
{
    return textPath_->Text();
}

void UC_PathText::SetText(std::string_view text)
{
    if (fontsSet_ == 0) {
        Init();
    }
    textPath_->SetText(text);
    Draw(0);
}

void UC_PathText::SetExt(std::string_view extension)
{
    ext_.clear();
    std::copy_if(extension.begin(), extension.end(), std::back_inserter(ext_), [](char c) { return c != '.'; });
}

void UC_PathText::SetTextIMEMode(std::int32_t mode)
{
    textPath_->setAttribute(Qt::WA_InputMethodEnabled, mode != 3);
}

bool UC_PathText::OnButton(double x, double y) const
{
    const double buttonLeft = platform::LeftTwips(*textPath_) + platform::WidthTwips(*textPath_);
    return x >= buttonLeft && x < platform::WidthTwips(*this) && y >= 0 && y < platform::HeightTwips(*this);
}

void UC_PathText::OnPointer(const PointerEvent& event)
{
    if (event.button != platform::ButtonLeft || !ButtonTakesMouse()) {
        return;
    }
    switch (event.kind) {
    case PointerEvent::Kind::Press:
    case PointerEvent::Kind::DoubleClick:
        if (OnButton(event.x, event.y)) {
            pressed_ = 1;
            Draw(1);
        }
        break;
    case PointerEvent::Kind::Release:
        if (pressed_ != 0) {
            pressed_ = 0;
            Draw(0);
            // Letting go away from the button takes the press back.
            if (OnButton(event.x, event.y)) {
                SelectButtonClick();
            }
        }
        break;
    case PointerEvent::Kind::Move:
        break;
    }
}

void UC_PathText::SelectButtonClick()
{
    if (usage_ == -1) {
        if (SelectButtonClicked) {
            SelectButtonClicked();
        }
        return;
    }
    const std::string current = Text();
    const std::string start = !initDir_.empty() ? initDir_ : basic::GetPathPart(current, 1, 0, 0, 0, 0, 0);
    std::string result;
    if (usage_ == 0) {
        result = basic::BrowseForFolder(start, "", this);
    } else if (usage_ == 1 || usage_ == 2) {
        std::string filter = filter_;
        if (filter.empty() && !ext_.empty()) {
            filter = ext_ + "ファイル|*." + ext_;
        }
        result = basic::FileDialog(this, usage_ == 1 ? 0 : 1, filter, start, current, -1);
        if (!ext_.empty()) {
            result = basic::EnsureExtension(result, ext_);
        }
    }
    if (result.empty()) {
        return;
    }
    SetText(result);
    if (SelectButtonClicked) {
        SelectButtonClicked();
    }
}
