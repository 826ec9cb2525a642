#include "controls/UC_Check.h"

#include "foundation/Background.h"
#include "foundation/Fonts.h"
#include "platform/SysColors.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace {

using controls::PointerEvent;
using platform::Surface;

// The box images check boxes have made, so that a check box sharing one keeps
// it alive even when the check box that made it goes first.
std::vector<std::weak_ptr<Surface>>& MadeBoxes()
{
    static std::vector<std::weak_ptr<Surface>> boxes;
    return boxes;
}

std::shared_ptr<Surface> FindMadeBox(const Surface* image)
{
    auto& boxes = MadeBoxes();
    std::erase_if(boxes, [](const std::weak_ptr<Surface>& box) { return box.expired(); });
    for (const std::weak_ptr<Surface>& box : boxes) {
        if (auto alive = box.lock(); alive.get() == image) {
            return alive;
        }
    }
    return nullptr;
}

int RoundToInt(double value)
{
    return static_cast<int>(std::clamp<std::int64_t>(numeric::RoundToInt64(value), INT32_MIN, INT32_MAX));
}

} // namespace

UC_Check::UC_Check(QWidget* parent) : QWidget(parent), face_(new controls::SurfaceBox(this))
{
    face_->setObjectName("CheckFace");
    face_->OnPointer = [this](const PointerEvent& event) { OnPointer(event); };
}

UC_Check::~UC_Check() = default;

std::int32_t UC_Check::BoxSide() const
{
    return RoundToInt(static_cast<double>(sizeRate_) * 240);
}

void UC_Check::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Draw();
}

void UC_Check::SetCaption(std::string_view caption)
{
    caption_ = caption;
    BuildFace();
    Draw();
}

void UC_Check::SetValue(std::int32_t value)
{
    value_ = value;
    Draw();
}

void UC_Check::SetGradhdc(Surface* boxImage)
{
    if (boxImage != nullptr) {
        gradHdc_ = boxImage;
        sharedBox_ = FindMadeBox(boxImage);
    }
}

void UC_Check::SetBGPic(std::int32_t x, std::int32_t y, const Surface* picture)
{
    bgX_ = x;
    bgY_ = y;
    bgPicture_ = picture;
    bgFlag_ = 1;
}

void UC_Check::BuildFace()
{
    const int tpp = basic::TwipsPerPixel;
    if (tpp <= 0) {
        return;
    }
    face_->setGeometry(0, 0, width(), height());
    Surface& picture = face_->Picture();
    basic::SetControlFont(platform::FontWindow(&picture), -2, nullptr, fontSize_, false, false, "");
    picture.SetBackColor(platform::SystemColor(platform::ColorBtnFace));

    const std::int32_t side = std::max(BoxSide(), 0);
    const int sidePixels = side / tpp;
    if (gradHdc_ == nullptr && boxPicture_ == nullptr) {
        boxPicture_ = std::make_shared<Surface>(sidePixels, sidePixels);
        MadeBoxes().push_back(boxPicture_);
    }

    double width = side;
    if (!caption_.empty()) {
        width = side + 4.0 * tpp + picture.TextWidth(caption_);
    }
    platform::SetWidthTwips(*this, width);
    if (platform::HeightTwips(*this) < side) {
        platform::SetHeightTwips(*this, side);
    }
    face_->setGeometry(0, 0, this->width(), this->height());
    const int height = platform::HeightTwips(*this);
    boxTop_ = (height - side) / (2 * tpp);
    captionTop_ = RoundToInt((height - picture.TextHeight("漢")) / 2);

    if (gradHdc_ == nullptr) {
        Surface& box = *boxPicture_;
        box.Resize(sidePixels, sidePixels);
        basic::PaintBackground(box, 5, platform::SystemColor(platform::ColorBtnShadow),
                               platform::SystemColor(platform::ColorBtnFace),
                               platform::SystemColor(platform::ColorBtnHighlight));
        const int last = sidePixels - 1;
        const auto line = [&](int x1, int y1, int x2, int y2, platform::Color colour) {
            box.SetForeColor(colour);
            box.MoveToEx(x1, y1);
            box.LineTo(x2, y2);
        };
        line(0, 0, 0, sidePixels, platform::SystemColor(platform::ColorBtnShadow));
        line(0, 0, sidePixels, 0, platform::SystemColor(platform::ColorBtnShadow));
        line(last, 1, last, sidePixels, platform::SystemColor(platform::ColorBtnHighlight));
        line(1, last, sidePixels, last, platform::SystemColor(platform::ColorBtnHighlight));
        gradHdc_ = &box;
    }
    faceBuilt_ = 1;
}

