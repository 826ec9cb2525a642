#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform {

enum class HidTransferState {
    Idle,    // nothing started on the slot, or the transfer was cancelled
    Pending, // still running
    Done,    // finished; the count says how many bytes moved
    Failed,  // the box refused it or is gone
};

struct HidTransferResult {
    HidTransferState state = HidTransferState::Idle;
    std::size_t count = 0;
};

// One open HID box. Transfers never block the caller: each is started on one
// of a few slots and runs beside it; the caller asks how it stands as often as
// it likes and gives up when it has waited long enough. Reports are laid out
// with their report-id byte first (0 for a box without numbered reports).
class HidDevice {
public:
    static constexpr int SlotCount = 3;

    HidDevice() = default;
    virtual ~HidDevice() = default;
    HidDevice(const HidDevice&) = delete;
    HidDevice& operator=(const HidDevice&) = delete;

    // Bytes of the longest input and output report, report-id byte included.
    virtual std::size_t InputReportLength() const = 0;
    virtual std::size_t OutputReportLength() const = 0;

    // Starts sending one output report. False when the slot is out of range or
    // its last transfer still runs.
    virtual bool StartWrite(int slot, std::span<const std::uint8_t> report) = 0;
    // Starts reading the next input report the box sends.
    virtual bool StartRead(int slot) = 0;
    // How the slot's transfer stands, without waiting. A finished read copies
    // its report (InputReportLength bytes, shorter reports padded with zeros)
    // into the front of input.
    virtual HidTransferResult Poll(int slot, std::span<std::uint8_t> input) = 0;
    // Gives up every transfer still pending; their slots become Idle.
    virtual void CancelAll() = 0;
};

} // namespace platform
