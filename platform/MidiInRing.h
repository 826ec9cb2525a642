#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace platform {

// The small ring between the MIDI reader thread and the engine tick. A
// message is the driver's short-message word: status byte in bits 0..7, first
// data byte in bits 8..15, second in bits 16..23; 0 marks an empty entry.
// Both sides touch only atomics: the writer stores a whole word and then
// moves on, the reader takes a whole word by exchanging it for 0, so a
// message is never torn and an entry is never cleared unseen. More than Size
// messages between two reads overwrite the oldest unread ones; the newest
// then sits at the read index and is taken first.
class MidiInRing {
public:
    static constexpr int Size = 17;

    // Writer side (the reader thread; more than one writer is safe). A 0
    // message (an opening or closing notice) is not stored.
    void Store(std::uint32_t message);
    // Reader side (one thread only): the next message from the read index on,
    // cleared as it is taken; 0 when the ring is empty. Empty entries are
    // passed over: after a burst that overran the ring the writer is no
    // longer where the reader stops, and stopping at the first empty entry
    // would leave the next messages unread until the writer came round.
    std::uint32_t Take();

private:
    std::array<std::atomic<std::uint32_t>, Size> entries_{};
    std::atomic<int> writeIndex_{0};
    int readIndex_ = 0;
};

} // namespace platform
