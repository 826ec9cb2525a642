#pragma once

#include "mainwindow/OutputStripGeometry.h"
#include "platform/SysColors.h"

#include <optional>

// The colours of the page selectors, status panels and player strips. The
// operator chooses the state colours by number (PlayColor_<n>: 0 green,
// 1 orange, 2 red, 3 blue); HiColor 1 asks for brighter, purer variants.
// Colours are &HBBGGRR values.
namespace StripColours {

using platform::Color;

enum class StateHue { Green, Orange, Red, Blue };

// The hue of a state colour (parms::StateColor); none for another colour.
std::optional<StateHue> HueOf(Color stateColour);

// Selected page button, by the playing colour.
Color SelectedPageButton(StateHue playing, int hiColor);
// Built-in text panel colour set of a hue: the lit look of the page title
// (alert colour) and of the counter (playing colour).
int StdColorSetOf(StateHue hue);
// Position bar: the shaded bar's colour (hiColor 0) or the flat bar's.
Color PositionBar(StateHue playing, int hiColor);

// A colour set of a status panel: text, and the two background colours.
struct PanelColours {
    Color Text = 0;
    Color Back1 = 0;
    Color Back2 = 0;
};
// Unlit look (set 0) of a panel kind.
PanelColours UnlitPanel(StripGeometry::PanelKind kind, int hiColor);
// Lit look (set 1); none for the shell panel, which is never lit. standbyHue
// is the standby colour (PlayColor_2); other kinds ignore it.
std::optional<PanelColours> LitPanel(StripGeometry::PanelKind kind, int hiColor, std::optional<StateHue> standbyHue);

} // namespace StripColours
