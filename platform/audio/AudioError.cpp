#include "platform/audio/AudioError.h"

namespace platform::audio {

std::string_view ErrorText(AudioError error)
{
    switch (error) {
    case AudioError::None:
        return "The operation completed successfully.";
    case AudioError::BadDevice:
        return "The specified audio device does not exist.";
    case AudioError::DeviceLost:
        return "The audio device was lost and is not back yet.";
    case AudioError::NoVoice:
        return "The audio device has no free voice left.";
    case AudioError::DeviceFailed:
        return "The audio device could not be opened.";
    case AudioError::BadFormat:
        return "The audio device cannot play this sample format.";
    case AudioError::StillQueued:
        return "The buffer is still queued for playing.";
    case AudioError::QueueFull:
        return "Too many buffers are queued on this voice.";
    }
    return "Unknown audio error.";
}

} // namespace platform::audio
