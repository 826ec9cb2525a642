#pragma once

#include <string_view>

namespace platform {
class ComboBox;
}

namespace FCT_Serial {

// The rates "110" .. "256000" of the remote page; the entry whose text equals
// current is chosen (none when no entry does).
void FillBaudRateCombo(platform::ComboBox& combo, std::string_view current);
// "NA", then "Com1" .. "Com6"; the entry at index current (the port number) is
// chosen, "NA" when current lies outside the list.
void FillComPortCombo(platform::ComboBox& combo, int current);

} // namespace FCT_Serial
