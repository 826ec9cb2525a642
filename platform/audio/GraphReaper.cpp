#include "platform/audio/GraphReaper.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace platform::audio::graphreaper {

namespace {

struct Count {
    std::mutex mutex;
    std::condition_variable changed;
    int unfinished = 0;
};

// Each thread holds the count too: one stuck past the program's exit still
// finds it there should its read ever return.
std::shared_ptr<Count> TheCount()
{
    static const std::shared_ptr<Count> count = std::make_shared<Count>();
    return count;
}

} // namespace

void Leave(std::unique_ptr<Leftover> leftover)
{
    std::shared_ptr<Count> count = TheCount();
    {
        std::lock_guard lock(count->mutex);
        ++count->unfinished;
    }
    std::thread([count, leftover = std::move(leftover)]() mutable {
        leftover.reset();
        {
            std::lock_guard lock(count->mutex);
            --count->unfinished;
        }
        count->changed.notify_all();
    }).detach();
}

int Unfinished()
{
    const std::shared_ptr<Count> count = TheCount();
    std::lock_guard lock(count->mutex);
    return count->unfinished;
}

bool WaitUntilFinished(int timeoutMs)
{
    const std::shared_ptr<Count> count = TheCount();
    std::unique_lock lock(count->mutex);
    return count->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                   [&count] { return count->unfinished == 0; });
}

} // namespace platform::audio::graphreaper
