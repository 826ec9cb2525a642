#include "remote/C_HID.h"

#include "foundation/DayLog.h"
#include "foundation/Waits.h"
#include "platform/HidTransport.h"
#include "platform/base/Clock.h"
#include "platform/base/Hooks.h"
#include "platform/base/Numbers.h"

#include <algorithm>

namespace {

std::string Direction(bool isRead)
{
    return isRead ? "1" : "0";
}

} // namespace

C_HID::C_HID()
{
    lastValue_.fill(255);
}

C_HID::~C_HID()
{
    if (device_) {
        device_->CancelAll();
    }
}

void C_HID::SetReadRetrialCount(std::int32_t count)
{
    readRetrialCount_ = std::max(count, 1);
}

void C_HID::SetTimeoutMS(std::int32_t ms)
{
    timeoutMs_ = std::max(ms, 50);
}

std::int32_t C_HID::HidInit(std::int32_t /*deviceKind: every box is of the HID class*/, std::int32_t productId,
                            std::int32_t accessMode, std::int32_t instance, std::string_view wantedPath)
{
    if (device_) {
        HidClose();
    }
    const std::int32_t product = productId >= 2 ? productId : 1;
    if (product > 0xFFFF) {
        return 0;
    }
    accessMode_ = accessMode == 1 || accessMode == 2 ? accessMode : 0;

    std::int32_t passedOver = 0;
    for (const platform::HidDeviceEntry& entry :
         platform::ListHidBoxes(VendorId, static_cast<std::uint16_t>(product))) {
        if ((instance != -1 && instance != passedOver) || (!wantedPath.empty() && wantedPath != entry.path)) {
            ++passedOver;
            continue;
        }
        return OpenBox(entry);
    }
    return 0;
}

std::int32_t C_HID::OpenBox(const platform::HidDeviceEntry& entry)
{
    std::unique_ptr<platform::HidDevice> device = platform::CurrentHidTransport().Open(entry);
    if (!device) {
        return 0;
    }
    const std::size_t inputLength = device->InputReportLength();
    const std::size_t outputLength = device->OutputReportLength();
    if (inputLength < 3 || outputLength < 3) {
        basic::WriteLog("HID box " + entry.path + " refused: its reports are too short for the box protocol (input " +
                            std::to_string(inputLength) + ", output " + std::to_string(outputLength) + " bytes)",
                        1, 0);
        return 0;
    }
    device_ = std::move(device);
    ++generation_;
    input_.assign(inputLength, 0);
    output_.assign(outputLength, 0);
    inquirySent_ = false;
    readRequested_ = false;
    whileRead_ = 0;
    whileWrite_ = 0;
    readTries_ = 0;
    errorLoops_ = 0;
    path_ = entry.path;
    return 1;
}

void C_HID::HidClose()
{
    inquirySent_ = false;
    readRequested_ = false;
    whileRead_ = 0;
    whileWrite_ = 0;
    readTries_ = 0;
    errorLoops_ = 0;
    ++generation_;
    if (device_) {
        device_->CancelAll();
    }
    platform::Pump();
    device_.reset();
    platform::Pump();
    path_.clear();
    input_.clear();
    output_.clear();
}

std::int32_t C_HID::QuorRead(std::int32_t statusRequest, std::int32_t force, std::int32_t port)
{
    const bool validPort = port >= 0 && port < PortCount;
    std::int32_t result = statusRequest != 0 && validPort ? lastValue_[static_cast<std::size_t>(port)] : 0;
    if (whileWrite_ != 0 || !device_ || !validPort) {
        return result;
    }
    whileRead_ = 1;
    const std::uint64_t generation = generation_;
    platform::Pump();
    if (ClosedSince(generation)) {
        return result;
    }
    result =
        accessMode_ == 2 ? ReadPipelined(statusRequest, force, port, result) : ReadWaiting(statusRequest, force, port);
    if (generation_ == generation) {
        whileRead_ = 0;
    }
    return result;
}

std::int32_t C_HID::ReadWaiting(std::int32_t statusRequest, std::int32_t force, std::int32_t port)
{
    // Mode 0 waits like mode 1: a box that never answers costs TimeoutMS and
    // a failure, never a frozen program.
    const std::uint64_t generation = generation_;
    PrepareInquiry(statusRequest, port);
    if (HidIO(false, SlotInquiry, false) == 0) {
        if (ClosedSince(generation)) {
            return 0;
        }
        WriteError("HID InquiryRequst err");
        return -1;
    }
    if (HidIO(true, SlotRead, false) == 0) {
        if (ClosedSince(generation)) {
            return 0;
        }
        device_->CancelAll();
        WriteError("HID ReadRequest err1");
        return -1;
    }
    if (ClosedSince(generation)) {
        return 0;
    }
    return Evaluate(statusRequest, force, port);
}

