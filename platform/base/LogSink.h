#pragma once

#include <functional>
#include <string_view>

namespace platform {

// The platform layer reports failing system calls through one sink; the
// start-up installs the day log in it. Kind 0 is an ordinary line, 1 an error.
using LogSink = std::function<void(std::string_view text, int kind)>;
void SetLogSink(LogSink sink);
void Log(std::string_view text, int kind = 1);

} // namespace platform
