#pragma once

#include "controls/listview/ListScrollBar.h"
#include "platform/ScrollBar.h"

namespace listview {

// The platform's scroll bar as a list view's bar; it takes no focus.
class StandardListBar final : public ListScrollBar {
public:
    StandardListBar(Qt::Orientation orientation, QWidget* parent);

    QWidget& Widget() override { return *bar_; }
    bool IsSlider() const override { return false; }
    int Min() const override { return bar_->Min(); }
    int Max() const override { return bar_->Max(); }
    void SetMax(int max) override { bar_->SetMax(max); }
    int Value() const override { return bar_->Value(); }
    void SetValue(int value) override { bar_->SetValue(value); }
    int LargeChange() const override { return bar_->LargeChange(); }
    void SetLargeChange(int change) override { bar_->SetLargeChange(change); }
    void SetSmallChange(int change) override { bar_->SetSmallChange(change); }
    void Rescale(double /*pointerPart*/) override {}

private:
    platform::ScrollBar* bar_; // owned by its parent widget
};

} // namespace listview
