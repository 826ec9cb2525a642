#include "controls/UC_Tab.h"
#include "SmallControlsMouse.h"
#include "controls/SurfaceBox.h"
#include "foundation/Background.h"
#include "foundation/Colors.h"
#include "foundation/Fonts.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Numbers.h"
#include "support/Gallery.h"
#include "support/TwipsFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace smallcontrols;
using platform::Color;

// A strip 6000 by 1500 twips (400 by 100 pixels) at 15 twips per pixel; the
// 9-point font's cell is 12 pixels, so the tabs are 24 pixels high.
class Tab : public testsupport::TwipsFixture {
protected:
    void Prepare(UC_Tab& tab, int count)
    {
        platform::MoveTwips(tab, 0, 0, 6000, 1500);
        tab.SetFontSize(9);
        tab.SetNumTab(count);
        tab.TabClicked = [this](int index) { clicked.push_back(index); };
    }
    static controls::SurfaceBox& Strip(UC_Tab& tab) { return *tab.findChild<controls::SurfaceBox*>("PictureTab"); }
    static Color At(UC_Tab& tab, int x, int y)
    {
        const QRgb pixel = Strip(tab).Picture().Image().pixel(x, y);
        return platform::Rgb(qRed(pixel), qGreen(pixel), qBlue(pixel));
    }
    // The text width of a caption in the strip's font, rounded, as a tab
    // measures it.
    static int TextWidth(const std::string& caption)
    {
        platform::Surface measure;
        basic::SetControlFont(platform::FontWindow(&measure), -2, nullptr, 9, false, false, "");
        return static_cast<int>(numeric::RoundToInt64(measure.TextWidth(caption)));
    }
    static void ClickAtTwips(UC_Tab& tab, int x, int y = 150) { Click(Strip(tab), {x / 15, y / 15}); }

    std::vector<int> clicked;
};

TEST_F(Tab, CommonWidthIsTheWidestCaptionPlusMargin)
{
    UC_Tab tab;
    Prepare(tab, 3);
    tab.SetTabStr(0, "Play");
    const int play = TextWidth("Play") + 180;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tab.TabWidth(i), play) << "tabs without caption count 180";
    }
    tab.SetTabMinWidth(5000); // applies to own widths only
    tab.SetTabStr(1, "Remote control and serial ports");
    const int longest = TextWidth("Remote control and serial ports") + 180;
    ASSERT_GT(longest, play);
    tab.SetTabStr(2, "Keys");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tab.TabWidth(i), longest) << "one long caption widens every tab";
    }
    tab.DrawAll();
    testsupport::SaveToGallery(tab.grab().toImage(), "tab-common-widths-selected-0", 2);
}

TEST_F(Tab, IndependentWidthsWithAMinimum)
{
    UC_Tab tab;
    Prepare(tab, 3);
    tab.SetUseIndpWidth(1);
    tab.SetTabMinWidth(900);
    tab.SetTabStr(0, "A");
    tab.SetTabStr(1, "Remote control");
    tab.SetTabStr(2, "");
    EXPECT_EQ(tab.TabWidth(0), 900) << "a short caption gets the minimum";
    EXPECT_EQ(tab.TabWidth(1), TextWidth("Remote control") + 180);
    EXPECT_EQ(tab.TabWidth(2), 900);
    tab.SetTabWidth(2, 1500);
    EXPECT_EQ(tab.TabWidth(2), 1500);
    tab.SetSelectedTab(1);
    tab.DrawAll();
    testsupport::SaveToGallery(tab.grab().toImage(), "tab-independent-widths-selected-1", 2);
}

