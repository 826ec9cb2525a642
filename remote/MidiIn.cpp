#include "remote/MidiIn.h"

#include "foundation/FormUtilities.h"
#include "platform/ComboBox.h"
#include "platform/MidiBackend.h"
#include "platform/MidiInRing.h"

#include <memory>

namespace FCT_MIDI {

std::array<std::int32_t, DeviceSlots> MidiInDeviceID{};
std::int32_t MidiInOpen = 0;
std::int32_t UseMIDIIn = 0;

namespace {

std::array<platform::MidiInRing, DeviceSlots> rings;
std::array<std::unique_ptr<platform::MidiInputPort>, DeviceSlots> handles;

bool ValidSlot(std::int32_t slot)
{
    return slot >= 0 && slot < DeviceSlots;
}

} // namespace

std::int32_t OpenMidiIn(std::int32_t slot)
{
    if (!ValidSlot(slot)) {
        return 0;
    }
    CloseMidiIn(slot);
    const auto index = static_cast<std::size_t>(slot);
    handles[index] = platform::CurrentMidiBackend().OpenInput(MidiInDeviceID[index], rings[index]);
    return handles[index] ? 1 : 0;
}

void CloseMidiIn(std::int32_t slot)
{
    if (ValidSlot(slot)) {
        handles[static_cast<std::size_t>(slot)].reset();
    }
}

bool MidiInHandle(std::int32_t slot)
{
    return ValidSlot(slot) && handles[static_cast<std::size_t>(slot)] != nullptr;
}

std::uint32_t TakeMidiMessage(std::int32_t slot)
{
    return ValidSlot(slot) ? rings[static_cast<std::size_t>(slot)].Take() : 0;
}

std::vector<std::string> MidiDeviceNames(bool input)
{
    return platform::CurrentMidiBackend().PortNames(input);
}

void FillMidiDeviceCombo(platform::ComboBox& combo, bool input, std::string_view storedName)
{
    combo.Clear();
    for (const std::string& name : MidiDeviceNames(input)) {
        combo.AddItem(name);
    }
    basic::SelectListByText(combo, storedName);
}

} // namespace FCT_MIDI
