#include "playback/AssignLine.h"

#include "foundation/Conversions.h"
#include "foundation/Paths.h"
#include "platform/base/Numbers.h"

#include <cstdio>
#include <vector>

namespace playback {

AssignLine ParseAssignLine(std::string_view line)
{
    AssignLine parsed;
    std::vector<std::string> fields;
    if (line.size() > MaxAssignLineBytes || basic::SplitQuoted(fields, line, ",", 1) < 2) {
        return parsed;
    }
    const std::string& key = fields[0];
    int kind = LineNone;
    if (key == "user") {
        kind = LineUser;
    } else {
        const std::size_t underscore = key.find('_');
        if (underscore == std::string::npos) {
            return parsed;
        }
        const std::string_view after = std::string_view(key).substr(underscore + 1);
        const auto page = numeric::DigitsValue(after.substr(0, 2));
        if (!page) {
            return parsed;
        }
        int item = 0;
        if (after.size() >= 5) {
            const auto number = numeric::DigitsValue(after.substr(3, 3));
            if (!number) {
                return parsed;
            }
            item = *number - 1;
        }
        std::string word = key.substr(0, underscore);
        int output = 0;
        if (!word.empty() && word.back() >= '0' && word.back() <= '9') {
            output = word.back() - '1';
            word.pop_back();
        }
        word = basic::LowerAscii(word);
        if (word == "listname") {
            kind = LineListName;
        } else if (word == "list") {
            kind = LineListItem;
        } else if (word == "bankname") {
            kind = LineBankName;
        } else if (word == "button") {
            kind = LineButton;
        } else {
            return parsed;
        }
        parsed.Output = output;
        parsed.Page = *page - 1;
        parsed.Item = item;
    }
    parsed.Kind = kind;
    for (std::size_t i = 1; i < fields.size() && i <= parsed.Values.size(); ++i) {
        parsed.Values[i - 1] = std::move(fields[i]);
    }
    return parsed;
}

std::optional<std::int32_t> ParseAssignNumber(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    if (text.size() >= 3 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h')) {
        const std::string_view digits = text.substr(2);
        if (digits.size() > 8) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (const char c : digits) {
            const int digit = numeric::HexDigitValue(c);
            if (digit < 0) {
                return std::nullopt;
            }
            value = value * 16U + static_cast<std::uint32_t>(digit);
        }
        return static_cast<std::int32_t>(value);
    }
    return numeric::ParseLong(text);
}

std::string AssignHex(std::int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "&H%X", static_cast<unsigned>(static_cast<std::uint32_t>(value)));
    return text;
}

std::string AssignKey(std::string_view word, int output, int page, int item)
{
    char text[32];
    std::string key(word);
    if (output > 0) {
        key += static_cast<char>('1' + output);
    }
    std::snprintf(text, sizeof text, "_%02d", page + 1);
    key += text;
    if (item >= 0) {
        std::snprintf(text, sizeof text, "-%03d", item + 1);
        key += text;
    }
    return key;
}

} // namespace playback
