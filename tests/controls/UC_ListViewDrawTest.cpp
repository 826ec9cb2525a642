// What the list view paints: rows, icons, selection, stripes, marks and the
// header; every state is also written to the gallery.
#include "controls/UC_ListView.h"
#include "controls/listview/ListIcons.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Twips.h"
#include "support/Gallery.h"
#include "support/TwipsFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int Px = 15;
constexpr platform::Color White = 0xFFFFFF;

class ListViewDrawing : public testsupport::TwipsFixture {
protected:
    // A play list: icon, title, length, path; eight items.
    void Build(const std::function<void(UC_ListView&)>& flags = {})
    {
        list.SetNumData(3);
        if (flags) {
            flags(list);
        }
        list.Init();
        list.SetOneHeight(300);
        const char* names[] = {"Title", "Length", "File"};
        for (int c = 0; c < 3; ++c) {
            list.SetTabName(c, names[c]);
            list.SetTabWidth(c, c == 1 ? 1200 : 2400);
        }
        list.SetTabAlign(1, 1);
        list.resize(420, 240);
        // Shown, so that the resize reaches the list now and not at the first grab.
        list.show();
        list.InitTab();
        const char* titles[] = {
            "Opening jingle", "News intro", "ジングル",     "Weather bed",
            "Traffic sting",  "",           "Sports theme", "Station ID long title that will not fit"};
        list.AddItem(8);
        for (int i = 0; i < 8; ++i) {
            list.SetValue(i, 0, titles[i]);
            list.SetValue(i, 1, "00:0" + std::to_string(i) + ":30");
            list.SetValue(i, 2, "/srv/sounds/" + std::to_string(i) + ".wav");
            list.SetIconType(i, i % listview::IconCount);
        }
        list.SetIconType(3, -1);
        list.Refresh();
    }
    platform::Color Pixel(int x, int y) { return list.ListArea().Picture().GetPixel(x, y); }
    int RowMiddle(int row) const { return (row * list.OneHeight() + list.OneHeight() / 2) / Px; }
    void Save(const std::string& name) { testsupport::SaveToGallery(list.grab().toImage(), name); }

    UC_ListView list;
};

TEST_F(ListViewDrawing, IconsTextAndSeparators)
{
    Build();
    // The play icon is green inside its triangle; item 3 has no icon.
    EXPECT_EQ(Pixel(2 + 7, RowMiddle(0)), platform::Rgb(0, 160, 0));
    EXPECT_EQ(Pixel(2 + 7, RowMiddle(3)), White);
    // Separators in the button-face colour at each column's right edge.
    const platform::Color face = platform::ResolveColor(platform::SystemColor(platform::ColorBtnFace));
    EXPECT_EQ(Pixel(2400 / Px - 1, 2), face);
    EXPECT_EQ(list.PaintedRows(), 8);
    Save("listview_playlist");

    list.HBarScroll(0);
    list.SetTabWidth(2, 6000);
    list.SetVbarParm();
    ASSERT_TRUE(list.HBarVisible());
    list.HBarScroll(16 * Px);
    EXPECT_EQ(Pixel(2 + 7, RowMiddle(0)), White) << "no icons once scrolled 16 pixels to the right";
    Save("listview_scrolled_right");
}

TEST_F(ListViewDrawing, SelectionTintsWithoutHidingTheText)
{
    Build();
    list.SetSelectedItem(1);
    list.SetIsSelected(2, 1);
    list.ReDraw();
    const int row = RowMiddle(1);
    EXPECT_EQ(Pixel(400 - 40, row), 0xC0A0A0) << "white background masked with the selection colour";
    bool darkText = false;
    for (int x = 22; x < 150; ++x) {
        for (int y = row - 6; y <= row + 6; ++y) {
            darkText = darkText || Pixel(x, y) == 0;
        }
    }
    EXPECT_TRUE(darkText) << "black text stays black under the mask pen";
    Save("listview_selection");

    list.SetSelectedColorMode(13);
    list.ReDraw();
    EXPECT_EQ(Pixel(60, row), 0xC0A0A0) << "with the copy pen the box covers the text";
    list.SetSelectedColorMode(9);

    list.SetInvertSelectedData(1);
    list.ReDraw();
    EXPECT_EQ(Pixel(400 - 40, row), White) << "only the selected column is tinted";
    EXPECT_EQ(Pixel(2400 / Px - 10, row), 0xC0A0A0);
}

// How many pixels of a row's title differ from the row's background.
struct RowLook {
    int textPixels = 0;
    platform::Color background = 0;
};

