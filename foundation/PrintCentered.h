#pragma once

#include "platform/Surface.h"

#include <cstdint>
#include <string_view>

namespace basic {

// Where a control lies on its window, in twips.
struct ControlBounds {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
};

// Prints a caption beside a control: position 0 left near the top, 1 above at
// the left edge, 2 right near the top, 3 above centred, 4 below at the left
// edge, 5 below right-aligned, 6 left centred vertically, 7 right centred
// vertically; dx and dy (twips) move it. Any other position prints at the
// surface's print position.
void PrintCentered(platform::Surface& surface, const ControlBounds& reference, std::string_view text, int position,
                   std::int32_t dx, std::int32_t dy);

} // namespace basic
