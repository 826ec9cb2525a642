#include "controls/UC_Fader.h"
#include "SmallControlsMouse.h"
#include "controls/SurfaceBox.h"
#include "platform/TwipsGeometry.h"
#include "support/Gallery.h"
#include "support/TwipsFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace smallcontrols;

// 15 twips per pixel: a fader 600 by 3000 twips (40 by 200 pixels) with 20-pixel
// knobs has a track 2940 twips high and 2640 twips of knob travel; knob A is
// (40 - 6) / 2 = 17 pixels wide, so the right column starts at 255 twips.
class Fader : public testsupport::TwipsFixture {
protected:
    void Prepare(UC_Fader& fader, int type = 0, bool showLR = false)
    {
        platform::MoveTwips(fader, 0, 0, 600, 3000);
        fader.SetFaderType(type);
        fader.SetShowLR(showLR ? 1 : 0);
        fader.SetPointerSize(300);
        fader.Init(1, 1);
        fader.LevelChanged = [this] { events.push_back("level"); };
        fader.Hovered = [this] { events.push_back("hover"); };
        fader.DblClicked = [this] { events.push_back("dbl"); };
        fader.AltChanged = [this](int l, int r, int mode) {
            events.push_back("alt" + std::to_string(l) + "," + std::to_string(r) + "," + std::to_string(mode));
        };
        fader.MouseUp = [this](int button, int shift, double x, double y) {
            events.push_back("up" + std::to_string(button) + "/" + std::to_string(shift) + "@" +
                             std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y)));
        };
    }
    static controls::SurfaceBox& Track(UC_Fader& fader) { return *fader.findChild<controls::SurfaceBox*>("PicFader"); }
    // The pixels of the right column (x 19..37).
    static QImage RightColumn(UC_Fader& fader) { return Track(fader).Picture().Image().copy(19, 0, 19, 200); }
    static QImage LeftColumn(UC_Fader& fader) { return Track(fader).Picture().Image().copy(2, 0, 17, 200); }
    // Pixel rows of twips positions.
    static QPoint Left(int yTwips) { return {5, yTwips / 15}; }
    static QPoint Right(int yTwips) { return {30, yTwips / 15}; }

    std::vector<std::string> events;
};

TEST_F(Fader, WithoutRangeOrTrackNothingHappens)
{
    UC_Fader fresh; // all values 0, as created
    fresh.SetValueL(10);
    fresh.Draw(100, 2);
    fresh.SetLinked(1);
    EXPECT_EQ(fresh.ValueL(), 0);
    EXPECT_EQ(fresh.ValueR(), 0);

    UC_Fader typed;
    typed.SetFaderType(1); // bounds but no track yet
    typed.Draw(100, 0);
    EXPECT_EQ(typed.ValueL(), 0);
    platform::MoveTwips(typed, 0, 0, 0, 0);
    typed.Init(1, 1); // no room and no knob height
    typed.SetValueL(500);
    typed.Draw(100, 0);
    EXPECT_EQ(typed.ValueL(), 0);
    typed.SetFaderType(2);
    EXPECT_EQ(typed.Max(), 1000) << "an unknown type leaves the bounds";
    EXPECT_EQ(typed.Min(), 0);
}

TEST_F(Fader, PositionsAndValues)
{
    UC_Fader fader;
    Prepare(fader);
    ASSERT_EQ(fader.TrackLength(), 2640);
    EXPECT_EQ(fader.PointerSize(), 300);

    fader.Draw(1320, 0);
    EXPECT_EQ(fader.ValueL(), 128) << "127.5 rounds half to even";
    fader.Draw(-50, 1);
    EXPECT_EQ(fader.ValueR(), 255);
    fader.Draw(4000, 0);
    EXPECT_EQ(fader.ValueL(), 0);
    fader.Draw(0, 2);
    EXPECT_EQ(fader.ValueL(), 255);
    EXPECT_EQ(fader.ValueR(), 255);

    // Values above Max are clamped; the stored value is the one the knob's
    // position gives back: 100 lies at round(2640 / 255 x 155) = 1605.
    fader.SetValueL(300);
    EXPECT_EQ(fader.ValueL(), 255);
    fader.SetValueR(100);
    EXPECT_EQ(fader.ValueR(), 100);
    fader.SetValueL(-4);
    EXPECT_EQ(fader.ValueL(), 0);
    EXPECT_EQ(fader.ValueR(), 100) << "unlinked, one value moves one knob";
}

