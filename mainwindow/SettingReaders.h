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

// The window's size factors (SizeRate_<n>) it can be drawn with. Two
// decimals are stored, so the smallest is the smallest stored one. The window
// never grows beyond its screen, so a larger factor only enlarges what is cut
// off; at the largest, a row of the grid's eight default buttons is wider
// than the widest screens (7680 pixels), the widest strip stays far within
// the largest control there can be, and a start takes a few times as long as
// at 1 (tens of times beyond).
inline constexpr float SmallestSizeFactor = 0.01F;
inline constexpr float LargestSizeFactor = 10.0F;
// The stored size factor: a text that is no number, or a factor not above
// 0, gives defaultValue; one outside the range above the nearest factor
// within it; each with a log line.
float SizeFactor(std::string_view key, float defaultValue);

// The same with the default of the one defaults table (SettingDefaults.h).
std::int32_t Long(std::string_view key);
// The stored Long as the program can use it: usable(stored), logged with the
// key, the stored text and the value used when that differs. A stored count
// or switch so never goes beyond what the window can be built with.
std::int32_t UsableLong(std::string_view key, std::int32_t (*usable)(std::int32_t));
// A check box of the configuration dialog: 0 or 1. Any other number counts
// as ticked, as a check box reads it (1, with a log line); a text that is no
// number is the default.
std::int32_t CheckBox(std::string_view key);
bool ReadLong(std::string_view key, std::int32_t& target);
std::string Text(std::string_view key, int base = 0);

} // namespace MainSettings
