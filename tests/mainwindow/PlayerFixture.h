#pragma once

#include "ShellFixture.h"

#include "audio/C_WaveOut.h"
#include "platform/audio/AudioSystem.h"

#include <string>

namespace shelltest {

// The main window started on one null output device (virtual time), with a
// waveOut player that can be put into a slot and started.
class PlayerFixture : public ShellFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // A two-second wave file beside the program.
    std::string SoundFile();
    // Puts a waveOut player on device 1 into the slot, loads the sound and,
    // unless asked not to, starts it and marks the output as playing. The
    // player keeps its device open after a stop.
    C_WaveOut& PutPlayer(int slot, bool play = true);
    // Voices open on the output device.
    int OpenVoices();
};

} // namespace shelltest
