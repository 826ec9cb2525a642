#pragma once

#include "platform/HidTransport.h"

namespace platform {

// HID boxes through hidapi on hidraw. hidapi of Debian 12 cannot tell the
// report lengths, so they are read from the hidraw report descriptor; the USB
// port path comes from sysfs. hidapi stays initialised for the life of the
// process: a transfer thread left to finish a stuck write may still use it.
class HidapiTransport final : public HidTransport {
public:
    std::vector<HidDeviceEntry> Enumerate(std::uint16_t vendorId) override;
    std::unique_ptr<HidDevice> Open(const HidDeviceEntry& entry) override;

private:
    bool Initialise();

    bool initialised_ = false;
};

} // namespace platform
