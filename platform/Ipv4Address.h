#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// An IPv4 address, most significant byte first: 127.0.0.1 is {127, 0, 0, 1}.
using Ipv4Address = std::array<std::uint8_t, 4>;

// Four decimal numbers 0..255 separated by dots, nothing else; any other text
// (a host name, "127.1", blanks) is no address.
std::optional<Ipv4Address> ParseDottedIpv4(std::string_view text);

// "a.b.c.d".
std::string FormatIpv4(const Ipv4Address& address);

// True for 127.0.0.0/8, the addresses that never leave the machine.
bool IsLoopback(const Ipv4Address& address);

} // namespace platform
