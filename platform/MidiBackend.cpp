#include "platform/MidiBackend.h"

#include "platform/AlsaSeqBackend.h"

namespace platform {

namespace {
MidiBackend* installed = nullptr;
} // namespace

MidiBackend& CurrentMidiBackend()
{
    if (installed != nullptr) {
        return *installed;
    }
    static AlsaSeqBackend alsa;
    return alsa;
}

void SetMidiBackend(MidiBackend* backend)
{
    installed = backend;
}

} // namespace platform
