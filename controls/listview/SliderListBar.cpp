#include "controls/listview/SliderListBar.h"

#include "controls/UC_Slider.h"

namespace listview {

SliderListBar::SliderListBar(bool vertical, QWidget* parent) : slider_(new UC_Slider(parent))
{
    slider_->SetNoGrad(1);
    slider_->SetIsVertical(vertical ? 1 : 0);
    slider_->Init();
    const auto changed = [this] {
        if (OnChanged) {
            OnChanged();
        }
    };
    slider_->MouseUD = [changed](bool, int) { changed(); };
    slider_->Scrolled = [changed](int) { changed(); };
    slider_->DblClicked = changed;
}

QWidget& SliderListBar::Widget()
{
    return *slider_;
}

int SliderListBar::Min() const
{
    return slider_->Min();
}

int SliderListBar::Max() const
{
    return slider_->Max();
}

void SliderListBar::SetMax(int max)
{
    slider_->SetMax(max);
}

int SliderListBar::Value() const
{
    return slider_->Value();
}

void SliderListBar::SetValue(int value)
{
    slider_->SetValue(value);
}

int SliderListBar::LargeChange() const
{
    return slider_->LargeChange();
}

void SliderListBar::SetLargeChange(int change)
{
    slider_->SetLargeChange(change);
}

void SliderListBar::SetSmallChange(int change)
{
    slider_->SetSmallChange(change);
}

void SliderListBar::Rescale(double pointerPart)
{
    slider_->Init();
    slider_->SetPointerSize(static_cast<float>(pointerPart));
}

} // namespace listview
