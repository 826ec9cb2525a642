#pragma once

#include "platform/HidRawChannel.h"

struct hid_device_;

namespace platform {

// A box opened through hidapi (on hidraw). Closed when destroyed.
class HidapiChannel final : public HidRawChannel {
public:
    explicit HidapiChannel(hid_device_* device) : device_(device) {}
    ~HidapiChannel() override;

    int Read(std::span<std::uint8_t> into, int timeoutMs) override;
    int Write(std::span<const std::uint8_t> report) override;

private:
    hid_device_* device_;
};

} // namespace platform
