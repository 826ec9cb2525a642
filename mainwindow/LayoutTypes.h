#pragma once

#include <array>
#include <cstdint>

// The arrangements of the output areas in the main window (0..12) and what
// the window layout needs to know of each: which outputs share the width and
// whether the next output goes beside or below.
namespace LayoutTypes {

inline constexpr int Count = 13;

// Chooses the arrangement for numOut outputs (1..4) from which of them are
// lists (isList not 0) and the two order settings (1 = side by side). 0, one
// below the other, whenever no arrangement fits.
int Choose(int numOut, const std::array<std::int32_t, 4>& isList, int listOrderHorizon, int buttonOrderHorizon);

// How many columns share the width where output lies: 1 (full width), 2, 3
// or 4.
int Columns(int layoutType, bool outputIsList);

// True when the output after output stands beside it, false when it goes
// below (back to the left edge).
bool NextBeside(int layoutType, int output);

} // namespace LayoutTypes
