#include "platform/SystemHostResolver.h"

#include "platform/AsciiCase.h"
#include "platform/PumpingWait.h"
#include "platform/base/LogSink.h"

#include <arpa/inet.h>
#include <cstring>
#include <future>
#include <netdb.h>
#include <string>
#include <sys/socket.h>

namespace platform {

namespace {

// The longest host name DNS can carry.
constexpr std::size_t MaxHostNameLength = 253;

bool IsLocalhostName(std::string_view host)
{
    const std::string lower = AsciiLower(host);
    constexpr std::string_view suffix = ".localhost";
    return lower == "localhost" ||
           (lower.size() > suffix.size() && lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) == 0);
}

bool IsUsableName(std::string_view host)
{
    if (host.empty() || host.size() > MaxHostNameLength) {
        return false;
    }
    for (const char c : host) {
        if (static_cast<unsigned char>(c) <= ' ' || c == '/' || c == '\\') {
            return false;
        }
    }
    return true;
}

std::optional<Ipv4Address> LookUp(const std::string& host)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int result = getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (result != 0 || found == nullptr) {
        if (found != nullptr) {
            freeaddrinfo(found);
        }
        return std::nullopt;
    }
    std::optional<Ipv4Address> address;
    for (const addrinfo* entry = found; entry != nullptr && !address; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET && entry->ai_addr != nullptr &&
            entry->ai_addrlen >= static_cast<socklen_t>(sizeof(sockaddr_in))) {
            sockaddr_in ipv4{};
            std::memcpy(&ipv4, entry->ai_addr, sizeof ipv4);
            const std::uint32_t hostOrder = ntohl(ipv4.sin_addr.s_addr);
            address =
                Ipv4Address{static_cast<std::uint8_t>(hostOrder >> 24), static_cast<std::uint8_t>(hostOrder >> 16),
                            static_cast<std::uint8_t>(hostOrder >> 8), static_cast<std::uint8_t>(hostOrder)};
        }
    }
    freeaddrinfo(found);
    return address;
}

} // namespace

std::optional<Ipv4Address> SystemHostResolver::Resolve(std::string_view host)
{
    if (!IsUsableName(host)) {
        return std::nullopt;
    }
    if (IsLocalhostName(host)) {
        return Ipv4Address{127, 0, 0, 1};
    }
    std::future<std::optional<Ipv4Address>> lookup;
    try {
        lookup = std::async(std::launch::async, LookUp, std::string(host));
    } catch (const std::system_error& error) {
        Log("getaddrinfo thread Failed: " + std::string(error.what()), 1);
        return std::nullopt;
    }
    return WaitPumping(lookup);
}

} // namespace platform
