#include "mainwindow/LayoutTypes.h"
#include "mainwindow/WindowLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using WindowLayout::Input;
using WindowLayout::Point;
using WindowLayout::Rect;
using WindowLayout::Result;

constexpr int TwipsPerPixel = 15;

int Snap(double twips)
{
    return static_cast<int>(twips) / TwipsPerPixel * TwipsPerPixel;
}

// The first output's row as the strip, status panel and page selector
// set-ups leave it: strip, status panels 90 twips right of it, the page
// selector 120 twips right of those, the list area and the grid starting
// under the strip's left edge.
Input Window(float sizeFactor)
{
    Input in;
    const int m = Snap(90 * sizeFactor);
    in.UnitHeight = m;
    in.UnitGap = 2 * TwipsPerPixel;
    const int rowHeight = Snap(915 * sizeFactor);
    in.anchors.Module = {m, 0, Snap(5325 * sizeFactor), rowHeight};
    in.anchors.LEDs = {in.anchors.Module.Right() + m, 0, Snap(1020 * sizeFactor), rowHeight};
    in.anchors.Page = {in.anchors.LEDs.Right() + 120, 0, Snap(4830 * sizeFactor), rowHeight};
    in.anchors.Current = {m, 0, 6000, rowHeight};
    in.anchors.Ctrl = {m, rowHeight + in.UnitGap, Snap(5100 * sizeFactor), Snap(330 * sizeFactor)};
    in.anchors.List = {m, 0, 6000, 3000};
    in.anchors.ButtonWidth = static_cast<int>(118 * sizeFactor + 0.5F) * TwipsPerPixel;
    in.anchors.ButtonHeight = static_cast<int>(113 * sizeFactor + 0.5F) * TwipsPerPixel;
    in.ContentLeft = m;
    for (auto& out : in.Outputs) {
        out.IndicatorCount = 3;
    }
    return in;
}

void SetOutputs(Input& in, std::vector<bool> lists, int columns = 8, int rows = 4)
{
    in.NumOut = static_cast<int>(lists.size());
    in.ListOutputCount = 0;
    std::array<std::int32_t, 4> isList{};
    for (std::size_t i = 0; i < lists.size(); ++i) {
        in.Outputs[i].IsList = lists[i];
        in.Outputs[i].ModuleX = lists[i] ? 0 : columns;
        in.Outputs[i].ModuleY = lists[i] ? 0 : rows;
        isList[i] = lists[i] ? 1 : 0;
        in.ListOutputCount += lists[i] ? 1 : 0;
    }
    in.LayoutType = LayoutTypes::Choose(in.NumOut, isList, 1, 1);
}

// The smallest inner window in which every grid has its buttons' width and
// the status panels and page selector fit beside each other in every column,
// with room for every list to be 1200 twips high.
void SizeToNaturalSize(Input& in)
{
    const Rect& page = in.anchors.Page;
    const int g = in.UnitHeight;
    const int l = in.anchors.List.Left;
    int width = 0;
    int height = 0;
    for (int i = 0; i < in.NumOut; ++i) {
        const auto& out = in.Outputs[static_cast<std::size_t>(i)];
        const int row = in.anchors.LEDs.Right() + g + page.Width - l;
        const int gridWidth = out.ModuleX * in.anchors.ButtonWidth + (out.ModuleX - 1) * g;
        const int need = std::max(row, out.IsList ? in.anchors.Ctrl.Width : gridWidth);
        const int columns = LayoutTypes::Columns(in.LayoutType, out.IsList);
        const int gaps[] = {0, 1, 4, 9, 14};
        width = std::max(width, columns * need + l + gaps[columns] * g);
        const int content = out.IsList
                                ? in.anchors.Current.Height + in.anchors.Ctrl.Height + 1200 + 6 * g
                                : out.ModuleY * in.anchors.ButtonHeight + (out.ModuleY - 1) * in.UnitGap + 2 * g;
        height += page.Height + g + content + 4 * g;
    }
    in.ScaleWidth = width + 120;
    in.ScaleHeight = height + 1000;
}

bool Overlap(const Rect& a, const Rect& b)
{
    return a.Left < b.Right() && b.Left < a.Right() && a.Top < b.Bottom() && b.Top < a.Bottom();
}

Rect Bounds(const std::vector<Rect>& parts)
{
    Rect all = parts.front();
    for (const Rect& r : parts) {
        const int right = std::max(all.Right(), r.Right());
        const int bottom = std::max(all.Bottom(), r.Bottom());
        all.Left = std::min(all.Left, r.Left);
        all.Top = std::min(all.Top, r.Top);
        all.Width = right - all.Left;
        all.Height = bottom - all.Top;
    }
    return all;
}

