// A one-pixel line sets the pixels of the classic error walk, whichever
// part of it lands on the picture, and a line that runs far outside the
// picture costs only the pixels that land on it.
#include "platform/LineWalk.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>

namespace {

using Pixels = std::set<std::pair<int, int>>;

// The walk step by step, every pixel kept that lands on the picture.
Pixels Stepped(int x1, int y1, int x2, int y2, int width, int height)
{
    Pixels pixels;
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    int error = dx + dy;
    for (int x = x1, y = y1; x != x2 || y != y2;) {
        if (x >= 0 && y >= 0 && x < width && y < height) {
            pixels.insert({x, y});
        }
        const int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x += x1 < x2 ? 1 : -1;
        }
        if (doubled <= dx) {
            error += dx;
            y += y1 < y2 ? 1 : -1;
        }
    }
    return pixels;
}

TEST(LineWalk, EveryLineBetweenNearPointsSetsThePixelsOfTheStepByStepWalk)
{
    constexpr int Width = 7;
    constexpr int Height = 5;
    for (int x1 = -4; x1 <= 10; ++x1) {
        for (int y1 = -4; y1 <= 8; ++y1) {
            for (int x2 = -4; x2 <= 10; ++x2) {
                for (int y2 = -4; y2 <= 8; ++y2) {
                    Pixels drawn;
                    platform::ForEachPixelOnPicture(x1, y1, x2, y2, Width, Height,
                                                    [&](int x, int y) { EXPECT_TRUE(drawn.insert({x, y}).second); });
                    ASSERT_EQ(drawn, Stepped(x1, y1, x2, y2, Width, Height))
                        << "(" << x1 << "," << y1 << ") to (" << x2 << "," << y2 << ")";
                }
            }
        }
    }
}

TEST(LineWalk, ALongLineAcrossACornerVisitsOnlyThePixelsOnThePicture)
{
    // From far below the picture to far right of it, crossing its corner.
    const int x1 = -1000000;
    const int y1 = 1000000 + 40;
    const int x2 = 1000000;
    const int y2 = -1000000 + 37;
    int visited = 0;
    platform::ForEachPixelOnPicture(x1, y1, x2, y2, 64, 48, [&](int, int) { ++visited; });
    EXPECT_EQ(visited, static_cast<int>(Stepped(x1, y1, x2, y2, 64, 48).size()));
    EXPECT_GT(visited, 0);
}

} // namespace
