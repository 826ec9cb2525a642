#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One line of the assign table file: a key naming the kind and the place, and
// up to five values, every field in double quotes, separated by ",".
namespace playback {

// Kinds of ParseAssignLine.
inline constexpr int LineNone = 0;
inline constexpr int LineListName = 1;
inline constexpr int LineListItem = 2;
inline constexpr int LineBankName = 3;
inline constexpr int LineButton = 4;
inline constexpr int LineUser = 5;

struct AssignLine {
    int Kind = LineNone;
    // Counted from 0, as the key says; the reader checks their ranges.
    int Output = 0;
    int Page = 0;
    int Item = 0;
    std::array<std::string, 5> Values;
};

// The longest line read: a field is made per comma, so a longer one (no real
// line comes near) could take far more memory than the file.
inline constexpr std::size_t MaxAssignLineBytes = 64u * 1024u;

// Splits and reads one line. A key that does not follow the rules gives
// LineNone, as does a line longer than MaxAssignLineBytes; ranges are not
// checked here.
AssignLine ParseAssignLine(std::string_view line);

// A numeric value of the file: decimal ("-12") or "&H" with up to eight
// hexadecimal digits, read as 32 bits (&HFFFFFFFF is -1). Nothing otherwise.
std::optional<std::int32_t> ParseAssignNumber(std::string_view text);

// "&H" and the value's 32 bits in upper-case hexadecimal without leading zeros.
std::string AssignHex(std::int32_t value);

// The key of a line: word, the output digit ("" for the first output), "_",
// the page in two digits, and with item >= 0 "-" and the item in three digits.
std::string AssignKey(std::string_view word, int output, int page, int item);

} // namespace playback