// Every element an output shows.
std::vector<Rect> Parts(const Input& in, const Result& result, int output)
{
    const auto& out = in.Outputs[static_cast<std::size_t>(output)];
    const auto& place = result.Outputs[static_cast<std::size_t>(output)];
    const WindowLayout::Anchors& a = in.anchors;
    std::vector<Rect> parts{{place.Module.X, place.Module.Y, a.Module.Width, a.Module.Height},
                            {place.LEDs.X, place.LEDs.Y, a.LEDs.Width, a.LEDs.Height}};
    if (out.ShowPage) {
        parts.push_back({place.Page.X, place.Page.Y, a.Page.Width, a.Page.Height});
    }
    if (out.IsList) {
        if (in.ShowCurrent) {
            parts.push_back(place.Current);
        }
        if (in.ShowCtrl) {
            parts.push_back(place.Ctrl);
        }
        parts.push_back(place.List);
    } else {
        for (const Point& button : place.Buttons) {
            parts.push_back({button.X, button.Y, a.ButtonWidth, a.ButtonHeight});
        }
    }
    return parts;
}

void ExpectSeparateAndInside(const Input& in, const Result& result)
{
    std::vector<Rect> areas;
    for (int i = 0; i < in.NumOut; ++i) {
        SCOPED_TRACE(testing::Message() << "output " << i);
        const Rect area = Bounds(Parts(in, result, i));
        EXPECT_GE(area.Left, 0);
        EXPECT_GE(area.Top, 0);
        EXPECT_LE(area.Right(), result.PictureAll.Width);
        EXPECT_LE(area.Bottom(), result.PictureAll.Height);
        if (in.Outputs[static_cast<std::size_t>(i)].IsList) {
            EXPECT_GE(result.Outputs[static_cast<std::size_t>(i)].List.Height, WindowLayout::MinListHeight);
        }
        for (std::size_t j = 0; j < areas.size(); ++j) {
            EXPECT_FALSE(Overlap(area, areas[j])) << "overlaps output " << j;
        }
        areas.push_back(area);
    }
}

// One configuration per layout type (lists marked true).
std::vector<std::vector<bool>> Arrangements()
{
    return {
        {false, true, false},       // 0: mixed, no arrangement fits
        {false, false},             // 1
        {true, true},               // 2
        {false, true, true},        // 3
        {true, true, false},        // 4
        {false, false, true},       // 5
        {true, false, false},       // 6
        {false, false, false},      // 7
        {true, true, true},         // 8
        {false, true, true, true},  // 9
        {true, true, true, false},  // 10
        {false, false, false, false}, // 11
        {true, true, true, true},   // 12
    };
}

TEST(WindowLayout, PictureAllLeavesItsMarginsAroundItCentred)
{
    Input in = Window(1.0F);
    SetOutputs(in, {false});
    in.ScaleWidth = 15000;
    in.ScaleHeight = 12000;
    const Result result = WindowLayout::Compute(in);
    EXPECT_EQ(result.PictureAll, (Rect{60, 300, 14880, 11400}));
}

TEST(WindowLayout, TheDefaultGridHasItsPitchesAndStartsBelowThePageSelector)
{
    Input in = Window(1.0F);
    SetOutputs(in, {false});
    SizeToNaturalSize(in);
    ASSERT_EQ(in.anchors.ButtonWidth, 1770);
    ASSERT_EQ(in.anchors.ButtonHeight, 1695);
    const Result result = WindowLayout::Compute(in);
    const std::vector<Point>& buttons = result.Outputs[0].Buttons;
    ASSERT_EQ(buttons.size(), 32u);
    // First button at the content's left edge, one unit below the selector.
    EXPECT_EQ(buttons[0], (Point{90, 915 + 90}));
    for (int b = 1; b < 8; ++b) {
        EXPECT_EQ(buttons[static_cast<std::size_t>(b)].X - buttons[static_cast<std::size_t>(b - 1)].X, 1860);
        EXPECT_EQ(buttons[static_cast<std::size_t>(b)].Y, buttons[0].Y);
    }
    for (int r = 1; r < 4; ++r) {
        EXPECT_EQ(buttons[static_cast<std::size_t>(8 * r)].Y - buttons[static_cast<std::size_t>(8 * (r - 1))].Y, 1725);
        EXPECT_EQ(buttons[static_cast<std::size_t>(8 * r)].X, buttons[0].X);
    }
}

TEST(WindowLayout, ButtonsNumberedDownTheColumnsFillAColumnFirst)
{
    WindowLayout::GridShape grid{3, 4, 1770, 1695, 30, 90, 0};
    const std::vector<Point> places = WindowLayout::ButtonPlaces(grid, 90, 1005);
    ASSERT_EQ(places.size(), 12u);
    EXPECT_EQ(places[1], (Point{90, 1005 + 1725}));
    EXPECT_EQ(places[3], (Point{90, 1005 + 3 * 1725}));
    EXPECT_EQ(places[4], (Point{90 + 1860, 1005}));
    EXPECT_EQ(places[11], (Point{90 + 2 * 1860, 1005 + 3 * 1725}));
}

