#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The sizes of the sound-button grids: columns and rows per output, the
// button size for the display and which elements of the one button array
// (output x buttons per output + button) exist.
namespace ButtonGridRules {

inline constexpr int MaxButtons = 100; // one page of the assign table

struct ModuleSize {
    int X = 1;
    int Y = 1;
    // Held back to 100 buttons (the stored values asked for more).
    bool Held = false;
};

// Columns and rows from the stored values: 0 or less becomes 1, each is held
// to 100, and a product above 100 takes the rows down to 100 div columns, so
// no grid has more buttons than a page.
ModuleSize HoldModule(int storedX, int storedY);

// A stored button size in pixels for the display: x the size factor,
// rounded half to even, held to lowest..highest.
int ButtonPixels(int stored, float sizeFactor, int lowest, int highest);

struct Plan {
    std::array<std::int32_t, 4> ModuleX{};
    std::array<std::int32_t, 4> ModuleY{};
    std::array<std::int32_t, 4> Buttons{}; // per output; 0 for a list
    std::int32_t MaxButtons = 0;           // the largest grid: the stride of the array
};

// The plan of numOut outputs from their (already held) sizes; list outputs
// get no buttons.
Plan MakePlan(int numOut, const std::array<std::int32_t, 4>& isList, const std::array<ModuleSize, 4>& sizes);

// The element indexes of every button of every grid output, ascending.
std::vector<int> Elements(const Plan& plan, int numOut, const std::array<std::int32_t, 4>& isList);

} // namespace ButtonGridRules
