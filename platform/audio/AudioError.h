#pragma once

#include <string_view>

namespace platform::audio {

// Result codes of the audio layer; 0 is success, as callers of the old
// interfaces expect.
enum class AudioError : int {
    None = 0,
    BadDevice = 2,
    // The device failed while open (unplugged) and does not open again yet.
    DeviceLost = 3,
    NoVoice = 4,
    DeviceFailed = 6,
    BadFormat = 32,
    StillQueued = 33,
    QueueFull = 34,
};

// The text shown or logged for a result code.
std::string_view ErrorText(AudioError error);

} // namespace platform::audio
