#pragma once

#include "mainwindow/WindowLayout.h"

#include <optional>
#include <string>

// The window's own size: the smallest inner size (twips) at which the layout
// shows every output whole: its strip, status panels and page selector, every
// button of its grid, and a list with its panels at least as wide as its tool
// buttons and page selector and MinListHeight high.
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

// The first part that lies outside PictureAll at input's size, in the
// operator's words ("output 1, button column 8"); none when all fit.
std::optional<std::string> Misfit(const WindowLayout::Input& input);

// The smallest size, in steps of step twips (one pixel), up to limit, at
// which every list is at least listHeight high too; the limit where even that
// is too small.
Size Needed(const WindowLayout::Input& input, Size limit, int step, int listHeight = WindowLayout::MinListHeight);

} // namespace WindowFit
