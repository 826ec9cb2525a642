#pragma once

#include <string>

namespace playback {

// The play-mode mark a sound button shows in its text slot 3 ("", "M", "L",
// "T"). Play modes take effect on the waveOut back-end only, so every other
// back-end shows none.
std::string ModeMark(int playMode);

} // namespace playback
