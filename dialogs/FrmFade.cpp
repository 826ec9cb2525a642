#include "dialogs/FrmFade.h"

#include "controls/ApplySkin.h"
#include "controls/SurfaceBox.h"
#include "controls/UC_Check.h"
#include "dialogs/FadeWindowHost.h"
#include "foundation/Background.h"
#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "foundation/WindowPositions.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <limits>
#include <string>

namespace {

// Where the drawing and the check box sit in the window, twips.
constexpr int Margin = 120;
constexpr int CheckTop = Margin + FrmFade::SurfaceHeight + 105;
constexpr int CheckWidth = 3600;
constexpr int CheckHeight = 300;
constexpr int InnerWidth = FrmFade::SurfaceWidth + 2 * Margin;
constexpr int InnerHeight = CheckTop + CheckHeight + Margin;
// Twips on the time scale per millisecond.
constexpr double MsPerTwip = 2.0;
constexpr int HalfHandle = FrmFade::HandleSide / 2;

std::int32_t ClampToInt32(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// A span of twips as milliseconds: rounded half to even, then cut down to a
// whole number of engine ticks.
std::int32_t TwipsToTicksMs(std::int64_t twips)
{
    const std::int64_t step = std::max(parms::TimerInt, 1);
    const std::int64_t ms = numeric::RoundToInt64(static_cast<double>(twips) * MsPerTwip);
    return ClampToInt32(ms / step * step);
}

std::int32_t HalfOf(std::int32_t ms)
{
    return ClampToInt32(numeric::RoundToInt64(static_cast<double>(ms) / MsPerTwip));
}

} // namespace

FrmFade::FrmFade(FadeWindowHost& host, QWidget* owner)
    : platform::Form(owner), host_(host), pictureFade_(new controls::SurfaceBox(this)),
      checkAutoSel_(new UC_Check(this))
{
    setWindowFlags(Qt::Tool);
    for (int i = 0; i < 3; ++i) {
        auto* handle = new controls::SurfaceBox(pictureFade_);
        handle->setCursor(Qt::SizeHorCursor);
        handle->OnPointer = [this, i](const controls::PointerEvent& event) { OnHandlePointer(i, event); };
        pictures_.at(static_cast<std::size_t>(i)) = handle;
    }
    pictureFade_->OnPointer = [this](const controls::PointerEvent& event) {
        if (event.kind == controls::PointerEvent::Kind::DoubleClick) {
            PictureFade_DblClick();
        }
    };
    checkAutoSel_->Click = [this] {
        parms::AutoSel = checkAutoSel_->Value() != 0 ? 1 : 0;
        basic::SaveSetting("AutoSel", parms::AutoSel);
    };
    // Key releases anywhere in the window, also on the check box, go on to
    // the main window; presses do not.
    SetKeyPreview(true);
    Keys.KeyUp = [this](int& keyCode, int shift) { host_.Form_KeyUp(keyCode, shift); };
    OnUnload = [this](int&) { Unloading(); };
}

FrmFade::~FrmFade() = default;

void FrmFade::Form_Load()
{
    if (parentWidget() != nullptr) {
        setWindowIcon(parentWidget()->window()->windowIcon());
    }
    SetCaption(basic::LangText("クロスフェード設定", "X Fade Step"));
    const int tpp = std::max(basic::TwipsPerPixel, 1);
    setFixedSize(InnerWidth / tpp, InnerHeight / tpp);
    basic::RestoreWindowPos(*this, "Fade", true, false, false);

    // Handles from the stored times. A negative stored time cannot come from
    // this window; it is read as 0 so that the handles keep their order.
    const std::int32_t l1 = ClampToInt32(std::int64_t{FadeOutEnd} - std::max(HalfOf(parms::FOTime), 0));
    const std::int32_t l2 = ClampToInt32(std::int64_t{l1} + std::max(HalfOf(parms::FIOffset), 0));
    const std::int32_t l0 = ClampToInt32(std::int64_t{l2} + std::max(HalfOf(parms::FITime), 0));
    left_ = {l0, l1, l2};

    picture_ = platform::Surface(width(), height());
    basic::PaintBackground(picture_, 14, -1, -1, -1);
    platform::MoveTwips(*pictureFade_, Margin, Margin, SurfaceWidth, SurfaceHeight);
    for (int i = 0; i < 3; ++i) {
        platform::MoveTwips(PicturePoint(i), 0, HandleTop.at(static_cast<std::size_t>(i)), HandleSide, HandleSide);
        DrawHandle(i);
    }
    platform::MoveTwips(*checkAutoSel_, Margin, CheckTop, CheckWidth, CheckHeight);
    basic::ApplySkin(*checkAutoSel_, basic::LangText("モジュール自動選択", "Select Module Automatically"),
                     parms::AutoSel != 0 ? 1 : 0, &picture_, 9.0F, nullptr, 1.0F);
    DrawLines();
    update();
}

void FrmFade::DrawLines()
{
    PlaceHandles();
    platform::Surface& surface = pictureFade_->Picture();
    surface.SetBackColor(0xFFFFFF);
    surface.Cls();
    surface.SetForeColor(0);

    const auto [l0, l1, l2] = left_;
    const double w = surface.Width();
    const double h = surface.Height();
    const double level1 = HandleTop[1] + HalfHandle;
    const double level0 = HandleTop[0] + HalfHandle;
    // Outgoing sound at full level and its fade-out to the fixed end.
    surface.Line(0, level1, l1 + HalfHandle, level1, LineColor);
    surface.Line(l1 + HalfHandle, level1, FadeOutEnd + HalfHandle, h, LineColor);
    // Fade-in of the incoming sound and its full level.
    surface.Line(l2 + HalfHandle, h - HalfHandle, l0 + HalfHandle, level0, LineColor);
    surface.Line(l0 + HalfHandle, level0, w, level0, LineColor);

    parms::FOTime = TwipsToTicksMs(std::int64_t{FadeOutEnd} - l1);
    parms::FIOffset = TwipsToTicksMs(std::int64_t{l2} - l1);
    parms::FITime = TwipsToTicksMs(std::int64_t{l0} - l2);
    host_.SetFadeParm();

    const auto print = [&surface](double x, double y, std::int32_t value) {
        surface.SetCurrentX(x);
        surface.SetCurrentY(y);
        surface.Print(std::to_string(value));
    };
    print(l1 + 210.0, 105, parms::FOTime);
    print(l2 - 420.0, 1500, parms::FIOffset);
    print(l0 + 210.0, 810, parms::FITime);
    pictureFade_->Refresh();
}

void FrmFade::DragHandle(int index, double x)
{
    if (index < 0 || index > 2) {
        return;
    }
    auto& [l0, l1, l2] = left_;
    const std::int32_t current = left_.at(static_cast<std::size_t>(index));
    const std::int32_t moved = ClampToInt32(numeric::RoundToInt64(current + x - HalfHandle));
    switch (index) {
    case 0:
        l0 = std::max(moved, l2);
        break;
    case 1:
        l1 = std::min({moved, l2, std::int32_t{FadeOutEnd}});
        break;
    default:
        if (moved >= l1) {
            // The fade-in keeps its length: handle 0 moves along.
            l0 = ClampToInt32(std::int64_t{l0} + moved - l2);
            l2 = moved;
        } else {
            l2 = l1;
        }
        break;
    }
    l2 = std::max(l2, l1);
    DrawLines();
}

void FrmFade::PictureFade_DblClick()
{
    left_ = {FadeOutEnd, FadeOutEnd, FadeOutEnd};
    DrawLines();
}

void FrmFade::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), picture_.Image(), event->rect());
}

