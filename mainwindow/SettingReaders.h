#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Settings read as numbers by the main window. Every stored value is text; a
// text that is not a number (or does not fit 32 bits) is never taken: the
// reader keeps what it had and logs the key and the text.
namespace MainSettings {

// The stored Long, or defaultValue when the text is not a number.
std::int32_t Long(std::string_view key, std::int32_t defaultValue, int base = 0);
// Sets target from the stored Long; a text that is not a number leaves
// target unchanged. True when target was set.
bool ReadLong(std::string_view key, std::int32_t defaultValue, std::int32_t& target, int base = 0);
// On when the stored value is a non-zero number or "True".
bool Flag(std::string_view key, bool defaultValue, int base = 0);
// The stored Single, or defaultValue.
float Single(std::string_view key, float defaultValue, int base = 0);

// The same with the default of the one defaults table (SettingDefaults.h).
std::int32_t Long(std::string_view key);
bool ReadLong(std::string_view key, std::int32_t& target);
std::string Text(std::string_view key, int base = 0);

} // namespace MainSettings
