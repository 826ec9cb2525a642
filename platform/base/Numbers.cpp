#include "platform/base/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace numeric {

double RoundHalfEven(double value)
{
    if (!std::isfinite(value)) {
        return value;
    }
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff > 0.5) {
        return lower + 1.0;
    }
    if (diff < 0.5) {
        return lower;
    }
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

std::int64_t RoundToInt64(double value)
{
    const double r = RoundHalfEven(value);
    if (std::isnan(r)) {
        return 0;
    }
    if (r >= 9.2233720368547758e18) {
        return INT64_MAX;
    }
    if (r <= -9.2233720368547758e18) {
        return INT64_MIN;
    }
    return static_cast<std::int64_t>(r);
}

double Int(double value)
{
    return std::floor(value);
}

double Fix(double value)
{
    return std::trunc(value);
}

std::int64_t DivTrunc(std::int64_t a, std::int64_t b)
{
    if (b == 0 || (a == INT64_MIN && b == -1)) {
        return 0;
    }
    return a / b;
}

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

std::optional<double> ParseNumber(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        std::size_t expDigits = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            ++expDigits;
        }
        if (expDigits == 0) {
            return std::nullopt;
        }
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

bool IsNumeric(std::string_view text)
{
    return ParseNumber(text).has_value();
}

std::optional<std::int32_t> ParseLong(std::string_view text)
{
    const auto value = ParseNumber(text);
    if (!value) {
        return std::nullopt;
    }
    const double r = RoundHalfEven(*value);
    if (r < INT32_MIN || r > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(r);
}

bool IsAllDigits(std::string_view text)
{
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

std::optional<int> DigitsValue(std::string_view text)
{
    if (text.size() > 9 || !IsAllDigits(text)) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string ZeroPadded(long long value, int width)
{
    // Times and counters are formatted many times a second: no format parsing.
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    const auto length = static_cast<int>(end - digits);
    const bool negative = value < 0;
    std::string text;
    text.reserve(static_cast<std::size_t>(std::max(width, length)));
    if (negative) {
        text += '-';
    }
    if (width > length) {
        text.append(static_cast<std::size_t>(width - length), '0');
    }
    text.append(digits + (negative ? 1 : 0), end);
    return text;
}

} // namespace numeric
