#include "controls/UC_Slider.h"
#include "SmallControlsMouse.h"
#include "controls/SurfaceBox.h"
#include "platform/SysColors.h"
#include "platform/TwipsGeometry.h"
#include "support/ClockFixture.h"
#include "support/Gallery.h"
#include "support/TwipsFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace smallcontrols;
using platform::GetSysColor;

// 15 twips per pixel: a horizontal slider 3000 by 300 twips without arrows has
// a track of 196 by 16 pixels (2940 by 240 twips) inside its 2-pixel border,
// so the default 480-twip pointer travels 2460 twips.
class Slider : public testsupport::TwipsFixture {
protected:
    static void Place(UC_Slider& slider, int width, int height) { platform::MoveTwips(slider, 0, 0, width, height); }

    void Record(UC_Slider& slider)
    {
        slider.MouseUD = [this](bool down, int button) {
            events.push_back(std::string(down ? "down" : "up") + std::to_string(button));
        };
        slider.Scrolled = [this](int button) { events.push_back("scrolled" + std::to_string(button)); };
        slider.DblClicked = [this] { events.push_back("dbl"); };
    }

    static QWidget& Track(UC_Slider& slider) { return *slider.findChild<controls::SurfaceBox*>("PictureSlider"); }
    static controls::SurfaceBox& Arrow(UC_Slider& slider, int index)
    {
        return *slider.findChild<controls::SurfaceBox*>(QStringLiteral("PictureArrow%1").arg(index));
    }
    // A point of the track, given in twips from the track's start.
    static QPoint AlongTrack(double twips, bool vertical = false)
    {
        const int pixels = static_cast<int>(twips / 15) + 2;
        return vertical ? QPoint(5, pixels) : QPoint(pixels, 5);
    }
    static QImage TrackImage(UC_Slider& slider)
    {
        return slider.findChild<controls::SurfaceBox*>("PictureSlider")->Picture().Image();
    }

    std::vector<std::string> events;
};

TEST_F(Slider, ValuesAtBothTrackEndsAndPastThem)
{
    UC_Slider slider;
    slider.SetNoArrow(1);
    Place(slider, 3000, 300);
    slider.Init();
    ASSERT_EQ(slider.TrackLength(), 2460);

    slider.Draw(0);
    EXPECT_EQ(slider.Value(), 0);
    slider.Draw(2460);
    EXPECT_EQ(slider.Value(), 1000);
    EXPECT_EQ(slider.PointerPosition(), 2460);

    slider.Draw(5000);
    EXPECT_EQ(slider.Value(), 1000) << "past the end gives Max";
    EXPECT_EQ(slider.PointerPosition(), 2460) << "and the pointer exactly at the track's end";
    slider.Draw(-300);
    EXPECT_EQ(slider.Value(), 0);
    EXPECT_EQ(slider.PointerPosition(), 0);

    // 1231 twips of 2460 is 500.4: the value rounds, the pointer stays put.
    slider.Draw(1231);
    EXPECT_EQ(slider.Value(), 500);
    EXPECT_EQ(slider.PointerPosition(), 1231);
    // 1230.5 would be 500.2; 1236 of 2460 is 502.44 -> 502; 1242 is 504.88 -> 505.
    slider.Draw(1236);
    EXPECT_EQ(slider.Value(), 502);
    slider.Draw(1242);
    EXPECT_EQ(slider.Value(), 505);

    // Setting the value clamps to the bounds and puts the pointer at the ends.
    slider.SetValue(2000);
    EXPECT_EQ(slider.Value(), 1000);
    EXPECT_EQ(slider.PointerPosition(), 2460);
    slider.SetValue(-5);
    EXPECT_EQ(slider.Value(), 0);
    EXPECT_EQ(slider.PointerPosition(), 0);
    // 250 of 1000 is a quarter of 2460: 615.
    slider.SetValue(250);
    EXPECT_EQ(slider.PointerPosition(), 615);

    // The pointer image sits at its position: its dark trailing edge is the
    // last of its 32 pixels (480 twips), the track lies bare behind it.
    const QImage track = TrackImage(slider);
    const int start = 615 / 15;
    EXPECT_EQ(track.pixel(start + 31, 8) & 0xFFFFFF,
              static_cast<unsigned>(GetSysColor(platform::Color3dDkShadow)) & 0xFFFFFF);
    const platform::Color bare = GetSysColor(platform::ColorBtnShadow);
    const QRgb bareRgb = qRgb(bare & 0xFF, (bare >> 8) & 0xFF, (bare >> 16) & 0xFF);
    EXPECT_EQ(track.pixel(start + 32, 8), bareRgb);
    EXPECT_EQ(track.pixel(start - 1, 8), bareRgb);
    testsupport::SaveToGallery(slider.grab().toImage(), "slider-horizontal-noarrow-value250", 3);
}

