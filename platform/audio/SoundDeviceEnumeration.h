#pragma once

#include <functional>
#include <string_view>

namespace platform::audio {

class AudioSystem;

// The output devices as the old buffer-based sound interface enumerated them:
// first the default device, which has no identifier, then every device of the
// output list in its order, identified by its index there. The callback gets
// the identifier (null for the default device), the description and the name
// of the driver module (empty: there is none), and returns false to end the
// enumeration early.
using SoundDeviceCallback =
    std::function<bool(const int* identifier, std::string_view description, std::string_view module)>;

void EnumerateSoundDevices(AudioSystem& system, const SoundDeviceCallback& callback);

} // namespace platform::audio
