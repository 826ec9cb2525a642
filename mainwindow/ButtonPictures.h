#pragma once

#include "platform/Surface.h"

#include <array>

// The pictures every sound button copies from: the background of the whole
// button, the face of its text area, the four coloured frames of the state
// drawing and the two strips of lamp cells (tall lamps for button type 0,
// wide lamps for type 1), each cell unlit grey or lit green, orange, red or
// blue.
namespace ButtonPictures {

inline constexpr int LampCells = 5;
// Cell sizes in pixels of the two strips: type 0 tall, type 1 wide.
inline constexpr int TallLampWidth = 8;
inline constexpr int TallLampHeight = 27;
inline constexpr int WideLampWidth = 27;
inline constexpr int WideLampHeight = 12;

// The colours of a lit lamp 1..4 (green, orange, red, blue).
platform::Color LampColor(int cell);

// Outer, middle and outer colour of the frame picture of colour index 0..3
// (green, orange, red, blue); flat with HiColor.
std::array<platform::Color, 3> FrameColors(int colourIndex, bool hiColor);

// Face of the text area of a button without a colour of its own.
void PaintTextFace(platform::Surface& face);
// Background of the whole button.
void PaintButtonBackground(platform::Surface& background);
void PaintFrame(platform::Surface& frame, int colourIndex, bool hiColor);
// Sizes the strip to five cells of the type's lamp and draws them.
void DrawLampStrip(platform::Surface& strip, int buttonType);

} // namespace ButtonPictures
