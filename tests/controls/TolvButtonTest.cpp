#include "MouseTwips.h"
#include "PictureProbe.h"
#include "controls/UC_TolvButton.h"
#include "foundation/Fonts.h"
#include "platform/DragSource.h"
#include "platform/DropTarget.h"
#include "support/Gallery.h"
#include "support/TwipsFixture.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <gmock/gmock.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using platform::Color;
using platform::Surface;
using Report = std::tuple<int, bool, int>; // mouse button, down, area (0 text, 1 lamp)

constexpr Color backgroundGrey = 0xC0C0C0;
constexpr Color faceRed = 0x0000C0;
constexpr std::array<Color, 3> lampColours{0x303030, 0x00E000, 0x00C0FF};

void FillPixels(Surface& surface, int x1, int y1, int x2, int y2, Color colour)
{
    const int p = basic::TwipsPerPixel;
    surface.Line(x1 * p, y1 * p, x2 * p, y2 * p, colour, platform::LineShape::FilledBox);
}

bool Dark(Color c)
{
    return (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF) < 200;
}

class SoundButton : public testsupport::TwipsFixture {
protected:
    SoundButton()
    {
        background.SetBackColor(backgroundGrey);
        lamps.SetBackColor(0);
        for (int i = 0; i < 3; ++i) {
            FillPixels(lamps, 8 * i, 0, 8 * i + 7, 26, lampColours[static_cast<std::size_t>(i)]);
            FillPixels(lamps, 27 * i, 0, 27 * i + 26, 26, lampColours[static_cast<std::size_t>(i)]);
        }
        button.resize(120, 60);
        button.SetPicHDC(&background);
        button.SetSelHDC(&lamps);
        button.SetBGColor(faceRed);
        button.Init();
        button.Draw(0);
        button.MouseUD = [this](int& mouseButton, bool& isDown, int& area) {
            reports.emplace_back(mouseButton, isDown, area);
        };
    }
    ~SoundButton() override { platform::SetDragHook(nullptr); }

    // A spot of the text area's top row that only the pressed look leaves.
    bool LooksPressed() const { return button.Picture().GetPixel(60, 2) != faceRed; }

    // Counts drags that reach the desktop, and what they carry.
    void WatchDrags()
    {
        platform::SetDragHook([this](QWidget& source, const platform::DragData& data, int allowed) {
            EXPECT_EQ(&source, button.CtrlhWnd());
            draggedFiles = data.Files();
            draggedEffects = allowed;
            ++drags;
            return platform::DropEffectCopy;
        });
        button.OLEStartDrag = [this](platform::DragData& data, int& allowed, int& shift) {
            data.AddFile("/sounds/jingle.wav");
            allowed = platform::DropEffectCopy;
            dragShifts.push_back(shift);
        };
    }

    Surface background{120, 90};
    Surface lamps{81, 27};
    controls::UC_TolvButton button;
    std::vector<Report> reports;
    int drags = 0;
    std::vector<std::string> draggedFiles;
    int draggedEffects = 0;
    std::vector<int> dragShifts;
};

TEST_F(SoundButton, WithNinePointFontsTheTextAreaBeginsAt480Twips)
{
    mousetwips::Click(button, 479, 450);
    mousetwips::Click(button, 480, 450);
    EXPECT_EQ(reports, (std::vector<Report>{{1, true, 1}, {1, false, 1}, {1, true, 0}, {1, false, 0}}));
}

TEST_F(SoundButton, LeftPressOnTheTextLooksPressedUntilItsRelease)
{
    testsupport::SaveToGallery(button.Picture().Image(), "tolvbutton-type0-up", 3);
    EXPECT_FALSE(LooksPressed());
    mousetwips::Press(button, 900, 450);
    EXPECT_TRUE(LooksPressed());
    EXPECT_EQ(button.Picture().GetPixel(60, 57), faceRed) << "the whole area moves down one pixel";
    testsupport::SaveToGallery(button.Picture().Image(), "tolvbutton-type0-pressed", 3);
    mousetwips::Release(button, 900, 450);
    EXPECT_FALSE(LooksPressed());
    EXPECT_EQ(reports, (std::vector<Report>{{1, true, 0}, {1, false, 0}}));
}

