#include "foundation/Colors.h"
#include "platform/Surface.h"
#include "support/TwipsFixture.h"

#include <gmock/gmock.h>

namespace {

using basic::Color;

TEST(Colours, ComposingLimitsEachChannel)
{
    EXPECT_EQ(basic::MakeRgb(300, -5, 128), 0x8000FF);
    EXPECT_EQ(basic::MakeRgb(0, 0, 0), 0);
    EXPECT_EQ(basic::MakeRgb(1, 2, 3), 0x030201);
}

TEST(Colours, SplittingGivesRedFromTheLowByte)
{
    std::int16_t red = -1;
    std::int16_t green = -1;
    std::int16_t blue = -1;
    basic::SplitRgb(0x8000FF, red, green, blue);
    EXPECT_EQ(red, 255);
    EXPECT_EQ(green, 0);
    EXPECT_EQ(blue, 128);
    // A system colour splits as the colour it stands for.
    basic::SplitRgb(platform::SystemColor(platform::ColorBtnShadow), red, green, blue);
    EXPECT_EQ(red, 128);
    EXPECT_EQ(green, 128);
    EXPECT_EQ(blue, 128);
}

TEST(Colours, ShiftingAddsDeltasOnlyWithFactorMinusOneAndClamps)
{
    EXPECT_EQ(basic::ShiftColor(0x808080, -160, -160, -160, -1.0f), 0);
    EXPECT_EQ(basic::ShiftColor(0xF0F0F0, 40, 40, 40, -1.0f), 0xFFFFFF);
    EXPECT_EQ(basic::ShiftColor(0x102030, 1, -2, 3, -1.0f), 0x131E31);
    // Any other factor scales and ignores the deltas.
    EXPECT_EQ(basic::ShiftColor(0x808080, -160, -160, -160, 0.5f), 0x404040);
    EXPECT_EQ(basic::ShiftColor(0x808080, 0, 0, 0, 2.0f), 0xFFFFFF);
    EXPECT_EQ(basic::ShiftColor(0x808080, 0, 0, 0, 0.0f), 0);
    // Halves go to the even neighbour.
    EXPECT_EQ(basic::ShiftColor(0x050505, 0, 0, 0, 0.5f), 0x020202);
    EXPECT_EQ(basic::ShiftColor(0x070707, 0, 0, 0, 0.5f), 0x040404);
    // The button face of the system colour table, 160 darker.
    EXPECT_EQ(basic::ShiftColor(platform::SystemColor(platform::ColorBtnFace), -160, -160, -160, -1.0f), 0x202020);
}

TEST(Colours, SystemShadesKeepTheAverageBrightnessOfTheirTarget)
{
    // The table's button face is &HC0C0C0 and its shadow &H808080.
    ASSERT_EQ(platform::GetSysColor(platform::ColorBtnFace), 0xC0C0C0);
    EXPECT_EQ(basic::SysColor(0), 0xFFFFFF);
    EXPECT_EQ(basic::SysColor(1), 0xC8C8C8);
    EXPECT_EQ(basic::SysColor(2), 0x6E6E6E);
    EXPECT_EQ(basic::SysColor(3), 0x3C3C3C);
    EXPECT_EQ(basic::SysColor(3), 0x3C3C3C) << "cached";
    EXPECT_EQ(basic::SysColor(4), 0);
    EXPECT_EQ(basic::SysColor(-1), 0);
}

class ColourSchemes : public testsupport::TwipsFixture {};

TEST_F(ColourSchemes, SetTheBackgroundAndTextColours)
{
    platform::Surface panel(4, 4);
    basic::SetColorsByIndex(panel, 3, 0x123456, 0x654321);
    EXPECT_EQ(panel.BackColor(), 0x0000FF);
    EXPECT_EQ(panel.ForeColor(), 0xFFFFFF);
    EXPECT_EQ(panel.GetPixel(1, 1), 0x0000FF);

    basic::SetColorsByIndex(panel, 0, 0x123456, 0x654321);
    EXPECT_EQ(panel.BackColor(), 0);
    EXPECT_EQ(panel.ForeColor(), platform::SystemColor(platform::ColorBtnFace));

    basic::SetColorsByIndex(panel, -1, 0x123456, 0x654321);
    EXPECT_EQ(panel.BackColor(), 0x654321);
    EXPECT_EQ(panel.ForeColor(), 0x123456);

    for (const int unknown : {7, -2, 100}) {
        basic::SetColorsByIndex(panel, unknown, 0xABCDEF, 0xFEDCBA);
        EXPECT_EQ(panel.BackColor(), 0x654321) << unknown;
        EXPECT_EQ(panel.ForeColor(), 0x123456) << unknown;
    }
}

} // namespace
