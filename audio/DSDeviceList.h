#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {
class ComboBox;
}

// The output devices of the buffer players (back-end 0), enumerated once at
// start-up and kept for the whole run. Device choices are saved as the
// descriptions listed here; a player is given the index. Entry 0 is the
// default device, which has no identifier.
namespace FCT_EnumDS {

inline constexpr int MaxDSDevices = 65;
inline constexpr std::size_t MaxDescriptionLength = 64;

struct DSDeviceList {
    int count = 0;
    std::array<std::string, MaxDSDevices> descriptions;
    // The output device each entry stands for; hasIdentifier is false for the
    // default device (entry 0), which players open as the default.
    std::array<int, MaxDSDevices> identifiers{};
    std::array<bool, MaxDSDevices> hasIdentifier{};
};

// Empties the list and fills it from the output devices of the audio system in force.
void EnumDSDevices();
// The enumeration's callback, one call per device: stores the device unless 65
// are already stored (false then ends the enumeration); the description is cut
// at its first NUL and at 64 characters. The module name is not used.
bool EnumCallback(const int* identifier, std::string_view description, std::string_view module);
const DSDeviceList& DeviceList();

// Clears the box, lists the descriptions in order and chooses the first whose
// lower case equals the saved name's, trimmed of blanks; else item 0.
void FillDSDeviceCombo(platform::ComboBox& box, std::string_view savedName);
// The description of device index, "" when the index is not in the list.
std::string GetDSDeviceName(int index);
// The index of the first device whose description equals the name in lower
// case (blanks count), or -1. This index is what InitDS takes.
int GetDSDeviceGUID(std::string_view name);

} // namespace FCT_EnumDS
