#pragma once

#include <array>
#include <cstdint>

// The default keyboard keys of the sound buttons: the digit row and the three
// letter rows of the keyboard laid over the top-left corner of each output's
// grid of buttons (buttons numbered row by row).
namespace parms {

inline constexpr int KeySets = 4;         // one per output
inline constexpr int ButtonsPerSet = 100; // buttons of a page

// Key code (virtual-key code) per key set and button at index set + 4 x
// button; 0 means no key.
extern std::array<std::int32_t, KeySets * ButtonsPerSet> KeyAssign;
// The keypad codes of the first grid row's buttons, shared by all sets.
extern std::array<std::int32_t, ButtonsPerSet> NumpadKeyAssign;

// Fills the keys of one set for a grid of the given number of columns: first
// every key of the set is cleared, then the rows 1..0, Q..P, A..L and Z..M go
// to the leftmost columns of the first four grid rows (and keypad 1..0 to the
// first row's buttons). Sets outside 0..3 and columns below 1 change nothing.
void SetDefaultButtonKeys(int set, int columns);

} // namespace parms
