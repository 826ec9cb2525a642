#include "MouseTwips.h"
#include "PictureProbe.h"
#include "controls/UC_Buttons.h"
#include "foundation/Colors.h"
#include "support/Gallery.h"
#include "support/TwipsFixture.h"

#include <gmock/gmock.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using platform::Color;
using platform::Surface;

// Mouse positions inside pixel x or y of the row, in twips.
double AtPixel(int pixel)
{
    return pixel * 15.0 + 7;
}

class ButtonRow : public testsupport::TwipsFixture {
protected:
    ButtonRow()
    {
        row.resize(100, 22);
        row.SetNumButtons(3);
        row.SetMimiWidth(8);
        row.Init();
        row.ButtonDown = [this](int& i) { events.emplace_back("down", i); };
        row.ButtonClicked = [this](int& i) { events.emplace_back("click", i); };
        row.RightClicked = [this](int& i) { events.emplace_back("right", i); };
        row.ShiftClicked = [this](int& i, int& shift) { events.emplace_back("shift" + std::to_string(shift), i); };
        row.Hover = [this](int& i) { events.emplace_back("hover", i); };
    }

    // With three buttons of 27 px behind an 8-px ear and a dark line, the
    // cells begin at x = 9, 36 and 63.
    static int CellLeft(int i) { return 9 + 27 * i; }
    void Click(int xPixel, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        mousetwips::Click(row, AtPixel(xPixel), AtPixel(10), button, keys);
    }
    QImage Cell(int i) const { return row.Picture().Image().copy(CellLeft(i), 0, 27, 22); }

    controls::UC_Buttons row;
    std::vector<std::pair<std::string, int>> events;
};

using Events = std::vector<std::pair<std::string, int>>;

TEST_F(ButtonRow, TheRowSnapsToWholeButtonsBetweenItsEars)
{
    // (100 - 18) div 3 = 27 px a button; the row narrows to 99 px.
    EXPECT_EQ(row.width(), 99);
    const Surface& picture = row.Picture();
    EXPECT_EQ(picture.GetPixel(8, 5), 0x000000) << "dark line after the left ear";
    EXPECT_EQ(picture.GetPixel(98, 5), 0x000000) << "dark last column";
    EXPECT_EQ(picture.GetPixel(8, 21), 0x000000);
    EXPECT_NE(picture.GetPixel(97, 5), 0x000000);
    testsupport::SaveToGallery(picture.Image(), "buttons-design0-empty", 4);

    row.SetNumButtons(0);
    EXPECT_EQ(row.NumButtons(), 1);
    row.SetNumButtons(-4);
    EXPECT_EQ(row.NumButtons(), 1);
    row.SetNumButtons(1 << 30);
    EXPECT_EQ(row.NumButtons(), 32767) << "indexes are 16-bit";
}

TEST_F(ButtonRow, ClicksFindTheButtonByItsCellAndNotTheEars)
{
    for (const int x : {8, 9, 35, 36, 89, 90, 95}) {
        Click(x);
    }
    EXPECT_EQ(events, (Events{{"down", 0},
                              {"click", 0},
                              {"down", 0},
                              {"click", 0},
                              {"down", 1},
                              {"click", 1},
                              {"down", 2},
                              {"click", 2}}));
}

TEST_F(ButtonRow, HoverReportsEachNewButtonAndMinusOneOffThem)
{
    mousetwips::Move(row, AtPixel(12), AtPixel(5), Qt::NoButton);
    EXPECT_TRUE(events.empty()) << "the first button counts as hovered from the start";
    mousetwips::Move(row, AtPixel(40), AtPixel(5), Qt::NoButton);
    mousetwips::Move(row, AtPixel(41), AtPixel(5), Qt::NoButton);
    mousetwips::Move(row, AtPixel(3), AtPixel(5), Qt::NoButton);
    mousetwips::Move(row, AtPixel(2), AtPixel(5), Qt::NoButton);
    mousetwips::Move(row, AtPixel(70), AtPixel(5), Qt::LeftButton);
    EXPECT_EQ(events, (Events{{"hover", 1}, {"hover", -1}, {"hover", 2}}));
}

TEST_F(ButtonRow, ALeftPressShowsTheFaceMovedDownOnePixel)
{
    const QImage up = Cell(1);
    mousetwips::Press(row, AtPixel(40), AtPixel(10));
    const QImage pressed = Cell(1);
    testsupport::SaveToGallery(row.Picture().Image(), "buttons-design0-pressed", 4);
    EXPECT_EQ(row.Picture().GetPixel(CellLeft(1) + 5, 0), row.Picture().BackColor() & 0xFFFFFF);
    for (int y = 0; y < 21; ++y) {
        EXPECT_EQ(pressed.pixel(5, y + 1), up.pixel(5, y)) << y;
    }
    mousetwips::Release(row, AtPixel(40), AtPixel(10));
    EXPECT_EQ(Cell(1), up);
    EXPECT_EQ(events, (Events{{"down", 1}, {"click", 1}}));
}

