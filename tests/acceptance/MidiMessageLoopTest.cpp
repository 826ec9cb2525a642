// Damaged MIDI input: any short-message word through the reader's ring and
// the note mapping, with note offsets at the limits of the setting. No
// crash or overflow, and every command plays a button that exists on an
// output that shows buttons, or releases one.
#include "CorruptionLoop.h"

#include "platform/MidiInRing.h"
#include "remote/MidiNoteMapping.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using namespace acceptance;

// Bytes of a case: the note offset (4 bytes, little-endian), the outputs'
// shape (1 byte), then the messages, 4 bytes each.
Bytes Case(std::int32_t offset, std::uint8_t shape, std::initializer_list<std::uint32_t> messages)
{
    Bytes bytes(4);
    std::memcpy(bytes.data(), &offset, 4);
    bytes.push_back(shape);
    for (const std::uint32_t message : messages) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<std::uint8_t>(message >> shift));
        }
    }
    return bytes;
}

std::uint32_t Word(std::span<const std::uint8_t> bytes)
{
    std::uint32_t word = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        word |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    }
    return word;
}

void CheckMidi(std::span<const std::uint8_t> input)
{
    const auto offset = static_cast<std::int32_t>(Word(input.first(std::min<std::size_t>(4, input.size()))));
    const std::uint8_t shape = input.size() > 4 ? input[4] : 0;
    std::vector<FCT_MIDI::GridOutput> outputs(1 + shape % 4);
    for (std::size_t o = 0; o < outputs.size(); ++o) {
        outputs[o].showsButtons = (shape & (0x10 << o)) == 0;
        outputs[o].buttonsPerPage = static_cast<std::int32_t>((shape * (o + 5)) % 101);
    }
    platform::MidiInRing ring;
    std::size_t taken = 0;
    const auto take = [&] {
        for (std::uint32_t message = ring.Take(); message != 0; message = ring.Take()) {
            ++taken;
            const auto command = FCT_MIDI::MapMidiNote(message, offset, outputs);
            if (!command) {
                continue;
            }
            ASSERT_GE(command->output, 0);
            ASSERT_LT(command->output, static_cast<std::int32_t>(outputs.size()));
            const auto& output = outputs[static_cast<std::size_t>(command->output)];
            EXPECT_TRUE(output.showsButtons);
            if (command->code != FCT_MIDI::ReleaseCode) {
                EXPECT_GE(command->code, 1);
                EXPECT_LE(command->code, output.buttonsPerPage);
            }
        }
    };
    std::size_t stored = 0;
    for (std::size_t at = 5; at < input.size(); at += 4) {
        const std::uint32_t message = Word(input.subspan(at, std::min<std::size_t>(4, input.size() - at)));
        ring.Store(message);
        stored += message != 0 ? 1 : 0;
        // Bursts of up to 32 messages between two ticks.
        if ((at / 4) % (1 + input[4 % input.size()] % 32) == 0) {
            take();
        }
    }
    take();
    EXPECT_LE(taken, stored);
}

const CorruptionKind& Kind()
{
    static const CorruptionKind kind{"midi",
                                     {Case(48, 0x03, {0x7F3090, 0x003080, 0x7F3590, 0x00003590, 0xFE, 0x7F40B0, 0xF8}),
                                      Case(0, 0x21, {0x400090, 0x407F90, 0x000080, 0x7F3C9F}),
                                      Case(-2147483647 - 1, 0x0F, {0x7F3090, 0x7F7F90}),
                                      Case(2147483647, 0x00, {0x7F0090, 0x7F0080})},
                                     1024};
    return kind;
}

TEST(CorruptionLoop, MidiMessages)
{
    RunCorruptionLoop(Kind(), CheckMidi);
}

TEST(RegressCases, MidiMessages)
{
    ReplayRegressCases(Kind().name, CheckMidi);
}

} // namespace
