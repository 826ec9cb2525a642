#pragma once

#include <string>
#include <string_view>

// USB port paths name where a box is plugged in: "1-1.2:1.0" is bus 1, port 1,
// port 2 of the hub behind it, configuration 1, interface 0. Unlike device
// nodes they stay the same when a box is plugged in again on the same port.
namespace platform {

// The USB interface a resolved sysfs HID device path lies right under
// ("1-1.2:1.0" of ".../usb1/1-1/1-1.2/1-1.2:1.0/0003:19AA:0001.0005"); "" for
// a device that is not a USB interface of its own (Bluetooth, virtual).
std::string UsbInterfaceInSysfsPath(std::string_view resolvedPath);

// Orders port paths by bus, then port by port along the chain of hubs, then
// configuration and interface, all as numbers ("1-2" before "1-10"). Texts that
// are not port paths come after every port path, in text order.
bool PortPathBefore(std::string_view a, std::string_view b);

} // namespace platform
