#include "platform/IoThread.h"

#include "platform/ServerPaths.h"
#include "platform/base/Clock.h"
#include "platform/base/GivenUpFiles.h"
#include "platform/base/Hooks.h"
#include "platform/base/LogSink.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace platform::io {

namespace {

enum class JobState { Pending, Done, Abandoned };

struct Job {
    Work work;
    Abandon abandon;
    std::string file;
    // Set before the job is abandoned; the worker drops it once the call returned.
    std::unique_ptr<givenup::Mark> givenUp;
    std::atomic<JobState> state{JobState::Pending};
    std::int64_t result = 0;
    // Only wakes the waiting caller early; the answer itself is the atomic state.
    std::mutex wakeMutex;
    std::condition_variable wake;
};

// One worker thread with its queue. Shared with the thread, so a worker that
// was given up on can outlive the pool's interest in it.
struct Worker {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::shared_ptr<Job>> queue;
    bool busy = false;
    bool retired = false;
};

// True when a call on file, or on another file of its share, was given up on
// and has not come back: the share does not answer.
bool ShareGivenUp(const std::string& file)
{
    if (file.empty()) {
        return false;
    }
    const std::vector<std::string> files = givenup::Files();
    if (files.empty()) {
        return false;
    }
    const std::string share = ShareOf(file);
    return std::any_of(files.begin(), files.end(), [&](const std::string& given) {
        return given == file || (!share.empty() && ShareOf(given) == share);
    });
}

void Serve(const std::shared_ptr<Worker>& worker)
{
    while (true) {
        std::shared_ptr<Job> job;
        {
            std::unique_lock lock(worker->mutex);
            worker->changed.wait(lock, [&] { return worker->retired || !worker->queue.empty(); });
            if (worker->queue.empty()) {
                return; // retired and nothing left
            }
            job = std::move(worker->queue.front());
            worker->queue.pop_front();
            worker->busy = true;
        }
        const std::int64_t result = job->work();
        job->result = result;
        JobState expected = JobState::Pending;
        if (job->state.compare_exchange_strong(expected, JobState::Done, std::memory_order_acq_rel)) {
            std::lock_guard wakeLock(job->wakeMutex);
            job->wake.notify_all();
        } else {
            if (job->abandon) {
                job->abandon(result);
            }
            job->givenUp.reset(); // the share answers again
        }
        {
            std::lock_guard lock(worker->mutex);
            worker->busy = false;
        }
        worker->changed.notify_all();
    }
}

class Pool {
public:
    ~Pool()
    {
        std::lock_guard lock(mutex_);
        for (auto& [worker, thread] : workers_) {
            bool idle = false;
            {
                std::lock_guard workerLock(worker->mutex);
                worker->retired = true;
                idle = !worker->busy && worker->queue.empty();
            }
            worker->changed.notify_all();
            // A thread stuck in a server call cannot be waited for at exit.
            if (idle) {
                thread.join();
            } else {
                thread.detach();
            }
        }
    }

    void Submit(const std::shared_ptr<Job>& job)
    {
        std::lock_guard lock(mutex_);
        if (current_ == nullptr) {
            StartWorker();
        }
        {
            std::lock_guard workerLock(current_->mutex);
            current_->queue.push_back(job);
        }
        current_->changed.notify_all();
    }

    // The current worker is stuck: give its waiting jobs to a fresh one.
    void ReplaceStuckWorker()
    {
        std::lock_guard lock(mutex_);
        if (current_ == nullptr) {
            return;
        }
        std::deque<std::shared_ptr<Job>> waiting;
        {
            std::lock_guard workerLock(current_->mutex);
            waiting.swap(current_->queue);
            current_->retired = true;
        }
        current_->changed.notify_all();
        StartWorker();
        {
            std::lock_guard workerLock(current_->mutex);
            current_->queue = std::move(waiting);
        }
        current_->changed.notify_all();
        ReapFinished();
    }

    void WaitUntilIdle()
    {
        std::vector<std::shared_ptr<Worker>> all;
        {
            std::lock_guard lock(mutex_);
            for (auto& entry : workers_) {
                all.push_back(entry.first);
            }
        }
        for (const auto& worker : all) {
            std::unique_lock workerLock(worker->mutex);
            worker->changed.wait(workerLock, [&] { return !worker->busy && worker->queue.empty(); });
        }
        std::lock_guard lock(mutex_);
        ReapFinished();
    }

private:
    void StartWorker()
    {
        auto worker = std::make_shared<Worker>();
        workers_.emplace_back(worker, std::thread([worker] { Serve(worker); }));
        current_ = worker;
    }

    // Joins retired workers whose stuck call has come back meanwhile.
    void ReapFinished()
    {
        for (auto it = workers_.begin(); it != workers_.end();) {
            bool done = false;
            {
                std::lock_guard workerLock(it->first->mutex);
                done = it->first->retired && !it->first->busy && it->first->queue.empty();
            }
            if (done) {
                it->second.join();
                it = workers_.erase(it);
            } else {
                ++it;
            }
        }
    }

    std::mutex mutex_;
    std::shared_ptr<Worker> current_;
    std::vector<std::pair<std::shared_ptr<Worker>, std::thread>> workers_;
};

Pool& ThePool()
{
    static Pool pool;
    return pool;
}

std::atomic<int> waitLimitMs{15000};

double SecondsSince(double start)
{
    const double now = Timer();
    return now >= start ? now - start : now + 86400.0 - start;
}

} // namespace

int WaitLimitMs()
{
    return waitLimitMs.load();
}

void SetWaitLimitMs(int ms)
{
    waitLimitMs.store(ms > 0 ? ms : 1);
}

std::int64_t Run(Work work, Abandon abandon, const std::string& what, const std::string& file)
{
    if (ShareGivenUp(file)) {
        Log("Server file call not made, an earlier call on its share has not come back: " + what);
        errno = ETIMEDOUT;
        return -ETIMEDOUT;
    }
    // Inside a press the call waits no longer than the press has left.
    const int limitMs = PressBoundMs(WaitLimitMs());
    if (limitMs <= 0) {
        Log("Server file call not made, the press's time is up: " + what);
        errno = ETIMEDOUT;
        return -ETIMEDOUT;
    }
    auto job = std::make_shared<Job>();
    job->work = std::move(work);
    job->abandon = std::move(abandon);
    job->file = file;
    ThePool().Submit(job);

    const double start = Timer();
    const double limit = limitMs / 1000.0;
    while (job->state.load(std::memory_order_acquire) == JobState::Pending) {
        Pump();
        RefillIfDue();
        if (job->state.load(std::memory_order_acquire) != JobState::Pending) {
            break;
        }
        if (SecondsSince(start) > limit) {
            JobState expected = JobState::Pending;
            // Marked before the worker can see the job abandoned and drop the mark.
            job->givenUp = std::make_unique<givenup::Mark>(file);
            if (job->state.compare_exchange_strong(expected, JobState::Abandoned, std::memory_order_acq_rel)) {
                ThePool().ReplaceStuckWorker();
                Log("Server file call timed out after " + std::to_string(limitMs) + " ms: " + what);
                errno = ETIMEDOUT;
                return -ETIMEDOUT;
            }
            job->givenUp.reset(); // it came back just then
            break;
        }
        std::unique_lock wakeLock(job->wakeMutex);
        job->wake.wait_for(wakeLock, std::chrono::milliseconds(1),
                           [&] { return job->state.load(std::memory_order_acquire) != JobState::Pending; });
    }
    return job->result;
}

void WaitUntilIdle()
{
    ThePool().WaitUntilIdle();
}

} // namespace platform::io
