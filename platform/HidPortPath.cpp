#include "platform/HidPortPath.h"

#include <charconv>
#include <optional>
#include <tuple>
#include <vector>

namespace platform {

namespace {

struct PortPath {
    unsigned bus = 0;
    std::vector<unsigned> ports;
    unsigned configuration = 0;
    unsigned interface = 0;
};

// Reads a number that takes the whole text.
std::optional<unsigned> WholeNumber(std::string_view text)
{
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

// "B-P[.P...]:C.I"
std::optional<PortPath> ParsePortPath(std::string_view text)
{
    const std::size_t dash = text.find('-');
    const std::size_t colon = text.find(':');
    if (dash == std::string_view::npos || colon == std::string_view::npos || colon < dash) {
        return std::nullopt;
    }
    PortPath path;
    const auto bus = WholeNumber(text.substr(0, dash));
    if (!bus) {
        return std::nullopt;
    }
    path.bus = *bus;
    std::string_view ports = text.substr(dash + 1, colon - dash - 1);
    while (true) {
        const std::size_t dot = ports.find('.');
        const auto port = WholeNumber(ports.substr(0, dot));
        if (!port) {
            return std::nullopt;
        }
        path.ports.push_back(*port);
        if (dot == std::string_view::npos) {
            break;
        }
        ports.remove_prefix(dot + 1);
    }
    const std::string_view tail = text.substr(colon + 1);
    const std::size_t dot = tail.find('.');
    if (dot == std::string_view::npos) {
        return std::nullopt;
    }
    const auto configuration = WholeNumber(tail.substr(0, dot));
    const auto interface = WholeNumber(tail.substr(dot + 1));
    if (!configuration || !interface) {
        return std::nullopt;
    }
    path.configuration = *configuration;
    path.interface = *interface;
    return path;
}

} // namespace

std::string UsbInterfaceInSysfsPath(std::string_view resolvedPath)
{
    // The HID device's folder sits right below the USB interface it belongs to.
    while (!resolvedPath.empty() && resolvedPath.back() == '/') {
        resolvedPath.remove_suffix(1);
    }
    const std::size_t device = resolvedPath.rfind('/');
    if (device == std::string_view::npos) {
        return {};
    }
    const std::string_view parent = resolvedPath.substr(0, device);
    const std::string_view interface = parent.substr(parent.rfind('/') + 1);
    return ParsePortPath(interface) ? std::string(interface) : std::string();
}

bool PortPathBefore(std::string_view a, std::string_view b)
{
    const auto pa = ParsePortPath(a);
    const auto pb = ParsePortPath(b);
    if (pa && pb) {
        return std::tie(pa->bus, pa->ports, pa->configuration, pa->interface) <
               std::tie(pb->bus, pb->ports, pb->configuration, pb->interface);
    }
    if (pa || pb) {
        return pa.has_value();
    }
    return a < b;
}

} // namespace platform
