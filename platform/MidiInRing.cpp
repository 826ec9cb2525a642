#include "platform/MidiInRing.h"

namespace platform {

void MidiInRing::Store(std::uint32_t message)
{
    if (message == 0) {
        return;
    }
    int index = writeIndex_.load(std::memory_order_relaxed);
    while (!writeIndex_.compare_exchange_weak(index, (index + 1) % Size, std::memory_order_relaxed)) {
    }
    entries_[static_cast<std::size_t>(index)].store(message, std::memory_order_release);
}

std::uint32_t MidiInRing::Take()
{
    const std::uint32_t message =
        entries_[static_cast<std::size_t>(readIndex_)].exchange(0, std::memory_order_acq_rel);
    if (message != 0) {
        readIndex_ = (readIndex_ + 1) % Size;
    }
    return message;
}

} // namespace platform
