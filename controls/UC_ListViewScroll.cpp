// The scroll bars, scrolling by code, and drag and drop over the rows.
#include "controls/UC_ListView.h"

#include "controls/listview/ListBarLayout.h"
#include "platform/DropTarget.h"
#include "platform/EventPump.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Clock.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <algorithm>

void UC_ListView::SetVbarParm()
{
    if (vbar_ == nullptr) {
        return;
    }
    listview::ListBarInput in;
    in.allWidth = platform::WidthTwips(*pictureAll_);
    in.allHeight = platform::HeightTwips(*pictureAll_);
    in.listTop = ListTop();
    in.itemCount = store_.ItemCount();
    in.oneHeight = oneHeight_;
    in.totalWidth = columns_.TotalWidth();
    in.vbarWidth = platform::WidthTwips(vbar_->Widget());
    in.hbarHeight = platform::HeightTwips(hbar_->Widget());
    in.vbarDisabled = vbarDisabled_;
    in.hbarDisabled = hbarDisabled_;
    in.sliderBars = vbar_->IsSlider();
    in.twipsPerPixel = basic::TwipsPerPixel;
    const listview::ListBarLayout out = listview::ComputeBarLayout(in);

    platform::SetWidthTwips(*pictureList_, std::max(out.listWidth, Px(1)));
    platform::SetHeightTwips(*pictureList_, std::max(out.listHeight, Px(1)));
    if (oneHeight_ > 0) {
        visibleRows_ = out.visibleRows;
    }
    if (out.vNeeded) {
        vbar_->SetMax(out.vMax);
        vbar_->SetLargeChange(out.vLargeChange);
        platform::SetHeightTwips(vbar_->Widget(), std::max(out.vHeight, Px(1)));
        if (vbar_->IsSlider()) {
            vbar_->Rescale(out.vPointer);
            vbar_->SetValue(vbar_->Value());
        }
        vbarShown_ = true;
        vbar_->Widget().show();
    } else {
        vbar_->SetValue(0);
        vbarShown_ = false;
        vbar_->Widget().hide();
    }
    if (out.hNeeded) {
        hbar_->SetMax(out.hMax);
        hbar_->SetLargeChange(out.hLargeChange);
        platform::SetWidthTwips(hbar_->Widget(), std::max(out.hWidth, Px(1)));
        if (hbar_->IsSlider()) {
            hbar_->Rescale(out.hPointer);
            hbar_->SetValue(hbar_->Value());
        }
        hbarShown_ = true;
        hbar_->Widget().show();
        hOffset_ = hbar_->Value();
    } else {
        hbar_->SetValue(0);
        hbarShown_ = false;
        hbar_->Widget().hide();
        hOffset_ = 0;
    }
}

void UC_ListView::VBarMove(int delta)
{
    if (vbarShown_) {
        vbar_->SetValue(std::clamp(vbar_->Value() + delta, vbar_->Min(), vbar_->Max()));
    }
}

void UC_ListView::HBarMove(int delta)
{
    if (hbarShown_) {
        hbar_->SetValue(std::clamp(hbar_->Value() + delta, hbar_->Min(), hbar_->Max()));
    }
}

void UC_ListView::VBarScroll(int notches)
{
    if (vbarShown_ && notches != 0) {
        VBarMove(numWheelScroll_ * notches);
        VBarChanged();
    }
}

void UC_ListView::HBarScroll(int notches)
{
    if (hbarShown_ && notches != 0) {
        HBarMove(notches);
        HBarChanged();
    }
}

void UC_ListView::Yield()
{
    if (barNoDoEvents_ == 0) {
        platform::DoEvents();
    }
}

void UC_ListView::VBarChanged()
{
    topItem_ = vbar_->Value();
    if (topItem_ != lastDrawnTop_) {
        ReDraw();
        Yield();
        lastDrawnTop_ = topItem_;
    }
}

void UC_ListView::HBarChanged()
{
    hOffset_ = hbar_->Value();
    Yield();
    ReDrawTab(-1);
    Yield();
    ReDraw();
    Yield();
}

void UC_ListView::ShowSelected(int onlyIfHidden)
{
    SetTopItem(store_.SelectedItem(), 0, onlyIfHidden);
}

void UC_ListView::ShowItem(int index, int onlyIfHidden)
{
    SetTopItem(index, 1, onlyIfHidden);
}

void UC_ListView::SetTopItem(int index, int atTop, int onlyIfHidden)
{
    if (index < 0 || index >= store_.ItemCount()) {
        ReDraw();
        return;
    }
    bool unmoved = false;
    if (vbarShown_) {
        const int target = atTop != 0 ? index : static_cast<int>(numeric::RoundToInt64(index - visibleRows_ / 2.0));
        if (onlyIfHidden != 0 && topItem_ <= index && index < topItem_ + visibleRows_) {
            unmoved = true;
        } else {
            topItem_ = std::min(std::max(target, 0), vbar_->Max());
            vbar_->SetValue(topItem_);
        }
    } else {
        topItem_ = 0;
    }
    if (!unmoved) {
        lastDrawnTop_ = topItem_;
    }
    ReDraw();
}

void UC_ListView::DragOverRows(double x, double y, int state)
{
    if (OLEDragOver) {
        OLEDragOver();
    }
    if (noOleScroll_ != 0 || state == platform::DragLeave || vbar_ == nullptr) {
        return;
    }
    const std::int64_t nowMs = numeric::RoundToInt64(platform::Timer() * 1000.0);
    const int step =
        autoScroll_.Step(x, y, nowMs, oneHeight_, platform::HeightTwips(*pictureList_), vbar_->LargeChange());
    if (step == 0 || !vbarShown_) {
        return;
    }
    vbar_->SetValue(std::clamp(vbar_->Value() + step, vbar_->Min(), vbar_->Max()));
    if (vbar_->IsSlider()) {
        VBarChanged();
    }
}

void UC_ListView::DropOnRows(platform::DragData& dropped, int& effect, int button, int shift, double x, double y)
{
    if (OLEDragDrop) {
        int b = button;
        int s = shift;
        double px = x;
        double py = y;
        OLEDragDrop(dropped, effect, b, s, px, py);
    }
}
