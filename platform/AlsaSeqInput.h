#pragma once

#include "platform/MidiInRing.h"
#include "platform/MidiInputPort.h"

#include <memory>
#include <thread>

struct _snd_seq;

namespace platform {

// A sequencer client with one input port subscribed to a source port, and a
// reader thread that turns each event into its short-message word and stores
// it in the ring. The thread does nothing else: no locks, no program code.
class AlsaSeqInput final : public MidiInputPort {
public:
    // Subscribes to the source port; null when that fails (logged).
    static std::unique_ptr<AlsaSeqInput> Open(int sourceClient, int sourcePort, MidiInRing& ring);
    ~AlsaSeqInput() override;

private:
    AlsaSeqInput(_snd_seq* seq, int stopFd, MidiInRing& ring);
    void ReadEvents();

    _snd_seq* seq_;
    int stopFd_;
    MidiInRing& ring_;
    std::thread reader_;
};

} // namespace platform
