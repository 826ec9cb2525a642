#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The one table of what an unset setting means. The settings apply reads
// every key with it, and the configuration dialog shows and stores it for a
// key that was never set, so the dialog shows what the program runs with.
// Per-output and per-channel keys ("IsList_2") are found under their stem
// ("IsList_") unless one number has a default of its own ("PlayColor_2").
namespace SettingDefaults {

// The default text of key; "" for a key the table does not hold.
std::string_view Text(std::string_view key);
// The default as a number; 0 when it is no whole number.
std::int32_t Long(std::string_view key);
// True when the table holds key (or its stem).
bool Has(std::string_view key);

} // namespace SettingDefaults
