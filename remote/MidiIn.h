#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class ComboBox;
}

// The MIDI input: one device per slot (the program opens slot 0), whose short
// messages the device's reader thread stores in the slot's ring; the engine
// tick takes them out on the user-interface thread.
namespace FCT_MIDI {

inline constexpr std::int32_t DeviceSlots = 4;

// Per slot the device number to open (slot 0 from the setting MidiInDeviceID).
extern std::array<std::int32_t, DeviceSlots> MidiInDeviceID;
// 1 while the set-up has the input open: the remote poll empties the ring only then.
extern std::int32_t MidiInOpen;
// The setting UseMIDIIn (0/1).
extern std::int32_t UseMIDIIn;

// Closes the slot when it is open, then opens its device: 1 when it is open
// and delivering, 0 when it could not be opened (logged; the ring stays empty).
std::int32_t OpenMidiIn(std::int32_t slot);
// Stops and closes the slot's device when it is open. The ring and its
// indexes stay as they are for a later re-open.
void CloseMidiIn(std::int32_t slot);
// True while the slot has a device open.
bool MidiInHandle(std::int32_t slot);

// The next message of the slot's ring, cleared as it is taken (one atomic
// exchange to 0); 0 when the ring holds nothing at its read index.
std::uint32_t TakeMidiMessage(std::int32_t slot);

// Names of the MIDI input (input true) or output devices in device order.
std::vector<std::string> MidiDeviceNames(bool input);
// Fills the combo with those names and chooses the entry equal to storedName.
void FillMidiDeviceCombo(platform::ComboBox& combo, bool input, std::string_view storedName);

} // namespace FCT_MIDI
