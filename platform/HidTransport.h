#pragma once

#include "platform/HidDevice.h"
#include "platform/HidDeviceEntry.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// Finds and opens HID boxes. The program uses hidapi on hidraw; tests install
// a scripted box behind the same interface.
class HidTransport {
public:
    virtual ~HidTransport() = default;
    // Every HID interface of the vendor present now, in any order.
    virtual std::vector<HidDeviceEntry> Enumerate(std::uint16_t vendorId) = 0;
    // Opens an interface for reading and writing; null when that fails (logged).
    virtual std::unique_ptr<HidDevice> Open(const HidDeviceEntry& entry) = 0;
};

// The hidapi transport unless a test installed another one.
HidTransport& CurrentHidTransport();
// Installs a transport (null restores hidapi). The caller keeps it alive.
void SetHidTransport(HidTransport* transport);

// The interfaces of one vendor's product, ordered by USB port path, so a box
// keeps its place (its instance number) while it stays on the same port,
// whatever order the system found the boxes in.
std::vector<HidDeviceEntry> ListHidBoxes(std::uint16_t vendorId, std::uint16_t productId);

} // namespace platform
