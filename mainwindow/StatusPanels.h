#pragma once

#include "mainwindow/OutputStripGeometry.h"

#include <array>
#include <cstdint>
#include <string>

class FrmMain;

// The status strip beside each output's page selector: a column of up to six
// panels (ON AIR, KEY, FADE, STBY, start timer, shell shortcut) that playback
// and remote control light (colour set 1) and unlight (set 0).
namespace StatusPanels {

// The switches of one output as the settings give them. A switch counts as
// on only when it is 1; the shell panel is on when it has a name.
struct Switches {
    std::array<bool, StripGeometry::PanelKinds> Shown{};
    std::string ShellName;

    int Count() const;
};

// Reads the switches of output (0..3). FADE is never shown on the back-ends
// with one player per output nor without the volume control; STBY never on
// a play-list output.
Switches ReadSwitches(int output, std::int32_t singlePlayer, std::int32_t useVol, std::int32_t isList);

// Reads the switches of every output into the window's flags (DispONAIR,
// DispKEY, DispFADE, DispSTBY, the start timers' enabled flags,
// IndicatorCount) and builds the strips of outputs 0..NumOut-1; a full build
// (displayOnly 0) loads the elements of outputs 1..3. Every panel is left
// unlit.
void Build(FrmMain& window, int displayOnly);

// The caption of a panel kind ("" for the timer, whose text playback writes).
std::string Caption(StripGeometry::PanelKind kind, const std::string& shellName);

} // namespace StatusPanels
