#include "platform/ScrollBar.h"

#include <algorithm>

namespace platform {

namespace {

int ClampToBarRange(int value)
{
    return std::clamp(value, -ScrollBar::Limit - 1, ScrollBar::Limit);
}

} // namespace

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent)
{
    ApplyRange();
    setSingleStep(1);
    setPageStep(1);
    InstallKeyRouting(*this, Keys);
    QObject::connect(this, &QAbstractSlider::valueChanged, this, [this] {
        if (isSliderDown()) {
            if (OnScroll) {
                OnScroll();
            }
        } else if (OnChange) {
            OnChange();
        }
    });
    QObject::connect(this, &QAbstractSlider::sliderPressed, this, [this] { valueAtPress_ = value(); });
    QObject::connect(this, &QAbstractSlider::sliderReleased, this, [this] {
        if (value() != valueAtPress_ && OnChange) {
            OnChange();
        }
    });
}

void ScrollBar::ApplyRange()
{
    // Qt wants the lower bound first; a bar whose Min lies above its Max shows
    // Min at its start all the same.
    const bool reversed = min_ > max_;
    setInvertedAppearance(reversed);
    setInvertedControls(reversed);
    setRange(std::min(min_, max_), std::max(min_, max_));
}

void ScrollBar::SetMin(int value)
{
    min_ = ClampToBarRange(value);
    ApplyRange();
}

void ScrollBar::SetMax(int value)
{
    max_ = ClampToBarRange(value);
    ApplyRange();
}

void ScrollBar::SetValue(int value)
{
    setValue(std::clamp(value, minimum(), maximum()));
}

void ScrollBar::SetSmallChange(int value)
{
    setSingleStep(std::clamp(value, 1, Limit));
}

void ScrollBar::SetLargeChange(int value)
{
    setPageStep(std::clamp(value, 1, Limit));
}

} // namespace platform
