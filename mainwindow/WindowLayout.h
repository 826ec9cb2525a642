#pragma once

#include "platform/SysColors.h"

#include <array>
#include <vector>

// Where every output's areas go when the main window changes size: a
// measurement pass (column width, page selector, current-item panel, grid top
// and the height each output's fixed parts take), the share of the free
// height for the play lists, and a placement pass that stacks the outputs
// beside or below each other by the layout type. Pure functions of twips
// values; the window reads its anchors, calls Compute and moves its controls.
namespace WindowLayout {

struct Point {
    int X = 0;
    int Y = 0;
    bool operator==(const Point&) const = default;
};

struct Rect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
    bool operator==(const Rect&) const = default;
};

// The lowest height of a play list; a smaller window lets lists reach past it
// rather than shrink them further.
inline constexpr int MinListHeight = 1200;
// A grid shows at most this many buttons (one page of the assign table).
inline constexpr int MaxGridButtons = 100;

// Element 0 of the per-output arrays as the settings apply left them, in
// twips inside PictureAll: every output is placed relative to these.
struct Anchors {
    Rect Module;         // PictureModule(0), the first output strip
    Rect LEDs;           // PictureLEDs(0), the status panels
    Rect Page;           // PicturePage(0), the page selector
    Rect Current;        // PictureCurrent(0), the current-item panel
    Rect Ctrl;           // CtrlButton(0), the list tool buttons
    Rect List;           // LV(0); its Left is the left edge of every output column
    int ButtonWidth = 0; // TolvButton(0)
    int ButtonHeight = 0;
};

struct OutputSettings {
    bool IsList = false;
    bool ShowPage = true;
    int IndicatorCount = 0;
    int ModuleX = 0;
    int ModuleY = 0;
    platform::Color FrameColor = 0; // 0: no frame
};

struct Input {
    int ScaleWidth = 0; // the window's inner size, twips
    int ScaleHeight = 0;
    int LayoutType = 0;
    int NumOut = 1;
    int ListOutputCount = 0;
    int ButtonOrderHorizon = 1;
    int ButtonHorizon = 1;
    int UnitHeight = 90; // G: the margin unit
    int UnitGap = 30;    // between button rows
    int ContentLeft = 0;
    // Strips per output: the three players of a fading output each have one,
    // UnitHeight apart one under another from the output's strip place.
    int PlayersPerOutput = 1;
    bool ShowCurrent = true;
    bool ShowCtrl = true;
    Anchors anchors;
    std::array<OutputSettings, 4> Outputs{};
};

struct OutputPlace {
    int ColumnWidth = 0;
    Point Module; // strip panel
    Point LEDs;   // status panels
    Point Page;   // page selector
    // List outputs.
    Rect Current; // current-item panel (height: the anchor's)
    Rect Ctrl;    // tool buttons
    Rect List;
    // Grid outputs: the place of button b at element b.
    std::vector<Point> Buttons;
    // The frame one unit outside the list or the buttons (drawn when the
    // output has a colour).
    Rect Frame;
    bool HasFrame = false;
};

struct Result {
    Rect PictureAll; // inside the window's inner area
    std::array<OutputPlace, 4> Outputs{};
};

struct GridShape {
    int ModuleX = 0;
    int ModuleY = 0;
    int ButtonWidth = 0;
    int ButtonHeight = 0;
    int UnitGap = 0;       // between rows
    int UnitHeight = 0;    // between columns
    int ButtonHorizon = 1; // 1 numbers across the rows, 0 down the columns
};

// The place of every button of a grid whose first button is at (x, y), in
// button order; at most MaxGridButtons.
std::vector<Point> ButtonPlaces(const GridShape& grid, double x, double y);

Result Compute(const Input& input);

} // namespace WindowLayout
