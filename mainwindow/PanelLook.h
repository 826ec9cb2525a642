#pragma once

// Choices of look that the window's panels share.
namespace PanelLook {

// Bevel lines round each colour set of a text panel (the page titles, the
// status panels and the counters).
inline constexpr int FrameLines = 1;
// Background style of the volume fader's knobs (brushed metal).
inline constexpr int FaderKnobStyle = 14;
// Background style of the page selector frames and the strip panels.
inline constexpr int PanelStyle = 10;

} // namespace PanelLook
