#include "foundation/Durations.h"

#include "platform/base/Numbers.h"

#include <optional>
#include <vector>

namespace basic {

namespace {

std::string Pad(long long value, int width)
{
    return numeric::ZeroPadded(value, width);
}

bool IsDurationSeparator(char c)
{
    return c == '.' || c == ':' || c == '\'' || c == '"';
}

std::optional<long long> GroupValue(std::string_view group)
{
    if (!numeric::IsAllDigits(group) || group.size() > 12) {
        return std::nullopt;
    }
    long long value = 0;
    for (const char c : group) {
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<std::int32_t> ParseSeparated(std::string_view text)
{
    long long sign = 1;
    if (!text.empty() && text.front() == '-') {
        sign = -1;
        text.remove_prefix(1);
    }
    int separators = 0;
    int colons = 0;
    std::vector<std::string_view> groups;
    std::size_t groupStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDurationSeparator(c)) {
            ++separators;
            colons += c == ':' ? 1 : 0;
            groups.push_back(text.substr(groupStart, i - groupStart));
            groupStart = i + 1;
        } else if (c < '0' || c > '9') {
            return std::nullopt;
        }
    }
    groups.push_back(text.substr(groupStart));

    const bool hoursFirst = separators >= 3 || colons >= 2 || (colons == 1 && separators == 1);
    // The groups fill hours (when expected), minutes, seconds and the fraction in order.
    const std::size_t firstField = hoursFirst ? 0 : 1;
    if (groups.size() + firstField > 4) {
        return std::nullopt;
    }
    long long fields[4] = {0, 0, 0, 0};
    bool foundBelowHours = false;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const std::size_t field = g + firstField;
        std::string_view group = groups[g];
        if (field == 3) {
            // A fraction of 1, 2 or 3 digits counts tenths, hundredths or ms.
            if (group.size() > 3) {
                group = group.substr(0, 3);
            }
            const auto value = GroupValue(group);
            if (!value) {
                return std::nullopt;
            }
            static const long long scale[4] = {0, 100, 10, 1};
            fields[3] = *value * scale[group.size()];
        } else {
            const auto value = GroupValue(group);
            if (!value) {
                return std::nullopt;
            }
            fields[field] = *value;
        }
        foundBelowHours = foundBelowHours || field > 0;
    }
    if (!foundBelowHours) {
        return std::nullopt;
    }
    const long long total = sign * (fields[0] * 3'600'000 + fields[1] * 60'000 + fields[2] * 1000 + fields[3]);
    if (!numeric::FitsLong(total)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(total);
}

} // namespace

std::string FormatDuration(std::int32_t ms, int format, int allowNegative)
{
    if (format < 0 || format > 13) {
        return {};
    }
    long long value = ms;
    std::string sign;
    if (value < 0) {
        if (allowNegative != 0) {
            sign = "-";
            value = -value;
        } else {
            value = 0;
        }
    }
    const long long H = value / 3'600'000;
    const long long M = value / 60'000;
    const long long m = M % 60;
    const long long s = value / 1000 % 60;
    const long long wholeSeconds = value / 1000;
    const long long f3 = value % 1000;
    const long long f2 = f3 / 10;
    const long long f1 = f3 / 100;

    std::string text;
    switch (format) {
    case 0: text = Pad(M, 3) + "'" + Pad(s, 2) + "." + Pad(f3, 3); break;
    case 1: text = Pad(M, 2) + "'" + Pad(s, 2) + "." + Pad(f1, 1); break;
    case 2: text = Pad(H, 2) + ":" + Pad(m, 2) + ":" + Pad(s, 2); break;
    case 3: text = Pad(H, 1) + ":" + Pad(m, 2) + ":" + Pad(s, 2) + "." + Pad(f1, 1); break;
    case 4: text = Pad(M, 2) + ":" + Pad(s, 2); break;
    case 5: text = Pad(wholeSeconds, 3) + "." + Pad(f3, 3); break;
    case 6: text = Pad(wholeSeconds, 3) + "." + Pad(f2, 2); break;
    case 7: text = Pad(M, 2) + ":" + Pad(s, 2) + "." + Pad(f3, 3); break;
    case 8: text = Pad(H, 2) + ":" + Pad(m, 2) + ":" + Pad(s, 2) + "." + Pad(f1, 1); break;
    case 9: text = Pad(H, 2) + ":" + Pad(m, 2) + ":" + Pad(s, 2) + "." + Pad(f2, 2); break;
    case 10: text = Pad(H, 2) + ":" + Pad(m, 2) + ":" + Pad(s, 2) + "." + Pad(f3, 3); break;
    case 11: text = Pad(H, 2) + "時" + Pad(m, 2) + "分" + Pad(s, 2) + "秒"; break;
    case 12: text = Pad(H, 2) + Pad(m, 2) + Pad(s, 2); break;
    default: text = Pad(M, 3) + "'" + Pad(s, 2); break;
    }
    return sign + text;
}

std::int32_t ParseDuration(std::string_view text, int failMinusOne, std::int32_t* okFlag)
{
    std::optional<std::int32_t> result;
    if (const auto seconds = numeric::ParseNumber(text)) {
        const long long ms = numeric::RoundToInt64(*seconds * 1000.0);
        if (numeric::FitsLong(ms)) {
            result = static_cast<std::int32_t>(ms);
        }
    } else if (text.size() < 2) {
        return 0;
    } else {
        result = ParseSeparated(text);
    }
    if (!result) {
        return failMinusOne != 0 ? -1 : 0;
    }
    if (okFlag != nullptr) {
        *okFlag = 1;
    }
    return *result;
}

int ParseTimeOfDay(std::string_view text, int dayStart, int digitsOnly)
{
    std::string digits;
    if (digitsOnly == 0) {
        const std::size_t n = text.size();
        if (n == 8 || (n >= 10 && n <= 12)) {
            if (text[2] != ':' || text[5] != ':' || (n >= 10 && text[8] != '.')) {
                return 0;
            }
        } else {
            return 0;
        }
        for (std::size_t i = 0; i < n; ++i) {
            if (i != 2 && i != 5 && i != 8) {
                digits.push_back(text[i]);
            }
        }
    } else {
        digits = std::string(text);
    }
    if (!numeric::IsAllDigits(digits) || digits.size() > 9) {
        return 0;
    }
    digits.resize(9, '0');
    const long long hours = std::stoll(digits.substr(0, 2));
    const long long minutes = std::stoll(digits.substr(2, 2));
    const long long seconds = std::stoll(digits.substr(4, 2));
    const long long millis = std::stoll(digits.substr(6, 3));
    if (minutes >= 60 || seconds >= 60) {
        return 0;
    }
    if (dayStart > 0) {
        const long long ms = ((hours * 60 + minutes) * 60 + seconds) * 1000 + millis;
        const long long from = static_cast<long long>(dayStart) * 1000;
        if (ms < from || ms >= from + 86'400'000) {
            return 0;
        }
    }
    return 1;
}

} // namespace basic
