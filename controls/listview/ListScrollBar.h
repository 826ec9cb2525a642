#pragma once

#include <functional>

class QWidget;

namespace listview {

// One scroll bar of a list view, whichever control serves as it: the
// platform's scroll bar or the program's own slider.
class ListScrollBar {
public:
    virtual ~ListScrollBar() = default;

    virtual QWidget& Widget() = 0;
    virtual bool IsSlider() const = 0;
    virtual int Min() const = 0;
    virtual int Max() const = 0;
    virtual void SetMax(int max) = 0;
    virtual int Value() const = 0;
    virtual void SetValue(int value) = 0;
    virtual int LargeChange() const = 0;
    virtual void SetLargeChange(int change) = 0;
    virtual void SetSmallChange(int change) = 0;
    // Lays a slider out again for its size with a pointer of the given part
    // of its track; standard bars scale themselves.
    virtual void Rescale(double pointerPart) = 0;

    // Raised when the user moves the bar, and by a standard bar also when the
    // program sets its value.
    std::function<void()> OnChanged;
};

} // namespace listview
