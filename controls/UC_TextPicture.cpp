#include "controls/UC_TextPicture.h"

#include "controls/SurfaceBox.h"
#include "foundation/Colors.h"
#include "foundation/Conversions.h"
#include "foundation/Drawing.h"
#include "foundation/Fonts.h"
#include "platform/DropTarget.h"
#include "platform/InputCodes.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <algorithm>
#include <array>
#include <utility>

namespace controls {

namespace {

using platform::Color;
using platform::RasterOp;
using platform::Surface;

struct StdColorSet {
    Color foreColor;
    Color back1;
    Color back2;
};

constexpr std::array<StdColorSet, 6> stdColorSets{{
    {0x909090, 0, 0x686868},
    {0xD0B0B0, 0, 0x886868},
    {0xB0B0D0, 0, 0x686888},
    {0xB0D0B0, 0, 0x688868},
    {0xE0E0E0, 0, 0x686868},
    {0x90B0E0, 0, 0x4878A8},
}};

constexpr std::string_view tallFace = "メイリオ";

} // namespace

UC_TextPicture::UC_TextPicture(QWidget* parent)
    : QWidget(parent), text0_(new SurfaceBox(this)), dropTarget_(new platform::DropTarget(*text0_))
{
    text0_->setGeometry(rect());
    text0_->OnPointer = [this](const PointerEvent& event) { OnPointer(event); };
    // A locked panel, or one nobody asked to take files, takes nothing, and
    // says so to the drag's source.
    dropTarget_->TakesDrops = [this] { return locked_ == 0 && OLEDragDrop; };
    dropTarget_->OnDragDrop = [this](platform::DragData& dropped, int& effect, int button, int shift, double x,
                                     double y) {
        if (OLEDragDrop) {
            OLEDragDrop(dropped, effect, button, shift, x, y);
        }
    };
}

UC_TextPicture::~UC_TextPicture() = default;

const Surface& UC_TextPicture::Picture() const
{
    return text0_->Picture();
}

QWidget* UC_TextPicture::hWnd() const
{
    return text0_;
}

void UC_TextPicture::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FitPicture();
}

void UC_TextPicture::FitPicture()
{
    text0_->setGeometry(rect());
}

void UC_TextPicture::ResetMe()
{
    spaces_.clear();
    colorSets_.clear();
    designType_ = 0;
    currentSet_ = 0;
    text1_.reset();
}

void UC_TextPicture::SetColor(int index, int redraw)
{
    if (designType_ == 1) {
        if (index >= 0 && index < static_cast<int>(colorSets_.size())) {
            currentSet_ = index;
        }
    } else {
        Surface& picture = text0_->Picture();
        basic::SetColorsByIndex(picture, index, picture.ForeColor(), picture.BackColor());
    }
    if (redraw != 0) {
        Draw(-1);
    }
}

void UC_TextPicture::SetColorEx(Color fore, Color back, int redraw)
{
    Surface& picture = text0_->Picture();
    picture.SetBackColor(back);
    picture.SetForeColor(fore);
    if (redraw != 0) {
        Draw(-1);
    }
}

void UC_TextPicture::AddStdColorSet(int n)
{
    designType_ = 1;
    if (n >= 0 && n < static_cast<int>(stdColorSets.size())) {
        const StdColorSet& set = stdColorSets[static_cast<std::size_t>(n)];
        colorSets_.push_back({set.foreColor, set.back1, set.back2, 0});
    }
}

void UC_TextPicture::AddColorSet(Color foreColor, Color back1, Color back2, std::int32_t fourth)
{
    designType_ = 1;
    colorSets_.push_back({foreColor, back1, back2, fourth});
}

void UC_TextPicture::UseClick(int index, int value)
{
    if (index >= 0 && index < static_cast<int>(spaces_.size())) {
        spaces_[static_cast<std::size_t>(index)].useClick = value;
    }
}

