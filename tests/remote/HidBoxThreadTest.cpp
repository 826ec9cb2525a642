#include "foundation/ModuleValues.h"
#include "platform/HidTransferThread.h"
#include "platform/HidTransport.h"
#include "remote/C_HID.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// The box object over the real I/O thread, on the machine's clock: a box that
// answers every inquiry at once, as the system would hand its reports over.
namespace {

using Bytes = std::vector<std::uint8_t>;

struct AnsweringBox {
    std::mutex mutex;
    std::condition_variable answered;
    std::deque<Bytes> answers;
    std::deque<std::uint8_t> codes;
    std::vector<Bytes> written;
};

class AnsweringChannel final : public platform::HidRawChannel {
public:
    explicit AnsweringChannel(std::shared_ptr<AnsweringBox> box) : box_(std::move(box)) {}

    int Read(std::span<std::uint8_t> into, int timeoutMs) override
    {
        std::unique_lock lock(box_->mutex);
        box_->answered.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !box_->answers.empty(); });
        if (box_->answers.empty()) {
            return 0;
        }
        const Bytes answer = box_->answers.front();
        box_->answers.pop_front();
        std::copy(answer.begin(), answer.end(), into.begin());
        return static_cast<int>(answer.size());
    }

    int Write(std::span<const std::uint8_t> report) override
    {
        std::lock_guard lock(box_->mutex);
        box_->written.emplace_back(report.begin(), report.end());
        if (report[1] == 0 || report[1] == 255) {
            // Without numbered reports the system hands the answer over without its id.
            std::uint8_t code = 0;
            if (!box_->codes.empty()) {
                code = box_->codes.front();
                box_->codes.pop_front();
            }
            box_->answers.push_back({report[2], report[1] == 255 ? std::uint8_t{0xFB} : code});
            box_->answered.notify_all();
        }
        return static_cast<int>(report.size());
    }

private:
    std::shared_ptr<AnsweringBox> box_;
};

class ThreadTransport final : public platform::HidTransport {
public:
    ThreadTransport() { platform::SetHidTransport(this); }
    ~ThreadTransport() override { platform::SetHidTransport(nullptr); }
    ThreadTransport(const ThreadTransport&) = delete;
    ThreadTransport& operator=(const ThreadTransport&) = delete;

    std::vector<platform::HidDeviceEntry> Enumerate(std::uint16_t vendorId) override
    {
        return {{"1-1:1.0", "/dev/hidraw0", vendorId, 1}};
    }
    std::unique_ptr<platform::HidDevice> Open(const platform::HidDeviceEntry& entry) override
    {
        platform::HidReportLayout layout;
        layout.inputLength = 3;
        layout.outputLength = 3;
        return std::make_unique<platform::HidTransferThread>(std::make_unique<AnsweringChannel>(box), layout,
                                                             entry.node);
    }

    std::shared_ptr<AnsweringBox> box = std::make_shared<AnsweringBox>();
};

// Polls as the engine tick does until the box gives a value (bounded).
int PollUntilAValue(C_HID& hid, int statusRequest)
{
    for (int poll = 0; poll < 100000; ++poll) {
        const int value = hid.QuorRead(statusRequest, 1, 0);
        if (value != 0) {
            return value;
        }
        std::this_thread::yield();
    }
    return 0;
}

TEST(HidBoxOverTheIoThread, EveryModeReadsTheAnswersAndSendsTheLamps)
{
    basic::LogError = 0;
    for (const int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        ThreadTransport transport;
        transport.box->codes = {12, 13};
        C_HID hid;
        ASSERT_EQ(hid.HidInit(64, 1, mode, 0), 1);
        hid.SetReadRetrialCount(1000000);
        EXPECT_EQ(PollUntilAValue(hid, 0), 12);
        EXPECT_EQ(PollUntilAValue(hid, 0), 13);
        EXPECT_EQ(hid.QuorWrite(7), 1);
        std::lock_guard lock(transport.box->mutex);
        EXPECT_EQ(transport.box->written.back(), (Bytes{0, 7, 0}));
    }
}

} // namespace
