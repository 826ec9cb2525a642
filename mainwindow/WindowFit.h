#pragma once

#include "mainwindow/WindowLayout.h"

#include <string>
#include <vector>

// The window's own size: the smallest inner size (twips) at which the layout
// shows every output whole: the strip of each of its players, status panels
// and page selector, every button of its grid, and a list with its panels at
// least as wide as its tool buttons and page selector and MinListHeight high.
namespace WindowFit {

struct Size {
    int ScaleWidth = 0;
    int ScaleHeight = 0;
    bool operator==(const Size&) const = default;
};

// True when the layout of input (at its own ScaleWidth x ScaleHeight) shows
// every output whole inside PictureAll.
bool Fits(const WindowLayout::Input& input);
bool FitsWidth(const WindowLayout::Input& input);
bool FitsHeight(const WindowLayout::Input& input);

// What of an output lies out of view beyond the window's right edge, or
// below its bottom, in the operator's words ("output 1, button column 8",
// "output 2, list buttons and play list", "output 1, strip 3"); a grid by its
// first column or row outside, a strip of a three-player output by its
// player's number.
struct Misfit {
    int Output = 0;
    bool Across = false; // beyond the right edge, else below the bottom
    std::string Name;
};

// What lies out of view at input's size, per output across and below; empty
// when every part is in view.
std::vector<Misfit> Misfits(const WindowLayout::Input& input);

// The smallest size, in steps of step twips (one pixel), up to limit, at
// which everything fits and every list is at least listHeight high too: as
// narrow as every part allows, unless a wider window is what lets the parts
// fit down the limit's height (a narrow list column puts its panels under the
// page selector); the limit's height where the lists cannot be listHeight
// high, and the limit where the layout does not fit at all.
Size Needed(const WindowLayout::Input& input, Size limit, int step, int listHeight = WindowLayout::MinListHeight);

} // namespace WindowFit
