// The ring that hands samples and events between the mixer and the device
// threads copies a run in two parts when it wraps past the ring's end: every
// item must come out once and in order, whatever the run's length and the slot
// it starts at, and so between two threads (the race-checked stage runs this).
#include "platform/audio/SpscRing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <limits>
#include <numeric>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace {

using platform::audio::SpscRing;
using Item = std::uint32_t;

// Items [first, first + count) of the sequence the tests push.
std::vector<Item> Sequence(Item first, std::size_t count)
{
    std::vector<Item> run(count);
    std::iota(run.begin(), run.end(), first);
    return run;
}

TEST(SpscRing, RunsOfEveryLengthFromEverySlotComeOutOnceAndInOrder)
{
    constexpr Item Untouched = std::numeric_limits<Item>::max();
    // Sizes it holds exactly and sizes it rounds up.
    for (const std::size_t asked : {1, 2, 3, 5, 7, 12}) {
        const std::size_t capacity = SpscRing<Item>(asked).Capacity();
        ASSERT_GE(capacity, asked);
        for (std::size_t start = 0; start <= capacity; ++start) {
            for (std::size_t length = 1; length <= capacity + 2; ++length) {
                SCOPED_TRACE("capacity " + std::to_string(capacity) + ", run of " + std::to_string(length) +
                             " from slot " + std::to_string(start));
                SpscRing<Item> ring(asked);
                Item item = 0;
                for (Item i = 0; i < start; ++i) {
                    ASSERT_TRUE(ring.Push(i));
                    ASSERT_TRUE(ring.Pop(item));
                    ASSERT_EQ(item, i);
                }
                const auto first = static_cast<Item>(start);
                // A run, then another into what room is left.
                const std::size_t pushed = ring.PushSome(Sequence(first, length));
                ASSERT_EQ(pushed, std::min(length, capacity));
                const std::size_t more = ring.PushSome(Sequence(first + static_cast<Item>(pushed), length));
                ASSERT_EQ(more, std::min(length, capacity - pushed));
                ASSERT_EQ(ring.Size(), pushed + more);
                ASSERT_NE(ring.Peek(pushed + more - 1), nullptr);
                EXPECT_EQ(*ring.Peek(pushed + more - 1), first + pushed + more - 1);
                EXPECT_EQ(ring.Peek(pushed + more), nullptr);

                std::vector<Item> out(2 * length + 1, Untouched);
                ASSERT_EQ(ring.PopSome(out), pushed + more);
                EXPECT_EQ(std::vector<Item>(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(pushed + more)),
                          Sequence(first, pushed + more));
                EXPECT_EQ(out[pushed + more], Untouched);
                EXPECT_TRUE(ring.Empty());
                EXPECT_FALSE(ring.Pop(item));
            }
        }
    }
}

// One thread pushes runs and single items as the mixer does, the other pops
// them as a device does, each as fast as it can.
TEST(SpscRing, AProducerAndAConsumerThreadHandOverEveryItemOnceAndInOrder)
{
    constexpr Item Total = 60000;
    for (const std::size_t asked : {3, 12}) {
        SCOPED_TRACE(asked);
        SpscRing<Item> ring(asked);
        std::atomic<bool> done{false};
        std::thread producer([&] {
            Item next = 0;
            for (std::size_t length = 1; next < Total; length = length % 17 + 1) {
                const std::vector<Item> run = Sequence(next, std::min<std::size_t>(length, Total - next));
                for (std::span<const Item> left(run); !left.empty();) {
                    const std::size_t pushed = length % 2 == 0 ? ring.PushSome(left) : (ring.Push(left[0]) ? 1 : 0);
                    left = left.subspan(pushed);
                    if (pushed == 0) {
                        std::this_thread::yield();
                    }
                }
                next += static_cast<Item>(run.size());
            }
            done = true;
        });
        std::vector<Item> received;
        std::vector<Item> out(19);
        for (std::size_t length = 1;; length = length % 19 + 1) {
            const std::size_t popped =
                length % 3 == 0 ? (ring.Pop(out[0]) ? 1 : 0) : ring.PopSome(std::span(out).first(length));
            received.insert(received.end(), out.begin(), out.begin() + static_cast<std::ptrdiff_t>(popped));
            if (popped == 0) {
                if (done && ring.Empty()) {
                    break;
                }
                std::this_thread::yield();
            }
        }
        producer.join();
        EXPECT_TRUE(received == Sequence(0, Total)) << received.size() << " items arrived";
    }
}

} // namespace
