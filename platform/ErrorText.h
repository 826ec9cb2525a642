#pragma once

#include <string>

namespace platform {

// The system's text for an errno value, in one line ("" for 0).
std::string ErrorText(int code);

} // namespace platform
