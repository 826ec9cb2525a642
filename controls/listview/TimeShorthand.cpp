#include "controls/listview/TimeShorthand.h"

#include "platform/base/Numbers.h"

namespace listview {

std::optional<std::string> ExpandTimeShorthand(std::string_view text)
{
    if (text.size() != 6 || !numeric::IsAllDigits(text)) {
        return std::nullopt;
    }
    const auto pair = [&](std::size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); };
    if (pair(0) > 30 || pair(2) >= 60 || pair(4) >= 60) {
        return std::nullopt;
    }
    std::string expanded(text.substr(0, 2));
    expanded += ':';
    expanded += text.substr(2, 2);
    expanded += ':';
    expanded += text.substr(4, 2);
    return expanded;
}

} // namespace listview
