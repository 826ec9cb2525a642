#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The one set of number rules of the program: "rounded" means half to even,
// integer division truncates toward zero, Int floors, and a text is numeric
// only when it is a plain decimal number (blanks around it allowed).
namespace numeric {

// Rounds half to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double RoundHalfEven(double value);
// The integer result of RoundHalfEven; values beyond the 64-bit range saturate.
std::int64_t RoundToInt64(double value);
// Floors (Int(-1.5) is -2).
double Int(double value);
// Truncates toward zero (Fix(-1.5) is -1).
double Fix(double value);
// Integer division that truncates toward zero; division by zero gives 0.
std::int64_t DivTrunc(std::int64_t a, std::int64_t b);

// A decimal number: optional blanks, optional sign, digits with at most one
// decimal point (at least one digit), optional exponent, optional blanks.
std::optional<double> ParseNumber(std::string_view text);
bool IsNumeric(std::string_view text);
// A numeric text whose rounded value fits a signed 32-bit integer.
std::optional<std::int32_t> ParseLong(std::string_view text);
// True when the text is one or more ASCII digits and nothing else.
bool IsAllDigits(std::string_view text);
// The value of a text of one to nine ASCII digits and nothing else (so that
// it fits an int); none for any other text.
std::optional<int> DigitsValue(std::string_view text);
// The value 0..15 of one hexadecimal digit (either case), -1 for any other character.
int HexDigitValue(char c);
// The decimal digits of value, with zeros in front up to width characters
// (a minus sign counts in the width, before the zeros: -5 in 3 is "-05").
std::string ZeroPadded(long long value, int width);

inline bool FitsLong(std::int64_t value)
{
    return value >= INT32_MIN && value <= INT32_MAX;
}

} // namespace numeric