TEST_F(Fader, DraggingPastTheEndsStoresTheBounds)
{
    UC_Fader fader;
    Prepare(fader);
    fader.SetValueL(0);
    fader.SetValueR(0);
    // The knob drawn last lies at the bottom (2640..2940): grabbed at its centre.
    Press(Track(fader), Left(2790));
    EXPECT_EQ(fader.Clicked(), 1);
    EXPECT_EQ(fader.ValueL(), 0);
    Move(Track(fader), Left(1500));
    // The grip (150 twips into the knob) stays under the mouse: knob at 1350.
    EXPECT_EQ(fader.ValueL(), 125) << "(2640 - 1350) x 255 / 2640 = 124.6";
    Move(Track(fader), {5, -30});
    EXPECT_EQ(fader.ValueL(), 255);
    const QImage atTop = LeftColumn(fader);
    Move(Track(fader), {5, 250});
    EXPECT_EQ(fader.ValueL(), 0);
    Release(Track(fader), {5, 250});
    EXPECT_EQ(fader.Clicked(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"level", "level", "level", "level", "up1/0@75,3750"}));

    // At the top the knob is drawn from the track's first row: its raised
    // face is lighter than the groove background there.
    EXPECT_NE(atTop.pixel(1, 2), LeftColumn(fader).pixel(1, 2));
}

TEST_F(Fader, ADragInOneColumnNeverMovesTheOtherKnob)
{
    UC_Fader fader;
    Prepare(fader);
    fader.SetValueR(200);
    fader.SetValueL(0);
    const QImage right = RightColumn(fader);
    Press(Track(fader), Left(2790));
    Move(Track(fader), Left(2000));
    Move(Track(fader), Right(900)); // crosses into the right column
    Move(Track(fader), Right(-300));
    Release(Track(fader), Right(-300));
    EXPECT_EQ(fader.ValueL(), 255);
    EXPECT_EQ(fader.ValueR(), 200);
    EXPECT_EQ(RightColumn(fader), right);
    testsupport::SaveToGallery(fader.grab().toImage(), "fader-unlinked-left-top-right-200", 3);

    // And the other way round.
    const QImage left = LeftColumn(fader);
    Press(Track(fader), Right(1200));
    Move(Track(fader), Left(2400));
    Release(Track(fader), Left(2400));
    EXPECT_EQ(fader.ValueL(), 255);
    EXPECT_NE(fader.ValueR(), 200);
    EXPECT_EQ(LeftColumn(fader), left);
}

TEST_F(Fader, TheGripTestUsesTheKnobDrawnLast)
{
    UC_Fader fader;
    Prepare(fader);
    fader.SetValueL(255); // knob at 0..300
    fader.SetValueR(0);   // drawn last, at 2640..2940
    // A press 225 twips down the left knob: outside the right knob's span, so
    // the knob centres on the mouse and jumps to 75.
    Press(Track(fader), Left(225));
    EXPECT_EQ(fader.ValueL(), 248) << "(2640 - 75) x 255 / 2640 = 247.8";
    Release(Track(fader), Left(225));
}

TEST_F(Fader, LinkedKnobsMoveAsOne)
{
    UC_Fader fader;
    Prepare(fader);
    fader.SetValueL(50);
    fader.SetValueR(200);
    fader.SetLinked(1);
    EXPECT_EQ(fader.ValueR(), 50) << "linking draws both at the left value";
    fader.SetValueR(100);
    EXPECT_EQ(fader.ValueL(), 100);
    Press(Track(fader), Right(600));
    Move(Track(fader), {5, -2}, Qt::LeftButton, Qt::AltModifier);
    EXPECT_EQ(fader.ValueL(), 255);
    EXPECT_EQ(fader.ValueR(), 255);
    // The press centred the knob at 450 (value 211.5 -> 212); the Alt drag
    // to the top reports the change of both values since.
    EXPECT_EQ(events, (std::vector<std::string>{"level", "level", "alt43,43,0"}));
    Release(Track(fader), {5, -2});
    testsupport::SaveToGallery(fader.grab().toImage(), "fader-linked-top", 3);
}

