#include "controls/UC_Tab.h"

#include "foundation/Colors.h"
#include "foundation/Fonts.h"
#include "platform/SysColors.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

using controls::PointerEvent;
using platform::Color;
using platform::Surface;

// Room beside a caption inside its tab.
constexpr int captionMargin = 180;

std::int32_t RoundToLong(double value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(numeric::RoundToInt64(value), INT32_MIN, INT32_MAX));
}

} // namespace

UC_Tab::UC_Tab(QWidget* parent) : QWidget(parent), pictureTab_(new controls::SurfaceBox(this))
{
    pictureTab_->setObjectName("PictureTab");
    pictureTab_->OnPointer = [this](const PointerEvent& event) { OnPointer(event); };
}

void UC_Tab::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    pictureTab_->setGeometry(0, 0, width(), height());
}

void UC_Tab::SetBGPic(std::int32_t x, std::int32_t y, const Surface* picture)
{
    bgX_ = x;
    bgY_ = y;
    bgPicture_ = picture;
    bgFlag_ = 1;
}

void UC_Tab::SetFontSize(float points)
{
    const double rounded = numeric::RoundHalfEven(static_cast<double>(points));
    fontSize_ = std::isfinite(rounded) ? RoundToLong(rounded) : 0;
}

void UC_Tab::FindLastVisible()
{
    lastVisible_ = -1;
    for (std::int32_t i = NumTab() - 1; i >= 0; --i) {
        if (tabs_[static_cast<std::size_t>(i)].hidden == 0) {
            lastVisible_ = i;
            break;
        }
    }
}

void UC_Tab::SetTabHidden(std::int32_t index, std::int32_t hidden)
{
    if (!Exists(index)) {
        return;
    }
    tabs_[static_cast<std::size_t>(index)].hidden = hidden;
    FindLastVisible();
}

void UC_Tab::SetNumTab(std::int32_t count)
{
    basic::SetControlFont(platform::FontWindow(&pictureTab_->Picture()), -2, nullptr, static_cast<float>(fontSize_),
                          false, false, "");
    tabs_.resize(static_cast<std::size_t>(std::max(count, 0)));
    FindLastVisible();
}

void UC_Tab::SetTabStr(std::int32_t index, std::string_view caption)
{
    if (!Exists(index)) {
        return;
    }
    Tab& tab = tabs_[static_cast<std::size_t>(index)];
    tab.caption = caption;
    tab.textWidth = RoundToLong(pictureTab_->Picture().TextWidth(tab.caption));
    if (useIndpWidth_ != 0) {
        tab.width = std::max(tab.textWidth + captionMargin, tabMinWidth_);
        return;
    }
    std::int32_t widest = 0;
    for (const Tab& each : tabs_) {
        widest = std::max(widest, each.textWidth + captionMargin);
    }
    for (Tab& each : tabs_) {
        each.width = widest;
    }
}

void UC_Tab::SetTabWidth(std::int32_t index, std::int32_t twips)
{
    if (Exists(index)) {
        tabs_[static_cast<std::size_t>(index)].width = twips;
    }
}

std::int32_t UC_Tab::TabWidth(std::int32_t index) const
{
    return Exists(index) ? tabs_[static_cast<std::size_t>(index)].width : 0;
}

void UC_Tab::DrawTab(Surface& picture, double left, double right, double top) const
{
    const int tpp = basic::TwipsPerPixel;
    std::int16_t red = 0;
    std::int16_t green = 0;
    std::int16_t blue = 0;
    basic::SplitRgb(basic::SysColor(1), red, green, blue);
    const double stepRed = (255 - red) / 8.0;
    const double stepGreen = (255 - green) / 8.0;
    const double stepBlue = (255 - blue) / 8.0;
    for (int k = 0; k <= 9; ++k) {
        const Color colour = basic::MakeRgb(RoundToLong(255 - k * stepRed), RoundToLong(255 - k * stepGreen),
                                            RoundToLong(255 - k * stepBlue));
        const double y = top + static_cast<double>(k) * tpp;
        picture.Line(left, y, right, y, colour);
    }
}

