#pragma once

#include <string>
#include <vector>

namespace platform::audio {

// Files whose graph did not preroll in time, remembered for a while: a press
// made while such a file loaded, or right after, fails at once instead of
// waiting the whole limit again, so presses queued behind a failure wait no
// longer than that one failure. A file that changed (size or time) since,
// or a failure long past, is tried again.
namespace prerolltimeouts {

inline constexpr int RememberMs = 30'000;

void Note(const std::vector<std::string>& paths);
// True when one of paths, unchanged, timed out within RememberMs.
bool Recent(const std::vector<std::string>& paths);
void Forget();

} // namespace prerolltimeouts

} // namespace platform::audio