TEST_F(Slider, NegativeMinimumAndVerticalOrientation)
{
    UC_Slider slider;
    slider.SetIsVertical(1);
    slider.SetNoArrow(1);
    slider.SetMin(-100);
    slider.SetMax(100);
    Place(slider, 300, 2040); // track 1980 twips high, 1500 of travel
    slider.Init();
    ASSERT_EQ(slider.TrackLength(), 1500);
    slider.SetValue(-100);
    EXPECT_EQ(slider.PointerPosition(), 0);
    slider.SetValue(100);
    EXPECT_EQ(slider.PointerPosition(), 1500);
    slider.Draw(750);
    EXPECT_EQ(slider.Value(), 0);
    // A press below the track's end drags the value to Max.
    Press(Track(slider), AlongTrack(1900, true));
    EXPECT_EQ(slider.Value(), 100);
    Release(Track(slider), AlongTrack(1900, true));
    testsupport::SaveToGallery(slider.grab().toImage(), "slider-vertical-noarrow-max", 3);
}

TEST_F(Slider, EqualBoundsOrNoTrackChangeNothing)
{
    UC_Slider unplaced;
    unplaced.SetValue(300);
    ASSERT_EQ(unplaced.Value(), 300);
    unplaced.Draw(100); // no track yet: no value from a position
    EXPECT_EQ(unplaced.Value(), 300);
    Place(unplaced, 0, 0); // laid out without room: a track shorter than the pointer
    unplaced.Init();
    unplaced.Draw(100);
    EXPECT_EQ(unplaced.Value(), 300);

    UC_Slider slider;
    slider.SetNoArrow(1);
    Place(slider, 3000, 300);
    slider.Init();
    slider.SetValue(400);
    slider.SetMax(5);
    slider.SetMin(5);
    EXPECT_EQ(slider.Value(), 400) << "changing the bounds neither clamps nor redraws";
    slider.SetValue(7);
    EXPECT_EQ(slider.Value(), 400);
    slider.Draw(100);
    EXPECT_EQ(slider.Value(), 400);
    Record(slider);
    Press(Track(slider), AlongTrack(2000));
    Release(Track(slider), AlongTrack(2000));
    EXPECT_EQ(slider.Value(), 400);
    EXPECT_EQ(events, (std::vector<std::string>{"down1", "scrolled1", "up1", "scrolled1"}));
}

TEST_F(Slider, PointerSizeFromAFraction)
{
    UC_Slider slider;
    slider.SetNoArrow(1);
    Place(slider, 3000, 300);
    slider.Init();
    slider.SetPointerSize(1.0f);
    EXPECT_EQ(slider.PointerSize(), 2793) << "95 % of the 2940-twip track";
    EXPECT_EQ(slider.TrackLength(), 2940 - 2793);
    slider.SetValue(0);
    // 2793 twips are 186 pixels; the pointer ends with its dark edge.
    const QImage wide = TrackImage(slider);
    EXPECT_EQ(wide.pixel(185, 8) & 0xFFFFFF, static_cast<unsigned>(GetSysColor(platform::Color3dDkShadow)));
    EXPECT_NE(wide.pixel(186, 8), wide.pixel(185, 8));
    testsupport::SaveToGallery(slider.grab().toImage(), "slider-pointer-95-percent", 3);

    slider.SetPointerSize(0.001f);
    EXPECT_EQ(slider.PointerSize(), 8 * 15) << "never under 8 pixels";
    slider.SetPointerSizeTwips(960);
    EXPECT_EQ(slider.TrackLength(), 2940 - 960);
}

