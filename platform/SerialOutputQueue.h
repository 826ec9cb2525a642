#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

namespace platform {

// The bytes a serial port could not hand to the driver yet, oldest first, each
// send with the moment it was queued, so that bytes waiting longer than
// MaxAgeMs can be given up as a write time-out gives them up.
class SerialOutputQueue {
public:
    static constexpr std::size_t Capacity = 4096;
    static constexpr std::int64_t MaxAgeMs = 5000;

    // Queues the bytes of one send at nowMs. A send that does not fit whole
    // is not queued at all (a frame is never cut); into an empty queue it
    // queues what fits. Returns the number of bytes left out.
    std::size_t Append(std::span<const std::uint8_t> bytes, std::int64_t nowMs);
    // The oldest bytes still waiting, in one piece (empty when none).
    std::span<const std::uint8_t> Front() const;
    // Removes count bytes from the front (the driver took them).
    void Consume(std::size_t count);
    // Removes every send queued MaxAgeMs or more before nowMs and returns the
    // number of bytes removed. When the clock went back, the sends count as
    // queued now.
    std::size_t DropExpired(std::int64_t nowMs);
    std::size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    void Clear();

private:
    struct Send {
        std::vector<std::uint8_t> bytes;
        std::size_t sent = 0;
        std::int64_t queuedAt = 0;
    };
    std::deque<Send> sends_;
    std::size_t size_ = 0;
};

} // namespace platform
