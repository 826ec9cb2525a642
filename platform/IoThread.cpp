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
#include <unordered_map>
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

// An idle worker ends after this long; the next call on its share starts a
// new one.
constexpr auto IdleLinger = std::chrono::seconds(2);

// One worker thread with its queue. Shared with the thread, so a worker that
// was given up on can outlive the pool's interest in it.
struct Worker {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::shared_ptr<Job>> queue;
    bool busy = false;
    // Takes no new calls: it is stuck, or the program ends.
    bool retired = false;
    // The thread has returned and only waits to be joined.
    bool ended = false;
};

// True when a call on file, or on another file of its share, was given up on
// and has not come back: the share does not answer.
bool ShareGivenUp(const std::string& file, const std::string& share)
{
    if (file.empty()) {
        return false;
    }
    const std::vector<std::string> files = givenup::Files();
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
            worker->changed.wait_for(lock, IdleLinger, [&] { return worker->retired || !worker->queue.empty(); });
            if (worker->queue.empty()) {
                worker->ended = true; // retired, or idle long enough
                worker->changed.notify_all();
                return;
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

bool Idle(Worker& worker)
{
    return !worker.busy && worker.queue.empty();
}

// The workers, one taking the calls of each share; besides them the ones
// given up on, each finishing its stuck call.
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
                idle = Idle(*worker);
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

    void Submit(const std::string& share, const std::shared_ptr<Job>& job)
    {
        std::lock_guard lock(mutex_);
        ReapEnded();
        std::shared_ptr<Worker>& worker = current_[share];
        if (worker != nullptr) {
            {
                std::lock_guard workerLock(worker->mutex);
                if (!worker->ended && !worker->retired) {
                    worker->queue.push_back(job);
                    worker->changed.notify_all();
                    return;
                }
            }
        }
        // None yet, or it ended idle just now.
        worker = StartWorker({job});
    }

    // The share's worker is stuck: its waiting calls go to a fresh one.
    void ReplaceStuckWorker(const std::string& share)
    {
        std::lock_guard lock(mutex_);
        const auto found = current_.find(share);
        if (found == current_.end()) {
            return;
        }
        std::deque<std::shared_ptr<Job>> waiting;
        {
            std::lock_guard workerLock(found->second->mutex);
            waiting.swap(found->second->queue);
            found->second->retired = true;
        }
        found->second->changed.notify_all();
        found->second = StartWorker(std::move(waiting));
        ReapEnded();
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
            worker->changed.wait(workerLock, [&] { return Idle(*worker); });
        }
        std::lock_guard lock(mutex_);
        ReapEnded();
    }

private:
    // The queue is filled before the thread starts, so it cannot end idle first.
    std::shared_ptr<Worker> StartWorker(std::deque<std::shared_ptr<Job>> queue)
    {
        auto worker = std::make_shared<Worker>();
        worker->queue = std::move(queue);
        workers_.emplace_back(worker, std::thread([worker] { Serve(worker); }));
        return worker;
    }

    // Joins the threads that have returned: idle ones, and retired ones whose
    // stuck call came back meanwhile.
    void ReapEnded()
    {
        for (auto it = workers_.begin(); it != workers_.end();) {
            bool ended = false;
            {
                std::lock_guard workerLock(it->first->mutex);
                ended = it->first->ended;
            }
            if (ended) {
                it->second.join();
                it = workers_.erase(it);
            } else {
                ++it;
            }
        }
        std::erase_if(current_, [](const auto& entry) {
            std::lock_guard workerLock(entry.second->mutex);
            return entry.second->ended;
        });
    }

    std::mutex mutex_;
    std::unordered_map<std::string, std::shared_ptr<Worker>> current_;
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

std::int64_t Run(Work work, Abandon abandon, const std::string& what, const std::string& file,
                 WhenShareGivenUp whenGivenUp)
{
    const std::string share = file.empty() ? std::string() : ShareOf(file);
    if (whenGivenUp == WhenShareGivenUp::Refuse && ShareGivenUp(file, share)) {
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
    ThePool().Submit(share, job);

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
                ThePool().ReplaceStuckWorker(share);
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
