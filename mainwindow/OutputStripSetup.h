#pragma once

#include "mainwindow/OutputStripGeometry.h"

class FrmMain;
struct MainState;

// The player strips of the main window: one panel per player slot with its
// counter, position bar, transport buttons, meters, fader and sliders. The
// settings apply lays strip 0 out (every strip when only the display size
// changes), places the first output's row, then walks the slots: each slot's
// strip is created (full build) and configured before its player is made.
namespace OutputStrips {

// The sizes of the build as the settings apply computed them.
StripGeometry::Scale ScaleOf(const MainState& state);
// What the strip's controls depend on, from the state and the back-end.
StripGeometry::StripFeatures FeaturesOf(const MainState& state);

// Sizes and places the strip controls and the first output's row, keeps the
// framed meter background and sets ContentLeft.
void LayOut(FrmMain& window, int displayOnly);
// Full build: creates the elements of strip index (index > 0) as copies of
// strip 0.
void CreateStrip(FrmMain& window, int index);
// Places strip index below the ones before and configures its controls.
// Sets CounterTitle of the slot.
void SetUpStrip(FrmMain& window, int index);
// Clears the meter holder of strip index and copies the framed background
// into it.
void DrawVUGradient(FrmMain& window, int index);

// The sizes of an output's parts as this build makes them, for the layout
// of the whole window: the page selector frame, the status panel strip and
// one strip panel; StripColumnHeight is what the strips of one output take
// (three strips one under another on the three-player back-ends).
struct AreaSizes {
    double PageFrameWidth = 0;
    double PageFrameHeight = 0;
    double LedsWidth = 0;
    double LedsHeight = 0;
    double StripWidth = 0;
    double StripHeight = 0;
    double StripColumnHeight = 0;
};
AreaSizes NaturalSizes(const MainState& state);

} // namespace OutputStrips
