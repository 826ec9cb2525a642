#include "platform/ErrorText.h"

#include <cstring>

namespace platform {

std::string ErrorText(int code)
{
    if (code == 0) {
        return {};
    }
    char buffer[256] = {};
    // The GNU strerror_r returns the text, which need not be in buffer.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    return text != nullptr ? text : "";
}

} // namespace platform
