#pragma once

#include <string>
#include <string_view>

namespace audiofile {

// The extension of a file name without the dot, in lower case; "" when the
// last name has none. Both "/" and "\\" separate folders.
std::string LowerExtension(std::string_view fileName);

} // namespace audiofile
