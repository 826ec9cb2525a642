#include "platform/PumpingWait.h"

#include "platform/base/Hooks.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>

namespace platform {

void PumpBetweenSlices()
{
    Pump();
    RefillIfDue();
}

SteadyTime DeadlineAfter(int timeoutMs)
{
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
}

int PollPumping(int fd, short events, SteadyTime deadline)
{
    pollfd watched{fd, events, 0};
    while (true) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() < 0) {
            return 0; // also when the descriptor keeps reporting data that is not what the caller waits for
        }
        const int slice = static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, WaitSliceMs));
        watched.revents = 0;
        const int ready = poll(&watched, 1, slice);
        if (ready > 0) {
            return watched.revents;
        }
        if (ready < 0 && errno != EINTR) {
            return -1;
        }
        if (ready == 0 && left.count() <= 0) {
            return 0;
        }
        PumpBetweenSlices();
    }
}

} // namespace platform