void FrmFade::OnHandlePointer(int index, const controls::PointerEvent& event)
{
    if (event.kind == controls::PointerEvent::Kind::Move && (event.buttons & 1) != 0) {
        DragHandle(index, event.x);
    } else if (event.kind == controls::PointerEvent::Kind::DoubleClick) {
        PictureFade_DblClick();
    }
}

void FrmFade::PlaceHandles()
{
    for (int i = 0; i < 3; ++i) {
        const auto at = static_cast<std::size_t>(i);
        platform::MoveTwips(PicturePoint(i), left_.at(at), HandleTop.at(at));
    }
}

void FrmFade::DrawHandle(int index)
{
    platform::Surface& face = PicturePoint(index).Picture();
    face.SetBackColor(0x404040);
    const int side = face.PixelWidth();
    if (side > 2) {
        face.DrawEdge({0, 0, side, face.PixelHeight()}, platform::EdgeRaised, platform::EdgeRect);
    }
    PicturePoint(index).Refresh();
}

void FrmFade::Unloading()
{
    basic::SaveSetting("FOTime", parms::FOTime);
    basic::SaveSetting("FITime", parms::FITime);
    basic::SaveSetting("FIOffset", parms::FIOffset);
    basic::SaveWindowPos(*this, "Fade", true, false);
    if (AfterUnload) {
        AfterUnload();
    }
}