UC_TextPicture::TextSpace UC_TextPicture::MadeSpace(float fontSize, bool bold, bool italic, std::string_view fontName,
                                                    int align, int top)
{
    FitPicture();
    Surface& picture = text0_->Picture();
    const int p = basic::TwipsPerPixel;
    TextSpace space;
    space.fontIndex = basic::SetControlFont(&picture, -2, nullptr, fontSize, bold, italic, fontName);
    space.left = align;
    const double h = picture.TextHeight("漢");
    double factor = 1.0;
    if (space.fontIndex >= 0 && space.fontIndex < basic::FontCount()) {
        factor = basic::FontCache()[static_cast<std::size_t>(space.fontIndex)].HeightRatio;
    }
    if (top != -1) {
        space.top = static_cast<int>(numeric::RoundToInt64(top - (1 - factor) * h / 2 + p));
    } else {
        const std::string_view face = fontName.empty() ? std::string_view(basic::UIFontFace) : fontName;
        const double y = (picture.Height() - h) / 2 + (face == tallFace ? p : 0);
        space.top = y < 0 ? 0 : static_cast<int>(numeric::RoundToInt64(y));
    }
    return space;
}

void UC_TextPicture::AddTextSpace(float fontSize, bool bold, bool italic, std::string_view fontName, int align, int top)
{
    spaces_.push_back(MadeSpace(fontSize, bold, italic, fontName, align, top));
}

void UC_TextPicture::SetTextSpace(int index, float fontSize, bool bold, bool italic, std::string_view fontName,
                                  int align, int top)
{
    if (index < 0 || index >= static_cast<int>(spaces_.size())) {
        return;
    }
    TextSpace& space = spaces_[static_cast<std::size_t>(index)];
    const TextSpace made = MadeSpace(fontSize, bold, italic, fontName, align, top);
    space.fontIndex = made.fontIndex;
    space.left = made.left;
    space.top = made.top;
}

void UC_TextPicture::SetTextFitting(int index, std::function<void(std::string_view text)> fitting)
{
    if (index >= 0 && index < static_cast<int>(spaces_.size())) {
        spaces_[static_cast<std::size_t>(index)].fitting = std::move(fitting);
    }
}

void UC_TextPicture::SetTextTop(int index, int top)
{
    if (index >= 0 && index < static_cast<int>(spaces_.size())) {
        spaces_[static_cast<std::size_t>(index)].top = top;
    }
}

void UC_TextPicture::Init(int frameWidth, int noFill)
{
    FitPicture();
    Surface& picture = text0_->Picture();
    if (designType_ == 1) {
        if (!text1_) {
            text1_ = std::make_unique<Surface>(0, 0);
        }
        const int width = picture.PixelWidth();
        text1_->Resize(width * static_cast<int>(colorSets_.size()), picture.PixelHeight());
        for (std::size_t i = 0; i < colorSets_.size(); ++i) {
            basic::DrawFrame(picture, colorSets_[i].back1, colorSets_[i].back2, noFill, frameWidth);
            text1_->BitBlt(static_cast<int>(i) * width, 0, width, picture.PixelHeight(), picture, 0, 0,
                           RasterOp::SrcCopy);
        }
    } else {
        frame_ = {0, 0, picture.PixelWidth(), picture.PixelHeight()};
    }
    Draw(-1);
}

double UC_TextPicture::TextMargin(int designType, int isFlat)
{
    return (isFlat != 0 && designType != 1 ? 2.0 : 4.0) * basic::TwipsPerPixel;
}

double UC_TextPicture::CentredTextRoom(double widthTwips, int designType, int isFlat)
{
    return widthTwips - 2 * TextMargin(designType, isFlat);
}

