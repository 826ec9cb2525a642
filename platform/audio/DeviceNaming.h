#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform::audio {

// Device names are as long as the old device capabilities allowed.
inline constexpr std::size_t MaxDeviceNameLength = 31;

// The first line of a description, trimmed of blanks and cut to 31 characters.
std::string DeviceNameFromDescription(std::string_view description);

// The names of a device list in its order, where a name met before is given
// the system's numbering of identical devices: the second "USB Audio" becomes
// "2- USB Audio", the third "3- USB Audio" (cut to 31 characters again).
std::vector<std::string> NumberAlikeNames(const std::vector<std::string>& names);

} // namespace platform::audio