void UC_Tab::DrawAll()
{
    const int tpp = basic::TwipsPerPixel;
    if (tpp <= 0) {
        return;
    }
    pictureTab_->setGeometry(0, 0, width(), height());
    Surface& picture = pictureTab_->Picture();
    const Color base = basic::SysColor(1);
    if (picture.BackColor() != base) {
        picture.SetBackColor(base);
    }
    if (bgFlag_ != 0 && bgPicture_ != nullptr) {
        // The source rows start TwipsPerPixel pixels lower, as the owners'
        // pictures are laid out.
        picture.BitBlt(0, 0, picture.PixelWidth(), picture.PixelHeight(), *bgPicture_,
                       RoundToLong(static_cast<double>(bgX_) / tpp), RoundToLong(static_cast<double>(bgY_) / tpp) + tpp,
                       platform::RasterOp::SrcCopy);
    } else {
        picture.Cls();
    }

    const double tabHeight = picture.TextHeight("漢") + 12.0 * tpp;
    const double controlHeight = picture.Height();
    const Color shadow = platform::SystemColor(platform::ColorBtnShadow);
    double left = 0;
    for (std::int32_t i = 0; i < NumTab(); ++i) {
        const Tab& tab = tabs_[static_cast<std::size_t>(i)];
        if (tab.hidden != 0) {
            continue;
        }
        const double w = tab.width;
        const bool selected = i == selectedTab_;
        const double u = selected ? 0 : tpp;
        picture.Line(left, 0, left + w, controlHeight, base, platform::LineShape::FilledBox);
        DrawTab(picture, left, left + w, u);
        picture.Line(left, u, left, left == 0 ? controlHeight : tabHeight, shadow);
        picture.Line(left, u, left + w, u, shadow);
        if (i == lastVisible_) {
            picture.Line(left + w, u, left + w, tabHeight, shadow);
        }
        if (selected) {
            picture.SetForeColor(platform::SystemColor(platform::ColorWindowText));
        } else {
            DrawTab(picture, left == 0 ? tpp : left, left + w, tabHeight + tpp);
            picture.SetForeColor(basic::ShiftColor(base, 0, 0, 0, 0.65f));
        }
        picture.SetCurrentX(left + (w - tab.textWidth) / 2);
        picture.SetCurrentY((8.0 + (selected ? 0 : 1)) * tpp);
        picture.Print(tab.caption);
        left += w;
    }
    DrawTab(picture, left, picture.Width(), tabHeight + tpp);
    pictureTab_->Refresh();
}

void UC_Tab::Select(std::int32_t index)
{
    selectedTab_ = index;
    DrawAll();
    if (TabClicked) {
        TabClicked(index);
    }
}

void UC_Tab::RaiseMinTabClick()
{
    if (clickDisabled_ != 0) {
        return;
    }
    for (std::int32_t i = 0; i < NumTab(); ++i) {
        if (tabs_[static_cast<std::size_t>(i)].hidden == 0) {
            Select(i);
            return;
        }
    }
}

void UC_Tab::OnPointer(const PointerEvent& event)
{
    switch (event.kind) {
    case PointerEvent::Kind::Press:
    case PointerEvent::Kind::DoubleClick:
        pressed_ = true;
        break;
    case PointerEvent::Kind::Release: {
        const bool wasPressed = std::exchange(pressed_, false);
        const bool over = event.x >= 0 && event.x < platform::WidthTwips(*this) && event.y >= 0 &&
                          event.y < platform::HeightTwips(*this);
        if (!wasPressed || !over || clickDisabled_ != 0) {
            return;
        }
        double left = 0;
        for (std::int32_t i = 0; i < NumTab(); ++i) {
            const Tab& tab = tabs_[static_cast<std::size_t>(i)];
            if (tab.hidden != 0) {
                continue;
            }
            const double right = left + tab.width;
            if (left < event.x && event.x < right) {
                Select(i);
                return;
            }
            left = right;
        }
        break;
    }
    case PointerEvent::Kind::Move:
        break;
    }
}
