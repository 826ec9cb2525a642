#pragma once

#include <string_view>

class UC_ListView;

// Saving a list view's column layout to the settings store, under the keys
// the windows read back when they build their lists.
namespace basic {

// "TabWidth_" & prefix & n = the width of column n - indexOffset - 1 divided
// by sizeFactor, for every column. Nothing without columns, or with a size
// factor of 0.
void SaveListColumnWidths(const UC_ListView& list, std::string_view prefix, int indexOffset, double sizeFactor);

// "TabOrder_" & prefix & n = the display position of column n - indexOffset - 1.
void SaveListColumnOrder(const UC_ListView& list, std::string_view prefix, int indexOffset);

} // namespace basic
