#pragma once

#include "platform/HidDevice.h"
#include "platform/HidRawChannel.h"
#include "platform/HidReportLayout.h"

#include <array>
#include <memory>
#include <string>
#include <thread>

namespace platform {

// An open box whose transfers run on an I/O thread of its own, so that a box
// that is slow, silent or gone never holds up the user interface. Writes are
// made in the order they were started; a pending read waits for the box in
// short slices, so writes started meanwhile still go out (as overlapped
// transfers do). Results come back through atomics; the thread never calls
// program code, and the log lines about failures are written by the caller's
// thread when it asks.
class HidTransferThread final : public HidDevice {
public:
    // How long one wait of a pending read lasts before the thread looks for
    // new work and for cancellations.
    static constexpr int ReadSliceMs = 10;
    // Reports kept for a later read, as many as hidraw keeps.
    static constexpr std::size_t MaxHeldReports = 64;

    HidTransferThread(std::unique_ptr<HidRawChannel> channel, const HidReportLayout& layout, std::string name);
    // Stops the thread. One stuck in a write the system has not given up yet
    // is left to finish on its own; it closes the box when it does.
    ~HidTransferThread() override;

    std::size_t InputReportLength() const override;
    std::size_t OutputReportLength() const override;
    bool StartWrite(int slot, std::span<const std::uint8_t> report) override;
    bool StartRead(int slot) override;
    HidTransferResult Poll(int slot, std::span<std::uint8_t> input) override;
    void CancelAll() override;

private:
    struct Job;
    struct Shared;

    bool Start(int slot, const std::shared_ptr<Job>& job);
    static void Serve(const std::shared_ptr<Shared>& shared);
    static void Finish(Job& job, int result);
    static void Deliver(Job& job, std::span<const std::uint8_t> report);

    std::shared_ptr<Shared> shared_;
    std::array<std::shared_ptr<Job>, SlotCount> slots_;
    std::thread thread_;
};

} // namespace platform