TEST_F(SoundButton, OtherButtonsReportWithoutThePressedLook)
{
    mousetwips::Press(button, 900, 450, Qt::RightButton);
    EXPECT_FALSE(LooksPressed());
    mousetwips::Release(button, 900, 450, Qt::RightButton);
    mousetwips::Click(button, 900, 450, Qt::MiddleButton);
    mousetwips::Click(button, 100, 450, Qt::RightButton);
    EXPECT_EQ(reports, (std::vector<Report>{
                           {2, true, 0}, {2, false, 0}, {4, true, 0}, {4, false, 0}, {2, true, 1}, {2, false, 1}}));
}

TEST_F(SoundButton, TheReleaseIsJudgedWhereTheMouseComesUp)
{
    mousetwips::Press(button, 900, 450);
    mousetwips::Release(button, 200, 450);
    EXPECT_TRUE(LooksPressed()) << "the pressed look stays until the next Draw";
    button.Draw(0);
    mousetwips::Press(button, 200, 450);
    mousetwips::Release(button, 900, 450);
    EXPECT_EQ(reports, (std::vector<Report>{{1, true, 0}, {1, false, 1}, {1, true, 1}, {1, false, 0}}));
}

TEST_F(SoundButton, AReleaseWithAModifierKeyOrWithoutAPressRaisesNothing)
{
    for (const Qt::KeyboardModifier key : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
        mousetwips::Press(button, 900, 450);
        mousetwips::Release(button, 900, 450, Qt::LeftButton, key);
    }
    mousetwips::Release(button, 900, 450);
    EXPECT_EQ(reports, (std::vector<Report>(3, {1, true, 0})));
}

TEST_F(SoundButton, ADoubleClickIsAnotherPressWhereTheLastOneWas)
{
    mousetwips::Click(button, 900, 450);
    mousetwips::DoubleClick(button, 100, 100);
    mousetwips::Release(button, 900, 450);
    EXPECT_EQ(reports, (std::vector<Report>{{1, true, 0}, {1, false, 0}, {1, true, 0}, {1, false, 0}}));
}

