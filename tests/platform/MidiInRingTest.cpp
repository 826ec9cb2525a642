#include "platform/MidiInRing.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

namespace {

TEST(MidiInRing, MessagesComeOutInOrderAndZeroIsNoMessage)
{
    platform::MidiInRing ring;
    EXPECT_EQ(ring.Take(), 0u);
    ring.Store(0x403090);
    ring.Store(0);
    ring.Store(0x00FE);
    EXPECT_EQ(ring.Take(), 0x403090u);
    EXPECT_EQ(ring.Take(), 0x00FEu);
    EXPECT_EQ(ring.Take(), 0u);
}

TEST(MidiInRing, SeventeenMessagesFit)
{
    platform::MidiInRing ring;
    for (std::uint32_t m = 1; m <= 17; ++m) {
        ring.Store(m);
    }
    for (std::uint32_t m = 1; m <= 17; ++m) {
        EXPECT_EQ(ring.Take(), m);
    }
    EXPECT_EQ(ring.Take(), 0u);
}

// A message word whose top byte checks its low 24 bits: a word put together
// from two messages would fail the check.
std::uint32_t Word(std::uint32_t serial)
{
    const std::uint32_t low = 0x90u | (serial & 0x0Fu) | ((serial >> 4) & 0x7Fu) << 8 | ((serial >> 11) & 0x7Fu) << 16;
    const std::uint32_t check = (low * 2654435761u) >> 24;
    return low | check << 24;
}
bool Whole(std::uint32_t word)
{
    const std::uint32_t low = word & 0xFFFFFFu;
    return ((low * 2654435761u) >> 24) == word >> 24;
}
std::uint32_t Serial(std::uint32_t word)
{
    return (word & 0x0Fu) | ((word >> 8) & 0x7Fu) << 4 | ((word >> 16) & 0x7Fu) << 11;
}

TEST(MidiInRing, AReaderBesideTheWriterNeverSeesATornOrRepeatedMessage)
{
    platform::MidiInRing ring;
    constexpr std::uint32_t Count = 200000;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (std::uint32_t serial = 0; serial < Count; ++serial) {
            ring.Store(Word(serial));
        }
        done.store(true);
    });

    std::set<std::uint32_t> seen;
    std::size_t torn = 0;
    std::size_t repeated = 0;
    const auto take = [&] {
        while (const std::uint32_t word = ring.Take()) {
            torn += Whole(word) ? 0 : 1;
            repeated += seen.insert(Serial(word)).second ? 0 : 1;
        }
    };
    while (!done.load()) {
        take();
    }
    writer.join();
    take();

    EXPECT_EQ(torn, 0u);
    EXPECT_EQ(repeated, 0u);
    EXPECT_FALSE(seen.empty());
    // The last messages are never lost: nothing came after them.
    EXPECT_TRUE(seen.contains(Count - 1));
    EXPECT_LE(seen.size(), Count);
}

} // namespace
