#include "MouseTwips.h"
#include "PictureProbe.h"
#include "controls/UC_Bar.h"
#include "foundation/Colors.h"
#include "support/Gallery.h"
#include "support/TwipsFixture.h"

#include <gmock/gmock.h>

#include <string>
#include <vector>

namespace {

using platform::Color;

constexpr Color red = 0x0000FF;

// A bar of 204 x 20 px: the track inside the frame is 200 px (3000 twips)
// wide and begins 2 px (30 twips) from the left, so a mouse at X twips means
// round((X - 30) / 3000 x 1000).
class PositionBar : public testsupport::TwipsFixture {
protected:
    PositionBar()
    {
        bar.resize(204, 20);
        bar.SetBarColor(red);
        bar.SetNoGrad(1);
        bar.Init();
        bar.MouseUD = [this](bool& isDown) {
            events.push_back(std::string(isDown ? "down " : "up ") + std::to_string(bar.Value()) +
                             (bar.Clicked() ? " held" : ""));
        };
        bar.Scrolled = [this] { events.push_back("scrolled " + std::to_string(bar.Value())); };
        bar.RightClicked = [this](bool& isDown) { events.push_back(isDown ? "right down" : "right up"); };
    }
    // How far the fill reaches along the middle row (the last red column).
    int FillEnd() const
    {
        int last = 1;
        for (int x = 2; x <= 201; ++x) {
            if (bar.Picture().GetPixel(x, 10) == red) {
                last = x;
            }
        }
        return last;
    }

