#include "platform/HidTransferThread.h"

#include "platform/ErrorText.h"
#include "platform/base/LogSink.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

namespace platform {

enum class JobState { Pending, Done, Failed, Cancelled };

struct HidTransferThread::Job {
    bool isRead = false;
    // The report to send, or the report read: owned by the I/O thread until
    // state leaves Pending, by the caller's thread after that.
    std::vector<std::uint8_t> data;
    int result = 0;
    std::atomic<JobState> state{JobState::Pending};
    bool failureLogged = false; // caller's thread only
};

struct HidTransferThread::Shared {
    std::unique_ptr<HidRawChannel> channel;
    HidReportLayout layout;
    std::string name;

    std::mutex mutex;
    std::condition_variable work;
    std::deque<std::shared_ptr<Job>> queue;
    bool stop = false;
    bool writing = false;
};

HidTransferThread::HidTransferThread(std::unique_ptr<HidRawChannel> channel, const HidReportLayout& layout,
                                     std::string name)
    : shared_(std::make_shared<Shared>())
{
    shared_->channel = std::move(channel);
    shared_->layout = layout;
    shared_->name = std::move(name);
    thread_ = std::thread([shared = shared_] { Serve(shared); });
}

HidTransferThread::~HidTransferThread()
{
    CancelAll();
    bool stuck = false;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stop = true;
        stuck = shared_->writing;
    }
    shared_->work.notify_all();
    // A pending read ends within one slice; a write may hang in the system
    // for seconds, and the caller must not wait for it.
    if (stuck) {
        thread_.detach();
    } else {
        thread_.join();
    }
}

std::size_t HidTransferThread::InputReportLength() const
{
    return shared_->layout.inputLength;
}

std::size_t HidTransferThread::OutputReportLength() const
{
    return shared_->layout.outputLength;
}

bool HidTransferThread::StartWrite(int slot, std::span<const std::uint8_t> report)
{
    auto job = std::make_shared<Job>();
    job->data.assign(report.begin(), report.end());
    return Start(slot, job);
}

bool HidTransferThread::StartRead(int slot)
{
    auto job = std::make_shared<Job>();
    job->isRead = true;
    job->data.assign(std::max<std::size_t>(shared_->layout.inputLength, 1), 0);
    return Start(slot, job);
}

bool HidTransferThread::Start(int slot, const std::shared_ptr<Job>& job)
{
    if (slot < 0 || slot >= SlotCount) {
        return false;
    }
    auto& current = slots_[static_cast<std::size_t>(slot)];
    if (current && current->state.load(std::memory_order_acquire) == JobState::Pending) {
        return false;
    }
    current = job;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->queue.push_back(job);
    }
    shared_->work.notify_all();
    return true;
}

HidTransferResult HidTransferThread::Poll(int slot, std::span<std::uint8_t> input)
{
    if (slot < 0 || slot >= SlotCount || !slots_[static_cast<std::size_t>(slot)]) {
        return {};
    }
    Job& job = *slots_[static_cast<std::size_t>(slot)];
    switch (job.state.load(std::memory_order_acquire)) {
    case JobState::Pending:
        return {HidTransferState::Pending, 0};
    case JobState::Cancelled:
        return {};
    case JobState::Failed:
        if (!job.failureLogged) {
            job.failureLogged = true;
            Log("HID " + std::string(job.isRead ? "read" : "write") + " failed on " + shared_->name + ": " +
                ErrorText(-job.result));
        }
        return {HidTransferState::Failed, 0};
    case JobState::Done:
        break;
    }
    const auto count = static_cast<std::size_t>(job.result);
    if (job.isRead) {
        std::copy_n(job.data.begin(), std::min(input.size(), count), input.begin());
    }
    return {HidTransferState::Done, count};
}

void HidTransferThread::CancelAll()
{
    for (auto& job : slots_) {
        if (job) {
            JobState expected = JobState::Pending;
            job->state.compare_exchange_strong(expected, JobState::Cancelled, std::memory_order_acq_rel);
            job.reset();
        }
    }
}

void HidTransferThread::Finish(Job& job, int result)
{
    job.result = result;
    JobState expected = JobState::Pending;
    // A job the caller cancelled meanwhile keeps its Cancelled state.
    job.state.compare_exchange_strong(expected, result < 0 ? JobState::Failed : JobState::Done,
                                      std::memory_order_acq_rel);
}

void HidTransferThread::Deliver(Job& job, std::span<const std::uint8_t> report)
{
    // Shorter reports are padded, as the caller always gets the longest length.
    std::fill(job.data.begin(), job.data.end(), 0);
    std::copy_n(report.begin(), std::min(report.size(), job.data.size()), job.data.begin());
    Finish(job, static_cast<int>(job.data.size()));
}

void HidTransferThread::Serve(const std::shared_ptr<Shared>& shared)
{
    const HidReportLayout layout = shared->layout;
    std::deque<std::shared_ptr<Job>> writes;
    std::deque<std::shared_ptr<Job>> reads;
    // Reports that came in for a read cancelled meanwhile: the next read gets
    // them, as the system would have kept them for it.
    std::deque<std::vector<std::uint8_t>> held;
    // Room for the longest report the system may hand over, id included.
    std::vector<std::uint8_t> received(std::max<std::size_t>(layout.inputLength, 1) + 1);

    const auto cancelled = [](const std::shared_ptr<Job>& job) {
        return job->state.load(std::memory_order_acquire) != JobState::Pending;
    };

    while (true) {
        {
            std::unique_lock lock(shared->mutex);
            if (writes.empty() && reads.empty()) {
                shared->work.wait(lock, [&] { return shared->stop || !shared->queue.empty(); });
            }
            if (shared->stop) {
                break;
            }
            for (auto& job : shared->queue) {
                (job->isRead ? reads : writes).push_back(std::move(job));
            }
            shared->queue.clear();
        }
        std::erase_if(writes, cancelled);
        std::erase_if(reads, cancelled);

        if (!writes.empty()) {
            const std::shared_ptr<Job> job = writes.front();
            writes.pop_front();
            {
                std::lock_guard lock(shared->mutex);
                shared->writing = true;
            }
            const int result = shared->channel->Write(job->data);
            {
                std::lock_guard lock(shared->mutex);
                shared->writing = false;
            }
            Finish(*job, result);
            continue;
        }
        if (reads.empty()) {
            continue;
        }
        if (!held.empty()) {
            Deliver(*reads.front(), held.front());
            reads.pop_front();
            held.pop_front();
            continue;
        }

        // A box without numbered reports delivers them without an id; the
        // caller always finds the id byte first, 0 for such a box.
        const std::size_t idBytes = layout.numberedReports ? 0 : 1;
        const std::span<std::uint8_t> into(received.data() + idBytes, received.size() - idBytes);
        const int result = shared->channel->Read(into, ReadSliceMs);
        if (result == 0) {
            continue;
        }
        std::erase_if(reads, cancelled);
        if (result < 0) {
            if (!reads.empty()) {
                Finish(*reads.front(), result);
                reads.pop_front();
            }
            continue;
        }
        received[0] = idBytes == 1 ? 0 : received[0];
        const std::span<const std::uint8_t> report(received.data(), static_cast<std::size_t>(result) + idBytes);
        if (reads.empty()) {
            if (held.size() < MaxHeldReports) {
                held.emplace_back(report.begin(), report.end());
            }
            continue;
        }
        Deliver(*reads.front(), report);
        reads.pop_front();
    }
}

} // namespace platform
