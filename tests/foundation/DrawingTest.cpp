#include "foundation/Drawing.h"
#include "support/Gallery.h"
#include "support/TwipsFixture.h"

#include <gmock/gmock.h>

namespace {

using basic::Color;
using platform::Surface;

constexpr Color face = 0xC0C0C0;
constexpr Color white = 0xFFFFFF;
constexpr Color black = 0x000000;
constexpr Color light = 0xDFDFDF;

class Drawing : public testsupport::TwipsFixture {
protected:
    static Surface FaceSurface(int width, int height)
    {
        Surface surface(width, height);
        surface.SetBackColor(platform::SystemColor(platform::ColorBtnFace));
        return surface;
    }
    static int Red(Color c) { return c & 0xFF; }
    static int Blue(Color c) { return (c >> 16) & 0xFF; }
};

TEST_F(Drawing, EdgeRectangleIsRaisedOrSunkenInPixelsOfTheTwipsGiven)
{
    // 15..135 x 15..105 twips are the pixels 1..8 x 1..6.
    Surface raised = FaceSurface(10, 8);
    basic::DrawEdgeRect(raised, 15, 15, 120, 90, 0);
    EXPECT_EQ(raised.GetPixel(1, 1), white);
    EXPECT_EQ(raised.GetPixel(8, 6), black);
    EXPECT_EQ(raised.GetPixel(2, 2), light);
    EXPECT_EQ(raised.GetPixel(9, 7), face);

    Surface sunken = FaceSurface(10, 8);
    basic::DrawEdgeRect(sunken, 15, 15, 120, 90, 1);
    EXPECT_EQ(sunken.GetPixel(1, 1), black);
    EXPECT_EQ(sunken.GetPixel(8, 6), white);
    EXPECT_EQ(sunken.GetPixel(7, 5), light);
    EXPECT_EQ(sunken.GetPixel(4, 3), face);

    // Twips that do not fill a whole pixel are cut off.
    Surface cut = FaceSurface(10, 8);
    basic::DrawEdgeRect(cut, 29, 29, 120, 90, 1);
    EXPECT_EQ(cut.GetPixel(1, 1), black);
    EXPECT_EQ(cut.GetPixel(8, 6), white);
}

TEST_F(Drawing, AGroupFrameWithoutCaptionIsABumpEdge)
{
    Surface surface = FaceSurface(10, 8);
    basic::DrawButtonFace(surface, 15.0f, 15.0f, 135.0f, 105.0f, "");
    EXPECT_EQ(surface.GetPixel(1, 1), light);
    EXPECT_EQ(surface.GetPixel(8, 6), black);
    EXPECT_EQ(surface.GetPixel(2, 2), black);
    EXPECT_EQ(surface.GetPixel(7, 5), light);
}

TEST_F(Drawing, AGroupFrameLeavesAGapForItsCaption)
{
    Surface surface = FaceSurface(200, 100);
    const double captionWidth = surface.TextWidth("出力 Output");
    const int gapStart = 10 + 20;
    const int gapEnd = gapStart + static_cast<int>(captionWidth / 15);
    basic::DrawButtonFace(surface, 150.0f, 300.0f, 2850.0f, 1350.0f, "出力 Output");
    const Color dark = basic::SysColor(3);

    // Dark outline through the corners, white one a pixel up and left.
    EXPECT_EQ(surface.GetPixel(15, 20), dark);
    EXPECT_EQ(surface.GetPixel(15, 19), white);
    EXPECT_EQ(surface.GetPixel(gapEnd + 2, 20), dark);
    EXPECT_EQ(surface.GetPixel(190, 50), dark);
    EXPECT_EQ(surface.GetPixel(189, 50), white);
    EXPECT_EQ(surface.GetPixel(100, 90), dark);
    EXPECT_EQ(surface.GetPixel(100, 89), white);
    EXPECT_EQ(surface.GetPixel(10, 50), dark);
    EXPECT_EQ(surface.GetPixel(9, 50), white);

    // No frame line runs through the caption.
    int darkInGap = 0;
    int captionPixels = 0;
    for (int x = gapStart + 1; x < gapEnd - 1; ++x) {
        darkInGap += surface.GetPixel(x, 20) == dark ? 1 : 0;
        for (int y = 12; y < 28; ++y) {
            captionPixels += surface.GetPixel(x, y) != face ? 1 : 0;
        }
    }
    EXPECT_LT(darkInGap, gapEnd - gapStart - 2);
    EXPECT_GT(captionPixels, 20);
    testsupport::SaveToGallery(surface.Image(), "group-frame", 3);
}

TEST_F(Drawing, ABevelledFrameIsLightAtTheTopLeftAndDarkAtTheBottomRight)
{
    Surface surface(40, 30);
    surface.SetBackColor(white);
    basic::DrawFrame(surface, 0x808080, 0x606060, 1, 2);
    const Color lighter = 0x888888; // colour2 + 40
    const Color darker = 0x585858;  // colour1 - 40
    EXPECT_EQ(surface.GetPixel(20, 0), lighter);
    EXPECT_EQ(surface.GetPixel(20, 1), lighter);
    EXPECT_EQ(surface.GetPixel(20, 2), white);
    EXPECT_EQ(surface.GetPixel(0, 15), lighter);
    EXPECT_EQ(surface.GetPixel(1, 15), lighter);
    EXPECT_EQ(surface.GetPixel(20, 29), darker);
    EXPECT_EQ(surface.GetPixel(20, 28), darker);
    EXPECT_EQ(surface.GetPixel(20, 27), white);
    EXPECT_EQ(surface.GetPixel(39, 15), darker);
    EXPECT_EQ(surface.GetPixel(38, 15), darker);
    EXPECT_EQ(surface.GetPixel(37, 15), white);

    // Without keeping the background the inside gets a gradient first.
    Surface painted(40, 30);
    painted.SetBackColor(white);
    basic::DrawFrame(painted, 0x808080, 0x606060, 0, 2);
    EXPECT_NE(painted.GetPixel(20, 15), white);
    EXPECT_EQ(painted.GetPixel(20, 0), lighter);
    testsupport::SaveToGallery(painted.Image(), "bevelled-frame", 4);
}

TEST_F(Drawing, ASquareOutlineRunsFromColour1ThroughColour2AndBack)
{
    Surface surface(30, 30);
    surface.SetBackColor(white);
    constexpr Color red = 0x0000FF;
    constexpr Color blue = 0xFF0000;
    constexpr Color half = 0x800080;
    // Radius 28 / 2 - 2 = 12 round (14, 14): corners (6, 6) and (22, 22).
    basic::DrawLineHdc2(surface, 0, 0, 28, 28, red, blue, 1, 1);
    EXPECT_EQ(surface.GetPixel(22, 6), half) << "the right side is drawn first";
    EXPECT_EQ(surface.GetPixel(22, 21), half);
    EXPECT_EQ(surface.GetPixel(22, 22), blue);
    EXPECT_EQ(surface.GetPixel(7, 22), blue);
    EXPECT_EQ(surface.GetPixel(6, 22), half);
    EXPECT_EQ(surface.GetPixel(6, 7), half);
    EXPECT_EQ(surface.GetPixel(6, 6), red);
    EXPECT_EQ(surface.GetPixel(21, 6), red);
    EXPECT_EQ(surface.GetPixel(14, 14), white);
    EXPECT_EQ(surface.GetPixel(23, 14), white);

    Surface untouched(30, 30);
    untouched.SetBackColor(white);
    basic::DrawLineHdc2(untouched, 0, 0, 28, 28, red, blue, 1, 2);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x) {
            ASSERT_EQ(untouched.GetPixel(x, y), white) << "shape 2 draws nothing";
        }
    }
}

TEST_F(Drawing, ARoundedOutlineHasColour1AtTheTopAndColour2AtTheBottom)
{
    Surface surface(60, 30);
    surface.SetBackColor(white);
    basic::DrawLineHdc(surface, 0, 0, 59, 29, 0x0000FF, 0xFF0000, 1);
    const Color top = surface.GetPixel(30, 0);
    const Color bottom = surface.GetPixel(30, 27);
    EXPECT_GT(Red(top), 200);
    EXPECT_LT(Blue(top), 60);
    EXPECT_GT(Blue(bottom), 200);
    EXPECT_LT(Red(bottom), 60);
    // Rounded corners leave the rectangle's corner pixels alone.
    EXPECT_EQ(surface.GetPixel(0, 0), white);
    EXPECT_EQ(surface.GetPixel(58, 27), white);
    EXPECT_EQ(surface.GetPixel(30, 14), white);
    EXPECT_NE(surface.GetPixel(0, 14), white);
    testsupport::SaveToGallery(surface.Image(), "rounded-outline", 6);
}

} // namespace
