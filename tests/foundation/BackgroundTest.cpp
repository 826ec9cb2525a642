#include "foundation/Background.h"
#include "support/Gallery.h"
#include "support/TwipsFixture.h"

#include <QPainter>
#include <gmock/gmock.h>

#include <string>

namespace {

using basic::Color;
using platform::Surface;

constexpr Color red = 0x0000FF;
constexpr Color green = 0x00FF00;
constexpr Color blue = 0xFF0000;
constexpr Color plain = 0x123456;

class Background : public testsupport::TwipsFixture {
protected:
    static Surface Plain(int width, int height)
    {
        Surface surface(width, height);
        surface.SetBackColor(plain);
        return surface;
    }
    static int Channel(Color c, int shift) { return (c >> shift) & 0xFF; }
};

TEST_F(Background, Style0OnFortyPixelsHasTwoBandsMeetingInRow20AndABorder)
{
    Surface surface = Plain(60, 40);
    basic::PaintBackground(surface, 0, red, green, blue);
    testsupport::SaveToGallery(surface.Image(), "background-style-0-40px", 4);

    // Rows 0..20 run from colour1 to colour2, rows 20..40 from colour2 on
    // towards colour3 (row 40 lies outside); half-way values round to even.
    EXPECT_EQ(surface.GetPixel(30, 1), basic::MakeRgb(242, 13, 0));
    EXPECT_EQ(surface.GetPixel(30, 10), basic::MakeRgb(128, 128, 0));
    EXPECT_EQ(surface.GetPixel(30, 19), basic::MakeRgb(13, 242, 0));
    EXPECT_EQ(surface.GetPixel(30, 20), green);
    EXPECT_EQ(surface.GetPixel(30, 30), basic::MakeRgb(0, 128, 128));
    EXPECT_EQ(surface.GetPixel(30, 38), basic::MakeRgb(0, 26, 230));

    // Border: colour1 along the top and left, a third of colour3 along the
    // right and bottom, which own the corners they reach.
    const Color shade = 0x540000;
    EXPECT_EQ(surface.GetPixel(0, 0), red);
    EXPECT_EQ(surface.GetPixel(58, 0), red);
    EXPECT_EQ(surface.GetPixel(0, 38), red);
    EXPECT_EQ(surface.GetPixel(59, 0), shade);
    EXPECT_EQ(surface.GetPixel(59, 39), shade);
    EXPECT_EQ(surface.GetPixel(0, 39), shade);
    EXPECT_EQ(surface.GetPixel(30, 39), shade);
    EXPECT_EQ(surface.GetPixel(59, 20), shade);
}

TEST_F(Background, Style0KeepsTheBackgroundBetweenTheBands)
{
    Surface surface = Plain(60, 60);
    basic::PaintBackground(surface, 0, red, green, blue);
    EXPECT_EQ(surface.GetPixel(30, 20), green);
    EXPECT_EQ(surface.GetPixel(30, 21), plain);
    EXPECT_EQ(surface.GetPixel(30, 39), plain);
    EXPECT_EQ(surface.GetPixel(30, 40), green);

    // Style 10 has bands of 9 rows.
    Surface short10 = Plain(60, 60);
    basic::PaintBackground(short10, 10, red, green, blue);
    EXPECT_EQ(short10.GetPixel(30, 8), green);
    EXPECT_EQ(short10.GetPixel(30, 9), plain);
    EXPECT_EQ(short10.GetPixel(30, 52), green);
}

TEST_F(Background, Style15LightensTheTop20RowsAndDarkensTheBottom20)
{
    Surface metal = Plain(50, 30);
    basic::PaintBackground(metal, 14, -1, -1, -1);
    Surface shaded = Plain(50, 30);
    basic::PaintBackground(shaded, 15, -1, -1, -1);
    testsupport::SaveToGallery(shaded.Image(), "background-style-15-30px", 4);

    // Row 10 takes grey 10 (&HCEC9C8) plus 30; row 25 grey 25 (&HC9C2C2)
    // minus 45.
    EXPECT_EQ(shaded.GetPixel(25, 10), 0xECE7E6);
    EXPECT_EQ(shaded.GetPixel(25, 25), 0x9C9595);
    EXPECT_EQ(metal.GetPixel(25, 10), 0xCEC9C8);

    for (int row = 2; row <= 27; ++row) {
        for (const int shift : {0, 8, 16}) {
            const int before = Channel(metal.GetPixel(25, row), shift);
            const int after = Channel(shaded.GetPixel(25, row), shift);
            if (row < 20) {
                // Lighter, even though rows 11..19 also lie within 20 rows of the bottom.
                EXPECT_EQ(after, std::min(255, before + 3 * (20 - row))) << row;
            } else {
                EXPECT_EQ(after, before - 3 * (row - 10)) << row;
            }
        }
    }
    // The frame is the same in both.
    for (const auto& [x, y] : {std::pair{0, 0}, {1, 15}, {49, 15}, {25, 29}, {48, 28}}) {
        EXPECT_EQ(shaded.GetPixel(x, y), metal.GetPixel(x, y)) << x << "," << y;
    }
    EXPECT_EQ(metal.GetPixel(0, 15), 0xFFFFFF);
    EXPECT_EQ(metal.GetPixel(25, 0), 0xFFFFFF);
    EXPECT_EQ(metal.GetPixel(25, 29), 0x606060);
    EXPECT_EQ(metal.GetPixel(25, 28), 0xB0B0B0);
    EXPECT_EQ(metal.GetPixel(49, 15), 0x606060);
}

TEST_F(Background, StyleMinus2FillsWithColour2OrTheLightFace)
{
    Surface surface = Plain(8, 8);
    basic::PaintBackground(surface, -2, red, green, blue);
    EXPECT_EQ(surface.GetPixel(4, 4), green);
    basic::PaintBackground(surface, -2, -1, -1, -1);
    EXPECT_EQ(surface.GetPixel(0, 0), basic::SysColor(1));
    EXPECT_EQ(surface.GetPixel(7, 7), 0xC8C8C8);
    EXPECT_EQ(surface.BackColor(), 0xC8C8C8);
}

TEST_F(Background, StylesOutsideTheRangeLeaveTheSurfaceUnchanged)
{
    Surface surface = Plain(30, 20);
    surface.SetPixelV(3, 3, red);
    const QImage before = surface.Image().copy();
    for (const int style : {16, -3, 100}) {
        basic::PaintBackground(surface, style, red, green, blue);
        EXPECT_EQ(surface.Image(), before) << style;
    }
}

TEST_F(Background, Style9OnASurfaceTooLowForItsGradientsStopsAfterTheFill)
{
    Surface surface = Plain(10, 4);
    basic::PaintBackground(surface, 9, 0xFFFFFF, 0x000000, 0x000000);
    // Two thirds of colour1 and a third of colour2: 255 x 0.66 = 168.3.
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 10; ++x) {
            ASSERT_EQ(surface.GetPixel(x, y), 0xA8A8A8) << x << "," << y;
        }
    }
}

