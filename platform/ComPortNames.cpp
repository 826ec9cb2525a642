#include "platform/ComPortNames.h"

#include "platform/AsciiCase.h"
#include "platform/base/Numbers.h"

#include <charconv>
#include <cstdlib>

namespace platform {

std::optional<std::string> ComDevicePath(std::string_view portName)
{
    if (portName.size() < 4 || !EqualsIgnoringCase(portName.substr(0, 3), "com")) {
        return std::nullopt;
    }
    const std::string_view digits = portName.substr(3);
    int number = 0;
    if (!numeric::IsAllDigits(digits) || digits.size() > 6 ||
        std::from_chars(digits.data(), digits.data() + digits.size(), number).ec != std::errc{} || number < 1) {
        return std::nullopt;
    }
    const std::string variable = "TOLV_COM" + std::to_string(number);
    const char* configured = std::getenv(variable.c_str());
    if (configured != nullptr && *configured != '\0') {
        return std::string(configured);
    }
    return "/dev/ttyS" + std::to_string(number - 1);
}

} // namespace platform
