#include "platform/LineWalk.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace platform {

namespace {

// The walk steps its long axis once per pixel; after t steps the short axis
// has moved floor((2 * shortLength * t + longLength) / (2 * longLength))
// steps, which is where the walk's error term sends it (a tie rounds up).
struct Walk {
    std::int64_t longLength;
    std::int64_t shortLength;

    std::int64_t ShortSteps(std::int64_t t) const { return (2 * shortLength * t + longLength) / (2 * longLength); }
};

// The first t in [from, to) for which reached(t) holds, reached being false
// and then true along t; to when it never holds.
template <typename Reached> std::int64_t FirstReached(std::int64_t from, std::int64_t to, Reached reached)
{
    while (from < to) {
        const std::int64_t middle = from + (to - from) / 2;
        if (reached(middle)) {
            to = middle;
        } else {
            from = middle + 1;
        }
    }
    return from;
}

// The steps t in [0, count) whose coordinate start + direction * moved(t)
// lies in [0, size); moved never falls along t, so they are one run.
template <typename Moved>
void Narrow(std::int64_t& first, std::int64_t& end, std::int64_t count, int start, int direction, int size, Moved moved)
{
    const auto at = [&](std::int64_t t) { return start + direction * moved(t); };
    std::int64_t enters = 0;
    std::int64_t leaves = 0;
    if (direction > 0) {
        enters = FirstReached(0, count, [&](std::int64_t t) { return at(t) >= 0; });
        leaves = FirstReached(0, count, [&](std::int64_t t) { return at(t) >= size; });
    } else {
        enters = FirstReached(0, count, [&](std::int64_t t) { return at(t) < size; });
        leaves = FirstReached(0, count, [&](std::int64_t t) { return at(t) < 0; });
    }
    first = std::max(first, enters);
    end = std::min(end, leaves);
}

} // namespace

void ForEachPixelOnPicture(int x1, int y1, int x2, int y2, int width, int height,
                           const std::function<void(int x, int y)>& plot)
{
    const std::int64_t dx = std::abs(static_cast<std::int64_t>(x2) - x1);
    const std::int64_t dy = std::abs(static_cast<std::int64_t>(y2) - y1);
    if ((dx == 0 && dy == 0) || width <= 0 || height <= 0) {
        return;
    }
    const int stepX = x1 < x2 ? 1 : -1;
    const int stepY = y1 < y2 ? 1 : -1;
    const bool alongX = dx >= dy;
    const Walk walk{alongX ? dx : dy, alongX ? dy : dx};
    const auto steps = [](std::int64_t t) { return t; };
    const auto shortSteps = [&walk](std::int64_t t) { return walk.ShortSteps(t); };
    std::int64_t first = 0;
    std::int64_t end = walk.longLength;
    if (alongX) {
        Narrow(first, end, walk.longLength, x1, stepX, width, steps);
        Narrow(first, end, walk.longLength, y1, stepY, height, shortSteps);
    } else {
        Narrow(first, end, walk.longLength, x1, stepX, width, shortSteps);
        Narrow(first, end, walk.longLength, y1, stepY, height, steps);
    }
    for (std::int64_t t = first; t < end; ++t) {
        const std::int64_t across = walk.ShortSteps(t);
        const std::int64_t x = x1 + stepX * (alongX ? t : across);
        const std::int64_t y = y1 + stepY * (alongX ? across : t);
        plot(static_cast<int>(x), static_cast<int>(y));
    }
}

} // namespace platform
