#include "platform/ComboBox.h"
#include "remote/MidiIn.h"
#include "remote/MidiNoteMapping.h"
#include "support/FakeMidiBackend.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Commands = std::vector<std::pair<int, int>>;

std::uint32_t NoteOn(std::uint32_t note, std::uint32_t velocity = 100)
{
    return 0x90 | note << 8 | velocity << 16;
}

class MidiInput : public testing::Test {
protected:
    void SetUp() override
    {
        midi.inputs = {"Keystation 61 MIDI 1", "nanoPAD2 PAD", "Midi Through Port-0"};
        midi.outputs = {"Synth", "Midi Through Port-0"};
        while (FCT_MIDI::TakeMidiMessage(0) != 0) {
        }
    }
    void TearDown() override
    {
        FCT_MIDI::CloseMidiIn(0);
        FCT_MIDI::MidiInDeviceID.fill(0);
    }

    // What one poll of the engine tick does with the ring: two grids of 32.
    Commands Poll()
    {
        const std::vector<FCT_MIDI::GridOutput> outputs{{true, 32}, {true, 32}};
        Commands commands;
        while (const std::uint32_t message = FCT_MIDI::TakeMidiMessage(0)) {
            if (const auto command = FCT_MIDI::MapMidiNote(message, 48, outputs)) {
                commands.emplace_back(command->output, command->code);
            }
        }
        return commands;
    }

    testsupport::FakeMidiBackend midi;
};

TEST_F(MidiInput, TheChosenDevicePlaysButtonsAndReleasesThem)
{
    FCT_MIDI::MidiInDeviceID[0] = 1;
    ASSERT_EQ(FCT_MIDI::OpenMidiIn(0), 1);
    EXPECT_TRUE(FCT_MIDI::MidiInHandle(0));
    EXPECT_EQ(midi.openedIndex, 1);

    for (const std::uint32_t message : {NoteOn(48), 0x00FEu, 0x7F07B0u, 0x403080u, NoteOn(80, 0), NoteOn(79)}) {
        ASSERT_TRUE(midi.Send(message));
    }
    EXPECT_EQ(Poll(), (Commands{{0, 1}, {0, 255}, {1, 255}, {0, 32}}));
    EXPECT_EQ(Poll(), Commands{});

    FCT_MIDI::CloseMidiIn(0);
    EXPECT_FALSE(FCT_MIDI::MidiInHandle(0));
    EXPECT_FALSE(midi.IsOpen());
}

TEST_F(MidiInput, ADeviceThatCannotBeOpenedLeavesTheInputClosed)
{
    FCT_MIDI::MidiInDeviceID[0] = 5;
    EXPECT_EQ(FCT_MIDI::OpenMidiIn(0), 0);
    EXPECT_FALSE(FCT_MIDI::MidiInHandle(0));
    EXPECT_FALSE(midi.Send(NoteOn(48)));
    EXPECT_EQ(Poll(), Commands{});
}

TEST_F(MidiInput, AReopenClosesFirstAndKeepsTheRing)
{
    ASSERT_EQ(FCT_MIDI::OpenMidiIn(0), 1);
    midi.Send(NoteOn(50));
    ASSERT_EQ(FCT_MIDI::OpenMidiIn(0), 1);
    EXPECT_EQ(midi.opens, 2);
    EXPECT_EQ(midi.closes, 1);
    midi.Send(NoteOn(51));
    EXPECT_EQ(Poll(), (Commands{{0, 3}, {0, 4}}));
}

TEST_F(MidiInput, ABurstOfEighteenLosesTheFirstAndTheNewestComesFirst)
{
    ASSERT_EQ(FCT_MIDI::OpenMidiIn(0), 1);
    // Messages 1..18 play buttons 1..18.
    for (std::uint32_t message = 1; message <= 18; ++message) {
        midi.Send(NoteOn(47 + message));
    }
    Commands expected{{0, 18}};
    for (int button = 2; button <= 17; ++button) {
        expected.emplace_back(0, button);
    }
    EXPECT_EQ(Poll(), expected);
    // The input goes on at once after the overrun.
    midi.Send(NoteOn(47 + 19));
    midi.Send(NoteOn(47 + 20));
    EXPECT_EQ(Poll(), (Commands{{0, 19}, {0, 20}}));
    for (std::uint32_t message = 21; message <= 37; ++message) {
        midi.Send(NoteOn(47 + message));
    }
    expected.clear();
    for (int button = 21; button <= 37; ++button) {
        expected.emplace_back(button <= 32 ? 0 : 1, button <= 32 ? button : button - 32);
    }
    EXPECT_EQ(Poll(), expected);
}

TEST_F(MidiInput, TheDeviceListsAndTheChoiceOfTheStoredName)
{
    EXPECT_EQ(FCT_MIDI::MidiDeviceNames(true), midi.inputs);
    EXPECT_EQ(FCT_MIDI::MidiDeviceNames(false), midi.outputs);

    platform::ComboBox combo;
    combo.AddItem("stale");
    FCT_MIDI::FillMidiDeviceCombo(combo, true, "nanoPAD2 PAD");
    ASSERT_EQ(combo.ListCount(), 3);
    EXPECT_EQ(combo.List(0), "Keystation 61 MIDI 1");
    EXPECT_EQ(combo.ListIndex(), 1);
    FCT_MIDI::FillMidiDeviceCombo(combo, false, "Synth");
    ASSERT_EQ(combo.ListCount(), 2);
    EXPECT_EQ(combo.ListIndex(), 0);
}

} // namespace
