#include "platform/Surface.h"
#include "platform/Screen.h"
#include "support/Gallery.h"
#include "support/TwipsFixture.h"

#include <gmock/gmock.h>

#include <QFontMetrics>

#include <climits>
#include <cmath>

namespace {

using platform::Color;
using platform::LineShape;
using platform::Surface;

constexpr Color white = 0xFFFFFF;
constexpr Color red = 0x0000FF;
constexpr Color blue = 0xFF0000;

class SurfaceDrawing : public testsupport::TwipsFixture {
protected:
    static Surface WhiteSurface(int width, int height)
    {
        Surface surface(width, height);
        surface.SetBackColor(white);
        return surface;
    }
    static double Px(int pixels) { return pixels * 15.0; }
};

TEST_F(SurfaceDrawing, ALineLeavesOutItsEndPoint)
{
    Surface surface = WhiteSurface(12, 12);
    surface.Line(Px(1), Px(2), Px(10), Px(2), red);
    EXPECT_EQ(surface.GetPixel(0, 2), white);
    EXPECT_EQ(surface.GetPixel(1, 2), red);
    EXPECT_EQ(surface.GetPixel(9, 2), red);
    EXPECT_EQ(surface.GetPixel(10, 2), white);

    // Drawn backwards, the other end is left out.
    surface.Line(Px(10), Px(4), Px(1), Px(4), red);
    EXPECT_EQ(surface.GetPixel(10, 4), red);
    EXPECT_EQ(surface.GetPixel(2, 4), red);
    EXPECT_EQ(surface.GetPixel(1, 4), white);

    surface.Line(Px(0), Px(6), Px(5), Px(11), blue);
    EXPECT_EQ(surface.GetPixel(0, 6), blue);
    EXPECT_EQ(surface.GetPixel(4, 10), blue);
    EXPECT_EQ(surface.GetPixel(5, 11), white);
    EXPECT_EQ(surface.CurrentX(), Px(5));
    EXPECT_EQ(surface.CurrentY(), Px(11));

    // A line from a point to itself draws nothing.
    surface.Line(Px(11), Px(0), Px(11), Px(0), red);
    EXPECT_EQ(surface.GetPixel(11, 0), white);

    // The device pen follows the same rule, in ForeColor.
    surface.SetForeColor(red);
    surface.MoveToEx(11, 1);
    surface.LineTo(11, 5);
    EXPECT_EQ(surface.GetPixel(11, 1), red);
    EXPECT_EQ(surface.GetPixel(11, 4), red);
    EXPECT_EQ(surface.GetPixel(11, 5), white);
    testsupport::SaveToGallery(surface.Image(), "surface-lines", 16);
}

TEST_F(SurfaceDrawing, AFilledBoxIncludesBothCornersInEitherOrder)
{
    Surface surface = WhiteSurface(10, 10);
    surface.Line(Px(2), Px(2), Px(6), Px(4), red, LineShape::FilledBox);
    EXPECT_EQ(surface.GetPixel(2, 2), red);
    EXPECT_EQ(surface.GetPixel(6, 4), red);
    EXPECT_EQ(surface.GetPixel(6, 2), red);
    EXPECT_EQ(surface.GetPixel(7, 4), white);
    EXPECT_EQ(surface.GetPixel(6, 5), white);
    EXPECT_EQ(surface.GetPixel(1, 2), white);

    surface.Line(Px(8), Px(9), Px(8), Px(6), blue, LineShape::FilledBox);
    EXPECT_EQ(surface.GetPixel(8, 6), blue);
    EXPECT_EQ(surface.GetPixel(8, 9), blue);
    EXPECT_EQ(surface.GetPixel(8, 5), white);
}

TEST_F(SurfaceDrawing, ABoxOutlineHasAllFourCornersAndFillsOnlyWithAFillStyle)
{
    Surface surface = WhiteSurface(16, 8);
    surface.Line(Px(1), Px(1), Px(5), Px(5), red, LineShape::Box);
    for (const auto& [x, y] : {std::pair{1, 1}, {5, 1}, {1, 5}, {5, 5}, {3, 1}, {1, 3}}) {
        EXPECT_EQ(surface.GetPixel(x, y), red) << x << "," << y;
    }
    EXPECT_EQ(surface.GetPixel(3, 3), white);

    surface.SetFillStyle(0);
    surface.SetFillColor(blue);
    surface.Line(Px(8), Px(1), Px(12), Px(5), red, LineShape::Box);
    EXPECT_EQ(surface.GetPixel(8, 1), red);
    EXPECT_EQ(surface.GetPixel(10, 3), blue);
}

TEST_F(SurfaceDrawing, TheMaskPenCombinesTheColourWithThePictureBelow)
{
    Surface surface(6, 4);
    surface.SetBackColor(0x00FFFF);
    surface.SetDrawMode(platform::DrawMode::MaskPen);
    surface.Line(0, 0, Px(2), Px(3), 0xFF00FF, LineShape::FilledBox);
    EXPECT_EQ(surface.GetPixel(1, 1), 0x0000FF);
    EXPECT_EQ(surface.GetPixel(4, 1), 0x00FFFF);

    surface.SetDrawMode(platform::DrawMode::CopyPen);
    surface.Line(0, 0, Px(2), Px(3), 0xFF00FF, LineShape::FilledBox);
    EXPECT_EQ(surface.GetPixel(1, 1), 0xFF00FF);
}

// An icon library holds each icon as an image cell (the icon on black) above
// a mask cell (black where the icon is, white around it).
TEST_F(SurfaceDrawing, MaskAndImageRowsDrawAnIconTransparentlyOverABackground)
{
    constexpr Color iconColor = 0x20C040;
    Surface library(4, 8);
    library.SetBackColor(0);
    library.Line(0, Px(4), Px(3), Px(7), white, LineShape::FilledBox);
    library.Line(Px(1), Px(1), Px(2), Px(2), iconColor, LineShape::FilledBox);
    library.Line(Px(1), Px(5), Px(2), Px(6), 0, LineShape::FilledBox);

    Surface face(12, 6);
    face.SetBackColor(0x804020);
    face.Line(Px(6), 0, Px(11), Px(5), 0x3060A0, LineShape::FilledBox);

    ASSERT_TRUE(face.BitBlt(4, 1, 4, 4, library, 0, 4, platform::RasterOp::SrcAnd));
    EXPECT_EQ(face.GetPixel(5, 2), 0) << "the mask cuts the icon's shape out";
    EXPECT_EQ(face.GetPixel(4, 1), 0x804020);
    ASSERT_TRUE(face.BitBlt(4, 1, 4, 4, library, 0, 0, platform::RasterOp::SrcInvert));

    EXPECT_EQ(face.GetPixel(5, 2), iconColor);
    EXPECT_EQ(face.GetPixel(6, 3), iconColor);
    EXPECT_EQ(face.GetPixel(4, 1), 0x804020);
    EXPECT_EQ(face.GetPixel(5, 1), 0x804020);
    EXPECT_EQ(face.GetPixel(7, 4), 0x3060A0);
    EXPECT_EQ(face.GetPixel(7, 2), 0x3060A0);
    testsupport::SaveToGallery(face.Image(), "surface-icon", 16);
}

TEST_F(SurfaceDrawing, BlockTransfersCopyClipAndStretch)
{
    Surface strip(1, 4);
    for (int y = 0; y < 4; ++y) {
        strip.SetPixelV(0, y, platform::Rgb(y * 60, 0, 0));
    }
    Surface target = WhiteSurface(6, 8);
    ASSERT_TRUE(target.StretchBlt(0, 0, 6, 8, strip, 0, 0, 1, 4, platform::RasterOp::SrcCopy));
    EXPECT_EQ(target.GetPixel(0, 0), 0);
    EXPECT_EQ(target.GetPixel(5, 1), 0);
    EXPECT_EQ(target.GetPixel(3, 2), platform::Rgb(60, 0, 0));
    EXPECT_EQ(target.GetPixel(5, 7), platform::Rgb(180, 0, 0));

    // A copy that reaches past either picture is cut at its edges.
    Surface small = WhiteSurface(3, 3);
    EXPECT_TRUE(small.BitBlt(-1, 1, 6, 6, target, 0, 6, platform::RasterOp::SrcCopy));
    EXPECT_EQ(small.GetPixel(0, 1), platform::Rgb(180, 0, 0));
    EXPECT_EQ(small.GetPixel(0, 0), white);

    // Copying within one picture reads the source before writing.
    EXPECT_TRUE(target.BitBlt(0, 1, 6, 7, target, 0, 0, platform::RasterOp::SrcCopy));
    EXPECT_EQ(target.GetPixel(0, 3), platform::Rgb(60, 0, 0));

    EXPECT_FALSE(target.BitBlt(0, 0, 1, 1, strip, 0, 0, static_cast<platform::RasterOp>(0x00EE0086)));
}

TEST_F(SurfaceDrawing, PixelsOutsideThePictureAreInvalid)
{
    Surface surface = WhiteSurface(3, 3);
    EXPECT_EQ(surface.GetPixel(-1, 0), platform::ColorInvalid);
    EXPECT_EQ(surface.GetPixel(3, 0), platform::ColorInvalid);
    EXPECT_FALSE(surface.SetPixelV(0, 3, red));
    EXPECT_TRUE(surface.SetPixelV(2, 2, red));
    EXPECT_EQ(surface.GetPixel(2, 2), red);
}

TEST_F(SurfaceDrawing, FarAwayCoordinatesAreCutAtThePicture)
{
    Surface surface = WhiteSurface(8, 8);
    surface.SetForeColor(red);
    surface.MoveToEx(INT_MIN, 4);
    surface.LineTo(INT_MAX, 4);
    EXPECT_EQ(surface.GetPixel(0, 4), red);
    EXPECT_EQ(surface.GetPixel(7, 4), red);
    surface.Line(-1.0e300, Px(6), 1.0e300, Px(6), blue);
    EXPECT_EQ(surface.GetPixel(3, 6), blue);
    surface.Line(std::nan(""), 0, Px(3), Px(3), blue, LineShape::FilledBox);
    EXPECT_TRUE(surface.BitBlt(-2000000000, -2000000000, INT_MAX, INT_MAX, surface, 0, 0, platform::RasterOp::SrcCopy));
    EXPECT_EQ(surface.GetPixel(7, 4), red);
}

TEST_F(SurfaceDrawing, NothingIsDrawnInTwipsWhileTheScreenScaleIsUnknown)
{
    Surface surface = WhiteSurface(8, 8);
    basic::TwipsPerPixel = 0;
    surface.Line(0, 0, 100, 100, red, LineShape::FilledBox);
    surface.Circle(50, 50, 40, red);
    surface.Print("漢");
    EXPECT_EQ(surface.GetPixel(0, 0), white);
    EXPECT_EQ(surface.Width(), 0);
}

TEST_F(SurfaceDrawing, SettingTheBackgroundColourClearsThePicture)
{
    Surface surface(5, 5);
    EXPECT_EQ(surface.GetPixel(2, 2), 0xC0C0C0) << "a new picture has the button face";
    surface.Line(0, 0, Px(4), Px(4), red, LineShape::FilledBox);
    surface.SetCurrentX(300);
    surface.SetBackColor(platform::SystemColor(platform::ColorBtnShadow));
    EXPECT_EQ(surface.GetPixel(2, 2), 0x808080);
    EXPECT_EQ(surface.CurrentX(), 0);

    surface.SetBackColor(blue);
    surface.SetPixelV(1, 1, red);
    surface.SetCurrentY(45);
    surface.Cls();
    EXPECT_EQ(surface.GetPixel(1, 1), blue);
    EXPECT_EQ(surface.CurrentY(), 0);
}

TEST_F(SurfaceDrawing, ResizingKeepsThePictureAndFillsTheNewPart)
{
    Surface surface = WhiteSurface(2, 2);
    surface.SetPixelV(1, 1, red);
    surface.Resize(4, 3);
    EXPECT_EQ(surface.PixelWidth(), 4);
    EXPECT_EQ(surface.GetPixel(1, 1), red);
    EXPECT_EQ(surface.GetPixel(3, 2), white);
    EXPECT_EQ(surface.Width(), 60);
    EXPECT_EQ(surface.ScaleHeight(), 45);
}

TEST_F(SurfaceDrawing, ACircleIsCentredOnItsPointAndFilledOnlyWithAFillStyle)
{
    Surface surface = WhiteSurface(21, 21);
    surface.SetFillStyle(0);
    surface.SetFillColor(blue);
    surface.Circle(Px(10), Px(10), Px(8), red);
    EXPECT_EQ(surface.GetPixel(10, 10), blue);
    EXPECT_EQ(surface.GetPixel(10, 2), red);
    EXPECT_EQ(surface.GetPixel(18, 10), red);
    EXPECT_EQ(surface.GetPixel(10, 1), white);
    EXPECT_EQ(surface.GetPixel(1, 1), white);

    surface.SetFillStyle(1);
    surface.SetBackColor(white);
    surface.Circle(Px(10), Px(10), Px(8), red);
    EXPECT_EQ(surface.GetPixel(10, 10), white);
    EXPECT_EQ(surface.GetPixel(2, 10), red);
    testsupport::SaveToGallery(surface.Image(), "surface-circle", 8);
}

TEST_F(SurfaceDrawing, WideLinesUseThePenWidth)
{
    Surface surface = WhiteSurface(20, 9);
    surface.SetDrawWidth(3);
    surface.SetForeColor(red);
    surface.MoveToEx(3, 4);
    surface.LineTo(16, 4);
    EXPECT_EQ(surface.GetPixel(8, 3), red);
    EXPECT_EQ(surface.GetPixel(8, 5), red);
    EXPECT_EQ(surface.GetPixel(8, 7), white);
}

class SurfaceEdges : public SurfaceDrawing {
protected:
    // A 10 x 8 button face with an edge round the pixels (1, 1)..(8, 6).
    static Surface Edged(unsigned edge, unsigned flags)
    {
        Surface surface(10, 8);
        surface.SetBackColor(platform::SystemColor(platform::ColorBtnFace));
        EXPECT_TRUE(surface.DrawEdge({1, 1, 9, 7}, edge, flags));
        return surface;
    }
    struct Ring {
        Color topLeft;
        Color bottomRight;
    };
    // The outer ring runs along (1, 1)..(8, 6), the inner one along (2, 2)..(7, 5);
    // the shadow sides own the corners where light and shadow meet.
    static void ExpectRings(const Surface& s, Ring outer, Ring inner)
    {
        EXPECT_EQ(s.GetPixel(1, 1), outer.topLeft);
        EXPECT_EQ(s.GetPixel(1, 5), outer.topLeft);
        EXPECT_EQ(s.GetPixel(7, 1), outer.topLeft);
        EXPECT_EQ(s.GetPixel(8, 1), outer.bottomRight);
        EXPECT_EQ(s.GetPixel(1, 6), outer.bottomRight);
        EXPECT_EQ(s.GetPixel(8, 6), outer.bottomRight);
        EXPECT_EQ(s.GetPixel(2, 2), inner.topLeft);
        EXPECT_EQ(s.GetPixel(6, 2), inner.topLeft);
        EXPECT_EQ(s.GetPixel(7, 5), inner.bottomRight);
        EXPECT_EQ(s.GetPixel(2, 5), inner.bottomRight);
        EXPECT_EQ(s.GetPixel(4, 3), 0xC0C0C0) << "the middle is left alone";
        EXPECT_EQ(s.GetPixel(0, 0), 0xC0C0C0);
        EXPECT_EQ(s.GetPixel(9, 7), 0xC0C0C0);
    }
    static constexpr Color highlight = 0xFFFFFF;
    static constexpr Color light = 0xDFDFDF;
    static constexpr Color shadow = 0x808080;
    static constexpr Color darkShadow = 0x000000;
};

TEST_F(SurfaceEdges, RaisedIsLightAtTheTopLeftAndDarkAtTheBottomRight)
{
    const Surface soft = Edged(platform::EdgeRaised, platform::EdgeRect | platform::EdgeSoft);
    ExpectRings(soft, {highlight, darkShadow}, {light, shadow});
    const Surface plain = Edged(platform::EdgeRaised, platform::EdgeRect);
    ExpectRings(plain, {light, darkShadow}, {highlight, shadow});
    testsupport::SaveToGallery(soft.Image(), "edge-5-raised-soft", 16);
}

TEST_F(SurfaceEdges, SunkenIsDarkAtTheTopLeftAndLightAtTheBottomRight)
{
    const Surface soft = Edged(platform::EdgeSunken, platform::EdgeRect | platform::EdgeSoft);
    ExpectRings(soft, {darkShadow, highlight}, {shadow, light});
    const Surface plain = Edged(platform::EdgeSunken, platform::EdgeRect);
    ExpectRings(plain, {shadow, highlight}, {darkShadow, light});
    testsupport::SaveToGallery(soft.Image(), "edge-10-sunken-soft", 16);
}

TEST_F(SurfaceEdges, BumpIsARaisedOuterRingAroundASunkenInnerOne)
{
    const Surface bump = Edged(platform::EdgeBump, platform::EdgeRect);
    ExpectRings(bump, {light, darkShadow}, {darkShadow, light});
    testsupport::SaveToGallery(bump.Image(), "edge-9-bump", 16);
}

TEST_F(SurfaceEdges, OnlyTheChosenSidesAreDrawn)
{
    const Surface s = Edged(platform::EdgeRaised, platform::EdgeTop | platform::EdgeBottom);
    EXPECT_EQ(s.GetPixel(3, 1), light);
    EXPECT_EQ(s.GetPixel(3, 6), darkShadow);
    EXPECT_EQ(s.GetPixel(1, 3), 0xC0C0C0);
    EXPECT_EQ(s.GetPixel(8, 3), 0xC0C0C0);
}

TEST_F(SurfaceDrawing, TextIsPrintedWithoutBackgroundAndMovesToTheNextLine)
{
    Surface surface = WhiteSurface(60, 30);
    surface.Line(0, 0, Px(59), Px(29), blue, LineShape::FilledBox);
    surface.SetForeColor(white);
    surface.SetCurrentX(Px(2));
    surface.SetCurrentY(Px(3));
    const double cell = surface.TextHeight("漢");
    surface.Print("漢あA");
    EXPECT_EQ(surface.CurrentX(), 0);
    EXPECT_EQ(surface.CurrentY(), Px(3) + cell);

    // The glyphs take the text colour, their bodies fill the cell's height
    // and stay inside it (smoothing may tint a pixel beyond); the rest of the
    // cell keeps the picture below.
    const int cellPx = static_cast<int>(cell / 15);
    const int widthPx = static_cast<int>(surface.TextWidth("漢あA") / 15);
    int firstRow = 30;
    int lastRow = -1;
    int firstTinted = 30;
    int lastTinted = -1;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 60; ++x) {
            const Color pixel = surface.GetPixel(x, y);
            if (pixel != blue) {
                firstTinted = std::min(firstTinted, y);
                lastTinted = std::max(lastTinted, y);
            }
            if ((pixel & 0xFF) > 0x80) {
                firstRow = std::min(firstRow, y);
                lastRow = std::max(lastRow, y);
            }
        }
    }
    EXPECT_GE(firstRow, 3);
    EXPECT_LT(lastRow, 3 + cellPx);
    EXPECT_GE(lastRow - firstRow + 1, cellPx - 2);
    EXPECT_GE(firstTinted, 2);
    EXPECT_LE(lastTinted, 3 + cellPx);
    EXPECT_EQ(surface.GetPixel(1, 3 + cellPx / 2), blue);
    EXPECT_EQ(surface.GetPixel(2 + widthPx + 1, 3 + cellPx / 2), blue);
    testsupport::SaveToGallery(surface.Image(), "surface-text", 8);
}

