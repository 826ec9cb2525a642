#include "remote/MidiNoteMapping.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace {

using FCT_MIDI::GridOutput;
using FCT_MIDI::MapMidiNote;

std::uint32_t Message(std::uint32_t status, std::uint32_t data1, std::uint32_t data2)
{
    return status | data1 << 8 | data2 << 16;
}
std::uint32_t NoteOn(std::uint32_t note, std::uint32_t velocity = 100)
{
    return Message(0x90, note, velocity);
}
std::uint32_t NoteOff(std::uint32_t note)
{
    return Message(0x80, note, 64);
}

// (output, code), or (-1, -1) for nothing.
std::pair<int, int> Mapped(std::uint32_t message, const std::vector<GridOutput>& outputs, int offset = 48)
{
    const auto command = MapMidiNote(message, offset, outputs);
    return command ? std::pair{command->output, command->code} : std::pair{-1, -1};
}

const std::pair<int, int> nothing{-1, -1};
const std::vector<GridOutput> twoGrids{{true, 32}, {true, 32}};

TEST(MidiNoteMapping, NotesCountOnAcrossTheButtonGrids)
{
    EXPECT_EQ(Mapped(NoteOn(48), twoGrids), std::pair(0, 1));
    EXPECT_EQ(Mapped(NoteOn(79), twoGrids), std::pair(0, 32));
    EXPECT_EQ(Mapped(NoteOn(80), twoGrids), std::pair(1, 1));
    EXPECT_EQ(Mapped(NoteOn(111), twoGrids), std::pair(1, 32));
    EXPECT_EQ(Mapped(NoteOn(112), twoGrids), nothing);
    EXPECT_EQ(Mapped(NoteOn(47), twoGrids), nothing);
    EXPECT_EQ(Mapped(NoteOn(0), twoGrids), nothing);
    // Another base note.
    EXPECT_EQ(Mapped(NoteOn(60), twoGrids, 60), std::pair(0, 1));
    EXPECT_EQ(Mapped(NoteOn(48), twoGrids, 60), nothing);
    // Only the outputs in use count.
    EXPECT_EQ(Mapped(NoteOn(80), {{true, 32}}), nothing);
}

TEST(MidiNoteMapping, ListOutputsArePassedOver)
{
    const std::vector<GridOutput> listThenGrid{{false, 32}, {true, 32}};
    EXPECT_EQ(Mapped(NoteOn(48), listThenGrid), std::pair(1, 1));
    EXPECT_EQ(Mapped(NoteOn(80), listThenGrid), nothing);
    const std::vector<GridOutput> gridsAroundAList{{true, 16}, {false, 32}, {true, 8}};
    EXPECT_EQ(Mapped(NoteOn(64), gridsAroundAList), std::pair(2, 1));
    EXPECT_EQ(Mapped(NoteOn(71), gridsAroundAList), std::pair(2, 8));
}

TEST(MidiNoteMapping, ANoteOffReleasesTheOutputOfItsNote)
{
    EXPECT_EQ(Mapped(NoteOff(50), twoGrids), std::pair(0, 255));
    EXPECT_EQ(Mapped(NoteOff(90), twoGrids), std::pair(1, 255));
    EXPECT_EQ(Mapped(NoteOff(47), twoGrids), nothing);
    // A keyboard's key release: a note-on of velocity 0.
    EXPECT_EQ(Mapped(NoteOn(50, 0), twoGrids), std::pair(0, 255));
    EXPECT_EQ(Mapped(NoteOn(50, 1), twoGrids), std::pair(0, 3));
}

TEST(MidiNoteMapping, NotesOfEveryChannelCount)
{
    EXPECT_EQ(Mapped(Message(0x9F, 49, 127), twoGrids), std::pair(0, 2));
    EXPECT_EQ(Mapped(Message(0x8F, 49, 0), twoGrids), std::pair(0, 255));
}

TEST(MidiNoteMapping, OtherMessagesDoNothing)
{
    for (const std::uint32_t message :
         {Message(0xFE, 0, 0), Message(0xB0, 48, 127), Message(0xB3, 7, 100), Message(0xC0, 48, 0), Message(0xF8, 0, 0),
          Message(0xA0, 48, 127), Message(0xD0, 48, 0), Message(0xE0, 0, 64), Message(0xFA, 0, 0)}) {
        EXPECT_EQ(Mapped(message, twoGrids), nothing) << std::hex << message;
    }
}

} // namespace