TEST(WindowLayout, AGridOfMoreThanAPagePlacesOnlyItsFirstHundredButtons)
{
    WindowLayout::GridShape grid{20, 10, 100, 100, 30, 90, 1};
    const std::vector<Point> places = WindowLayout::ButtonPlaces(grid, 0, 0);
    ASSERT_EQ(places.size(), 100u);
    EXPECT_EQ(places[99], (Point{19 * 190, 4 * 130}));
    grid.ButtonHorizon = 0;
    EXPECT_EQ(WindowLayout::ButtonPlaces(grid, 0, 0).size(), 100u);
}

TEST(WindowLayout, EveryLayoutTypeKeepsTheOutputsApartAndInsideAtItsNaturalSize)
{
    const auto arrangements = Arrangements();
    for (const float sizeFactor : {1.0F, 1.3F}) {
        for (std::size_t layout = 0; layout < arrangements.size(); ++layout) {
            SCOPED_TRACE(testing::Message() << "layout type " << layout << ", size factor " << sizeFactor);
            Input in = Window(sizeFactor);
            SetOutputs(in, arrangements[layout]);
            ASSERT_EQ(in.LayoutType, static_cast<int>(layout));
            SizeToNaturalSize(in);
            ExpectSeparateAndInside(in, WindowLayout::Compute(in));
            // Larger still, in both directions.
            in.ScaleWidth += 4000;
            in.ScaleHeight += 3000;
            ExpectSeparateAndInside(in, WindowLayout::Compute(in));
        }
    }
}

TEST(WindowLayout, WithoutPanelToolsOrPageSelectorsTheOutputsStayApart)
{
    const auto arrangements = Arrangements();
    for (std::size_t layout = 0; layout < arrangements.size(); ++layout) {
        SCOPED_TRACE(testing::Message() << "layout type " << layout);
        Input in = Window(1.0F);
        SetOutputs(in, arrangements[layout]);
        in.ShowCurrent = false;
        in.ShowCtrl = false;
        for (auto& out : in.Outputs) {
            out.ShowPage = false;
            out.IndicatorCount = 0;
        }
        SizeToNaturalSize(in);
        ExpectSeparateAndInside(in, WindowLayout::Compute(in));
    }
}

TEST(WindowLayout, FourGridsOfFourByFourSideBySideInAWideScreen)
{
    Input in = Window(1.0F);
    SetOutputs(in, {false, false, false, false}, 4, 4);
    ASSERT_EQ(in.LayoutType, 11);
    in.ScaleWidth = 2560 * TwipsPerPixel;
    in.ScaleHeight = (1440 - 25) * TwipsPerPixel;
    const Result result = WindowLayout::Compute(in);
    ExpectSeparateAndInside(in, result);
    for (int i = 0; i < 4; ++i) {
        const auto& buttons = result.Outputs[static_cast<std::size_t>(i)].Buttons;
        ASSERT_EQ(buttons.size(), 16u);
        // Side by side: every grid on the same rows, each right of the last.
        EXPECT_EQ(buttons[0].Y, result.Outputs[0].Buttons[0].Y);
        if (i > 0) {
            EXPECT_GT(buttons[0].X, result.Outputs[static_cast<std::size_t>(i - 1)].Buttons[3].X + in.anchors.ButtonWidth);
        }
    }
}

TEST(WindowLayout, ASmallWindowKeepsTheNaturalSizesInsteadOfScaling)
{
    Input in = Window(1.0F);
    SetOutputs(in, {false, true});
    in.LayoutType = 0;
    in.ScaleWidth = 6000;
    in.ScaleHeight = 4000;
    const Result result = WindowLayout::Compute(in);
    EXPECT_EQ(result.Outputs[1].List.Height, WindowLayout::MinListHeight);
    const auto& buttons = result.Outputs[0].Buttons;
    ASSERT_EQ(buttons.size(), 32u);
    EXPECT_EQ(buttons[1].X - buttons[0].X, 1860);
    EXPECT_EQ(buttons[8].Y - buttons[0].Y, 1725);
}