TEST_F(SurfaceDrawing, TextMeasuresInTwipsLineByLine)
{
    const Surface surface(10, 10);
    const double one = surface.TextHeight("A");
    EXPECT_EQ(one, 12 * 15) << "the interface face at 9 points has a 12-pixel cell";
    EXPECT_EQ(surface.TextHeight(""), one);
    EXPECT_EQ(surface.TextHeight("A\r\nB"), 2 * one);
    EXPECT_EQ(surface.TextWidth(""), 0);
    EXPECT_GT(surface.TextWidth("漢字"), surface.TextWidth("漢"));
    EXPECT_EQ(surface.TextWidth("漢字\nA"), surface.TextWidth("漢字"));
    EXPECT_EQ(static_cast<int>(surface.TextWidth("漢字")) % 15, 0) << "whole pixels";
}

// Centred captions are placed by these widths: each must be the font's own
// advance for the text, whether it was printed first or only measured, with
// trailing blanks and tabs counted.
TEST_F(SurfaceDrawing, TextWidthsAreTheFontsOwnAdvances)
{
    Surface surface = WhiteSurface(200, 20);
    const QFontMetrics metrics(surface.Font()->face);
    for (const char* text : {"-1:23.4", " 12:34.5", "Total/1:33:20.0", "trailing  ", "a\tb", "ffi AV To",
                             "ＭＳ Ｐゴシック テスト", "アイウエオ漢字かな", " "}) {
        const int expected = metrics.horizontalAdvance(QString::fromUtf8(text));
        EXPECT_EQ(surface.TextWidth(text), expected * 15) << text << " measured first";
        surface.SetCurrentX(0);
        surface.Print(text);
        EXPECT_EQ(surface.TextWidth(text), expected * 15) << text << " measured after printing";
    }
}

TEST(ScreenTwips, TheOffscreenScreenHas96Dpi)
{
    EXPECT_EQ(platform::ScreenTwipsPerPixel(), 15);
}

TEST(SystemColours, ComeFromOneFixedTable)
{
    EXPECT_EQ(platform::GetSysColor(platform::ColorBtnFace), 0xC0C0C0);
    EXPECT_EQ(platform::GetSysColor(platform::ColorBtnShadow), 0x808080);
    EXPECT_EQ(platform::GetSysColor(platform::ColorBtnHighlight), 0xFFFFFF);
    EXPECT_EQ(platform::GetSysColor(99), 0);
    EXPECT_TRUE(platform::IsSystemColor(static_cast<Color>(0x8000000F)));
    EXPECT_FALSE(platform::IsSystemColor(0xFFFFFF));
    EXPECT_EQ(platform::ResolveColor(static_cast<Color>(0x80000015)), 0);
    EXPECT_EQ(platform::ResolveColor(static_cast<Color>(0x8000000F)), 0xC0C0C0);
    EXPECT_EQ(platform::ResolveColor(0x0180FF00), 0x80FF00);
}

} // namespace