TEST_F(Slider, PressOutsideThePointerCentresItAndInsideKeepsTheGrip)
{
    UC_Slider slider;
    slider.SetNoArrow(1);
    Place(slider, 3000, 300);
    slider.Init();
    slider.SetValue(0);
    Record(slider);

    // 1500 twips is outside the pointer at 0..480: the pointer centres on it.
    Press(Track(slider), AlongTrack(1500));
    EXPECT_EQ(slider.PointerPosition(), 1500 - 240);
    EXPECT_EQ(slider.Value(), std::lround(1260 * 1000 / 2460.0));
    EXPECT_TRUE(slider.Clicked());
    Move(Track(slider), AlongTrack(1800));
    EXPECT_EQ(slider.PointerPosition(), 1800 - 240);
    Move(Track(slider), AlongTrack(1800)); // the same place: no step
    Release(Track(slider), AlongTrack(1800));
    EXPECT_FALSE(slider.Clicked());
    EXPECT_EQ(events, (std::vector<std::string>{"down1", "scrolled1", "scrolled1", "up1", "scrolled1"}));

    // Grabbing the pointer 90 twips after its start keeps that point under the mouse.
    events.clear();
    Press(Track(slider), AlongTrack(1560 + 90));
    EXPECT_EQ(slider.PointerPosition(), 1560);
    Move(Track(slider), AlongTrack(1560 + 90 + 300));
    EXPECT_EQ(slider.PointerPosition(), 1860);
    // Moves without the left button do nothing.
    Move(Track(slider), AlongTrack(600), Qt::NoButton);
    EXPECT_EQ(slider.PointerPosition(), 1860);
    Release(Track(slider), AlongTrack(600));

    // Other buttons report up and down only.
    events.clear();
    Press(Track(slider), AlongTrack(300), Qt::RightButton);
    Release(Track(slider), AlongTrack(300), Qt::RightButton);
    EXPECT_EQ(slider.PointerPosition(), 1860);
    EXPECT_EQ(events, (std::vector<std::string>{"down2", "up2"}));

    events.clear();
    DoubleClick(Track(slider), AlongTrack(300));
    EXPECT_EQ(events, (std::vector<std::string>{"dbl", "scrolled1"}));
}

TEST_F(Slider, RefuseInputRaisesNothing)
{
    UC_Slider slider;
    Place(slider, 3000, 270);
    slider.SetRefuseInput(true);
    slider.Init();
    slider.SetValue(500);
    Record(slider);
    Press(Track(slider), AlongTrack(100));
    Move(Track(slider), AlongTrack(900));
    Release(Track(slider), AlongTrack(900));
    DoubleClick(Track(slider), AlongTrack(900));
    Press(Arrow(slider, 1), QPoint(5, 5));
    Release(Arrow(slider, 1), QPoint(5, 5));
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(slider.Value(), 500);
    EXPECT_FALSE(slider.Clicked());
}

class SliderArrows : public testsupport::ClockFixture {
protected:
    int savedTwips = basic::TwipsPerPixel;
    SliderArrows() { basic::TwipsPerPixel = 15; }
    ~SliderArrows() override { basic::TwipsPerPixel = savedTwips; }

    static controls::SurfaceBox& Arrow(UC_Slider& slider, int index)
    {
        return *slider.findChild<controls::SurfaceBox*>(QStringLiteral("PictureArrow%1").arg(index));
    }
    // Lays out a horizontal slider with arrows: 3000 by 270 twips.
    void Prepare(UC_Slider& slider)
    {
        platform::MoveTwips(slider, 0, 0, 3000, 270);
        slider.Init();
        slider.SetValue(0);
        slider.Scrolled = [this](int) { scrolledAt.push_back(Elapsed()); };
        slider.MouseUD = [this](bool down, int button) {
            upDown.push_back(std::string(down ? "down" : "up") + std::to_string(button));
        };
    }
    std::int64_t Elapsed() const { return clock.MsOfDay() - start; }

    std::int64_t start = clock.MsOfDay();
    std::vector<std::int64_t> scrolledAt;
    std::vector<std::string> upDown;
};

TEST_F(SliderArrows, StepOnThePressAndEvery200MsWhileHeld)
{
    UC_Slider slider;
    Prepare(slider);
    Press(Arrow(slider, 1), QPoint(9, 9));
    EXPECT_EQ(slider.Value(), 10) << "the press itself steps once";
    EXPECT_TRUE(slider.Clicked());
    clock.Advance(199);
    EXPECT_EQ(slider.Value(), 10);
    clock.Advance(1);
    EXPECT_EQ(slider.Value(), 20);
    clock.Advance(800);
    EXPECT_EQ(slider.Value(), 60);
    testsupport::SaveToGallery(slider.grab().toImage(), "slider-horizontal-arrow1-held", 3);
    Release(Arrow(slider, 1), QPoint(9, 9));
    EXPECT_FALSE(slider.Clicked());
    clock.Advance(1000);
    EXPECT_EQ(slider.Value(), 60) << "the release stops the repeat";
    EXPECT_EQ(scrolledAt, (std::vector<std::int64_t>{0, 200, 400, 600, 800, 1000}));
    EXPECT_EQ(upDown, (std::vector<std::string>{"up1"})) << "an arrow press raises no MouseUD";

    // Arrow 0 steps down by SmallChange.
    slider.SetSmallChange(25);
    Press(Arrow(slider, 0), QPoint(9, 9));
    clock.Advance(200);
    Release(Arrow(slider, 0), QPoint(9, 9));
    EXPECT_EQ(slider.Value(), 10);
}

