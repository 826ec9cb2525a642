#pragma once

#include "ShellFixture.h"

#include <string>
#include <vector>

namespace shelltest {

// The main window on four null output devices ("Null 1" .. "Null 4", 48 kHz
// stereo) on virtual time, keeping four seconds of what each played.
class ApplyFixture : public ShellFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // A two-second stereo 16-bit wave file of one constant value.
    std::string ConstantWave(const std::string& path, std::int16_t value);
    // Moves virtual time on by ms, polling every player as the engine tick does.
    void RunPlayers(int ms);
    // What output device index (1..4) played since the last call.
    std::vector<float> Played(int device);
    int OpenVoices(int device);
};

} // namespace shelltest
