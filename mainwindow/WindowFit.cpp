#include "mainwindow/WindowFit.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace WindowFit {

namespace {

using WindowLayout::Rect;

enum class Kind { Strip, StatusPanels, PageSelector, CurrentItem, ListTools, List, Button };

struct Part {
    Rect Place;
    Kind What = Kind::Strip;
    int Strip = 0; // which player's strip, counted from 1; 0 for an output's only strip
};

// Everything an output shows at a fixed size, plus its list, in PictureAll.
std::vector<Part> Parts(const WindowLayout::Input& in, const WindowLayout::Result& layout, int output)
{
    const WindowLayout::Anchors& a = in.anchors;
    const WindowLayout::OutputSettings& out = in.Outputs[static_cast<std::size_t>(output)];
    const WindowLayout::OutputPlace& place = layout.Outputs[static_cast<std::size_t>(output)];
    std::vector<Part> parts;
    // Every player's strip, each one strip height and a unit below the one
    // before: with three players the lower two reach below a short grid.
    const int strips = std::max(in.PlayersPerOutput, 1);
    for (int k = 0; k < strips; ++k) {
        const int top = place.Module.Y + k * (a.Module.Height + in.UnitHeight);
        parts.push_back({{place.Module.X, top, a.Module.Width, a.Module.Height}, Kind::Strip, strips > 1 ? k + 1 : 0});
    }
    if (out.IndicatorCount != 0) {
        parts.push_back({{place.LEDs.X, place.LEDs.Y, a.LEDs.Width, a.LEDs.Height}, Kind::StatusPanels});
    }
    if (out.ShowPage || output == 0) {
        parts.push_back({{place.Page.X, place.Page.Y, a.Page.Width, a.Page.Height}, Kind::PageSelector});
    }
    if (out.IsList) {
        if (in.ShowCurrent) {
            parts.push_back({place.Current, Kind::CurrentItem});
        }
        if (in.ShowCtrl) {
            parts.push_back({place.Ctrl, Kind::ListTools});
        }
        parts.push_back({place.List, Kind::List});
    } else {
        for (const WindowLayout::Point& button : place.Buttons) {
            parts.push_back({{button.X, button.Y, a.ButtonWidth, a.ButtonHeight}, Kind::Button});
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

Overflow Check(const WindowLayout::Input& in, int listHeight = WindowLayout::MinListHeight)
{
    const WindowLayout::Result layout = WindowLayout::Compute(in);
    Overflow overflow;
    for (int output = 0; output < std::clamp(in.NumOut, 0, 4); ++output) {
        const auto o = static_cast<std::size_t>(output);
        if (in.Outputs[o].IsList && layout.Outputs[o].List.Width < ListMinWidth(in)) {
            overflow.width = true;
        }
        if (in.Outputs[o].IsList && layout.Outputs[o].List.Height < listHeight) {
            overflow.height = true;
        }
        for (const Part& part : Parts(in, layout, output)) {
            overflow.width = overflow.width || part.Place.Right() > layout.PictureAll.Width;
            overflow.height = overflow.height || part.Place.Bottom() > layout.PictureAll.Height;
        }
    }
    return overflow;
}

// A button's column (across) or row (down), counted from 1 among the
// output's buttons.
int Line(const std::vector<WindowLayout::Point>& buttons, const Rect& button, bool across)
{
    std::vector<int> before;
    for (const WindowLayout::Point& other : buttons) {
        const int at = across ? other.X : other.Y;
        if (at < (across ? button.Left : button.Top) && std::find(before.begin(), before.end(), at) == before.end()) {
            before.push_back(at);
        }
    }
    return static_cast<int>(before.size()) + 1;
}

std::string Name(const Part& part, const WindowLayout::OutputPlace& place, bool across)
{
    switch (part.What) {
    case Kind::Strip:
        return part.Strip > 0 ? "strip " + std::to_string(part.Strip) : "strip";
    case Kind::StatusPanels:
        return "status panels";
    case Kind::PageSelector:
        return "page selector";
    case Kind::CurrentItem:
        return "current item";
    case Kind::ListTools:
        return "list buttons";
    case Kind::List:
        return "play list";
    case Kind::Button:
        return (across ? "button column " : "button row ") + std::to_string(Line(place.Buttons, part.Place, across));
    }
    return {};
}

// "a", "a and b", "a, b and c".
std::string Enumerated(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            text += i + 1 == names.size() ? " and " : ", ";
        }
        text += names[i];
    }
    return text;
}

// Out of the operator's view: reaching past the window's inside, or with its
// middle, where captions and faces are, hidden by PictureAll's margin. A part
// of which only an edge reaches into that margin stays in view and in use.
bool Outside(const Rect& part, const Rect& all, const WindowLayout::Input& in, bool across)
{
    if (across) {
        return all.Left + part.Right() > in.ScaleWidth || part.Left + part.Width / 2 > all.Width;
    }
    return all.Top + part.Bottom() > in.ScaleHeight || part.Top + part.Height / 2 > all.Height;
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

std::vector<Misfit> Misfits(const WindowLayout::Input& input)
{
    const WindowLayout::Result layout = WindowLayout::Compute(input);
    std::vector<Misfit> misfits;
    for (int output = 0; output < std::clamp(input.NumOut, 0, 4); ++output) {
        const auto o = static_cast<std::size_t>(output);
        const std::vector<Part> parts = Parts(input, layout, output);
        for (const bool across : {true, false}) {
            // Every kind of part outside, the buttons by their first column
            // or row outside (the ones after it lie outside too).
            std::vector<std::string> names;
            const auto add = [&names](std::string name) {
                if (std::find(names.begin(), names.end(), name) == names.end()) {
                    names.push_back(std::move(name));
                }
            };
            if (across && input.Outputs[o].IsList && layout.Outputs[o].List.Width < ListMinWidth(input)) {
                add("play list");
            }
            bool buttonNamed = false;
            for (const Part& part : parts) {
                if (!Outside(part.Place, layout.PictureAll, input, across) ||
                    (part.What == Kind::Button && buttonNamed)) {
                    continue;
                }
                buttonNamed = buttonNamed || part.What == Kind::Button;
                add(Name(part, layout.Outputs[o], across));
            }
            if (!names.empty()) {
                misfits.push_back({output, across, "output " + std::to_string(output + 1) + ", " + Enumerated(names)});
            }
        }
    }
    return misfits;
}

Size Needed(const WindowLayout::Input& input, Size limit, int step, int listHeight)
{
    step = std::max(step, 1);
    // The widths do not depend on the height, nor the fixed parts' bottoms on
    // the width but for the rows a narrow column pushes down: find the
    // narrowest width at the full height first, widened where only a wider
    // column keeps the parts within that height, then the height at that
    // width.
    Size size{limit.ScaleWidth, limit.ScaleHeight};
    for (int width = step; width <= limit.ScaleWidth; width += step) {
        if (FitsWidth(At(input, width, limit.ScaleHeight))) {
            size.ScaleWidth = width;
            break;
        }
    }
    for (int width = size.ScaleWidth; width <= limit.ScaleWidth; width += step) {
        if (FitsHeight(At(input, width, limit.ScaleHeight))) {
            size.ScaleWidth = width;
            break;
        }
    }
    for (int height = step; height <= limit.ScaleHeight; height += step) {
        if (!Check(At(input, size.ScaleWidth, height), listHeight).height) {
            size.ScaleHeight = height;
            break;
        }
    }
    return size;
}

} // namespace WindowFit
