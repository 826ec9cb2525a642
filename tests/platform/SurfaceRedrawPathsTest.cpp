// Redraws copy whole pictures and print the same texts again and again; the
// quick paths for both must draw exactly what the plain rules say.
#include "platform/FontCreation.h"
#include "platform/Surface.h"
#include "support/TwipsFixture.h"

#include <gmock/gmock.h>

#include <array>
#include <utility>

namespace {

using platform::Color;
using platform::RasterOp;
using platform::Surface;

class SurfaceRedrawPaths : public testsupport::TwipsFixture {};

Color SourceColour(int x, int y)
{
    return platform::Rgb(20 * x + 5, 30 * y + 7, 90);
}

Color Apply(RasterOp op, Color to, Color from)
{
    switch (op) {
    case RasterOp::SrcCopy:
        return from;
    case RasterOp::SrcAnd:
        return to & from;
    case RasterOp::SrcInvert:
        return (to ^ from) & 0xFFFFFF;
    }
    return to;
}

TEST_F(SurfaceRedrawPaths, AnUnscaledCopyTakesExactlyThePixelsBothPicturesHave)
{
    Surface source(7, 5);
    for (int x = 0; x < 7; ++x) {
        for (int y = 0; y < 5; ++y) {
            source.SetPixelV(x, y, SourceColour(x, y));
        }
    }
    constexpr Color below = 0x336699;
    const std::array<std::pair<int, int>, 6> targets{{{0, 0}, {-3, -2}, {6, 5}, {2, -4}, {8, 1}, {-6, 6}}};
    const std::array<std::pair<int, int>, 4> origins{{{0, 0}, {-1, 0}, {2, 1}, {5, 3}}};
    for (const RasterOp op : {RasterOp::SrcCopy, RasterOp::SrcAnd, RasterOp::SrcInvert}) {
        for (const auto& [tx, ty] : targets) {
            for (const auto& [sx, sy] : origins) {
                Surface target(10, 8);
                target.SetBackColor(below);
                ASSERT_TRUE(target.BitBlt(tx, ty, 6, 4, source, sx, sy, op));
                for (int x = 0; x < 10; ++x) {
                    for (int y = 0; y < 8; ++y) {
                        const int fx = sx + x - tx;
                        const int fy = sy + y - ty;
                        const bool copied =
                            x >= tx && x < tx + 6 && y >= ty && y < ty + 4 && fx >= 0 && fx < 7 && fy >= 0 && fy < 5;
                        const Color expected = copied ? Apply(op, below, SourceColour(fx, fy)) : below;
                        ASSERT_EQ(target.GetPixel(x, y), expected)
                            << "op " << static_cast<unsigned>(op) << " at (" << tx << ", " << ty << ") from (" << sx
                            << ", " << sy << "), pixel (" << x << ", " << y << ")";
                    }
                }
            }
        }
    }
}

TEST_F(SurfaceRedrawPaths, ACopyOntoItselfReadsBeforeItWrites)
{
    Surface surface(6, 1);
    for (int x = 0; x < 6; ++x) {
        surface.SetPixelV(x, 0, SourceColour(x, 0));
    }
    surface.BitBlt(1, 0, 5, 1, surface, 0, 0, RasterOp::SrcCopy);
    for (int x = 1; x < 6; ++x) {
        EXPECT_EQ(surface.GetPixel(x, 0), SourceColour(x - 1, 0));
    }
}

TEST_F(SurfaceRedrawPaths, TheSameTextInAnotherFontIsMeasuredAndDrawnInThatFont)
{
    Surface small(200, 40);
    Surface large(200, 40);
    large.SetFont(platform::CreateFontIndirect({24, 0, false, 128, "ＭＳ Ｐゴシック"}));
    EXPECT_GT(large.TextWidth("Jingle 朝"), small.TextWidth("Jingle 朝"));
    for (Surface* surface : {&small, &large}) {
        surface->SetForeColor(0);
        surface->Print("Jingle 朝");
    }
    EXPECT_NE(small.Image(), large.Image());

    // Printing a text again draws the same pixels.
    Surface again(200, 40);
    again.SetForeColor(0);
    again.Print("Jingle 朝");
    EXPECT_EQ(again.Image(), small.Image());
}

} // namespace