TEST_F(ListViewDrawing, TheSelectedRowKeepsReadableTextUnlessTheCopyPenCoversIt)
{
    // The play list's look: white text on black, a grey selection.
    Build([](UC_ListView& l) {
        l.SetSelectedColor(0x808080);
        l.SetStyle(9, 0, "", White, 0);
    });
    list.SetSelectedItem(1);
    const int row = RowMiddle(1);
    const int top = list.OneHeight() / Px + 2;
    const int bottom = 2 * list.OneHeight() / Px - 1;
    // Pixels of the title cell that differ from the selected row's
    // background, taken at the row's empty right end of the title column.
    const auto look = [&] {
        RowLook seen;
        seen.background = Pixel(2400 / Px - 4, row);
        for (int x = 22; x < 2400 / Px - 8; ++x) {
            for (int y = top; y < bottom; ++y) {
                seen.textPixels += Pixel(x, y) != seen.background ? 1 : 0;
            }
        }
        return seen;
    };
    const std::pair<int, const char*> modes[] = {{15, "merge"}, {9, "mask"}, {13, "copy"}};
    for (const auto& [mode, name] : modes) {
        list.SetSelectedColorMode(mode);
        list.ReDraw();
        const RowLook seen = look();
        Save(std::string("listview_selection_mode") + std::to_string(mode) + "_" + name);
        if (mode == 13) {
            EXPECT_EQ(seen.background, 0x808080);
            EXPECT_EQ(seen.textPixels, 0) << "the copy pen's box lies over the text";
        } else {
            EXPECT_GT(seen.textPixels, 30) << "mode " << mode << ": the selected row's text is readable";
        }
        if (mode == 15) {
            EXPECT_EQ(seen.background, 0x808080) << "black OR grey is grey";
        }
    }
    // With the merge pen white text stays white on the grey bar.
    list.SetSelectedColorMode(15);
    list.ReDraw();
    bool whiteText = false;
    for (int x = 22; x < 150 && !whiteText; ++x) {
        for (int y = top; y < bottom; ++y) {
            whiteText = whiteText || Pixel(x, y) == White;
        }
    }
    EXPECT_TRUE(whiteText);
    // Rows that are not selected keep their black background.
    EXPECT_EQ(Pixel(2400 / Px - 4, RowMiddle(3)), 0x000000);
}

TEST_F(ListViewDrawing, StripesLinesAndBlankMarks)
{
    Build([](UC_ListView& l) {
        l.SetUseMadara(1);
        l.SetBorderIfBlank(1);
    });
    list.SetHLine(2, platform::Rgb(255, 0, 0));
    list.ReDraw();
    EXPECT_EQ(Pixel(400 - 40, RowMiddle(0)), White);
    EXPECT_EQ(Pixel(400 - 40, RowMiddle(1)), platform::Rgb(204, 255, 255)) << "odd items are striped";
    EXPECT_EQ(Pixel(400 - 40, 2 * list.OneHeight() / Px), platform::Rgb(255, 0, 0)) << "a line on the row's top";
    EXPECT_EQ(Pixel(400 - 40, RowMiddle(5)), platform::Rgb(204, 255, 255) & 0xE0E0E0)
        << "item 5 has an empty title: its row is marked";
    Save("listview_stripes_lines_blank");
}

TEST_F(ListViewDrawing, NothingIsPaintedBeforeTheRowHeightIsKnown)
{
    list.SetNumData(2);
    list.Init();
    list.AddItem(3);
    list.ReDraw();
    EXPECT_EQ(list.PaintedRows(), 0);
    EXPECT_EQ(list.OneHeight(), 0);
}

TEST_F(ListViewDrawing, HeaderAndEditorsWithAndWithoutIt)
{
    Build([](UC_ListView& l) { l.SetNumAux(1); });
    list.ReDrawTab(1);
    Save("listview_header_pressed");

    UC_ListView plain;
    plain.SetNumData(2);
    plain.SetTabDisabled(1);
    plain.SetIconDisabled(1);
    plain.Init();
    plain.SetUseTextCombo(0, 1);
    plain.SetUseTextCombo(1, 2);
    plain.SetTabWidth(0, 3000);
    plain.SetTabWidth(1, 2400);
    plain.resize(400, 160);
    plain.InitTab();
    EXPECT_EQ(platform::TopTwips(plain.ListArea()), 0) << "without a header the rows start at the top";
    plain.AddItem(5);
    for (int i = 0; i < 5; ++i) {
        plain.SetValue(i, 0, "Speaker " + std::to_string(i + 1));
        plain.SetValue(i, 1, "Null " + std::to_string(i % 2 + 1));
    }
    plain.AddComboItem(1, "Null 1");
    plain.AddComboItem(1, "Null 2");
    plain.SetSelectedItem(2);
    plain.Refresh();
    EXPECT_FALSE(plain.TextEditor(0)->isHidden());
    EXPECT_FALSE(plain.ComboEditor(0)->isHidden());
    EXPECT_EQ(platform::LeftTwips(*plain.ComboEditor(0)), 3000 + 2 * Px);
    testsupport::SaveToGallery(plain.grab().toImage(), "listview_editors_no_header");
}

} // namespace