TEST_F(ButtonRow, ARightClickRaisesOnlyRightClickedOnRelease)
{
    const QImage up = Cell(1);
    mousetwips::Press(row, AtPixel(40), AtPixel(10), Qt::RightButton);
    EXPECT_EQ(Cell(1), up);
    EXPECT_TRUE(events.empty());
    mousetwips::Release(row, AtPixel(40), AtPixel(10), Qt::RightButton);
    Click(40, Qt::MiddleButton);
    EXPECT_EQ(events, (Events{{"right", 1}}));
}

TEST_F(ButtonRow, ModifierKeysTurnAClickIntoAShiftClick)
{
    Click(40, Qt::LeftButton, Qt::ShiftModifier);
    Click(40, Qt::LeftButton, Qt::ControlModifier);
    Click(64, Qt::LeftButton, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(events, (Events{{"down", 1}, {"shift1", 1}, {"down", 1}, {"shift2", 1}, {"down", 2}, {"shift5", 2}}));
}

TEST_F(ButtonRow, AReleaseOutsideThePressedCellRaisesNothingAndGivesItsLookBack)
{
    const QImage up = Cell(1);
    mousetwips::Press(row, AtPixel(40), AtPixel(10));
    const QImage pressed = Cell(1);
    EXPECT_NE(pressed, up);
    mousetwips::Release(row, AtPixel(70), AtPixel(10));
    EXPECT_EQ(Cell(1), up);
    mousetwips::Press(row, AtPixel(40), AtPixel(10));
    mousetwips::Release(row, AtPixel(40), AtPixel(23));
    EXPECT_EQ(Cell(1), up);
    EXPECT_EQ(events, (Events{{"down", 1}, {"down", 1}}));
}

TEST_F(ButtonRow, ADisabledButtonIgnoresPressesAndKeepsThePressPending)
{
    row.SetButtonDisable(1, 1, 1, 0);
    const QImage up = Cell(1);
    mousetwips::Press(row, AtPixel(40), AtPixel(10));
    EXPECT_EQ(Cell(1), up);
    mousetwips::Release(row, AtPixel(40), AtPixel(10));
    EXPECT_TRUE(events.empty());
    // The press on the disabled button is still pending: once enabled, a
    // release over it clicks it.
    row.SetButtonDisable(1, 0, 1, 0);
    mousetwips::Release(row, AtPixel(40), AtPixel(10));
    EXPECT_EQ(events, (Events{{"click", 1}}));

    row.SetButtonDisable(0, 1, 0, 1);
    EXPECT_EQ(row.GetButtonDisable(0, 1), 1);
    EXPECT_EQ(row.GetButtonDisable(0, 0), 0);
    Click(12);
    EXPECT_EQ(events.size(), 1u) << "the second flag disables as well";
    EXPECT_EQ(row.GetButtonDisable(3, 1), 0);
    EXPECT_EQ(row.GetButtonDisable(-1, 0), 0);
    row.SetButtonDisable(7, 1, 1, 0);
    row.SetButtonState(-1, 1);
    row.DrawButton(3, 1);
}

TEST_F(ButtonRow, ADoubleClickIsALeftPressWhereTheLastPressWas)
{
    Click(64);
    mousetwips::DoubleClick(row, AtPixel(12), AtPixel(10));
    mousetwips::Release(row, AtPixel(64), AtPixel(10));
    EXPECT_EQ(events, (Events{{"down", 2}, {"click", 2}, {"down", 2}, {"click", 2}}));
}

TEST_F(ButtonRow, OKAndCancelInEitherOrder)
{
    row.SetOKCancel(0, 0, 0);
    EXPECT_EQ(row.GetButtonChar(0), "キャンセル");
    EXPECT_EQ(row.GetButtonChar(1), "OK");
    // 2400 x 330 twips: 160 x 22 px, two buttons of (160 - 18) div 2 = 71 px.
    EXPECT_EQ(row.width(), 160);
    EXPECT_EQ(row.height(), 22);
    testsupport::SaveToGallery(row.Picture().Image(), "buttons-okcancel-design0", 4);
    mousetwips::Click(row, AtPixel(9 + 71), AtPixel(10));
    EXPECT_EQ(events, (Events{{"down", 1}, {"click", 1}}));

    row.resize(130, 30);
    row.SetOKCancel(1, 1, 1);
    EXPECT_EQ(row.GetButtonChar(0), "OK");
    EXPECT_EQ(row.width(), 130);
    const int whiteBefore = pictureprobe::Count(row.Picture(), QRect(0, 0, 65, 30), 0xFFFFFF);
    row.SetButtonOn(0, 1, 1);
    EXPECT_GT(pictureprobe::Count(row.Picture(), QRect(0, 0, 65, 30), 0xFFFFFF), whiteBefore)
        << "design 1 lights captions white";
    testsupport::SaveToGallery(row.Picture().Image(), "buttons-okcancel-design1", 4);
}

class CaptionRow : public ButtonRow {
protected:
    CaptionRow()
    {
        row.SetDesignType(4); // a plain face, so only captions bring other colours
        row.SetFontBold(true);
        row.SetButtonCharNum();
        row.Init();
    }
    int CountIn(int i, Color colour) const
    {
        return pictureprobe::Count(row.Picture(), QRect(CellLeft(i), 0, 27, 22), colour);
    }
};

TEST_F(CaptionRow, CaptionsAreDarkLitInTheSelectedColourAndLightWhenDisabled)
{
    EXPECT_EQ(row.GetButtonChar(2), "3");
    const Color dark = basic::SysColor(3);
    const Color light = platform::GetSysColor(platform::ColorBtnHighlight);
    EXPECT_GT(CountIn(0, dark), 0);
    EXPECT_EQ(CountIn(0, light), 0);

    row.SetButtonOn(1, 1, 1);
    EXPECT_EQ(row.GetButtonOn(1), 1);
    EXPECT_GT(CountIn(1, 0x00D000), 0);
    EXPECT_EQ(CountIn(1, dark), 0);

    row.SetButtonDisable(2, 1, 1, 0);
    EXPECT_GT(CountIn(2, light), 0);
    EXPECT_EQ(CountIn(2, dark), 0);
    testsupport::SaveToGallery(row.Picture().Image(), "buttons-design4-normal-on-disabled", 4);
    row.SetNoGrayAtDisabled(1);
    row.DrawButton(2, 0);
    EXPECT_GT(CountIn(2, dark), 0);
}

TEST_F(CaptionRow, SelectingAButtonRedrawsTheOldAndTheNew)
{
    row.SetSelectedButton(2);
    EXPECT_GT(CountIn(2, 0x00D000), 0);
    row.SetSelectedColor(0xFF0000);
    row.SetSelectedButton(0);
    EXPECT_EQ(row.SelectedButton(), 0);
    EXPECT_EQ(CountIn(2, 0x00D000), 0);
    EXPECT_GT(CountIn(0, 0xFF0000), 0);
    row.SetButtonState(1, 2);
    EXPECT_GT(CountIn(1, 0xFF0000), 0) << "state 2 lights the caption without moving it";
}

TEST_F(CaptionRow, WithThreeDOnCaptionsAreLightWithADarkShadow)
{
    row.SetDisable3D(0);
    row.DrawAll();
    testsupport::SaveToGallery(row.Picture().Image(), "buttons-design4-3d", 4);
    const Color light = platform::GetSysColor(platform::ColorBtnHighlight);
    EXPECT_GT(CountIn(0, light), 0);
    EXPECT_GT(CountIn(0, basic::SysColor(3)), 0);
    const auto sum = [](Color c) { return (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF); };
    const QRect ink =
        pictureprobe::Extent(row.Picture(), QRect(CellLeft(0), 0, 27, 22), [&](Color c) { return sum(c) >= 750; });
    const QRect shadow =
        pictureprobe::Extent(row.Picture(), QRect(CellLeft(0), 0, 27, 22), [&](Color c) { return sum(c) < 300; });
    EXPECT_EQ(shadow.bottom(), ink.bottom() + 1);
    EXPECT_EQ(shadow.right(), ink.right() + 1);
}

class IconRow : public ButtonRow {
protected:
    IconRow()
    {
        row.SetButtonsMCI();
        row.Init();
    }
    int CountIn(int i, Color colour) const
    {
        return pictureprobe::Count(row.Picture(), QRect(CellLeft(i), 0, 27, 22), colour);
    }
};

TEST_F(IconRow, IconsTakeTheFaceColourAndLitIconsKeepTheirOwn)
{
    // The glyphs are drawn in grey 64 for a face of 210; on this face of
    // 192 they become round(64 x 192 / 210) = 59.
    EXPECT_GT(CountIn(0, basic::MakeRgb(59, 59, 59)), 0);
    EXPECT_EQ(CountIn(0, basic::MakeRgb(64, 64, 64)), 0);
    const Color litGreen = basic::MakeRgb(20, 190, 40);
    EXPECT_EQ(CountIn(0, litGreen), 0);
    row.DrawButton(0, 2);
    EXPECT_GT(CountIn(0, litGreen), 0);
    EXPECT_EQ(CountIn(0, basic::MakeRgb(59, 59, 59)), 0);
    row.DrawButton(2, 1);
    testsupport::SaveToGallery(row.Picture().Image(), "buttons-mci-lit-and-pressed", 4);

    // The mask lets the face show round the glyph.
    row.DrawAll();
    const QImage before = row.Picture().Image();
    row.SetButtonDisable(1, 1, 1, 0);
    EXPECT_EQ(row.Picture().Image(), before) << "disabling does not change an icon's look";
}

// A lamp the owner lit stays lit through a click its owner ignores, and
// through a press that slides off; the owner's own answer to a click wins.
TEST_F(IconRow, AClickLeavesALampAsTheOwnerLastSetIt)
{
    const Color litGreen = basic::MakeRgb(20, 190, 40);
    row.SetButtonState(0, 2);
    const QImage lit = Cell(0);
    ASSERT_GT(CountIn(0, litGreen), 0);
    Click(12);
    EXPECT_EQ(Cell(0), lit) << "ignored by the owner";
    mousetwips::Press(row, AtPixel(12), AtPixel(10));
    mousetwips::Release(row, AtPixel(70), AtPixel(10));
    EXPECT_EQ(Cell(0), lit) << "slid off";
    testsupport::SaveToGallery(row.Picture().Image(), "buttons-mci-lamp-after-ignored-click", 4);

    row.ButtonClicked = [this](int& i) { row.SetButtonState(i, 0); };
    Click(12);
    EXPECT_EQ(CountIn(0, litGreen), 0) << "put out by the owner";
    Click(12);
    EXPECT_EQ(CountIn(0, litGreen), 0) << "and it stays dark";
}

TEST_F(IconRow, ACaptionTurnsAnIconButtonIntoACaptionButton)
{
    row.SetButtonChar(0, "A");
    row.Init();
    controls::UC_Buttons plain;
    plain.resize(100, 22);
    plain.SetNumButtons(3);
    plain.SetMimiWidth(8);
    plain.SetButtonChar(0, "A");
    plain.Init();
    EXPECT_EQ(Cell(0), plain.Picture().Image().copy(CellLeft(0), 0, 27, 22));
}

TEST_F(ButtonRow, GalleryOfDesignsAndPresets)
{
    for (int design = 0; design <= 4; ++design) {
        controls::UC_Buttons pages;
        pages.resize(260, 24);
        pages.SetNumButtons(8);
        pages.SetDesignType(design);
        pages.SetButtonCharNum();
        pages.Init();
        pages.SetSelectedButton(2);
        pages.SetButtonDisable(5, 1, 1, 0);
        pages.SetButtonState(3, 1);
        testsupport::SaveToGallery(pages.Picture().Image(), "buttons-pages-design" + std::to_string(design), 3);

        controls::UC_Buttons transport;
        transport.resize(160, 26);
        transport.SetDesignType(design);
        transport.SetButtonsPCXplay();
        transport.Init();
        transport.SetButtonState(2, 2);
        testsupport::SaveToGallery(transport.Picture().Image(), "buttons-pcxplay-design" + std::to_string(design), 3);
    }
    controls::UC_Buttons editor;
    editor.resize(200, 26);
    editor.SetButtonsEditorCtrl();
    editor.Init();
    testsupport::SaveToGallery(editor.Picture().Image(), "buttons-editorctrl", 3);
    editor.SetButtonsEditorPlay();
    editor.Init();
    editor.SetButtonState(1, 2);
    testsupport::SaveToGallery(editor.Picture().Image(), "buttons-editorplay", 3);
    testsupport::SaveToGallery(editor.PiclibHdc()->Image(), "buttons-icon-library", 4);
    EXPECT_EQ(editor.PiclibHdc()->PixelWidth(), 26 * 18);
    EXPECT_EQ(editor.PiclibHdc()->PixelHeight(), 36);
}

TEST_F(ButtonRow, ARowTooNarrowForOneButtonLaysNothingOut)
{
    row.resize(17, 22);
    row.Init();
    Click(10);
    row.DrawAll();
    EXPECT_TRUE(events.empty());
}

} // namespace
