#include "platform/Ipv4Address.h"

namespace platform {

std::optional<Ipv4Address> ParseDottedIpv4(std::string_view text)
{
    Ipv4Address address{};
    std::size_t at = 0;
    for (std::size_t part = 0; part < address.size(); ++part) {
        if (part > 0) {
            if (at >= text.size() || text[at] != '.') {
                return std::nullopt;
            }
            ++at;
        }
        int value = 0;
        std::size_t digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 3) {
            value = value * 10 + (text[at] - '0');
            ++at;
            ++digits;
        }
        if (digits == 0 || value > 255) {
            return std::nullopt;
        }
        address[part] = static_cast<std::uint8_t>(value);
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    return address;
}

std::string FormatIpv4(const Ipv4Address& address)
{
    std::string text;
    for (std::size_t part = 0; part < address.size(); ++part) {
        if (part > 0) {
            text += '.';
        }
        text += std::to_string(address[part]);
    }
    return text;
}

bool IsLoopback(const Ipv4Address& address)
{
    return address[0] == 127;
}

} // namespace platform
