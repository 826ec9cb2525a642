#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <span>
#include <type_traits>
#include <vector>

namespace platform::audio {

// A bounded queue between exactly one producer thread and one consumer thread,
// without locks: the mixer hands buffers, played samples and log events across
// threads through it. The storage is allocated once, in the constructor; Push
// and Pop never allocate. A full ring refuses new items instead of blocking.
template <typename T> class SpscRing {
    static_assert(std::is_trivially_copyable_v<T>, "ring items are copied as plain values");

public:
    explicit SpscRing(std::size_t capacity)
    {
        std::size_t size = 2;
        while (size < capacity + 1) {
            size *= 2;
        }
        slots_.resize(size);
        mask_ = size - 1;
    }

    SpscRing(const SpscRing&) = delete;
    SpscRing& operator=(const SpscRing&) = delete;

    std::size_t Capacity() const { return mask_; }

    // Producer side.
    bool Push(const T& item)
    {
        const std::size_t tail = tail_.load(std::memory_order_relaxed);
        const std::size_t next = (tail + 1) & mask_;
        if (next == head_.load(std::memory_order_acquire)) {
            return false;
        }
        slots_[tail] = item;
        tail_.store(next, std::memory_order_release);
        return true;
    }

    // Producer side: pushes as many items as fit, in order; returns how many.
    std::size_t PushSome(std::span<const T> items)
    {
        const std::size_t tail = tail_.load(std::memory_order_relaxed);
        const std::size_t head = head_.load(std::memory_order_acquire);
        const std::size_t room = (head - tail - 1) & mask_;
        const std::size_t count = std::min(room, items.size());
        // At most two runs: up to the ring's end, then from its start.
        const std::size_t first = std::min(count, slots_.size() - tail);
        std::copy_n(items.begin(), first, slots_.begin() + static_cast<std::ptrdiff_t>(tail));
        std::copy_n(items.begin() + static_cast<std::ptrdiff_t>(first), count - first, slots_.begin());
        tail_.store((tail + count) & mask_, std::memory_order_release);
        return count;
    }

    // Consumer side: the oldest item, or null when the ring is empty. The item
    // stays in the ring until PopFront.
    const T* Front() const
    {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire)) {
            return nullptr;
        }
        return &slots_[head];
    }

    // Consumer side: the item index places behind the oldest, or null when
    // fewer are waiting. It stays in the ring.
    const T* Peek(std::size_t index) const
    {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        if (index >= ((tail_.load(std::memory_order_acquire) - head) & mask_)) {
            return nullptr;
        }
        return &slots_[(head + index) & mask_];
    }

    void PopFront() { head_.store((head_.load(std::memory_order_relaxed) + 1) & mask_, std::memory_order_release); }

    bool Pop(T& item)
    {
        const T* front = Front();
        if (front == nullptr) {
            return false;
        }
        item = *front;
        PopFront();
        return true;
    }

    // Consumer side: takes up to items.size() items in order; returns how many.
    std::size_t PopSome(std::span<T> items)
    {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        const std::size_t tail = tail_.load(std::memory_order_acquire);
        const std::size_t available = (tail - head) & mask_;
        const std::size_t count = std::min(available, items.size());
        const std::size_t first = std::min(count, slots_.size() - head);
        std::copy_n(slots_.begin() + static_cast<std::ptrdiff_t>(head), first, items.begin());
        std::copy_n(slots_.begin(), count - first, items.begin() + static_cast<std::ptrdiff_t>(first));
        head_.store((head + count) & mask_, std::memory_order_release);
        return count;
    }

    // Either side: a snapshot of the number of items waiting.
    std::size_t Size() const
    {
        return (tail_.load(std::memory_order_acquire) - head_.load(std::memory_order_acquire)) & mask_;
    }
    bool Empty() const { return Size() == 0; }

private:
    std::vector<T> slots_;
    std::size_t mask_ = 0;
    alignas(64) std::atomic<std::size_t> head_{0}; // written by the consumer only
    alignas(64) std::atomic<std::size_t> tail_{0}; // written by the producer only
};

} // namespace platform::audio
