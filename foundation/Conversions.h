#pragma once

#include "platform/base/TextMeasure.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Conversions shared by the whole program: fields of an assign table line,
// NUL-padded platform strings, captions fitted to a width, levels in dB, and
// unsigned 32-bit values carried in signed ones.
namespace basic {

// Splits text into out and returns the number of fields. With sep "," and
// csvMode 1 it reads one line of the assign table (double-quoted fields);
// otherwise it splits at every occurrence of sep.
int SplitQuoted(std::vector<std::string>& out, std::string_view text, std::string_view sep, int csvMode);

// The text cut before its first NUL.
std::string TrimNul(std::string_view text);

// The longest head (or tail, with keepRight 1) of text that the target
// measures no wider than width; whole when it fits, never under 1 character.
std::string FitTextToWidth(std::string_view text, const platform::TextMeasure& target, double width, int keepRight);

// 20 * log10(level); -110 dB stands for silence.
double LinearToDb(double level);
// 10^(dB / 20); 0 at or below -110 dB.
double DbToLinear(double db);

// "10100001" for 0xA1: eight digits, most significant bit first.
std::string ByteToBits(std::uint8_t value);

// A 64-bit size as the unsigned 32-bit value a signed Long carries.
std::int32_t CurrencyToLong(std::int64_t value);
// A Long read as unsigned 32-bit.
std::int64_t LongToCurrency(std::int32_t value);

// 1 when the integer part is odd.
int IsOdd(double value);
int IsOdd(std::string_view value);

// Upper-case hexadecimal of the value's 32 bits, left-padded with "0".
std::string HexPad(std::int32_t value, int digits);

// The value limited to 0..255.
std::int16_t ClampByte(std::int16_t value);

} // namespace basic
