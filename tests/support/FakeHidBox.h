#pragma once

#include "platform/HidTransport.h"
#include "platform/base/VirtualClock.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// A scripted USB box of the maker on virtual time. It answers an event
// inquiry [0, 0, port] with [0, port, next code] (0 once the codes are used
// up) and a status inquiry [0, 255, port] with [0, port, mask]; any other
// report is a lamp and gets no answer. Answers wait in the box, as the
// system buffers input reports, until a read takes them. (Header only: the
// support library is linked below the platform layer.)
struct FakeHidBox {
    platform::HidDeviceEntry entry;
    std::size_t inputLength = 3;
    std::size_t outputLength = 3;

    // The script.
    bool present = true;       // listed by the enumeration
    bool opens = true;         // can be opened
    bool silent = false;       // never answers
    bool gone = false;         // every transfer fails, as after unplugging
    bool writesHang = false;   // no write ever completes
    std::int64_t writeMs = 0;  // how long each write takes
    std::int64_t answerMs = 0; // how long the box takes to answer an inquiry
    std::deque<std::uint8_t> codes;
    std::uint8_t mask = 255; // contact inputs, active low: 255 all open
    // Raw input reports that stand in for the next answers.
    std::deque<std::vector<std::uint8_t>> replies;
    // False: a reply arrives with its own length, as a box that sends short
    // or long reports would deliver it.
    bool padReplies = true;

    // What happened.
    std::vector<std::vector<std::uint8_t>> written; // every report that reached the box, in order
    int openCount = 0;
    int cancelCount = 0;
    int openDevices = 0; // device objects alive now: 0 once every open was closed

    // Answers not read yet, with the instant each became readable.
    std::deque<std::pair<std::int64_t, std::vector<std::uint8_t>>> answers;

    std::vector<std::uint8_t> Answer(std::uint8_t port, std::uint8_t value) const
    {
        std::vector<std::uint8_t> report(inputLength, 0);
        report[1] = port;
        report[2] = value;
        return report;
    }

    // The box takes a report that has fully arrived.
    void Receive(const std::vector<std::uint8_t>& report, std::int64_t at)
    {
        written.push_back(report);
        if (silent || report.size() < 3 || (report[1] != 0 && report[1] != 255)) {
            return;
        }
        std::vector<std::uint8_t> answer;
        if (!replies.empty()) {
            answer = replies.front();
            if (padReplies) {
                answer.resize(inputLength, 0);
            }
            replies.pop_front();
        } else if (report[1] == 255) {
            answer = Answer(report[2], mask);
        } else {
            std::uint8_t code = 0;
            if (!codes.empty()) {
                code = codes.front();
                codes.pop_front();
            }
            answer = Answer(report[2], code);
        }
        answers.emplace_back(at + answerMs, std::move(answer));
    }

    // The lamp reports: everything written but the inquiries.
    std::vector<std::vector<std::uint8_t>> Lamps() const
    {
        std::vector<std::vector<std::uint8_t>> lamps;
        for (const auto& report : written) {
            if (report.size() >= 3 && report[1] != 0 && report[1] != 255) {
                lamps.push_back(report);
            }
        }
        return lamps;
    }
};

// One open box: transfers complete on virtual time as the script says.
class FakeHidDevice final : public platform::HidDevice {
public:
    FakeHidDevice(std::shared_ptr<FakeHidBox> box, platform::VirtualClock& clock) : box_(std::move(box)), clock_(clock)
    {
        ++box_->openDevices;
    }
    ~FakeHidDevice() override { --box_->openDevices; }
    FakeHidDevice(const FakeHidDevice&) = delete;
    FakeHidDevice& operator=(const FakeHidDevice&) = delete;

    std::size_t InputReportLength() const override { return box_->inputLength; }
    std::size_t OutputReportLength() const override { return box_->outputLength; }

    bool StartWrite(int slot, std::span<const std::uint8_t> report) override
    {
        if (!Free(slot)) {
            return false;
        }
        slots_[slot] = {false, platform::HidTransferState::Pending, ++sequence_, clock_.TotalMs() + box_->writeMs,
                        std::vector<std::uint8_t>(report.begin(), report.end())};
        return true;
    }

    bool StartRead(int slot) override
    {
        if (!Free(slot)) {
            return false;
        }
        slots_[slot] = {true, platform::HidTransferState::Pending, ++sequence_, 0, {}};
        return true;
    }

