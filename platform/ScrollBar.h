#pragma once

#include "platform/ControlEvents.h"

#include <QScrollBar>

#include <functional>

namespace platform {

// A scroll bar with the value range of the windows' bars (-32768..32767;
// Min may lie above Max, which turns the bar round). OnScroll follows the
// thumb while it is dragged; OnChange follows every other change of Value
// and the end of a drag that moved it.
class ScrollBar final : public QScrollBar {
public:
    explicit ScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    static constexpr int Limit = 32767;

    int Min() const { return min_; }
    int Max() const { return max_; }
    void SetMin(int value);
    void SetMax(int value);
    int Value() const { return value(); }
    // Values outside Min..Max are brought into it.
    void SetValue(int value);
    int SmallChange() const { return singleStep(); }
    void SetSmallChange(int value);
    int LargeChange() const { return pageStep(); }
    void SetLargeChange(int value);

    KeyHandlers Keys;
    std::function<void()> OnChange;
    std::function<void()> OnScroll;

private:
    void ApplyRange();

    int min_ = 0;
    int max_ = Limit;
    int valueAtPress_ = 0;
};

} // namespace platform
