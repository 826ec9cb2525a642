#include "remote/MidiNoteMapping.h"

namespace FCT_MIDI {

std::optional<MidiCommand> MapMidiNote(std::uint32_t message, std::int32_t noteOffset,
                                       std::span<const GridOutput> outputs)
{
    const std::uint32_t status = message & 0xFFu;
    const std::uint32_t kind = status >> 4;
    const auto note = static_cast<std::int32_t>((message >> 8) & 0xFFu);
    const std::uint32_t velocity = (message >> 16) & 0xFFu;
    if (status == 0xFE || (kind != 8 && kind != 9)) {
        return std::nullopt;
    }
    const bool noteOn = kind == 9 && velocity != 0;

    std::int64_t button = std::int64_t{note} - noteOffset + 1;
    for (std::size_t output = 0; output < outputs.size(); ++output) {
        const GridOutput& grid = outputs[output];
        if (!grid.showsButtons) {
            continue;
        }
        if (button <= grid.buttonsPerPage) {
            if (button < 1) {
                return std::nullopt;
            }
            return MidiCommand{static_cast<std::int32_t>(output),
                               noteOn ? static_cast<std::int32_t>(button) : ReleaseCode};
        }
        button -= grid.buttonsPerPage;
    }
    return std::nullopt;
}

} // namespace FCT_MIDI
