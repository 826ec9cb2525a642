#pragma once

#include "platform/HidDevice.h"
#include "platform/HidDeviceEntry.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One USB remote box of the maker. Asked with an inquiry report [0, 0, port]
// it answers [report id, port, code] (0 nothing, 1..254 a key, 255 a
// release); asked with [0, 255, port] it answers the mask of its contact
// inputs; sent [0, lamp code, value] it sets a lamp. Access mode 0 ("Sync")
// and 1 ("ASync1") wait for every answer; mode 2 ("ASync2") pipelines: the
// answer to one poll's inquiry is read on the next poll.
//
// Nothing here blocks: the transfers run on the box's I/O thread and every
// wait dispatches window events and feeds the players until the transfer ends
// or its time-out passes on the program's clock. Because events run inside
// the waits, a handler may close or re-open the box meanwhile; the waits
// notice and end.
class C_HID {
public:
    static constexpr std::uint16_t VendorId = 0x19AA;
    static constexpr int PortCount = 8;

    // NotifyProc codes.
    static constexpr std::int32_t NotifyReadStarts = 0;
    static constexpr std::int32_t NotifyWriteStarts = 1;
    static constexpr std::int32_t NotifyWaiting = 2;
    static constexpr std::int32_t NotifyTimedOut = 3;

    C_HID();
    ~C_HID();
    C_HID(const C_HID&) = delete;
    C_HID& operator=(const C_HID&) = delete;

    // Opens a box of the vendor: 1 when one was opened, else 0. Product ids
    // below 2 mean product 1. instance k (-1 any) takes the k-th box of the
    // product in USB port order; a wanted path (a former HIDFilename) takes
    // exactly that box. A box whose input or output report is shorter than
    // the three bytes of the protocol is refused.
    std::int32_t HidInit(std::int32_t deviceKind, std::int32_t productId, std::int32_t accessMode,
                         std::int32_t instance = -1, std::string_view wantedPath = {});

    std::int32_t ReadRetrialCount() const { return readRetrialCount_; }
    // At least 1.
    void SetReadRetrialCount(std::int32_t count);
    // At least 50.
    void SetTimeoutMS(std::int32_t ms);
    void SetRaiseNotify(std::int32_t on) { raiseNotify_ = on != 0; }
    // Writes the failures below to the day's error log.
    void SetLogError(std::int32_t on) { logError_ = on != 0; }
    // The input report length, 0 while closed.
    std::int32_t ReceiveSize() const { return static_cast<std::int32_t>(input_.size()); }
    // Names the open box so that HidInit can find it again ("" while closed).
    const std::string& HIDFilename() const { return path_; }
    std::int32_t WhileWriteFile() const { return whileWrite_; }
    std::int32_t WhileReadFile() const { return whileRead_; }

    // Cancels what runs and closes the box.
    void HidClose();
    // The port's value 1..255, 0 for none, -1 on failure. With a status
    // request the box's contact mask is asked for, and a read that brings
    // nothing new gives the port's last value.
    std::int32_t QuorRead(std::int32_t statusRequest, std::int32_t force, std::int32_t port);
    // Sends [0, code, value]: 1 when sent. Codes 0 and 255 are never sent.
    std::int32_t QuorWrite(std::int32_t code, std::int32_t value = 0);

    // Raised with the codes above, only while RaiseNotify is on.
    std::function<void(std::int32_t code)> NotifyProc;

private:
    static constexpr int SlotInquiry = 0;
    static constexpr int SlotRead = 1;
    static constexpr int SlotLamp = 2;
    static constexpr int PipelineWaitMs = 2000;
    static constexpr int ErrorLoopLimit = 3;

    std::int32_t OpenBox(const platform::HidDeviceEntry& entry);
    std::int32_t ReadWaiting(std::int32_t statusRequest, std::int32_t force, std::int32_t port);
    std::int32_t ReadPipelined(std::int32_t statusRequest, std::int32_t force, std::int32_t port, std::int32_t result);
    std::int32_t Evaluate(std::int32_t statusRequest, std::int32_t force, std::int32_t port);
    void PrepareInquiry(std::int32_t statusRequest, std::int32_t port);
    std::int32_t HidIO(bool isRead, int slot, bool noWait);
    std::int32_t Completed(const platform::HidTransferResult& result, bool isRead);
    // Waits while the slot's transfer is pending: false when limitMs passed
    // first. tookMs tells how long it waited.
    bool WaitWhilePending(int slot, int limitMs, platform::HidTransferResult& result, std::int64_t& tookMs);
    // Cancels the pipelined inquiry and read a lamp write gave up waiting for.
    void AbandonOutstanding();
    bool ClosedSince(std::uint64_t generation) const { return generation_ != generation || !device_; }
    void Notify(std::int32_t code);
    void WriteError(const std::string& text) const;

    std::unique_ptr<platform::HidDevice> device_;
    // Changes whenever the box is opened or closed.
    std::uint64_t generation_ = 0;
    std::string path_;
    std::int32_t accessMode_ = 0;
    std::vector<std::uint8_t> input_;
    std::vector<std::uint8_t> output_;

    bool inquirySent_ = false;
    bool readRequested_ = false;
    std::int32_t whileRead_ = 0;
    std::int32_t whileWrite_ = 0;
    std::int32_t readTries_ = 0;
    std::int32_t errorLoops_ = 0;
    std::array<std::int32_t, PortCount> lastValue_{};

    std::int32_t timeoutMs_ = 500;
    std::int32_t readRetrialCount_ = 6;
    bool raiseNotify_ = false;
    bool logError_ = false;
};
