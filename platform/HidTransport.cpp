#include "platform/HidTransport.h"

#include "platform/HidPortPath.h"
#include "platform/HidapiTransport.h"

#include <algorithm>

namespace platform {

namespace {
HidTransport* installed = nullptr;
} // namespace

HidTransport& CurrentHidTransport()
{
    if (installed != nullptr) {
        return *installed;
    }
    static HidapiTransport hidapi;
    return hidapi;
}

void SetHidTransport(HidTransport* transport)
{
    installed = transport;
}

std::vector<HidDeviceEntry> ListHidBoxes(std::uint16_t vendorId, std::uint16_t productId)
{
    std::vector<HidDeviceEntry> boxes = CurrentHidTransport().Enumerate(vendorId);
    std::erase_if(
        boxes, [&](const HidDeviceEntry& entry) { return entry.vendorId != vendorId || entry.productId != productId; });
    std::stable_sort(boxes.begin(), boxes.end(),
                     [](const HidDeviceEntry& a, const HidDeviceEntry& b) { return PortPathBefore(a.path, b.path); });
    return boxes;
}

} // namespace platform
