#include "controls/ListColumnLayout.h"

#include "controls/UC_ListView.h"
#include "foundation/Settings.h"

#include <string>

namespace basic {

namespace {

std::string Key(std::string_view kind, std::string_view prefix, int column, int indexOffset)
{
    return std::string(kind) + std::string(prefix) + std::to_string(column + indexOffset + 1);
}

} // namespace

void SaveListColumnWidths(const UC_ListView& list, std::string_view prefix, int indexOffset, double sizeFactor)
{
    // A factor of 0 has no meaningful quotient; nothing is written rather than
    // an infinite width the next start would read back.
    if (sizeFactor == 0) {
        return;
    }
    for (int c = 0; c < list.NumData(); ++c) {
        SaveSetting(Key("TabWidth_", prefix, c, indexOffset), VariantText(list.TabWidth(c) / sizeFactor));
    }
}

void SaveListColumnOrder(const UC_ListView& list, std::string_view prefix, int indexOffset)
{
    for (int c = 0; c < list.NumData(); ++c) {
        SaveSetting(Key("TabOrder_", prefix, c, indexOffset), VariantText(list.TabOrder(c)));
    }
}

} // namespace basic
