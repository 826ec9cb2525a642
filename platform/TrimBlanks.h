#pragma once

#include <string_view>

namespace platform {

// The text without the blanks and tabs at its ends, as settings files and
// typed values carry them around names and values.
std::string_view TrimBlanks(std::string_view text);

} // namespace platform
