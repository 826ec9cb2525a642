#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace listview {

// Six digits typed for a time ("013000") as hh:mm:ss ("01:30:00"): hours
// 00..30, minutes and seconds below 60. Nothing for any other text.
std::optional<std::string> ExpandTimeShorthand(std::string_view text);

} // namespace listview
