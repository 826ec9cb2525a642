#include "platform/audio/SoundDeviceEnumeration.h"

#include "platform/audio/AudioSystem.h"

namespace platform::audio {

void EnumerateSoundDevices(AudioSystem& system, const SoundDeviceCallback& callback)
{
    if (system.OutputCount() == 0 || !callback(nullptr, system.OutputName(0), {})) {
        return;
    }
    for (int index = 1; index < system.OutputCount(); ++index) {
        if (!callback(&index, system.OutputName(index), {})) {
            return;
        }
    }
}

} // namespace platform::audio
