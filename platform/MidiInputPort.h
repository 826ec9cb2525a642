#pragma once

namespace platform {

// An open MIDI input: its messages flow into the ring it was opened with
// until it is destroyed, which stops and closes it.
class MidiInputPort {
public:
    MidiInputPort() = default;
    virtual ~MidiInputPort() = default;
    MidiInputPort(const MidiInputPort&) = delete;
    MidiInputPort& operator=(const MidiInputPort&) = delete;
};

} // namespace platform
