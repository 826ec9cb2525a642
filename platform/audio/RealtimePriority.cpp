#include "platform/audio/RealtimePriority.h"

#include <algorithm>
#include <cstring>
#include <pthread.h>
#include <sched.h>

namespace platform::audio {

namespace {
// Above ordinary real-time helpers, well below the maximum so that the
// kernel's own watchdogs still run.
constexpr int mixerPriority = 70;
} // namespace

std::string MakeRealtime(std::thread& thread)
{
    sched_param parameters{};
    parameters.sched_priority =
        std::clamp(mixerPriority, sched_get_priority_min(SCHED_FIFO), sched_get_priority_max(SCHED_FIFO));
    const int result = pthread_setschedparam(thread.native_handle(), SCHED_FIFO, &parameters);
    if (result != 0) {
        return std::strerror(result);
    }
    return {};
}

} // namespace platform::audio
