#include "ApplyFixture.h"

#include "foundation/ButtonKeys.h"
#include "foundation/Parms.h"
#include "mainwindow/ButtonPictures.h"
#include "platform/TwipsGeometry.h"

#include <gmock/gmock.h>

namespace {

using shelltest::ApplyFixture;
using testing::HasSubstr;
using Outcome = FrmMain::StartOutcome;

class ButtonGridSetupTest : public ApplyFixture {
protected:
    std::vector<int> ExistingButtons() const
    {
        std::vector<int> indexes;
        for (int i = 0; i < 400; ++i) {
            if (window->TolvButton.Exists(i)) {
                indexes.push_back(i);
            }
        }
        return indexes;
    }
    static std::vector<int> Range(int first, int last)
    {
        std::vector<int> values;
        for (int i = first; i <= last; ++i) {
            values.push_back(i);
        }
        return values;
    }
    static std::vector<int> Join(std::vector<int> a, const std::vector<int>& b)
    {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }
};

TEST_F(ButtonGridSetupTest, OneOutputWithTheDefaultsHasAnEightByFourGridOfDefaultButtons)
{
    ASSERT_EQ(Start(), Outcome::Running);
    const MainState& state = window->State;
    EXPECT_EQ(state.ModuleX[0], 8);
    EXPECT_EQ(state.ModuleY[0], 4);
    EXPECT_EQ(state.ButtonsPerPage[0], 32);
    EXPECT_EQ(state.ButtonsPerOutput, 32);
    EXPECT_EQ(state.LayoutType, 0);
    EXPECT_EQ(ExistingButtons(), Range(0, 31));
    for (int i = 0; i < 32; ++i) {
        const controls::UC_TolvButton& button = *window->TolvButton(i);
        EXPECT_FALSE(button.isHidden()) << i;
        EXPECT_EQ(button.width(), 118) << i;
        EXPECT_EQ(button.height(), 113) << i;
    }
    // The default keys lie over the grid's rows: "1" on the first button,
    // "Q" on the first of the second row.
    EXPECT_EQ(parms::KeyAssign[0], '1');
    EXPECT_EQ(parms::KeyAssign[0 + 4 * 8], 'Q');
}

TEST_F(ButtonGridSetupTest, MixedGridsCreateOnlyTheButtonsEachGridHas)
{
    Store("NumOut", "2");
    Store("ModuleX_2", "5");
    Store("ModuleY_2", "2");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(window->State.ButtonsPerOutput, 32);
    EXPECT_EQ(window->State.ButtonsPerPage[1], 10);
    EXPECT_EQ(ExistingButtons(), Join(Range(0, 31), Range(32, 41)));
    EXPECT_EQ(window->State.LayoutType, 1);
}

TEST_F(ButtonGridSetupTest, AListBeforeAGridLeavesTheFirstStretchOfTheArrayEmpty)
{
    Store("NumOut", "2");
    Store("IsList_1", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(ExistingButtons(), Join({0}, Range(32, 63)));
    EXPECT_TRUE(window->TolvButton(0)->isHidden());
    EXPECT_FALSE(window->TolvButton(32)->isHidden());
    EXPECT_EQ(window->State.ModuleX[0], 0);
    EXPECT_EQ(window->State.ButtonsPerPage[0], 0);
}

TEST_F(ButtonGridSetupTest, OnlyListsMakeNoButtonsAndKeepTheKeys)
{
    Store("NumOut", "2");
    Store("IsList_1", "1");
    Store("IsList_2", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    parms::KeyAssign[0] = 0x70;
    window->ApplySettings(0);
    EXPECT_EQ(ExistingButtons(), std::vector<int>{0});
    EXPECT_EQ(window->State.ButtonsPerOutput, 0);
    EXPECT_EQ(parms::KeyAssign[0], 0x70);
    EXPECT_EQ(window->State.LayoutType, 2);
}

TEST_F(ButtonGridSetupTest, AStoredGridOfMoreThanAPageIsHeldToAHundredButtonsWithALogLine)
{
    Store("ModuleX_1", "20");
    Store("ModuleY_1", "10");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(window->State.ModuleX[0], 20);
    EXPECT_EQ(window->State.ModuleY[0], 5);
    EXPECT_EQ(window->State.ButtonsPerOutput, 100);
    EXPECT_EQ(ExistingButtons(), Range(0, 99));
    EXPECT_THAT(ErrorLog(), HasSubstr("20 x 10 is more than 100 buttons; 20 x 5 is used"));

    Store("ModuleX_1", "0");
    Store("ModuleY_1", "-3");
    window->ApplySettings(0);
    EXPECT_EQ(window->State.ModuleX[0], 1);
    EXPECT_EQ(window->State.ModuleY[0], 1);
    EXPECT_EQ(ExistingButtons(), std::vector<int>{0});

    // Beyond a 16-bit number the stored text counts as not numeric.
    Store("ModuleX_1", "70000");
    Store("ModuleY_1", "2");
    window->ApplySettings(0);
    EXPECT_EQ(window->State.ModuleX[0], 8);
    EXPECT_EQ(window->State.ModuleY[0], 2);
}

TEST_F(ButtonGridSetupTest, ButtonSizesAreHeldToTheirLimits)
{
    Store("ButtonSizeX", "50");
    Store("ButtonSizeY", "20");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(window->TolvButton(5)->width(), 100);
    EXPECT_EQ(window->TolvButton(5)->height(), 33);
    Store("ButtonSizeX", "3000");
    Store("ButtonSizeY", "3000");
    window->ApplySettings(0);
    EXPECT_EQ(window->TolvButton(5)->width(), 2000);
    EXPECT_EQ(window->TolvButton(5)->height(), 2000);
}

TEST_F(ButtonGridSetupTest, TheDisplaySwitchKeepsEveryButtonAndResizesIt)
{
    ASSERT_EQ(Start(), Outcome::Running);
    const controls::UC_TolvButton* before = window->TolvButton(17);
    window->State.DispBig = 1;
    window->ApplySettings(1);
    EXPECT_EQ(window->TolvButton(17), before);
    EXPECT_EQ(ExistingButtons(), Range(0, 31));
    EXPECT_EQ(window->TolvButton(17)->width(), 153);
    EXPECT_EQ(window->TolvButton(17)->height(), 147);
    EXPECT_EQ(window->PictureTolv(3)->Picture().PixelWidth(), 153);
}

TEST_F(ButtonGridSetupTest, ASmallerGridLeavesNoButtonOfTheLargerOneBehind)
{
    ASSERT_EQ(Start(), Outcome::Running);
    Store("ModuleX_1", "4");
    Store("ModuleY_1", "2");
    window->ApplySettings(0);
    EXPECT_EQ(ExistingButtons(), Range(0, 7));
}

TEST_F(ButtonGridSetupTest, CreatedButtonsReportTheirOwnIndex)
{
    Store("NumOut", "2");
    ASSERT_EQ(Start(), Outcome::Running);
    ports.Log.Clear();
    int mouse = 2;
    bool down = false;
    int area = 0;
    window->TolvButton(33)->MouseUD(mouse, down, area);
    EXPECT_THAT(ports.Log.Starting("TolvButton_MouseUD"), testing::ElementsAre("TolvButton_MouseUD 33 2 0 0"));
}

TEST_F(ButtonGridSetupTest, TheSharedPicturesFollowTheButtonSizeAndType)
{
    Store("ButtonType", "0");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(window->PictureTolv2->Picture().PixelWidth(), 118);
    EXPECT_EQ(window->PictureTolv2->Picture().PixelHeight(), 113 - 5);
    for (int k = 0; k <= 4; ++k) {
        EXPECT_EQ(window->PictureTolv(k)->Picture().PixelWidth(), 118);
        EXPECT_EQ(window->PictureTolv(k)->Picture().PixelHeight(), 113);
    }
    Store("ButtonType", "1");
    window->ApplySettings(0);
    EXPECT_EQ(window->PictureTolv2->Picture().PixelHeight(), 113 - 25);
    EXPECT_EQ(window->State.ButtonType, 1);

    // Strips of five cells; cell 0 unlit grey, 1..4 lit in their colours.
    const platform::Surface& tall = window->PictureSel(0)->Picture();
    const platform::Surface& wide = window->PictureSel(1)->Picture();
    ASSERT_EQ(tall.PixelWidth(), 40);
    ASSERT_EQ(tall.PixelHeight(), 27);
    ASSERT_EQ(wide.PixelWidth(), 135);
    ASSERT_EQ(wide.PixelHeight(), 12);
    EXPECT_EQ(tall.GetPixel(5, 13), 0x707070);
    EXPECT_EQ(wide.GetPixel(20, 7), 0x707070);
    for (int cell = 1; cell <= 4; ++cell) {
        EXPECT_EQ(tall.GetPixel(cell * 8 + 5, 13), ButtonPictures::LampColor(cell)) << cell;
        EXPECT_EQ(wide.GetPixel(cell * 27 + 20, 7), ButtonPictures::LampColor(cell)) << cell;
    }
    // A stored type without a lamp strip takes the compact layout.
    Store("ButtonType", "2");
    window->ApplySettings(0);
    EXPECT_EQ(window->State.ButtonType, 1);
}

TEST_F(ButtonGridSetupTest, FramePicturesAreShadedOrFlatByHiColor)
{
    EXPECT_EQ(ButtonPictures::FrameColors(0, false), (std::array<platform::Color, 3>{0x70A070, 0xE0FFE0, 0x70A070}));
    EXPECT_EQ(ButtonPictures::FrameColors(3, false), (std::array<platform::Color, 3>{0xB07460, 0xFFF0F0, 0xB07460}));
    EXPECT_EQ(ButtonPictures::FrameColors(1, true), (std::array<platform::Color, 3>{0x00A0E0, 0x00A0E0, 0x00A0E0}));
    EXPECT_EQ(ButtonPictures::FrameColors(2, true), (std::array<platform::Color, 3>{0x0000FF, 0x0000FF, 0x0000FF}));
}

} // namespace
