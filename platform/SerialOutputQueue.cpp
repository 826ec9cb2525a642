#include "platform/SerialOutputQueue.h"

#include <algorithm>

namespace platform {

std::size_t SerialOutputQueue::Append(std::span<const std::uint8_t> bytes, std::int64_t nowMs)
{
    std::size_t taken = bytes.size();
    if (size_ + taken > Capacity) {
        taken = sends_.empty() ? Capacity : 0;
    }
    if (taken > 0) {
        sends_.push_back(Send{{bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(taken)}, 0, nowMs});
        size_ += taken;
    }
    return bytes.size() - taken;
}

std::span<const std::uint8_t> SerialOutputQueue::Front() const
{
    if (sends_.empty()) {
        return {};
    }
    const Send& front = sends_.front();
    return std::span<const std::uint8_t>(front.bytes).subspan(front.sent);
}

void SerialOutputQueue::Consume(std::size_t count)
{
    while (count > 0 && !sends_.empty()) {
        Send& front = sends_.front();
        const std::size_t step = std::min(count, front.bytes.size() - front.sent);
        front.sent += step;
        size_ -= step;
        count -= step;
        if (front.sent == front.bytes.size()) {
            sends_.pop_front();
        }
    }
}

std::size_t SerialOutputQueue::DropExpired(std::int64_t nowMs)
{
    std::size_t dropped = 0;
    for (Send& send : sends_) {
        send.queuedAt = std::min(send.queuedAt, nowMs);
    }
    while (!sends_.empty() && nowMs - sends_.front().queuedAt >= MaxAgeMs) {
        const std::size_t left = sends_.front().bytes.size() - sends_.front().sent;
        dropped += left;
        size_ -= left;
        sends_.pop_front();
    }
    return dropped;
}

void SerialOutputQueue::Clear()
{
    sends_.clear();
    size_ = 0;
}

} // namespace platform