void UC_Check::Draw()
{
    const int tpp = basic::TwipsPerPixel;
    if (tpp <= 0) {
        return;
    }
    if (faceBuilt_ == 0) {
        BuildFace();
    }
    face_->setGeometry(0, 0, width(), height());
    Surface& picture = face_->Picture();
    picture.SetForeColor(platform::SystemColor(enabled_ ? platform::ColorBtnText : platform::ColorBtnShadow));
    if (bgFlag_ != 0 && bgPicture_ != nullptr) {
        picture.BitBlt(0, 0, picture.PixelWidth(), picture.PixelHeight(), *bgPicture_,
                       RoundToInt(static_cast<double>(bgX_) / tpp), RoundToInt(static_cast<double>(bgY_) / tpp),
                       platform::RasterOp::SrcCopy);
    } else {
        picture.Cls();
    }
    const std::int32_t side = std::max(BoxSide(), 0);
    picture.SetCurrentX(side + 4.0 * tpp);
    picture.SetCurrentY(captionTop_);
    picture.Print(caption_);
    if (gradHdc_ != nullptr) {
        picture.BitBlt(0, boxTop_, side / tpp, side / tpp, *gradHdc_, 0, 0, platform::RasterOp::SrcCopy);
    }
    if (value_ == 1) {
        if (isOption_ != 0) {
            // The dot keeps its place and size whatever the box's scale.
            picture.SetFillStyle(0);
            picture.SetFillColor(picture.ForeColor());
            picture.Circle(105, static_cast<double>(boxTop_) * tpp + 105, 60);
        } else {
            static constexpr std::array<std::pair<int, int>, 5> tick{
                {{45, 105}, {105, 165}, {180, 45}, {90, 135}, {45, 105}}};
            const auto toPixel = [&](int twips) {
                return RoundToInt(static_cast<double>(twips) * static_cast<double>(sizeRate_)) / tpp;
            };
            picture.MoveToEx(toPixel(tick[0].first), toPixel(tick[0].second) + boxTop_);
            for (std::size_t i = 1; i < tick.size(); ++i) {
                picture.LineTo(toPixel(tick[i].first), toPixel(tick[i].second) + boxTop_);
            }
        }
    }
    face_->Refresh();
}

void UC_Check::OnPointer(const PointerEvent& event)
{
    switch (event.kind) {
    case PointerEvent::Kind::Press:
    case PointerEvent::Kind::DoubleClick:
        pressed_ = true;
        break;
    case PointerEvent::Kind::Release: {
        const bool wasPressed = std::exchange(pressed_, false);
        const bool over = event.x >= 0 && event.y >= 0 && event.x < platform::WidthTwips(*this) &&
                          event.y < platform::HeightTwips(*this);
        if (!wasPressed || !over || !enabled_) {
            return;
        }
        if (isOption_ != 0) {
            if (value_ == 0) {
                value_ = 1;
            }
        } else {
            value_ = value_ == 1 ? 0 : 1;
        }
        Draw();
        if (Click) {
            Click();
        }
        break;
    }
    case PointerEvent::Kind::Move:
        break;
    }
}
