#include "controls/listview/ListAutoScroll.h"

#include <cstdlib>

namespace listview {

int ListAutoScroll::Step(double x, double y, std::int64_t nowMs, int oneHeight, double listHeight, int largeChange)
{
    if (x != lastX_ || y != lastY_) {
        lastX_ = x;
        lastY_ = y;
        return 0;
    }
    const std::int64_t elapsed = std::llabs(lastStepMs_ - nowMs);
    if (elapsed > 1000) {
        lastStepMs_ = nowMs;
        return 0;
    }
    const double h = oneHeight;
    int step = 0;
    if (y < 0.5 * h) {
        step = elapsed >= 20 ? -largeChange : 0;
    } else if (y < 1.5 * h) {
        step = elapsed >= 200 ? -1 : 0;
    } else if (y > listHeight - 0.5 * h) {
        step = elapsed >= 20 ? largeChange : 0;
    } else if (y > listHeight - 1.5 * h) {
        step = elapsed >= 200 ? 1 : 0;
    }
    if (step != 0) {
        lastStepMs_ = nowMs;
    }
    return step;
}

} // namespace listview
