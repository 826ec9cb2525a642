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
    for (int step = 0; step < Size; ++step) {
        const int index = (readIndex_ + step) % Size;
        const std::uint32_t message = entries_[static_cast<std::size_t>(index)].exchange(0, std::memory_order_acq_rel);
        if (message != 0) {
            readIndex_ = (index + 1) % Size;
            return message;
        }
    }
    return 0;
}

} // namespace platform
