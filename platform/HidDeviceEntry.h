#pragma once

#include <cstdint>
#include <string>

namespace platform {

// One HID interface of a USB box as the enumeration finds it.
struct HidDeviceEntry {
    // Names the box while it stays on its USB port: the interface's port path
    // ("1-1.2:1.0": bus, hub ports, configuration, interface), or the device
    // node where the box has no USB port path. Device nodes are handed out
    // anew on every plug-in, so they cannot name a box across a reconnection.
    std::string path;
    // The device node to open ("/dev/hidraw3").
    std::string node;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

} // namespace platform
