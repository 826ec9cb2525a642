#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform::audio {

class FileStampProbe;

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

// The files a graph reads, as they were when it began to load.
class Loading {
public:
    explicit Loading(const std::vector<std::string>& paths);

private:
    friend void Note(const Loading& loading);
    std::vector<std::pair<std::string, std::shared_ptr<FileStampProbe>>> files_;
};

// The graph of loading timed out.
void Note(const Loading& loading);
// True when one of paths, unchanged, timed out within RememberMs on the
// program's clock.
bool Recent(const std::vector<std::string>& paths);
void Forget();

} // namespace prerolltimeouts

} // namespace platform::audio
