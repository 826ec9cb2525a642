#pragma once

#include "platform/MidiInRing.h"
#include "platform/MidiInputPort.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {

// The system's MIDI ports. The program uses the ALSA sequencer; tests install
// their own, which delivers messages they inject into the same ring.
class MidiBackend {
public:
    virtual ~MidiBackend() = default;
    // The names of the ports that can be read from (input) or written to,
    // in a stable order: the index of a name is its device number.
    virtual std::vector<std::string> PortNames(bool input) = 0;
    // Opens input device index; its messages go into ring (which must outlive
    // the port). Null when it cannot be opened (logged).
    virtual std::unique_ptr<MidiInputPort> OpenInput(int index, MidiInRing& ring) = 0;
};

// The ALSA sequencer unless a test installed another backend.
MidiBackend& CurrentMidiBackend();
// Installs a backend (null restores the ALSA sequencer). The caller keeps it alive.
void SetMidiBackend(MidiBackend* backend);

} // namespace platform
