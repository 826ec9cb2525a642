#include "platform/HidTransferThread.h"
#include "platform/base/LogSink.h"
#include "support/RealWait.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using platform::HidTransferState;
using Bytes = std::vector<std::uint8_t>;

// What the system would do with a box: input reports the test hands in, writes
// it records (and may hold up), a failure it may report. Shared between the
// test and the channel, which the I/O thread owns.
struct Box {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Bytes> incoming;
    std::vector<Bytes> writes;
    bool holdWrites = false;
    bool readsWaitForAReport = false; // a read blocks past its time-out until a report comes
    int readsEntered = 0;
    int readError = 0;
    bool closed = false;

    void Send(Bytes report)
    {
        {
            std::lock_guard lock(mutex);
            incoming.push_back(std::move(report));
        }
        changed.notify_all();
    }
    void Release()
    {
        {
            std::lock_guard lock(mutex);
            holdWrites = false;
        }
        changed.notify_all();
    }
    // Waits (bounded) for a condition the I/O thread brings about.
    bool Await(const std::function<bool()>& done)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, testsupport::RealWait, done);
    }
};

class ScriptedChannel final : public platform::HidRawChannel {
public:
    explicit ScriptedChannel(std::shared_ptr<Box> box) : box_(std::move(box)) {}
    ~ScriptedChannel() override
    {
        {
            std::lock_guard lock(box_->mutex);
            box_->closed = true;
        }
        box_->changed.notify_all();
    }

    int Read(std::span<std::uint8_t> into, int timeoutMs) override
    {
        std::unique_lock lock(box_->mutex);
        ++box_->readsEntered;
        box_->changed.notify_all();
        const auto arrived = [&] { return !box_->incoming.empty() || box_->readError != 0; };
        if (box_->readsWaitForAReport) {
            box_->changed.wait(lock, arrived);
        } else {
            box_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), arrived);
        }
        if (box_->readError != 0) {
            return box_->readError;
        }
        if (box_->incoming.empty()) {
            return 0;
        }
        const Bytes report = std::move(box_->incoming.front());
        box_->incoming.pop_front();
        box_->changed.notify_all();
        const std::size_t count = std::min(report.size(), into.size());
        std::copy_n(report.begin(), count, into.begin());
        return static_cast<int>(count);
    }

    int Write(std::span<const std::uint8_t> report) override
    {
        std::unique_lock lock(box_->mutex);
        box_->writes.emplace_back(report.begin(), report.end());
        box_->changed.notify_all();
        box_->changed.wait(lock, [&] { return !box_->holdWrites; });
        return static_cast<int>(report.size());
    }

private:
    std::shared_ptr<Box> box_;
};

class HidTransferThread : public testing::Test {
protected:
    std::unique_ptr<platform::HidTransferThread> Open(std::size_t length, bool numbered)
    {
        platform::HidReportLayout layout;
        layout.inputLength = length;
        layout.outputLength = length;
        layout.numberedReports = numbered;
        return std::make_unique<platform::HidTransferThread>(std::make_unique<ScriptedChannel>(box), layout,
                                                             "/dev/hidraw9");
    }
    // Waits (bounded, on the machine's clock) until the slot's transfer ends.
    static platform::HidTransferResult Finished(platform::HidDevice& device, int slot, Bytes& input)
    {
        const auto deadline = std::chrono::steady_clock::now() + testsupport::RealWait;
        while (true) {
            const auto result = device.Poll(slot, input);
            if (result.state != HidTransferState::Pending || std::chrono::steady_clock::now() > deadline) {
                return result;
            }
            std::this_thread::yield();
        }
    }

    std::shared_ptr<Box> box = std::make_shared<Box>();
};

TEST_F(HidTransferThread, ReportsComeBackWithTheirIdFirstAndPadded)
{
    // Without numbered reports the system leaves the id out: it becomes 0.
    auto plain = Open(9, false);
    Bytes input(9, 0xEE);
    ASSERT_TRUE(plain->StartRead(1));
    box->Send({0, 12});
    auto result = Finished(*plain, 1, input);
    EXPECT_EQ(result.state, HidTransferState::Done);
    EXPECT_EQ(result.count, 9u);
    EXPECT_EQ(input, (Bytes{0, 0, 12, 0, 0, 0, 0, 0, 0}));

    auto numbered = Open(4, true);
    Bytes short4(4, 0xEE);
    ASSERT_TRUE(numbered->StartRead(0));
    box->Send({5, 0, 7, 1});
    result = Finished(*numbered, 0, short4);
    EXPECT_EQ(result.state, HidTransferState::Done);
    EXPECT_EQ(short4, (Bytes{5, 0, 7, 1}));
}

