#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace FCT_MIDI {

// What the MIDI note mapping needs to know of one output.
struct GridOutput {
    bool showsButtons = false; // false: the output shows a play list
    std::int32_t buttonsPerPage = 0;
};

// A remote command for the dispatcher: the button number 1..ButtonsPerPage to
// play, or 255 to release.
struct MidiCommand {
    std::int32_t output = 0;
    std::int32_t code = 0;
};

inline constexpr std::int32_t ReleaseCode = 255;

// The command of one short-message word. A note-on plays the button whose
// number is note - noteOffset + 1, counted on across the outputs that show
// button grids (list outputs are passed over); the note-off of a note releases
// that output. A note-on of velocity 0 is a note-off, as keyboards send it on
// key release. Notes below the first button or beyond the last grid, and every
// other message (active sensing, controllers, clock ...), give none. outputs
// holds one entry per output in use.
std::optional<MidiCommand> MapMidiNote(std::uint32_t message, std::int32_t noteOffset,
                                       std::span<const GridOutput> outputs);

} // namespace FCT_MIDI
