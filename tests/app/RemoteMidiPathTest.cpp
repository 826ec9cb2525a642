// A MIDI keyboard on the assembled program: a note plays the sound button it
// counts to across the outputs, on that output's device, and its note-off
// releases the Momentary sound.
#include "RemoteInputFixture.h"

#include "foundation/Parms.h"
#include "support/FakeMidiBackend.h"

#include <gtest/gtest.h>

namespace {

using apptest::RemoteInputFixture;

class RemoteMidiPath : public RemoteInputFixture {
protected:
    static std::uint32_t Note(std::uint32_t status, std::uint32_t note, std::uint32_t velocity)
    {
        return status | note << 8 | velocity << 16;
    }

    testsupport::FakeMidiBackend midi;
};

TEST_F(RemoteMidiPath, ANoteBeyondTheFirstGridPlaysTheSecondOutputAndItsNoteOffReleasesIt)
{
    midi.inputs = {"Keys"};
    Store("UseMIDIIn", "1");
    ASSERT_TRUE(Start(2));
    ASSERT_TRUE(midi.IsOpen());
    ASSERT_EQ(State().ButtonsPerPage[0], 32);
    for (int output = 1; output <= 2; ++output) {
        for (int button = 4; button <= 6; ++button) {
            AssignSound(output, 1, button);
        }
    }
    Record(1, 0, 4).PlayMode = 1; // Momentary
    Played(1);
    Played(2);

    // Button 1 is note 48: note 84 counts past output 1's 32 buttons to
    // button 5 of output 2.
    ASSERT_TRUE(midi.Send(Note(0x90, 84, 100)));
    Run(4 * parms::TimerInt);
    EXPECT_EQ(State().OutputState[1], 1);
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_EQ(SoundStarted(2), FirstFrameOf(2, 1, 5));
    EXPECT_TRUE(Silent(1));

    // Its note-off releases output 2.
    ASSERT_TRUE(midi.Send(Note(0x80, 84, 0)));
    Run(4 * parms::TimerInt);
    EXPECT_EQ(State().OutputState[1], 0);
    Played(2);
    Run(200);
    EXPECT_TRUE(Silent(2));
}

} // namespace
