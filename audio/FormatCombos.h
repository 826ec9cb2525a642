#pragma once

#include <cstdint>

namespace platform {
class ComboBox;
}

// The format and sample-rate choices of the configuration screens.
namespace WaveMMIO {

// Clears the box and lists the names of the format codes 0..highestCode; then,
// when the box has items and index is 0 or more, chooses that item, or item 0
// when index lies past the end.
void FillFormatCombo(platform::ComboBox& box, int index, int highestCode);

// Clears the box and lists the rates of SampleRateList from lowest to highest
// (a bound of 0 means none) as decimal text; chooses the item of rate (no
// match: none).
void FillRateCombo(platform::ComboBox& box, std::int32_t rate, std::int32_t lowest, std::int32_t highest);

} // namespace WaveMMIO
