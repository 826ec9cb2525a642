#pragma once

#include "AssembledFixture.h"
#include "support/PseudoTerminal.h"

#include <cstdint>
#include <string>
#include <vector>

namespace apptest {

// The assembled program with a remote box where an operator plugs one: serial
// channel 1 on a pseudo-terminal, the box on its far end. The sounds a box
// can reach are pieces of the ramp, each from a frame of its own, so the
// first sample a device plays tells which sound started.
class RemoteInputFixture : public AssembledFixture {
protected:
    using Bytes = std::vector<std::uint8_t>;

    void TearDown() override;

    // Serial channel 1 on the line, with its protocol (ComMode_1) and output
    // setting (ComCh_1); takes effect at Start.
    void PlugSerial(int protocol, int outputSetting);

    // The first frame of the ramp the sound of a button starts with; buttons
    // and pages counted from 1, as the remote boxes count them.
    static std::int64_t FirstFrameOf(int output, int page, int button);
    // Gives the button its own two-second sound.
    void AssignSound(int output, int page, int button);

    // The first frame of the ramp the sound of a row of a play list starts
    // with, counted from 1.
    static std::int64_t FirstFrameOfRow(int row);
    // Drops three sounds on the play list of output 1 and chooses one row of
    // them by a click, as the operator does.
    void FillListAndChooseRow(int row);

    // Which sound device 1..4 started since the last look: the ramp frame of
    // its first sample, -1 when it stayed silent. What follows that sample
    // must follow the ramp until the sound ends.
    std::int64_t SoundStarted(int device);
    // True when device 1..4 played on since the last look, following the ramp
    // without a break or a pause.
    bool PlaysOn(int device);
    // True when device 1..4 played only silence since the last look.
    bool Silent(int device);

    testsupport::PseudoTerminal line;
};

} // namespace apptest
