#include "platform/audio/MixerThreadObserver.h"

#include <atomic>

namespace platform::audio {

namespace {
std::atomic<const MixerThreadObserver*> installed{nullptr};
}

void SetMixerThreadObserver(const MixerThreadObserver* observer)
{
    installed.store(observer, std::memory_order_release);
}

const MixerThreadObserver* CurrentMixerThreadObserver()
{
    return installed.load(std::memory_order_acquire);
}

} // namespace platform::audio
