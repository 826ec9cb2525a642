#pragma once

namespace basic {

// Twips per screen pixel, copied once at start-up from the screen (15 at
// 96 DPI). Every length kept in twips becomes pixels by integer division by it.
// While it is 0 nothing that depends on it is built; tests set it.
extern int TwipsPerPixel;

} // namespace basic