TEST_F(Tab, HiddenTabsTakeNoRoomAndCannotBeClicked)
{
    UC_Tab tab;
    Prepare(tab, 4);
    for (int i = 0; i < 4; ++i) {
        tab.SetTabStr(i, "Tab " + std::to_string(i));
    }
    // Each caption sets every common width again: own widths come last.
    for (int i = 0; i < 4; ++i) {
        tab.SetTabWidth(i, 1200);
    }
    tab.SetTabHidden(1, 1);
    tab.DrawAll();
    // Tab 2 now starts where tab 1 would have: 1200 twips.
    ClickAtTwips(tab, 1500);
    EXPECT_EQ(clicked, (std::vector<int>{2}));
    EXPECT_EQ(tab.SelectedTab(), 2);
    ClickAtTwips(tab, 2500, 1200); // in the page area below tab 3: X alone counts
    EXPECT_EQ(clicked, (std::vector<int>{2, 3}));
    ClickAtTwips(tab, 1200); // exactly on a border
    ClickAtTwips(tab, 4000); // right of the last tab
    EXPECT_EQ(clicked.size(), 2u);
    EXPECT_EQ(tab.SelectedTab(), 3);
    testsupport::SaveToGallery(tab.grab().toImage(), "tab-hidden-1-selected-3", 2);

    // The selected tab joins the page; the others are cut off from it by the
    // shading, whose first row is white.
    const int shadeRow = 24 + 1;
    EXPECT_EQ(At(tab, 200, shadeRow), basic::SysColor(1)) << "below tab 3, selected";
    EXPECT_EQ(At(tab, 100, shadeRow), 0xFFFFFF) << "below tab 2";
    EXPECT_EQ(At(tab, 350, shadeRow), 0xFFFFFF) << "right of the tabs";

    // A release without a press on the strip, or with clicks disabled, does nothing.
    Release(Strip(tab), {100, 10});
    tab.SetClickDisabled(1);
    ClickAtTwips(tab, 300);
    tab.RaiseMinTabClick();
    EXPECT_EQ(clicked.size(), 2u);
}

TEST_F(Tab, RaiseMinTabClickSelectsTheFirstVisibleTab)
{
    UC_Tab tab;
    Prepare(tab, 3);
    tab.SetSelectedTab(2);
    tab.SetTabHidden(0, 1);
    tab.RaiseMinTabClick();
    EXPECT_EQ(tab.SelectedTab(), 1);
    EXPECT_EQ(clicked, (std::vector<int>{1}));
    tab.SetTabHidden(1, 1);
    tab.SetTabHidden(2, 1);
    tab.RaiseMinTabClick();
    EXPECT_EQ(clicked.size(), 1u) << "every tab hidden: nothing happens";
}

TEST_F(Tab, FewerTabsKeepTheirCaptionsAndWidths)
{
    UC_Tab tab;
    Prepare(tab, 4);
    tab.SetUseIndpWidth(1);
    tab.SetTabStr(0, "General");
    tab.SetTabStr(3, "Extra");
    tab.SetTabWidth(1, 777);
    const int general = tab.TabWidth(0);
    tab.SetNumTab(2);
    EXPECT_EQ(tab.NumTab(), 2);
    EXPECT_EQ(tab.TabWidth(0), general);
    EXPECT_EQ(tab.TabWidth(1), 777);
    EXPECT_EQ(tab.TabWidth(3), 0);
    tab.SetTabStr(3, "out of range"); // ignored
    tab.SetTabHidden(5, 1);
    tab.SetNumTab(-1);
    EXPECT_EQ(tab.NumTab(), 0);
    tab.DrawAll();
    tab.RaiseMinTabClick();
    EXPECT_TRUE(clicked.empty());
}

TEST_F(Tab, BackgroundComesFromTheOwnersPictureOneScaleLower)
{
    platform::Surface background(500, 200);
    basic::PaintBackground(background, 2, 0x205080, 0xC0E0FF, -1);
    UC_Tab tab;
    Prepare(tab, 2);
    tab.SetTabStr(0, "One");
    tab.SetTabStr(1, "Two");
    tab.SetBGPic(600, 300, &background);
    tab.DrawAll();
    // Above the shading right of the tabs the background shows, taken from
    // (40, 20 + 15) pixels on.
    EXPECT_EQ(At(tab, 390, 5), background.GetPixel(40 + 390, 20 + 15 + 5));
    testsupport::SaveToGallery(tab.grab().toImage(), "tab-over-background", 2);
}

} // namespace
