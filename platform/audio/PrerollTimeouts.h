#pragma once

#include <string>
#include <vector>

namespace platform::audio {

// Files whose graph did not preroll in time, remembered for a while: a press
// made while such a file loaded, or right after, fails at once instead of
// waiting the whole limit again, so presses queued behind a failure wait no
// longer than that one failure. A file that changed (size, time, or another
// file in its place) since, or a failure long past, is tried again.
//
// Nothing here waits for a file's status beyond CheckMs: a share that stops
// answering is asked on threads of its own, and a file whose status does
// not answer counts as unchanged.
namespace prerolltimeouts {

inline constexpr int RememberMs = 30'000;
inline constexpr int CheckMs = 200;

// The graph reading paths timed out. Their status is asked from here on,
// never on the program's thread, and only for files that timed out: a load
// that succeeds costs no look at its files.
void Note(const std::vector<std::string>& paths);
// True when one of paths, unchanged, timed out within RememberMs on the
// program's clock.
bool Recent(const std::vector<std::string>& paths);
void Forget();

} // namespace prerolltimeouts

} // namespace platform::audio