std::int32_t C_HID::ReadPipelined(std::int32_t statusRequest, std::int32_t force, std::int32_t port,
                                  std::int32_t result)
{
    const std::uint64_t generation = generation_;
    if (!inquirySent_) {
        PrepareInquiry(statusRequest, port);
        if (HidIO(false, SlotInquiry, true) == 0) {
            if (ClosedSince(generation)) {
                return result;
            }
            // A failure, as in the other modes: a box that is gone must get its
            // reset, and only -1 arms one.
            WriteError("HID InquiryRequst err");
            return -1;
        }
        inquirySent_ = true;
    }

    if (!readRequested_) {
        // The inquiry must be out before its answer can be read.
        platform::HidTransferResult sent = device_->Poll(SlotInquiry, {});
        std::int64_t tookMs = 0;
        if (sent.state == platform::HidTransferState::Pending &&
            !WaitWhilePending(SlotInquiry, timeoutMs_, sent, tookMs)) {
            WriteError("HID QuorRead InquirySent TimeOut tTakes=" + std::to_string(tookMs) +
                       " c_TimeoutMS=" + std::to_string(timeoutMs_));
            device_->CancelAll();
            inquirySent_ = false;
            if (++errorLoops_ >= ErrorLoopLimit) {
                WriteError("HID QuorRead InquirySent c_ErrorLoop=" + std::to_string(errorLoops_) +
                           " c_TimeoutMS=" + std::to_string(timeoutMs_));
                return -1;
            }
            return result;
        }
        if (ClosedSince(generation)) {
            return result;
        }
        if (sent.state == platform::HidTransferState::Idle) {
            // Cancelled meanwhile (a lamp write that timed out cancels everything).
            WriteError("HID Inquiry Not Requsted");
            inquirySent_ = false;
            return result;
        }
        if (sent.state == platform::HidTransferState::Failed || sent.count < output_.size()) {
            // The box is gone: report it, so that the poll arms a reset.
            WriteError("HID InquiryRequst err");
            inquirySent_ = false;
            return -1;
        }
        if (HidIO(true, SlotRead, true) == 0) {
            if (ClosedSince(generation)) {
                return result;
            }
            WriteError("HID ReadRequest err2");
            inquirySent_ = false;
            return -1;
        }
        readRequested_ = true;
    }

    const platform::HidTransferResult read = device_->Poll(SlotRead, input_);
    if (read.state == platform::HidTransferState::Pending) {
        if (++readTries_ > readRetrialCount_) {
            const std::int32_t tried = readTries_;
            device_->CancelAll();
            readTries_ = 0;
            readRequested_ = false;
            inquirySent_ = false;
            if (++errorLoops_ >= ErrorLoopLimit) {
                WriteError("HID ReadTried Over c_ErrorLoop=" + std::to_string(errorLoops_) +
                           " ReadTried=" + std::to_string(tried));
                return -1;
            }
        }
        return result;
    }
    readRequested_ = false;
    inquirySent_ = false;
    if (read.state == platform::HidTransferState::Idle) {
        WriteError("HID Inquiry Not Requsted");
        return result;
    }
    if (Completed(read, true) == 0) {
        return -1;
    }
    readTries_ = 0;
    errorLoops_ = 0;
    result = Evaluate(statusRequest, force, port);

    // The next inquiry goes out now, so the next poll finds its answer waiting.
    PrepareInquiry(statusRequest, port);
    if (HidIO(false, SlotInquiry, true) != 0) {
        inquirySent_ = true;
    } else if (!ClosedSince(generation)) {
        WriteError("HID InquiryRequst err");
    }
    return result;
}

std::int32_t C_HID::Evaluate(std::int32_t statusRequest, std::int32_t force, std::int32_t port)
{
    if (input_[1] != port) {
        WriteError("HID Port Different");
        return -1;
    }
    const std::int32_t value = input_[2];
    if (value < 255 || statusRequest != 0 || force != 0) {
        lastValue_[static_cast<std::size_t>(port)] = value;
        return value;
    }
    return 0;
}

void C_HID::PrepareInquiry(std::int32_t statusRequest, std::int32_t port)
{
    output_[0] = 0;
    output_[1] = statusRequest != 0 ? 255 : 0;
    output_[2] = static_cast<std::uint8_t>(port);
    std::fill_n(input_.begin(), 3, 0);
}

