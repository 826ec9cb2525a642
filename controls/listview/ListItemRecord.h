#pragma once

#include "controls/listview/ListCell.h"
#include "platform/SysColors.h"

#include <cstdint>
#include <vector>

namespace listview {

// Values of IsSelected.
inline constexpr std::int32_t NotSelected = 0;
inline constexpr std::int32_t Selected = 1;
// Marks the cursor item while the items are reordered.
inline constexpr std::int32_t CursorMark = 2;

// One row of the list with everything that travels with it when rows move.
struct ListItemRecord {
    std::int32_t IsSelected = NotSelected;
    std::int32_t IconType = 0;     // cell of the icon strip, -1 none
    platform::Color DispColor = 0; // text colour
    platform::Color HLine = 0;     // line on the row's top edge, 0 none
    std::vector<ListCell> Data;    // the column values
    std::vector<ListCell> Aux;     // hidden values (paths, flags, positions)
};

} // namespace listview
