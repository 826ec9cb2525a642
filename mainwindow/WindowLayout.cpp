#include "mainwindow/WindowLayout.h"

#include "mainwindow/LayoutTypes.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <cstddef>

namespace WindowLayout {

namespace {

int Round(double value)
{
    return static_cast<int>(numeric::RoundToInt64(value));
}

std::size_t Slot(int output)
{
    return static_cast<std::size_t>(output);
}

// What the measurement pass keeps of an output.
struct Measure {
    int columnWidth = 0;
    Point page;
    Rect current;
    int gridTop = 0;
    int areaBottom = 0; // from the top of the status panels
};

int ColumnWidth(const Input& in, int output)
{
    const int w = in.ScaleWidth - 120;
    const int l = in.anchors.List.Left;
    const int g = in.UnitHeight;
    switch (LayoutTypes::Columns(in.LayoutType, in.Outputs[Slot(output)].IsList)) {
    case 2:
        return Round((w - l - 4.0 * g) / 2.0);
    case 3:
        return Round((w - l - 8.0 * g - g) / 3.0);
    case 4:
        return Round((w - l - 12.0 * g - 2.0 * g) / 4.0);
    default:
        return w - l - g;
    }
}

Measure MeasureOutput(const Input& in, int output)
{
    const Anchors& a = in.anchors;
    const OutputSettings& out = in.Outputs[Slot(output)];
    const int g = in.UnitHeight;
    const int l = a.List.Left;
    Measure m;
    m.columnWidth = ColumnWidth(in, output);
    int x = out.IndicatorCount != 0 ? a.LEDs.Right() + g : a.LEDs.Left;
    int y = a.LEDs.Top;
    if (out.ShowPage) {
        const bool mayDrop = out.IsList || ((in.LayoutType == 1 || in.LayoutType == 7 || in.LayoutType == 11) &&
                                            in.ButtonOrderHorizon == 1);
        // A selector that does not fit beside the status panels within the
        // column goes below them.
        if (mayDrop && l + m.columnWidth < a.Page.Width + x) {
            y = a.Page.Height + y + g;
            x = l;
        }
        m.page = {x, y};
        x = x + g + a.Page.Width;
    }
    if (out.IsList) {
        const int shown = in.ShowCurrent ? 1 : 0;
        if (!in.ShowCurrent || l + m.columnWidth < x + g + a.Page.Width) {
            m.current = {l, y + g + a.Page.Height, m.columnWidth, a.Current.Height};
        } else {
            m.current = {x, y, l + m.columnWidth - (x + g), a.Current.Height};
        }
        m.areaBottom = (a.Current.Height + g) * shown + m.current.Top + 2 * g;
        if (in.ShowCtrl) {
            m.areaBottom += a.Ctrl.Height + g;
        }
    } else {
        m.gridTop = y + g + a.Page.Height;
        m.areaBottom = a.ButtonHeight * out.ModuleY + m.gridTop + g + (out.ModuleY - 1) * in.UnitGap;
    }
    return m;
}

// The height every list gets by the layout type, before the lower limit.
std::array<int, 4> ListHeights(const Input& in, const std::array<Measure, 4>& m)
{
    const int h = in.ScaleHeight - 400;
    const int g = in.UnitHeight;
    const auto b = [&m](int output) { return m[Slot(output)].areaBottom; };
    std::array<int, 4> heights{};
    switch (in.LayoutType) {
    case 0:
        if (in.ListOutputCount > 0) {
            int sum = 0;
            for (int i = 0; i < in.NumOut; ++i) {
                sum += b(i);
            }
            const int share = (h - (in.NumOut - 1) * 4 * g - sum) / in.ListOutputCount;
            heights.fill(share);
        }
        break;
    case 1:
    case 2:
    case 7:
    case 8:
    case 11:
    case 12:
        for (int i = 0; i < in.NumOut; ++i) {
            heights[Slot(i)] = h - b(i) - g;
        }
        break;
    case 3:
        for (int i = 1; i <= 2; ++i) {
            heights[Slot(i)] = h - (b(0) + 4 * g) - b(i) - g;
        }
        break;
    case 4:
        for (int i = 0; i <= 1; ++i) {
            heights[Slot(i)] = h - (b(2) + 4 * g) - b(i);
        }
        break;
    case 5:
        heights[2] = h - (std::max(b(0), b(1)) + 4 * g) - b(2) - g;
        break;
    case 6:
        heights[0] = h - (std::max(b(1), b(2)) + 4 * g) - b(0);
        break;
    case 9:
        for (int i = 1; i <= 3; ++i) {
            heights[Slot(i)] = h - (b(0) + 4 * g) - b(i) - g;
        }
        break;
    case 10:
        for (int i = 0; i <= 2; ++i) {
            heights[Slot(i)] = h - (b(3) + 4 * g) - b(i);
        }
        break;
    default:
        break;
    }
    return heights;
}

// Bottom of an output's buttons below the top of its status panels.
int GridBottom(const Input& in, const Measure& m, int output)
{
    const int rows = in.Outputs[Slot(output)].ModuleY;
    return in.anchors.ButtonHeight * rows + m.gridTop + (rows - 1) * in.UnitGap;
}

} // namespace

std::vector<Point> ButtonPlaces(const GridShape& grid, double x, double y)
{
    std::vector<Point> places;
    const int count = std::min(grid.ModuleX * grid.ModuleY, MaxGridButtons);
    if (count <= 0) {
        return places;
    }
    places.resize(static_cast<std::size_t>(count));
    const double columnPitch = grid.ButtonWidth + grid.UnitHeight;
    const double rowPitch = grid.ButtonHeight + grid.UnitGap;
    if (grid.ButtonHorizon == 1) {
        for (int b = 0; b < count; ++b) {
            const int row = b / grid.ModuleX;
            const int column = b - row * grid.ModuleX;
            places[static_cast<std::size_t>(b)] = {Round(columnPitch * column + x), Round(rowPitch * row + y)};
        }
    } else {
        for (int b = 0; b < count; ++b) {
            const int column = b / grid.ModuleY;
            const int row = b - column * grid.ModuleY;
            // The top grows by whole twips from button to button.
            int top = Round(y);
            for (int r = 0; r < row; ++r) {
                top = Round(top + rowPitch);
            }
            places[static_cast<std::size_t>(b)] = {Round(columnPitch * column + x), top};
        }
    }
    return places;
}

Result Compute(const Input& in)
{
    Result result;
    const Anchors& a = in.anchors;
    const int g = in.UnitHeight;
    result.PictureAll.Width = in.ScaleWidth - 120;
    result.PictureAll.Height = in.ScaleHeight - 600;
    result.PictureAll.Left = std::max(0, (in.ScaleWidth - result.PictureAll.Width) / 2);
    result.PictureAll.Top = std::max(0, (in.ScaleHeight - result.PictureAll.Height) / 2);

    const int numOut = std::clamp(in.NumOut, 0, 4);
    std::array<Measure, 4> measures{};
    for (int i = 0; i < numOut; ++i) {
        measures[Slot(i)] = MeasureOutput(in, i);
    }
    const std::array<int, 4> heights = ListHeights(in, measures);

    int dx = 0;
    int dy = 0;
    for (int i = 0; i < numOut; ++i) {
        const OutputSettings& out = in.Outputs[Slot(i)];
        const Measure& m = measures[Slot(i)];
        OutputPlace& place = result.Outputs[Slot(i)];
        place.ColumnWidth = m.columnWidth;
        place.Module = {a.Module.Left + dx, a.Module.Top + dy};
        place.LEDs = {a.LEDs.Left + dx, a.LEDs.Top + dy};
        place.Page = {m.page.X + dx, m.page.Y + dy};
        int listBottomRel = 0;
        if (out.IsList) {
            const int shown = in.ShowCurrent ? 1 : 0;
            place.Current = {m.current.Left + dx, m.current.Top + dy, m.current.Width, a.Current.Height};
            const int ctrlTop = (a.Current.Height + g) * shown + m.current.Top + dy;
            place.Ctrl = {a.Ctrl.Left + dx, ctrlTop, a.Ctrl.Width, a.Ctrl.Height};
            const int listTop = in.ShowCtrl ? a.Ctrl.Height + ctrlTop + g : (a.Current.Height + g) * shown + m.current.Top + dy;
            int height = std::max(heights[Slot(i)], MinListHeight);
            // A list whose share would reach past PictureAll's bottom is cut
            // back to it (never below the lowest list height).
            const int room = result.PictureAll.Height - listTop;
            if (height > room) {
                height = std::max(room, MinListHeight);
            }
            place.List = {a.List.Left + dx, listTop, m.columnWidth, height};
            place.Frame = {place.List.Left - g, place.List.Top - g, place.List.Width + 2 * g, place.List.Height + 2 * g};
            place.HasFrame = out.FrameColor != 0;
            listBottomRel = listTop - (a.LEDs.Top + dy) + height;
        } else {
            const GridShape grid{out.ModuleX,      out.ModuleY, a.ButtonWidth,     a.ButtonHeight,
                                 in.UnitGap,       g,           in.ButtonHorizon};
            place.Buttons = ButtonPlaces(grid, in.ContentLeft + dx, m.gridTop + dy);
            if (!place.Buttons.empty()) {
                const Point first = place.Buttons.front();
                const Point last = place.Buttons.back();
                place.Frame = {first.X - g, first.Y - g, last.X + a.ButtonWidth + g - (first.X - g),
                               last.Y + a.ButtonHeight + g - (first.Y - g)};
                place.HasFrame = out.FrameColor != 0;
            }
        }

        if (LayoutTypes::NextBeside(in.LayoutType, i)) {
            dx += m.columnWidth + 4 * g;
        } else if (out.IsList) {
            dx = 0;
            dy = listBottomRel + dy + 4 * g;
        } else {
            int bottom = GridBottom(in, m, i);
            // The output below two grids side by side starts under the lower
            // of the two, so it never lies over the first grid.
            if (in.LayoutType == 5 && i == 1) {
                bottom = std::max(bottom, GridBottom(in, measures[0], 0));
            }
            dx = 0;
            dy = bottom + dy + 4 * g;
        }
    }
    return result;
}

} // namespace WindowLayout
