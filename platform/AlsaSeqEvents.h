#pragma once

#include <cstdint>

struct snd_seq_event;

namespace platform {

// The short-message word (status | data1 << 8 | data2 << 16) of a sequencer
// event: channel messages, system common and real-time messages. 0 for events
// that are no short message (system exclusive, port and client notices).
std::uint32_t ShortMessageOf(const snd_seq_event& event);

} // namespace platform