TEST(WindowLayout, OneBelowTheOtherTheGridKeepsItsHeightAndTheListsShareTheRest)
{
    Input in = Window(1.0F);
    SetOutputs(in, {true, false, true});
    // Lists 1 and 3 with a grid between: no arrangement fits.
    ASSERT_EQ(in.LayoutType, 0);
    SizeToNaturalSize(in);
    const Result before = WindowLayout::Compute(in);
    ExpectSeparateAndInside(in, before);
    EXPECT_EQ(before.Outputs[0].List.Height, before.Outputs[2].List.Height);
    // 2000 twips more: each list grows by half of it, the grid moves down
    // by what the first list grew and keeps its size.
    in.ScaleHeight += 2000;
    const Result after = WindowLayout::Compute(in);
    EXPECT_EQ(after.Outputs[0].List.Height - before.Outputs[0].List.Height, 1000);
    EXPECT_EQ(after.Outputs[2].List.Height - before.Outputs[2].List.Height, 1000);
    EXPECT_EQ(after.Outputs[1].Buttons[0].Y - before.Outputs[1].Buttons[0].Y, 1000);
    EXPECT_EQ(after.Outputs[1].Buttons[8].Y - after.Outputs[1].Buttons[0].Y, 1725);
}

TEST(WindowLayout, TheListBelowTwoGridsStartsUnderTheTallerOne)
{
    Input in = Window(1.0F);
    SetOutputs(in, {false, false, true});
    ASSERT_EQ(in.LayoutType, 5);
    in.Outputs[0].ModuleY = 6;
    in.Outputs[1].ModuleY = 2;
    SizeToNaturalSize(in);
    const Result result = WindowLayout::Compute(in);
    const Point lastOfFirstGrid = result.Outputs[0].Buttons.back();
    EXPECT_GT(result.Outputs[2].Module.Y, lastOfFirstGrid.Y + in.anchors.ButtonHeight);
    ExpectSeparateAndInside(in, result);
}

TEST(WindowLayout, AFrameLiesOneUnitOutsideTheListOrTheButtonsOfAColouredOutput)
{
    Input in = Window(1.0F);
    SetOutputs(in, {false, true});
    in.Outputs[0].FrameColor = 0x0000FF;
    in.Outputs[1].FrameColor = 0;
    SizeToNaturalSize(in);
    Result result = WindowLayout::Compute(in);
    const auto& grid = result.Outputs[0];
    ASSERT_TRUE(grid.HasFrame);
    EXPECT_EQ(grid.Frame.Left, grid.Buttons.front().X - 90);
    EXPECT_EQ(grid.Frame.Top, grid.Buttons.front().Y - 90);
    EXPECT_EQ(grid.Frame.Right(), grid.Buttons.back().X + 1770 + 90);
    EXPECT_EQ(grid.Frame.Bottom(), grid.Buttons.back().Y + 1695 + 90);
    EXPECT_FALSE(result.Outputs[1].HasFrame);

    in.Outputs[1].FrameColor = 0x20FF10;
    result = WindowLayout::Compute(in);
    const auto& list = result.Outputs[1];
    ASSERT_TRUE(list.HasFrame);
    EXPECT_EQ(list.Frame, (Rect{list.List.Left - 90, list.List.Top - 90, list.List.Width + 180, list.List.Height + 180}));
}

TEST(WindowLayout, ASingleListFillsTheHeightButStaysInsidePictureAll)
{
    for (const float sizeFactor : {1.0F, 1.3F}) {
        SCOPED_TRACE(sizeFactor);
        Input in = Window(sizeFactor);
        SetOutputs(in, {true});
        in.ScaleWidth = 20000;
        in.ScaleHeight = 15000;
        const Result result = WindowLayout::Compute(in);
        const Rect& list = result.Outputs[0].List;
        EXPECT_LE(list.Bottom(), result.PictureAll.Height);
        EXPECT_GE(list.Bottom(), result.PictureAll.Height - 2 * in.UnitHeight);
        EXPECT_EQ(list.Width, result.PictureAll.Width - in.anchors.List.Left - in.UnitHeight);
    }
}

TEST(WindowLayout, APageSelectorThatDoesNotFitBesideTheStatusPanelsGoesBelowThem)
{
    Input in = Window(1.0F);
    SetOutputs(in, {true, true});
    ASSERT_EQ(in.LayoutType, 2);
    in.ScaleWidth = 15000; // columns of about 7000 twips
    in.ScaleHeight = 15000;
    const Result result = WindowLayout::Compute(in);
    const auto& first = result.Outputs[0];
    EXPECT_EQ(first.Page.X, in.anchors.List.Left);
    EXPECT_EQ(first.Page.Y, in.anchors.LEDs.Bottom() + in.UnitHeight);
    // The panel goes below the selector, as wide as the column.
    EXPECT_EQ(first.Current.Left, in.anchors.List.Left);
    EXPECT_EQ(first.Current.Width, first.ColumnWidth);
    EXPECT_GE(first.Current.Top, first.Page.Y + in.anchors.Page.Height);
}

} // namespace
