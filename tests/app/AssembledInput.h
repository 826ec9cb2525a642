#pragma once

#include "AssembledFixture.h"

#include "controls/UC_Buttons.h"
#include "controls/UC_ListView.h"

namespace apptest {

// The x (pixels) of the middle of button index of a row of buttons, found as
// the operator finds it: by moving the pointer along the row until the row
// reports that button under it.
int XOfButton(controls::UC_Buttons& row, int index);

// The y (pixels) of the middle of a row of a play list's rows area.
int YOfRow(UC_ListView& list, int row);

} // namespace apptest
