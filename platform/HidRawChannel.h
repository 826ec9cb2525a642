#pragma once

#include <cstdint>
#include <span>

namespace platform {

// The plain, blocking calls on one open HID box, made only on its I/O thread.
class HidRawChannel {
public:
    HidRawChannel() = default;
    virtual ~HidRawChannel() = default;
    HidRawChannel(const HidRawChannel&) = delete;
    HidRawChannel& operator=(const HidRawChannel&) = delete;

    // Reads one input report as the system delivers it (led by its report id
    // only when the box numbers its reports), waiting at most timeoutMs: the
    // byte count, 0 when none came, -errno on failure.
    virtual int Read(std::span<std::uint8_t> into, int timeoutMs) = 0;
    // Sends one output report, report id first: the byte count or -errno. It
    // may block for as long as the system lets the box take.
    virtual int Write(std::span<const std::uint8_t> report) = 0;
};

} // namespace platform
