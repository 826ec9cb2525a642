#pragma once

#include <cstdint>

namespace listview {

// Scrolling while something is dragged over the rows and the pointer rests
// near the top or bottom edge: a page at a time in the outer half row (at
// most every 20 ms), a row at a time in the row inside it (every 200 ms).
// A pointer that moved, or a pause of over a second, scrolls nothing.
class ListAutoScroll {
public:
    // The rows to scroll for a drag-over at (x, y) (twips in the rows) at
    // nowMs (milliseconds of the day); 0 for none.
    int Step(double x, double y, std::int64_t nowMs, int oneHeight, double listHeight, int largeChange);

private:
    std::int64_t lastStepMs_ = 0;
    double lastX_ = -1;
    double lastY_ = -1;
};

} // namespace listview
