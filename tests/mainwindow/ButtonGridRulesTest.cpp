#include "mainwindow/ButtonGridRules.h"

#include <gmock/gmock.h>

namespace {

using ButtonGridRules::HoldModule;
using ButtonGridRules::ModuleSize;

std::vector<int> Range(int first, int last)
{
    std::vector<int> values;
    for (int i = first; i <= last; ++i) {
        values.push_back(i);
    }
    return values;
}

TEST(ButtonGridRules, AGridNeverHoldsMoreButtonsThanAPage)
{
    const auto check = [](int x, int y, int heldX, int heldY, bool held) {
        SCOPED_TRACE(testing::Message() << x << " x " << y);
        const ModuleSize size = HoldModule(x, y);
        EXPECT_EQ(size.X, heldX);
        EXPECT_EQ(size.Y, heldY);
        EXPECT_EQ(size.Held, held);
        EXPECT_LE(size.X * size.Y, 100);
    };
    check(8, 4, 8, 4, false);
    check(0, -3, 1, 1, false);
    check(10, 10, 10, 10, false);
    check(20, 10, 20, 5, true);
    check(11, 10, 11, 9, true);
    check(150, 1, 100, 1, true);
    check(1, 32767, 1, 100, true);
    check(32767, 32767, 100, 1, true);
}

TEST(ButtonGridRules, ButtonSizesScaleRoundHalfToEvenAndStayWithinTheirLimits)
{
    EXPECT_EQ(ButtonGridRules::ButtonPixels(118, 1.0F, 100, 2000), 118);
    EXPECT_EQ(ButtonGridRules::ButtonPixels(113, 1.0F, 33, 2000), 113);
    // The defaults in the big display: 153 x 147.
    EXPECT_EQ(ButtonGridRules::ButtonPixels(118, 1.3F, 100, 2000), 153);
    EXPECT_EQ(ButtonGridRules::ButtonPixels(113, 1.3F, 33, 2000), 147);
    EXPECT_EQ(ButtonGridRules::ButtonPixels(50, 1.0F, 100, 2000), 100);
    EXPECT_EQ(ButtonGridRules::ButtonPixels(20, 1.0F, 33, 2000), 33);
    EXPECT_EQ(ButtonGridRules::ButtonPixels(3000, 1.0F, 100, 2000), 2000);
    EXPECT_EQ(ButtonGridRules::ButtonPixels(3000, 1.0F, 33, 2000), 2000);
    // 184.5 and 181.5: halves go to the even neighbour.
    EXPECT_EQ(ButtonGridRules::ButtonPixels(123, 1.5F, 100, 2000), 184);
    EXPECT_EQ(ButtonGridRules::ButtonPixels(121, 1.5F, 100, 2000), 182);
    // The limits hold for the scaled size.
    EXPECT_EQ(ButtonGridRules::ButtonPixels(90, 1.3F, 100, 2000), 117);
}

TEST(ButtonGridRules, ElementsOfMixedGridsLeaveGapsWhereAGridIsSmaller)
{
    const std::array<std::int32_t, 4> grids{0, 0, 0, 0};
    const ButtonGridRules::Plan plan = ButtonGridRules::MakePlan(2, grids, {ModuleSize{8, 4}, ModuleSize{5, 2}});
    EXPECT_EQ(plan.MaxButtons, 32);
    EXPECT_EQ(plan.Buttons[0], 32);
    EXPECT_EQ(plan.Buttons[1], 10);
    std::vector<int> expected = Range(0, 31);
    for (int i : Range(32, 41)) {
        expected.push_back(i);
    }
    EXPECT_EQ(ButtonGridRules::Elements(plan, 2, grids), expected);

    // The smaller grid first: output 1's 32 buttons start at 32 all the same.
    const ButtonGridRules::Plan reversed = ButtonGridRules::MakePlan(2, grids, {ModuleSize{5, 2}, ModuleSize{8, 4}});
    std::vector<int> reversedExpected = Range(0, 9);
    for (int i : Range(32, 63)) {
        reversedExpected.push_back(i);
    }
    EXPECT_EQ(ButtonGridRules::Elements(reversed, 2, grids), reversedExpected);
}

TEST(ButtonGridRules, ListOutputsHaveNoButtonsAndAllListsNone)
{
    const std::array<std::int32_t, 4> firstIsList{1, 0, 0, 0};
    const ButtonGridRules::Plan plan =
        ButtonGridRules::MakePlan(2, firstIsList, {ModuleSize{8, 4}, ModuleSize{8, 4}});
    EXPECT_EQ(plan.ModuleX[0], 0);
    EXPECT_EQ(plan.ModuleY[0], 0);
    EXPECT_EQ(plan.Buttons[0], 0);
    EXPECT_EQ(plan.MaxButtons, 32);
    EXPECT_EQ(ButtonGridRules::Elements(plan, 2, firstIsList), Range(32, 63));

    const std::array<std::int32_t, 4> allLists{1, 1, 1, 1};
    const ButtonGridRules::Plan none = ButtonGridRules::MakePlan(4, allLists, {});
    EXPECT_EQ(none.MaxButtons, 0);
    EXPECT_TRUE(ButtonGridRules::Elements(none, 4, allLists).empty());
}

TEST(ButtonGridRules, FourFullGridsFillTheWholeArray)
{
    const std::array<std::int32_t, 4> grids{0, 0, 0, 0};
    const ModuleSize full{10, 10};
    const ButtonGridRules::Plan plan = ButtonGridRules::MakePlan(4, grids, {full, full, full, full});
    EXPECT_EQ(ButtonGridRules::Elements(plan, 4, grids), Range(0, 399));
}

} // namespace