TEST_F(SoundButton, ADragFromTheLampStartsNinetyTwipsFromThePress)
{
    WatchDrags();
    mousetwips::Press(button, 100, 450);
    mousetwips::Move(button, 189, 450);
    mousetwips::Move(button, 100, 361);
    EXPECT_EQ(drags, 0);
    mousetwips::Move(button, 190, 450);
    EXPECT_EQ(drags, 1);
    mousetwips::Move(button, 100, 540);
    EXPECT_EQ(drags, 2);
    EXPECT_EQ(draggedFiles, std::vector<std::string>{"/sounds/jingle.wav"});
    EXPECT_EQ(draggedEffects, platform::DropEffectCopy);
    EXPECT_EQ(dragShifts, (std::vector<int>{0, 0}));
    mousetwips::Move(button, 300, 450, Qt::RightButton);
    mousetwips::Move(button, 300, 450, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(drags, 2) << "only a move with just the left button drags";
}

TEST_F(SoundButton, ADragFromTheTextNeedsShiftOrCtrl)
{
    WatchDrags();
    mousetwips::Press(button, 900, 450);
    mousetwips::Move(button, 1200, 450);
    mousetwips::Move(button, 1200, 450, Qt::LeftButton, Qt::AltModifier);
    EXPECT_EQ(drags, 0);
    mousetwips::Move(button, 1200, 450, Qt::LeftButton, Qt::ShiftModifier);
    mousetwips::Move(button, 1200, 450, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(drags, 2);
    EXPECT_EQ(dragShifts, (std::vector<int>{1, 2}));
}

TEST_F(SoundButton, ADragWithNothingToCarryIsIgnored)
{
    WatchDrags();
    button.OLEStartDrag = [](platform::DragData&, int&, int&) {};
    mousetwips::Press(button, 100, 450);
    mousetwips::Move(button, 400, 450);
    EXPECT_EQ(drags, 0);
    mousetwips::Release(button, 100, 450);
    EXPECT_EQ(reports.size(), 2u);
}

TEST_F(SoundButton, ALockedButtonIsSilentAndKeepsItsLook)
{
    WatchDrags();
    int dropped = 0;
    button.OLEDropped = [&](platform::DragData&) { ++dropped; };
    button.SetLocked(1);
    mousetwips::Press(button, 900, 450);
    EXPECT_FALSE(LooksPressed());
    mousetwips::Move(button, 1200, 450, Qt::LeftButton, Qt::ShiftModifier);
    mousetwips::Release(button, 900, 450);

    EXPECT_FALSE(mousetwips::DropFiles(*button.CtrlhWnd(), {"/sounds/a.wav"}, QPoint(60, 30)))
        << "the source learns nothing was taken";
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(drags, 0);
    EXPECT_EQ(dropped, 0);

    button.SetLocked(0);
    mousetwips::Click(button, 900, 450);
    EXPECT_EQ(reports.size(), 2u);
}

TEST_F(SoundButton, ADisabledButtonHearsNoMouse)
{
    button.setEnabled(false);
    mousetwips::Click(button, 900, 450);
    EXPECT_TRUE(reports.empty());
    EXPECT_FALSE(LooksPressed());
}

TEST_F(SoundButton, DragOversAndDropsAreReportedWithTheDroppedFiles)
{
    int overs = 0;
    std::vector<std::string> files;
    button.OLEDragOver = [&] { ++overs; };
    button.OLEDropped = [&](platform::DragData& data) { files = data.Files(); };
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/sounds/a.wav"), QUrl::fromLocalFile("/sounds/b.wav")});
    QWidget& target = *button.CtrlhWnd();
    QDragEnterEvent enter(QPoint(60, 30), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    QDragMoveEvent move(QPoint(61, 30), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &move);
    QDropEvent drop(QPointF(61, 30), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
    EXPECT_EQ(overs, 2);
    EXPECT_EQ(files, (std::vector<std::string>{"/sounds/a.wav", "/sounds/b.wav"}));
}

TEST_F(SoundButton, TheLampShowsTheActivatedCellInASunkenFrame)
{
    button.SetActivated(2);
    button.Draw(0);
    // Lamp top (900 - 27 px) / 2 = 247.5 twips: pixel row 16.
    const Surface& picture = button.Picture();
    EXPECT_EQ(picture.GetPixel(5, 16), lampColours[2]);
    EXPECT_EQ(picture.GetPixel(12, 42), lampColours[2]);
    EXPECT_EQ(picture.GetPixel(4, 15), 0x000000);
    EXPECT_EQ(picture.GetPixel(4, 42), 0x000000);
    EXPECT_EQ(picture.GetPixel(8, 15), 0x000000);
    EXPECT_EQ(picture.GetPixel(13, 30), 0xFFFFFF);
    EXPECT_EQ(picture.GetPixel(8, 43), 0xFFFFFF);
    EXPECT_EQ(picture.GetPixel(14, 43), backgroundGrey) << "the frame's bottom line ends at x = 13";
    EXPECT_EQ(button.Activated(), 2);
    testsupport::SaveToGallery(picture.Image(), "tolvbutton-type0-lamp2", 3);
    for (const int outside : {-1, 10, 2147483647}) {
        button.SetActivated(outside);
        button.Draw(0);
        EXPECT_EQ(button.Picture().GetPixel(8, 30), backgroundGrey) << "no cell " << outside << " in the strip";
        EXPECT_EQ(button.Picture().GetPixel(4, 30), 0x000000);
    }
}

TEST_F(SoundButton, TitleLinesAreCentredInTheirColumnAndEmptySlotsTakeNoLine)
{
    const QRect column(14, 0, 18, 60);
    EXPECT_TRUE(pictureprobe::Extent(button.Picture(), column, Dark).isEmpty());
    button.SetText(2, "CM");
    button.Draw(0);
    const QRect ink = pictureprobe::Extent(button.Picture(), column, Dark);
    ASSERT_FALSE(ink.isEmpty());
    // The column is centred 345 twips (23 px) from the left, the line on
    // the button's middle.
    EXPECT_NEAR(ink.center().x(), 23, 2);
    EXPECT_NEAR(ink.center().y(), 30, 3);

    button.SetText(1, "A");
    button.SetText(3, "B");
    button.Draw(0);
    const QRect three = pictureprobe::Extent(button.Picture(), column, Dark);
    EXPECT_NEAR(three.center().y(), 30, 3);
    EXPECT_GT(three.height(), 2 * ink.height());
    testsupport::SaveToGallery(button.Picture().Image(), "tolvbutton-type0-three-titles", 3);
}

TEST_F(SoundButton, AlertColourOnlyForAlertOne)
{
    button.SetBGColor(0);
    button.SetText(4, "4:30");
    button.SetNormalColor(0xFFFFFF);
    const QRect area(32, 2, 82, 55);
    for (const int alert : {0, 2, 1}) {
        button.SetAlert(alert);
        button.Draw(0);
        const bool inAlert = alert == 1;
        EXPECT_EQ(pictureprobe::Count(button.Picture(), area, 0xFFFFFF) > 0, !inAlert) << alert;
        EXPECT_EQ(pictureprobe::Count(button.Picture(), area, 0x3030C0) > 0, inAlert) << alert;
    }
    testsupport::SaveToGallery(button.Picture().Image(), "tolvbutton-type0-alert", 3);
}

TEST_F(SoundButton, TheFacePictureFillsTheTextAreaUnlessAColourIsSet)
{
    Surface face(100, 60);
    face.SetBackColor(0x20A020);
    FillPixels(face, 0, 0, 99, 3, 0xA02020);
    button.SetPic2HDC(&face);
    button.Draw(0);
    // The text area begins at 480 twips (32 px) and 2 px from the top.
    EXPECT_EQ(button.Picture().GetPixel(40, 3), faceRed);
    button.SetBGColor(0);
    button.SetText(1, "Jingle");
    button.SetText(5, "LOOP");
    button.SetText(0, "Opening theme");
    button.Draw(0);
    EXPECT_EQ(button.Picture().GetPixel(32, 2), 0xA02020);
    EXPECT_EQ(button.Picture().GetPixel(60, 34), 0x20A020);
    testsupport::SaveToGallery(button.Picture().Image(), "tolvbutton-type0-face-picture", 3);
    button.Draw(1);
    EXPECT_EQ(button.Picture().GetPixel(32, 3), 0xA02020);
}

TEST_F(SoundButton, ARedrawShowsEveryChangeOfTheOwnersPicturesAndTheButtonsState)
{
    button.SetText(1, "A");
    button.Draw(0);
    const QImage first = button.Picture().Image();
    button.Draw(0);
    EXPECT_EQ(button.Picture().Image(), first);

    // The owner repaints its background picture in place.
    FillPixels(background, 0, 0, 119, 89, 0x00FFFF);
    button.Draw(0);
    EXPECT_EQ(button.Picture().GetPixel(20, 50), 0x00FFFF);
    FillPixels(lamps, 0, 0, 7, 26, 0xFF00FF);
    button.Draw(0);
    EXPECT_EQ(button.Picture().GetPixel(6, 20), 0xFF00FF);
    button.SetActivated(1);
    button.Draw(0);
    EXPECT_EQ(button.Picture().GetPixel(6, 20), lampColours[1]);
    button.SetBGColor(0x00FF00);
    button.Draw(0);
    EXPECT_EQ(button.Picture().GetPixel(60, 30), 0x00FF00);
    button.Draw(1);
    EXPECT_NE(button.Picture().GetPixel(60, 2), 0x00FF00) << "pressed";
    button.Draw(0);
    EXPECT_EQ(button.Picture().GetPixel(60, 2), 0x00FF00);
    const QImage withA = button.Picture().Image();
    button.SetText(1, "B");
    button.Draw(0);
    EXPECT_NE(button.Picture().Image(), withA);
}

TEST_F(SoundButton, SetFontChangesTheNextDraw)
{
    const QRect area(32, 2, 82, 55);
    button.SetBGColor(0);
    button.SetText(5, "Ag");
    button.Draw(0);
    const int small = pictureprobe::Extent(button.Picture(), area, [](Color c) { return c != 0; }).height();
    button.SetFont(5, 16, true);
    button.Draw(0);
    const int large = pictureprobe::Extent(button.Picture(), area, [](Color c) { return c != 0; }).height();
    EXPECT_GT(large, small);
}

class WideSoundButton : public SoundButton {
protected:
    WideSoundButton()
    {
        button.SetButtonType(1);
        button.resize(120, 90);
        button.SetBGColor(0);
        button.Init();
        basic::SetControlFont(&measure, -2, nullptr, 9, false, false, "");
    }

    // The text area of layout 1 at 9 points: 3 px from the left, 22 px from
    // the top (2 x 67.5 + 180 twips is less than 22 px), 5 px above the bottom.
    void SizeTextAreaTo(double widthTwips) { button.resize(static_cast<int>(widthTwips) / 15 + 6, 90); }
    QRect InkRows(int top, int bottom) const
    {
        return pictureprobe::Extent(button.Picture(), QRect(3, top, button.width() - 6, bottom - top),
                                    [](Color c) { return c != 0; });
    }
    double LineHeightPx() { return measure.TextHeight("|") / 15; }

    Surface measure{10, 10};
};

TEST_F(WideSoundButton, TheTitleSlotsAreJoinedWithOneBlank)
{
    button.SetText(1, "Jingle");
    button.SetText(3, "Bed");
    button.Draw(0);
    const QImage joined = button.Picture().Image();
    testsupport::SaveToGallery(joined, "tolvbutton-type1-title", 3);
    button.SetText(1, "Jingle Bed");
    button.SetText(3, "");
    button.Draw(0);
    EXPECT_EQ(button.Picture().Image(), joined);
}

TEST_F(WideSoundButton, TextAsWideAsTheAreaStaysOnOneLine)
{
    SizeTextAreaTo(measure.TextWidth("WWWW"));
    button.Init();
    button.SetText(0, "WWWW");
    button.Draw(0);
    const int lineEnd = 23 + static_cast<int>(LineHeightPx());
    EXPECT_FALSE(InkRows(22, lineEnd).isEmpty());
    EXPECT_TRUE(InkRows(lineEnd, 85).isEmpty());
}

TEST_F(WideSoundButton, WrappingBreaksBeforeTheCharacterThatReachesTheFullWidth)
{
    SizeTextAreaTo(measure.TextWidth("WWWW"));
    button.Init();
    button.SetText(0, "WWWWW");
    button.Draw(0);
    testsupport::SaveToGallery(button.Picture().Image(), "tolvbutton-type1-wrapped", 3);
    const int lineEnd = 23 + static_cast<int>(LineHeightPx());
    const QRect first = InkRows(22, lineEnd);
    const QRect second = InkRows(lineEnd, 85);
    const int threeWide = static_cast<int>(measure.TextWidth("WWW") / 15);
    EXPECT_LE(first.right(), 5 + threeWide) << "\"WWW\" on the first line";
    EXPECT_GT(first.right(), 5 + threeWide - 4);
    EXPECT_LE(second.right(), 5 + static_cast<int>(measure.TextWidth("WW") / 15)) << "\"WW\" on the second";
    EXPECT_FALSE(second.isEmpty());
}

TEST_F(WideSoundButton, ABottomTextKeepsItsLineFreeOfTheWrappedText)
{
    button.resize(120, 90);
    button.Init();
    button.SetText(0, std::string(200, 'x'));
    const double reservePx = LineHeightPx() + 2;
    const QRect bottomLeft(3, 85 - static_cast<int>(reservePx), 40, static_cast<int>(reservePx));
    button.Draw(0);
    EXPECT_FALSE(pictureprobe::Extent(button.Picture(), bottomLeft, [](Color c) { return c != 0; }).isEmpty());
    button.SetText(4, "0:30");
    button.Draw(0);
    testsupport::SaveToGallery(button.Picture().Image(), "tolvbutton-type1-wrapped-with-time", 3);
    EXPECT_TRUE(pictureprobe::Extent(button.Picture(), bottomLeft, [](Color c) { return c != 0; }).isEmpty());
}

TEST_F(WideSoundButton, TheLampAreaIsAboveTheTextTop)
{
    // Text top 22 px = 330 twips.
    mousetwips::Click(button, 1500, 329);
    mousetwips::Click(button, 30, 330);
    EXPECT_EQ(reports, (std::vector<Report>{{1, true, 1}, {1, false, 1}, {1, true, 0}, {1, false, 0}}));
    button.SetActivated(1);
    button.Draw(0);
    // Lamp top 67.5 twips: pixel row 4; cells 27 x 12.
    EXPECT_EQ(button.Picture().GetPixel(5, 4), lampColours[1]);
    EXPECT_EQ(button.Picture().GetPixel(31, 15), lampColours[1]);
    EXPECT_EQ(button.Picture().GetPixel(32, 10), 0xFFFFFF);
    testsupport::SaveToGallery(button.Picture().Image(), "tolvbutton-type1-lamp1", 3);
}

TEST_F(SoundButton, ATinyButtonDrawsWithoutATextArea)
{
    button.resize(10, 6);
    button.Init();
    button.SetText(0, "Long text that cannot fit anywhere");
    button.Draw(0);
    mousetwips::Click(button, 30, 30);
    EXPECT_EQ(reports.size(), 2u);
}

} // namespace