TEST_F(Background, Style13CentresTheCirclesWithARadiusOfHalfTheHeight)
{
    Surface surface = Plain(100, 40);
    basic::PaintBackground(surface, 13, red, green, blue);
    int left = 100;
    int right = -1;
    int top = 40;
    int bottom = -1;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (surface.GetPixel(x, y) != plain) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    EXPECT_NEAR((left + right) / 2.0, 50, 1);
    EXPECT_NEAR((top + bottom) / 2.0, 20, 1);
    // The outer outline's radius is the height's half less 2.
    EXPECT_NEAR(right - left, 2 * 18, 2);
    EXPECT_EQ(surface.GetPixel(0, 0), plain);
    EXPECT_NE(surface.GetPixel(50, 20), plain);
}

TEST_F(Background, EveryStyleDrawsWithoutError)
{
    // One sheet with every style, two columns of nine, for a person to look at.
    QImage sheet(2 * 170 + 10, 9 * 58 + 10, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter sheetPainter(&sheet);
    for (int style = -2; style <= 15; ++style) {
        Surface surface = Plain(160, 48);
        basic::PaintBackground(surface, style, 0xF0E0D0, 0x908070, 0x403020);
        testsupport::SaveToGallery(surface.Image(), "background-style-" + std::to_string(style), 2);
        const int slot = style + 2;
        sheetPainter.drawImage(10 + (slot / 9) * 170, 10 + (slot % 9) * 58, surface.Image());
        EXPECT_NE(surface.GetPixel(80, 24) == plain && surface.GetPixel(0, 0) == plain &&
                      surface.GetPixel(159, 47) == plain,
                  true)
            << "style " << style << " painted nothing";
    }
    sheetPainter.end();
    testsupport::SaveToGallery(sheet, "background-all-styles", 2);
    for (int style = -2; style <= 15; ++style) {
        Surface tiny = Plain(2, 2);
        basic::PaintBackground(tiny, style, -1, -1, -1);
        Surface empty(0, 0);
        basic::PaintBackground(empty, style, -1, -1, -1);
    }
}

TEST_F(Background, AtTwelveTwipsPerPixelTheBandsStayInPixels)
{
    basic::TwipsPerPixel = 12;
    Surface surface = Plain(60, 40);
    basic::PaintBackground(surface, 0, red, green, blue);
    EXPECT_EQ(surface.GetPixel(30, 20), green);
    EXPECT_EQ(surface.GetPixel(30, 10), basic::MakeRgb(128, 128, 0));
    EXPECT_EQ(surface.GetPixel(59, 39), 0x540000);
}

} // namespace
