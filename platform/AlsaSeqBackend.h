#pragma once

#include "platform/MidiBackend.h"

namespace platform {

// MIDI ports of the ALSA sequencer. Ports are listed hardware first (clients
// of a sound card), then other kernel clients (such as "Midi Through"), then
// programs, each group by client and port number: a stable order in which
// device 0 is the first keyboard or controller, as users expect.
class AlsaSeqBackend final : public MidiBackend {
public:
    std::vector<std::string> PortNames(bool input) override;
    std::unique_ptr<MidiInputPort> OpenInput(int index, MidiInRing& ring) override;
};

} // namespace platform
