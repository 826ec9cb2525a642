#include "platform/AlsaSeqEvents.h"

#include <alsa/asoundlib.h>

namespace platform {

namespace {

std::uint32_t Word(unsigned status, unsigned data1 = 0, unsigned data2 = 0)
{
    return (status & 0xFFu) | (data1 & 0x7Fu) << 8 | (data2 & 0x7Fu) << 16;
}

std::uint32_t Channel(unsigned kind, const snd_seq_event& event, unsigned data1, unsigned data2)
{
    return Word(kind | (event.data.note.channel & 0x0Fu), data1, data2);
}

} // namespace

std::uint32_t ShortMessageOf(const snd_seq_event& event)
{
    const auto& note = event.data.note;
    const auto& control = event.data.control;
    switch (event.type) {
    case SND_SEQ_EVENT_NOTEOFF:
        return Channel(0x80, event, note.note, note.velocity);
    case SND_SEQ_EVENT_NOTEON:
        return Channel(0x90, event, note.note, note.velocity);
    case SND_SEQ_EVENT_KEYPRESS:
        return Channel(0xA0, event, note.note, note.velocity);
    case SND_SEQ_EVENT_CONTROLLER:
        return Word(0xB0 | (control.channel & 0x0Fu), control.param, static_cast<unsigned>(control.value));
    case SND_SEQ_EVENT_PGMCHANGE:
        return Word(0xC0 | (control.channel & 0x0Fu), static_cast<unsigned>(control.value));
    case SND_SEQ_EVENT_CHANPRESS:
        return Word(0xD0 | (control.channel & 0x0Fu), static_cast<unsigned>(control.value));
    case SND_SEQ_EVENT_PITCHBEND: {
        const auto bend = static_cast<unsigned>(control.value + 8192);
        return Word(0xE0 | (control.channel & 0x0Fu), bend, bend >> 7);
    }
    case SND_SEQ_EVENT_QFRAME:
        return Word(0xF1, static_cast<unsigned>(control.value));
    case SND_SEQ_EVENT_SONGPOS: {
        const auto position = static_cast<unsigned>(control.value);
        return Word(0xF2, position, position >> 7);
    }
    case SND_SEQ_EVENT_SONGSEL:
        return Word(0xF3, static_cast<unsigned>(control.value));
    case SND_SEQ_EVENT_TUNE_REQUEST:
        return Word(0xF6);
    case SND_SEQ_EVENT_CLOCK:
        return Word(0xF8);
    case SND_SEQ_EVENT_START:
        return Word(0xFA);
    case SND_SEQ_EVENT_CONTINUE:
        return Word(0xFB);
    case SND_SEQ_EVENT_STOP:
        return Word(0xFC);
    case SND_SEQ_EVENT_SENSING:
        return Word(0xFE);
    case SND_SEQ_EVENT_RESET:
        return Word(0xFF);
    default:
        return 0;
    }
}

} // namespace platform
