#pragma once

#include "controls/listview/ListScrollBar.h"

class UC_Slider;

namespace listview {

// The program's own slider as a list view's bar: flat faces, and every
// event of the slider counts as a move of the bar.
class SliderListBar final : public ListScrollBar {
public:
    SliderListBar(bool vertical, QWidget* parent);

    QWidget& Widget() override;
    bool IsSlider() const override { return true; }
    int Min() const override;
    int Max() const override;
    void SetMax(int max) override;
    int Value() const override;
    void SetValue(int value) override;
    int LargeChange() const override;
    void SetLargeChange(int change) override;
    void SetSmallChange(int change) override;
    void Rescale(double pointerPart) override;

    UC_Slider& Slider() { return *slider_; }

private:
    UC_Slider* slider_; // owned by its parent widget
};

} // namespace listview
