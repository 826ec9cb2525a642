#pragma once

#include "platform/SysColors.h"

#include <cstdint>
#include <optional>

// Colour arithmetic on &HBBGGRR values: splitting, composing, brightness
// shifts, shades of the system button colours and the fixed text panel
// schemes.
namespace basic {

using platform::Color;

// red = colour mod 256, green = (colour div 256) mod 256, blue = colour div
// 65536. A system colour (&H800000xx) is split as the colour it stands for.
void SplitRgb(Color colour, std::int16_t& red, std::int16_t& green, std::int16_t& blue);

// Each channel limited to 0..255.
Color MakeRgb(std::int32_t red, std::int32_t green, std::int32_t blue);

// With factor exactly -1 the deltas are added to the channels; otherwise
// every channel is multiplied by factor and the deltas are ignored. Channels
// are limited to 0..255 and rounded half to even.
Color ShiftColor(Color colour, std::int32_t dRed, std::int32_t dGreen, std::int32_t dBlue, float factor);

// Shades of the system colours, computed once: 0 white, 1 a light face,
// 2 the shadow, 3 a dark face. 0 for another index.
Color SysColor(int index);

struct SchemeColors {
    Color back;
    Color fore;
};

// The background and text colours of text panel scheme -1..6 (-1 takes the
// given colours); nothing for another scheme.
std::optional<SchemeColors> ColorsOfScheme(int scheme, Color foreColour, Color backColour);

// Gives the control (anything with SetBackColor and SetForeColor) the colours
// of a scheme; another scheme leaves both colours as they are.
template <class Control> void SetColorsByIndex(Control& control, int scheme, Color foreColour, Color backColour)
{
    if (const auto colours = ColorsOfScheme(scheme, foreColour, backColour)) {
        control.SetBackColor(colours->back);
        control.SetForeColor(colours->fore);
    }
}

} // namespace basic