TEST_F(HidTransferThread, WritesGoOutInOrderWhileAReadWaits)
{
    auto device = Open(3, false);
    Bytes input(3, 0);
    ASSERT_TRUE(device->StartRead(1));
    ASSERT_TRUE(device->StartWrite(0, Bytes{0, 0, 0}));
    ASSERT_TRUE(device->StartWrite(2, Bytes{0, 7, 0}));
    EXPECT_FALSE(device->StartRead(1)); // its read still runs
    EXPECT_FALSE(device->StartWrite(3, Bytes{0, 1, 0}));

    EXPECT_EQ(Finished(*device, 2, input).state, HidTransferState::Done);
    EXPECT_EQ(Finished(*device, 0, input).count, 3u);
    EXPECT_EQ(device->Poll(1, input).state, HidTransferState::Pending);
    {
        std::lock_guard lock(box->mutex);
        EXPECT_EQ(box->writes, (std::vector<Bytes>{{0, 0, 0}, {0, 7, 0}}));
    }
    box->Send({0, 4});
    EXPECT_EQ(Finished(*device, 1, input).state, HidTransferState::Done);
    EXPECT_EQ(input, (Bytes{0, 0, 4}));
}

TEST_F(HidTransferThread, AReportForACancelledReadWaitsForTheNextRead)
{
    auto device = Open(3, false);
    Bytes input(3, 0);
    {
        std::lock_guard lock(box->mutex);
        box->readsWaitForAReport = true;
    }
    ASSERT_TRUE(device->StartRead(1));
    ASSERT_TRUE(box->Await([&] { return box->readsEntered > 0; }));
    device->CancelAll();
    EXPECT_EQ(device->Poll(1, input).state, HidTransferState::Idle);
    // The report reaches the thread's read that was cancelled meanwhile.
    box->Send({0, 9});
    ASSERT_TRUE(box->Await([&] { return box->incoming.empty(); }));
    ASSERT_TRUE(device->StartRead(1));
    EXPECT_EQ(Finished(*device, 1, input).state, HidTransferState::Done);
    EXPECT_EQ(input, (Bytes{0, 0, 9}));
}

TEST_F(HidTransferThread, AFailingBoxFailsItsTransfersWithALogLineOnTheCallersThread)
{
    std::vector<std::string> lines;
    platform::SetLogSink([&](std::string_view text, int) { lines.emplace_back(text); });
    auto device = Open(3, false);
    Bytes input(3, 0);
    {
        std::lock_guard lock(box->mutex);
        box->readError = -ENODEV;
    }
    ASSERT_TRUE(device->StartRead(1));
    EXPECT_EQ(Finished(*device, 1, input).state, HidTransferState::Failed);
    EXPECT_EQ(device->Poll(1, input).state, HidTransferState::Failed);
    platform::SetLogSink({});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("HID read failed on /dev/hidraw9: ", 0), 0u) << lines[0];
}

TEST_F(HidTransferThread, AWriteStuckInTheSystemDoesNotHoldUpClosing)
{
    auto device = Open(3, false);
    {
        std::lock_guard lock(box->mutex);
        box->holdWrites = true;
    }
    ASSERT_TRUE(device->StartWrite(2, Bytes{0, 7, 0}));
    ASSERT_TRUE(box->Await([&] { return !box->writes.empty(); }));
    device.reset(); // returns while the write still hangs
    {
        std::lock_guard lock(box->mutex);
        EXPECT_FALSE(box->closed);
    }
    box->Release();
    // The thread finishes the write on its own and closes the box.
    EXPECT_TRUE(box->Await([&] { return box->closed; }));
}

TEST_F(HidTransferThread, ClosingEndsAPendingRead)
{
    auto device = Open(3, false);
    ASSERT_TRUE(device->StartRead(1));
    device.reset();
    std::lock_guard lock(box->mutex);
    EXPECT_TRUE(box->closed);
}

} // namespace