TEST_F(SliderArrows, HeldAtMaxKeepsRaisingScrolled)
{
    UC_Slider slider;
    Prepare(slider);
    slider.SetValue(1000);
    Press(Arrow(slider, 1), QPoint(9, 9));
    clock.Advance(600);
    EXPECT_EQ(slider.Value(), 1000);
    EXPECT_EQ(scrolledAt, (std::vector<std::int64_t>{0, 200, 400, 600}));
    // Other buttons neither step nor stop the repeat; their release reports up.
    Press(Arrow(slider, 1), QPoint(9, 9), Qt::RightButton);
    Release(Arrow(slider, 1), QPoint(9, 9), Qt::RightButton);
    clock.Advance(200);
    EXPECT_EQ(scrolledAt.size(), 5u);
    Release(Arrow(slider, 1), QPoint(9, 9));
    EXPECT_EQ(upDown, (std::vector<std::string>{"up2", "up1"}));
}

TEST_F(SliderArrows, DoubleClickIsAFurtherPress)
{
    UC_Slider slider;
    Prepare(slider);
    Press(Arrow(slider, 1), QPoint(9, 9));
    Release(Arrow(slider, 1), QPoint(9, 9));
    DoubleClick(Arrow(slider, 1), QPoint(9, 9));
    EXPECT_EQ(slider.Value(), 20);
    clock.Advance(200);
    EXPECT_EQ(slider.Value(), 30);
    Release(Arrow(slider, 1), QPoint(9, 9));
    clock.Advance(400);
    EXPECT_EQ(slider.Value(), 30);
}

TEST_F(SliderArrows, DisabletrimArrowsIgnoreTheMouseAndShowNoGlyph)
{
    UC_Slider plain;
    Prepare(plain);
    UC_Slider trimless;
    trimless.SetDisabletrim(true);
    Prepare(trimless);
    // The glyph of arrow 1 sits at x 6, y 4 of the 18-pixel button: black
    // released, white pressed, absent with Disabletrim.
    const auto glyph = [](UC_Slider& slider) { return Arrow(slider, 1).Picture().Image().pixel(7, 8) & 0xFFFFFF; };
    EXPECT_EQ(glyph(plain), 0u);
    EXPECT_NE(glyph(trimless), 0u);
    Press(Arrow(plain, 1), QPoint(9, 9));
    EXPECT_EQ(glyph(plain), 0xFFFFFFu);
    Release(Arrow(plain, 1), QPoint(9, 9));
    EXPECT_EQ(glyph(plain), 0u);

    upDown.clear();
    Press(Arrow(trimless, 1), QPoint(9, 9));
    clock.Advance(400);
    Release(Arrow(trimless, 1), QPoint(9, 9));
    EXPECT_EQ(trimless.Value(), 0);
    EXPECT_TRUE(upDown.empty());
}

TEST_F(SliderArrows, GalleryOfDesigns)
{
    struct Design {
        const char* name;
        int vertical;
        int noGrad;
        bool centerLined;
        int noArrow;
    };
    for (const Design design :
         {Design{"slider-horizontal", 0, 0, false, 0}, Design{"slider-vertical", 1, 0, false, 0},
          Design{"slider-horizontal-nograd", 0, 1, false, 0}, Design{"slider-vertical-centerlined", 1, 0, true, 0},
          Design{"slider-horizontal-nograd-centerlined", 0, 1, true, 1}}) {
        UC_Slider slider;
        slider.SetIsVertical(design.vertical);
        slider.SetNoGrad(design.noGrad);
        slider.SetCenterLined(design.centerLined);
        if (design.noArrow != 0) {
            slider.SetNoArrow(1);
        }
        if (design.vertical != 0) {
            platform::MoveTwips(slider, 0, 0, 270, 2400);
        } else {
            platform::MoveTwips(slider, 0, 0, 2400, 270);
        }
        slider.Init();
        slider.SetValue(300);
        testsupport::SaveToGallery(slider.grab().toImage(), design.name, 3);
    }
}

} // namespace