TEST_F(Fader, RightClicksToggleTheLinkUnlessLocked)
{
    UC_Fader fader;
    Prepare(fader);
    fader.SetValueL(30);
    fader.SetValueR(90);
    Click(Track(fader), Left(100), Qt::RightButton);
    EXPECT_EQ(fader.Linked(), 1);
    EXPECT_EQ(fader.ValueR(), 30);
    Press(Track(fader), Left(100), Qt::RightButton, Qt::AltModifier);
    Release(Track(fader), Left(100), Qt::RightButton, Qt::AltModifier);
    EXPECT_EQ(fader.Linked(), 0);
    EXPECT_EQ(events.back(), "alt0,0,1");

    // Link lock 1: no toggle, and Linked 0 is ignored.
    fader.LockLinked();
    EXPECT_EQ(fader.Linked(), 1);
    Click(Track(fader), Left(100), Qt::RightButton);
    EXPECT_EQ(fader.Linked(), 1);
    fader.SetLinked(0);
    EXPECT_EQ(fader.Linked(), 1);
    Press(Track(fader), Left(100), Qt::RightButton, Qt::AltModifier);
    Release(Track(fader), Left(100), Qt::RightButton, Qt::AltModifier);
    EXPECT_EQ(events.back(), "alt0,0,0");

    // LinkDisabled with true: right clicks still do not toggle, the owner may unlink.
    UC_Fader owned;
    Prepare(owned);
    owned.SetLinkDisabled(-1);
    EXPECT_EQ(owned.Linked(), 1);
    Click(Track(owned), Left(100), Qt::RightButton);
    EXPECT_EQ(owned.Linked(), 1);
    owned.SetLinked(0);
    EXPECT_EQ(owned.Linked(), 0);
    Click(Track(owned), Left(100), Qt::RightButton);
    EXPECT_EQ(owned.Linked(), 0);

    UC_Fader lockedByOne;
    Prepare(lockedByOne);
    lockedByOne.SetLinkDisabled(1);
    lockedByOne.SetLinked(0);
    EXPECT_EQ(lockedByOne.Linked(), 1);
}

TEST_F(Fader, LockedOrHeldIgnoresValuesAndLockedIgnoresTheMouse)
{
    UC_Fader fader;
    Prepare(fader);
    fader.SetValueL(10);
    fader.SetLocked(1);
    fader.SetValueL(20);
    EXPECT_EQ(fader.ValueL(), 10);
    Press(Track(fader), Left(100));
    Move(Track(fader), Left(300));
    Move(Track(fader), Left(600), Qt::NoButton);
    Release(Track(fader), Left(300));
    DoubleClick(Track(fader), Left(300));
    Click(Track(fader), Left(300), Qt::RightButton);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(fader.ValueL(), 10);
    EXPECT_EQ(fader.Clicked(), 0);
    EXPECT_EQ(fader.Linked(), 0);

    fader.SetLocked(0);
    Press(Track(fader), Left(1000));
    const int dragged = fader.ValueL();
    fader.SetValueL(20);
    EXPECT_EQ(fader.ValueL(), dragged) << "the user's drag wins";
    Release(Track(fader), Left(1000));
    fader.SetValueL(20);
    EXPECT_EQ(fader.ValueL(), 20);
}

TEST_F(Fader, HoverDoubleClickAndAltMode)
{
    UC_Fader fader;
    Prepare(fader);
    fader.SetValueL(100);
    fader.SetValueR(100);
    Move(Track(fader), Left(500), Qt::NoButton);
    EXPECT_EQ(events, (std::vector<std::string>{"hover"}));

    events.clear();
    Press(Track(fader), Left(500), Qt::LeftButton, Qt::AltModifier);
    Release(Track(fader), Left(500), Qt::LeftButton, Qt::AltModifier);
    DoubleClick(Track(fader), Left(500), Qt::LeftButton, Qt::AltModifier);
    Release(Track(fader), Left(500), Qt::LeftButton, Qt::AltModifier);
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[0], "level");
    EXPECT_EQ(events[1].rfind("alt", 0), 0u);
    EXPECT_EQ(events[2], "up1/4@75,495");
    EXPECT_EQ(events[3], "alt0,0,0");
    EXPECT_EQ(events[4], "dbl");
    EXPECT_EQ(events[5], "alt0,0,2");
}

TEST_F(Fader, Gallery)
{
    UC_Fader withLabels;
    Prepare(withLabels, 1, true);
    withLabels.SetValueL(800);
    withLabels.SetValueR(300);
    testsupport::SaveToGallery(withLabels.grab().toImage(), "fader-showlr-800-300", 3);

    UC_Fader flat;
    platform::MoveTwips(flat, 0, 0, 600, 3000);
    flat.SetFaderType(0);
    flat.SetPointerSize(300);
    flat.Init(1, 5);
    flat.SetLinked(1);
    flat.SetValueL(128);
    testsupport::SaveToGallery(flat.grab().toImage(), "fader-linked-style5-128", 3);
}

} // namespace