    controls::UC_Bar bar;
    std::vector<std::string> events;
};

TEST_F(PositionBar, AClickSetsTheValueBeforeEachEvent)
{
    mousetwips::Press(bar, 930, 150);
    mousetwips::Release(bar, 1830, 150);
    EXPECT_EQ(events, (std::vector<std::string>{"down 300 held", "up 600"}));
    EXPECT_EQ(bar.Value(), 600);
    EXPECT_FALSE(bar.Clicked());
}

TEST_F(PositionBar, ClicksBesideTheTrackGiveItsEnds)
{
    mousetwips::Click(bar, 0, 150);
    EXPECT_EQ(bar.Value(), 0);
    EXPECT_EQ(FillEnd(), 1) << "nothing filled";
    mousetwips::Click(bar, 3045, 150);
    EXPECT_EQ(bar.Value(), 1000);
    EXPECT_EQ(FillEnd(), 201) << "the whole inner width";
}

TEST_F(PositionBar, DraggingFollowsTheMouseAndReportsEachNewPosition)
{
    mousetwips::Press(bar, 930, 150);
    mousetwips::Move(bar, 1380, 150);
    mousetwips::Move(bar, 1380, 200);
    mousetwips::Move(bar, 1830, 150, Qt::LeftButton | Qt::RightButton);
    mousetwips::Move(bar, 2130, 150);
    mousetwips::Release(bar, 2430, 150);
    EXPECT_EQ(events, (std::vector<std::string>{"down 300 held", "scrolled 450", "scrolled 700", "up 800"}));
}

TEST_F(PositionBar, ValuesWrittenWhileTheBarIsHeldAreIgnored)
{
    mousetwips::Press(bar, 930, 150);
    const QImage held = bar.Picture().Image();
    bar.SetValue(900);
    EXPECT_EQ(bar.Value(), 300);
    EXPECT_EQ(bar.Picture().Image(), held);
    mousetwips::Release(bar, 930, 150);
    bar.SetValue(900);
    EXPECT_EQ(bar.Value(), 900);
}

TEST_F(PositionBar, AValueFillsItsShareOfTheTrack)
{
    bar.SetValue(500);
    EXPECT_EQ(FillEnd(), 101) << "100 of the 200 px";
    EXPECT_NE(bar.Picture().GetPixel(102, 10), red);
    EXPECT_NE(bar.Picture().GetPixel(102, 10), bar.Picture().GetPixel(1, 10)) << "the empty track shows";
    bar.SetValue(2000);
    EXPECT_EQ(bar.Value(), 1000);
    EXPECT_EQ(FillEnd(), 201);
    bar.SetValue(-5);
    EXPECT_EQ(bar.Value(), 0);
    EXPECT_EQ(FillEnd(), 1);
    // The frame is sunken: dark shadow outside at the top left.
    EXPECT_EQ(bar.Picture().GetPixel(0, 0), platform::GetSysColor(platform::ColorBtnShadow));
    EXPECT_EQ(bar.Picture().GetPixel(203, 19), platform::GetSysColor(platform::ColorBtnHighlight));
}

// The engine's tick sets the value many times a second; the picture must
// follow every step that moves the fill a pixel and every new text, whatever
// it drew before.
TEST_F(PositionBar, ThePictureFollowsEachPixelOfProgressAndEachNewText)
{
    bar.SetStyle(9, true, "", 0x000000);
    bar.SetTextToDisp("-0:10");
    bar.SetValue(500);
    bar.SetValue(502); // 100.4 px
    EXPECT_EQ(FillEnd(), 101);
    bar.SetValue(505); // 101 px
    EXPECT_EQ(FillEnd(), 102);
    // A new text shows at once, before any new value.
    bar.SetTextToDisp("-0:09");

    controls::UC_Bar fresh;
    fresh.resize(204, 20);
    fresh.SetBarColor(red);
    fresh.SetNoGrad(1);
    fresh.Init();
    fresh.SetStyle(9, true, "", 0x000000);
    fresh.SetTextToDisp("-0:09");
    fresh.SetValue(505);
    EXPECT_EQ(bar.Picture().Image(), fresh.Picture().Image()) << "drawn as a bar drawn once with the same state";
    bar.SetValue(505);
    EXPECT_EQ(bar.Picture().Image(), fresh.Picture().Image());

    // A new style shows at the next value, even one that moves no pixel.
    bar.SetStyle(9, true, "", 0xFFFFFF);
    bar.SetValue(505);
    fresh.SetStyle(9, true, "", 0xFFFFFF);
    fresh.Init();
    fresh.SetValue(505);
    EXPECT_EQ(bar.Picture().Image(), fresh.Picture().Image());
}

TEST_F(PositionBar, AGradientBarLeadsWithItsDarkColumn)
{
    bar.SetNoGrad(0);
    bar.Init();
    bar.SetMax(200);
    bar.SetValue(100);
    testsupport::SaveToGallery(bar.Picture().Image(), "bar-gradient-red-half", 4);
    EXPECT_EQ(bar.Picture().GetPixel(101, 10), basic::ShiftColor(red, -80, -80, -80, -1));
    // Lit along its middle: lighter than the edge rows.
    EXPECT_GT(bar.Picture().GetPixel(50, 10) & 0xFF00, bar.Picture().GetPixel(50, 2) & 0xFF00);
}

TEST_F(PositionBar, ARightClickRaisesOnlyRightClickedOnRelease)
{
    bar.SetValue(250);
    mousetwips::Press(bar, 1830, 150, Qt::RightButton);
    mousetwips::Release(bar, 1830, 150, Qt::RightButton);
    EXPECT_EQ(events, std::vector<std::string>{"right up"});
    EXPECT_EQ(bar.Value(), 250);
}

TEST_F(PositionBar, ALockedBarIgnoresTheMouse)
{
    bar.SetLocked(1);
    mousetwips::Press(bar, 930, 150);
    mousetwips::Move(bar, 1830, 150);
    mousetwips::Release(bar, 1830, 150, Qt::RightButton);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(bar.Value(), 0);
    EXPECT_FALSE(bar.Clicked());
}

TEST_F(PositionBar, WithoutARangeEveryValueIsZero)
{
    bar.SetMax(0);
    bar.SetValue(500);
    EXPECT_EQ(bar.Value(), 0);
    EXPECT_EQ(FillEnd(), 1);
    mousetwips::Click(bar, 1830, 150);
    EXPECT_EQ(bar.Value(), 0);
    bar.SetMax(-10);
    bar.SetValue(3);
    EXPECT_EQ(bar.Value(), 0);
    bar.Init();
    EXPECT_EQ(bar.Max(), 1000) << "Init starts the range afresh";
}

TEST_F(PositionBar, BeforeInitOnlyTheTextIsDrawn)
{
    controls::UC_Bar fresh;
    fresh.resize(204, 20);
    fresh.SetStyle(9, true, "", 0x000000);
    fresh.SetTextToDisp("01:23");
    fresh.Draw(1530);
    const Color face = fresh.Picture().GetPixel(0, 0);
    EXPECT_EQ(face, fresh.Picture().GetPixel(203, 19)) << "no frame";
    const QRect ink =
        pictureprobe::Extent(fresh.Picture(), QRect(0, 0, 204, 20), [face](Color c) { return c != face; });
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.center().x(), 101, 3) << "the text is centred";
    EXPECT_NEAR(ink.center().y(), 9, 3);
    EXPECT_EQ(fresh.TextToDisp(), "01:23");
}

TEST_F(PositionBar, ABarWithNoRoomInsideItsFrameStillReports)
{
    bar.resize(3, 20);
    bar.Init();
    mousetwips::Click(bar, 20, 150);
    bar.SetValue(600);
    EXPECT_EQ(events, (std::vector<std::string>{"down 0 held", "up 0"}));
    EXPECT_EQ(bar.Value(), 600);
}

TEST_F(PositionBar, GalleryOfBars)
{
    for (const int value : {0, 370, 1000}) {
        controls::UC_Bar shown;
        shown.resize(240, 18);
        shown.Init();
        shown.SetStyle(9, false, "", 0xFFFFFF);
        shown.SetTextToDisp("-" + std::to_string(value / 100) + ":0" + std::to_string(value % 10));
        shown.SetValue(value);
        testsupport::SaveToGallery(shown.Picture().Image(), "bar-default-" + std::to_string(value), 3);
    }
    bar.SetValue(640);
    testsupport::SaveToGallery(bar.Picture().Image(), "bar-flat-red-640", 3);
}

} // namespace
