#include "mainwindow/WindowFit.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace WindowFit {

namespace {

using WindowLayout::Rect;

// Everything an output shows at a fixed size, plus its list, in PictureAll.
std::vector<Rect> Parts(const WindowLayout::Input& in, const WindowLayout::Result& layout, int output)
{
    const WindowLayout::Anchors& a = in.anchors;
    const WindowLayout::OutputSettings& out = in.Outputs[static_cast<std::size_t>(output)];
    const WindowLayout::OutputPlace& place = layout.Outputs[static_cast<std::size_t>(output)];
    std::vector<Rect> parts;
    parts.push_back({place.Module.X, place.Module.Y, a.Module.Width, a.Module.Height});
    if (out.IndicatorCount != 0) {
        parts.push_back({place.LEDs.X, place.LEDs.Y, a.LEDs.Width, a.LEDs.Height});
    }
    if (out.ShowPage || output == 0) {
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
        for (const WindowLayout::Point& button : place.Buttons) {
            parts.push_back({button.X, button.Y, a.ButtonWidth, a.ButtonHeight});
        }
    }
    return parts;
}

// The narrowest list that still shows its tool buttons and a page selector's
// width of text.
int ListMinWidth(const WindowLayout::Input& in)
{
    return std::max({in.anchors.Ctrl.Width, in.anchors.Page.Width, 1});
}

struct Overflow {
    bool width = false;
    bool height = false;
};

Overflow Check(const WindowLayout::Input& in)
{
    const WindowLayout::Result layout = WindowLayout::Compute(in);
    Overflow overflow;
    for (int output = 0; output < std::clamp(in.NumOut, 0, 4); ++output) {
        const auto o = static_cast<std::size_t>(output);
        if (in.Outputs[o].IsList && layout.Outputs[o].List.Width < ListMinWidth(in)) {
            overflow.width = true;
        }
        for (const Rect& part : Parts(in, layout, output)) {
            overflow.width = overflow.width || part.Right() > layout.PictureAll.Width;
            overflow.height = overflow.height || part.Bottom() > layout.PictureAll.Height;
        }
    }
    return overflow;
}

WindowLayout::Input At(WindowLayout::Input input, int width, int height)
{
    input.ScaleWidth = width;
    input.ScaleHeight = height;
    return input;
}

} // namespace

bool FitsWidth(const WindowLayout::Input& input)
{
    return !Check(input).width;
}

bool FitsHeight(const WindowLayout::Input& input)
{
    return !Check(input).height;
}

bool Fits(const WindowLayout::Input& input)
{
    const Overflow overflow = Check(input);
    return !overflow.width && !overflow.height;
}

Size Needed(const WindowLayout::Input& input, Size limit, int step)
{
    step = std::max(step, 1);
    // The widths do not depend on the height, nor the fixed parts' bottoms on
    // the width but for the rows a narrow column pushes down: find the
    // width at the full height first, then the height at that width.
    Size size{limit.ScaleWidth, limit.ScaleHeight};
    for (int width = step; width <= limit.ScaleWidth; width += step) {
        if (FitsWidth(At(input, width, limit.ScaleHeight))) {
            size.ScaleWidth = width;
            break;
        }
    }
    for (int height = step; height <= limit.ScaleHeight; height += step) {
        if (FitsHeight(At(input, size.ScaleWidth, height))) {
            size.ScaleHeight = height;
            break;
        }
    }
    return size;
}

} // namespace WindowFit