std::int32_t C_HID::QuorWrite(std::int32_t code, std::int32_t value)
{
    // A code or value beyond one byte cannot be sent.
    if (!device_ || code <= 0 || code >= 255 || value < 0 || value > 255) {
        return 0;
    }
    whileWrite_ = 1;
    const std::uint64_t generation = generation_;
    platform::Pump();
    if (ClosedSince(generation)) {
        return 0;
    }
    if (accessMode_ == 2) {
        const auto waitFor = [&](bool outstanding, int slot) {
            if (!outstanding) {
                return true;
            }
            platform::HidTransferResult state =
                device_->Poll(slot, slot == SlotRead ? input_ : std::span<std::uint8_t>{});
            std::int64_t tookMs = 0;
            return state.state != platform::HidTransferState::Pending ||
                   WaitWhilePending(slot, PipelineWaitMs, state, tookMs);
        };
        if (!waitFor(inquirySent_, SlotInquiry)) {
            WriteError("QuorWrite wait for InquirySent Err");
            AbandonOutstanding();
            whileWrite_ = 0;
            return 0;
        }
        if (ClosedSince(generation)) {
            return 0;
        }
        if (!waitFor(readRequested_, SlotRead)) {
            WriteError("QuorWrite wait for ReadRequested Err");
            AbandonOutstanding();
            whileWrite_ = 0;
            return 0;
        }
        if (ClosedSince(generation)) {
            return 0;
        }
    }
    output_[0] = 0;
    output_[1] = static_cast<std::uint8_t>(code);
    output_[2] = static_cast<std::uint8_t>(value);
    const std::int32_t result = HidIO(false, SlotLamp, false);
    if (generation_ == generation) {
        whileWrite_ = 0;
    }
    return result;
}

void C_HID::AbandonOutstanding()
{
    // A box that left its inquiry unanswered for 2 s would cost every later
    // lamp the same wait: a reset resending a hundred lamps would hold the
    // engine tick for minutes. The next read sees the transfers cancelled,
    // logs it and asks again.
    if (device_) {
        device_->CancelAll();
    }
}

std::int32_t C_HID::HidIO(bool isRead, int slot, bool noWait)
{
    Notify(isRead ? NotifyReadStarts : NotifyWriteStarts);
    if (!device_) {
        return 0;
    }
    const std::uint64_t generation = generation_;
    const bool started = isRead ? device_->StartRead(slot) : device_->StartWrite(slot, output_);
    if (!started) {
        WriteError("HIDIO insufficient 0 pIsRead=" + Direction(isRead));
        return 0;
    }
    platform::HidTransferResult result = device_->Poll(slot, input_);
    if (result.state == platform::HidTransferState::Pending) {
        if (noWait) {
            return 1;
        }
        Notify(NotifyWaiting);
        std::int64_t tookMs = 0;
        if (!WaitWhilePending(slot, timeoutMs_, result, tookMs)) {
            WriteError("HIDIO GetOverlappedResult TimeOut pIsRead=" + Direction(isRead) +
                       " pOl=" + std::to_string(slot) + " tTakes=" + std::to_string(tookMs) +
                       " c_TimeoutMS=" + std::to_string(timeoutMs_));
            Notify(NotifyTimedOut);
            if (!ClosedSince(generation)) {
                device_->CancelAll();
            }
            return 0;
        }
        if (ClosedSince(generation)) {
            return 0;
        }
    }
    return Completed(result, isRead);
}

std::int32_t C_HID::Completed(const platform::HidTransferResult& result, bool isRead)
{
    const std::size_t length = isRead ? input_.size() : output_.size();
    if (result.state == platform::HidTransferState::Done && result.count >= length) {
        return 1;
    }
    WriteError("HIDIO insufficient " + std::to_string(result.count) + " pIsRead=" + Direction(isRead));
    return 0;
}

bool C_HID::WaitWhilePending(int slot, int limitMs, platform::HidTransferResult& result, std::int64_t& tookMs)
{
    const std::uint64_t generation = generation_;
    const double start = platform::Timer();
    while (true) {
        platform::Pump();
        platform::RefillIfDue();
        if (ClosedSince(generation)) {
            result = {};
            return true;
        }
        result = device_->Poll(slot, slot == SlotRead ? std::span<std::uint8_t>(input_) : std::span<std::uint8_t>{});
        tookMs = numeric::RoundToInt64(basic::ElapsedSince(start, 0) * 1000.0);
        if (result.state != platform::HidTransferState::Pending) {
            return true;
        }
        if (tookMs > limitMs) {
            return false;
        }
        platform::CurrentClock().Sleep(1);
    }
}

void C_HID::Notify(std::int32_t code)
{
    if (raiseNotify_ && NotifyProc) {
        NotifyProc(code);
    }
}

void C_HID::WriteError(const std::string& text) const
{
    if (logError_) {
        basic::WriteLog(text, 1, 0);
    }
}