void UC_TextPicture::Draw(int highlight)
{
    FitPicture();
    Surface& picture = text0_->Picture();
    const int p = basic::TwipsPerPixel;
    if (p <= 0) {
        return;
    }
    const bool colourSets = designType_ == 1;
    if (colourSets && text1_ && currentSet_ >= 0 && currentSet_ < static_cast<int>(colorSets_.size())) {
        const int width = picture.PixelWidth();
        picture.BitBlt(0, 0, width, picture.PixelHeight(), *text1_, currentSet_ * width, 0, RasterOp::SrcCopy);
        picture.SetForeColor(colorSets_[static_cast<std::size_t>(currentSet_)].foreColor);
    } else {
        picture.Cls();
    }
    const Color base = picture.ForeColor();
    const double margin = TextMargin(designType_, isFlat_);
    for (std::size_t i = 0; i < spaces_.size(); ++i) {
        const TextSpace& space = spaces_[i];
        if (space.fontIndex >= 0) {
            basic::SetControlFont(&picture, space.fontIndex, nullptr, 0, false, false, "");
        }
        double x = space.left;
        if (space.left == -1) {
            x = std::max((picture.Width() - picture.TextWidth(space.text)) / 2, margin);
        }
        if (static_cast<int>(i) == highlight) {
            picture.SetForeColor(platform::IsSystemColor(base) ? 0xFFFFFF : basic::ShiftColor(base, 30, 30, 30, -1));
        } else if (highlight != -1) {
            picture.SetForeColor(base);
        }
        picture.SetCurrentX(x);
        picture.SetCurrentY(space.top);
        picture.Print(basic::FitTextToWidth(space.text, picture, picture.Width() - x - margin, 0));
    }
    // The highlight must not become the colour the next draw starts from.
    picture.SetForeColor(base);
    if (!colourSets && isFlat_ == 0) {
        picture.DrawEdge(frame_, platform::EdgeSunken, platform::EdgeRect);
    }
    text0_->Refresh();
}

void UC_TextPicture::DispMes(int index, std::string_view text, int noRedraw)
{
    if (index < 0 || index >= static_cast<int>(spaces_.size())) {
        return;
    }
    std::string& stored = spaces_[static_cast<std::size_t>(index)].text;
    if (stored == text) {
        return;
    }
    stored = text;
    if (const auto& fitting = spaces_[static_cast<std::size_t>(index)].fitting) {
        fitting(stored);
    }
    if (noRedraw == 0) {
        Draw(-1);
    }
}

std::string UC_TextPicture::TextMes(int index) const
{
    if (index < 0 || index >= static_cast<int>(spaces_.size())) {
        return {};
    }
    return spaces_[static_cast<std::size_t>(index)].text;
}

int UC_TextPicture::SpaceAt(double x, double y) const
{
    int result = 0;
    int resultLeft = 0;
    int resultTop = 0;
    for (std::size_t i = 0; i < spaces_.size(); ++i) {
        const TextSpace& space = spaces_[i];
        if ((space.left != -1 && x <= space.left) || y <= space.top) {
            continue;
        }
        // The space furthest down and right that lies above-left of the point.
        if (space.top >= resultTop && space.left >= resultLeft) {
            result = static_cast<int>(i);
            resultTop = space.top;
            resultLeft = space.left;
        }
    }
    return result;
}

bool UC_TextPicture::Clickable(int index) const
{
    return index >= 0 && index < static_cast<int>(spaces_.size()) &&
           spaces_[static_cast<std::size_t>(index)].useClick != 0;
}

void UC_TextPicture::OnPointer(const PointerEvent& event)
{
    switch (event.kind) {
    case PointerEvent::Kind::Press:
        OnMouseDown(event.button, event.shift, event.x, event.y);
        break;
    case PointerEvent::Kind::DoubleClick:
        if (event.button != platform::ButtonLeft) {
            OnMouseDown(event.button, event.shift, event.x, event.y);
        } else if (useDblClick_ == 0) {
            // Without double clicks, one more press of the left button at
            // the panel's corner.
            OnMouseDown(platform::ButtonLeft, 0, 0, 0);
        } else if (locked_ == 0 && DblClicked) {
            DblClicked();
        }
        break;
    case PointerEvent::Kind::Move:
        break;
    case PointerEvent::Kind::Release:
        OnMouseUp(event.button, event.shift, event.x, event.y);
        break;
    }
}

void UC_TextPicture::OnMouseDown(int button, int /*shift*/, double x, double y)
{
    if (locked_ != 0) {
        return;
    }
    int index = SpaceAt(x, y);
    if (Clickable(index)) {
        Draw(index);
    }
    int mouseButton = button;
    bool isDown = true;
    down_ = true;
    if (MouseUD) {
        MouseUD(mouseButton, isDown, index);
    }
}

void UC_TextPicture::OnMouseUp(int button, int /*shift*/, double x, double y)
{
    if (locked_ != 0 || !down_) {
        return;
    }
    down_ = false;
    int index = SpaceAt(x, y);
    if (Clickable(index)) {
        Draw(-1);
    }
    int mouseButton = button;
    bool isDown = false;
    if (MouseUD) {
        MouseUD(mouseButton, isDown, index);
    }
}

} // namespace controls
