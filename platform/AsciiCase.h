#pragma once

#include <string>
#include <string_view>

// Settings keys, section names and registry paths compare without regard to
// the case of their ASCII letters, as the stores they replace did.
namespace platform {

std::string AsciiLower(std::string_view text);
std::string AsciiUpper(std::string_view text);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

} // namespace platform