    platform::HidTransferResult Poll(int slot, std::span<std::uint8_t> input) override
    {
        Update();
        const auto found = slots_.find(slot);
        if (found == slots_.end()) {
            return {};
        }
        const Transfer& transfer = found->second;
        if (transfer.state == platform::HidTransferState::Done && transfer.isRead) {
            std::copy_n(transfer.data.begin(), std::min(input.size(), transfer.data.size()), input.begin());
        }
        return {transfer.state, transfer.state == platform::HidTransferState::Done ? transfer.data.size() : 0};
    }

    void CancelAll() override
    {
        ++box_->cancelCount;
        std::erase_if(slots_,
                      [](const auto& entry) { return entry.second.state == platform::HidTransferState::Pending; });
    }

private:
    struct Transfer {
        bool isRead = false;
        platform::HidTransferState state = platform::HidTransferState::Idle;
        std::uint64_t sequence = 0;
        std::int64_t completesAt = 0; // writes
        std::vector<std::uint8_t> data;
    };

    bool Free(int slot) const
    {
        const auto found = slots_.find(slot);
        return slot >= 0 && slot < SlotCount &&
               (found == slots_.end() || found->second.state != platform::HidTransferState::Pending);
    }

    // Completes what is due by now, in the order the transfers were started.
    void Update()
    {
        const std::int64_t now = clock_.TotalMs();
        std::vector<Transfer*> pending;
        for (auto& [slot, transfer] : slots_) {
            if (transfer.state == platform::HidTransferState::Pending) {
                pending.push_back(&transfer);
            }
        }
        std::sort(pending.begin(), pending.end(), [](auto* a, auto* b) { return a->sequence < b->sequence; });
        for (Transfer* transfer : pending) {
            if (box_->gone) {
                transfer->state = platform::HidTransferState::Failed;
            } else if (!transfer->isRead) {
                if (!box_->writesHang && transfer->completesAt <= now) {
                    box_->Receive(transfer->data, transfer->completesAt);
                    transfer->state = platform::HidTransferState::Done;
                }
            } else if (!box_->answers.empty() && box_->answers.front().first <= now) {
                transfer->data = std::move(box_->answers.front().second);
                box_->answers.pop_front();
                transfer->state = platform::HidTransferState::Done;
            }
        }
    }

    std::shared_ptr<FakeHidBox> box_;
    platform::VirtualClock& clock_;
    std::map<int, Transfer> slots_;
    std::uint64_t sequence_ = 0;
};

// The boxes a test plugs in, found in the order they were added (which need
// not be their port order). Installed for the life of the object.
class FakeHidTransport final : public platform::HidTransport {
public:
    explicit FakeHidTransport(platform::VirtualClock& clock) : clock_(clock) { platform::SetHidTransport(this); }
    ~FakeHidTransport() override { platform::SetHidTransport(nullptr); }
    FakeHidTransport(const FakeHidTransport&) = delete;
    FakeHidTransport& operator=(const FakeHidTransport&) = delete;

    // Plugs in a box of the maker on a USB port ("1-1.2"); its interface 0 is
    // the next free hidraw node.
    FakeHidBox& Plug(std::uint16_t productId, const std::string& port, std::uint16_t vendorId = 0x19AA)
    {
        auto box = std::make_shared<FakeHidBox>();
        box->entry.path = port + ":1.0";
        box->entry.node = "/dev/hidraw" + std::to_string(nextNode_++);
        box->entry.vendorId = vendorId;
        box->entry.productId = productId;
        boxes.push_back(box);
        return *box;
    }

    // Unplugs the box and plugs it in again on the same port: it gets a new
    // node, and what it had not delivered yet is lost.
    void Replug(FakeHidBox& box)
    {
        box.entry.node = "/dev/hidraw" + std::to_string(nextNode_++);
        box.answers.clear();
        box.gone = false;
        box.present = true;
    }

    std::vector<platform::HidDeviceEntry> Enumerate(std::uint16_t vendorId) override
    {
        ++enumerations;
        std::vector<platform::HidDeviceEntry> entries;
        for (const auto& box : boxes) {
            if (box->present && box->entry.vendorId == vendorId) {
                entries.push_back(box->entry);
            }
        }
        return entries;
    }

    std::unique_ptr<platform::HidDevice> Open(const platform::HidDeviceEntry& entry) override
    {
        for (const auto& box : boxes) {
            if (box->present && box->entry.node == entry.node) {
                if (!box->opens) {
                    return nullptr;
                }
                ++box->openCount;
                return std::make_unique<FakeHidDevice>(box, clock_);
            }
        }
        return nullptr;
    }

    std::vector<std::shared_ptr<FakeHidBox>> boxes;
    int enumerations = 0;

private:
    platform::VirtualClock& clock_;
    int nextNode_ = 0;
};

} // namespace testsupport
