#include "audio/FormatCombos.h"

#include "audio/SampleFormats.h"
#include "platform/ComboBox.h"

#include <algorithm>
#include <string>

namespace WaveMMIO {

void FillFormatCombo(platform::ComboBox& box, int index, int highestCode)
{
    box.Clear();
    // Codes past the last one have no name; they are not listed as blank items.
    const int last = std::min(highestCode, FormatCodeCount - 1);
    for (int code = 0; code <= last; ++code) {
        box.AddItem(FormatCodeName(code));
    }
    // A box chooses its first item by itself when filled; nothing is chosen
    // until asked for.
    box.SetListIndex(-1);
    if (box.ListCount() > 0 && index >= 0) {
        box.SetListIndex(index < box.ListCount() ? index : 0);
    }
}

void FillRateCombo(platform::ComboBox& box, std::int32_t rate, std::int32_t lowest, std::int32_t highest)
{
    box.Clear();
    for (const std::int32_t listed : SampleRateList) {
        if ((lowest == 0 || listed >= lowest) && (highest == 0 || listed <= highest)) {
            box.AddItem(std::to_string(listed));
        }
    }
    box.SetListIndex(-1);
    const std::string wanted = std::to_string(rate);
    for (int i = 0; i < box.ListCount(); ++i) {
        if (box.List(i) == wanted) {
            box.SetListIndex(i);
            return;
        }
    }
}

} // namespace WaveMMIO
