#include "platform/audio/PrerollTimeouts.h"

#include "platform/audio/FileStampProbe.h"
#include "platform/base/Clock.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <mutex>

namespace platform::audio::prerolltimeouts {

namespace {

struct Timeout {
    std::string path;
    std::int64_t whenMs = 0;
    // The file as its load began, and the last look at it since.
    std::shared_ptr<FileStampProbe> then;
    std::shared_ptr<FileStampProbe> now;
};

constexpr std::size_t MostRemembered = 16;

std::mutex lock;
std::deque<Timeout> timeouts;

// False when the file answers as another than the one that timed out. A
// look still unanswered (also the one taken as the load began) is not
// repeated, so a share whose status never answers keeps one thread waiting
// per file, not one per press, and each press waits for it CheckMs at most.
bool Unchanged(Timeout& timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(CheckMs);
    if (!timeout.then->Answered() && !timeout.then->Wait(CheckMs)) {
        return true;
    }
    if (!timeout.now || timeout.now->Answered()) {
        timeout.now = FileStampProbe::Start(timeout.path);
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    const std::optional<FileStamp> now = timeout.now->Wait(static_cast<int>(std::max<std::int64_t>(0, left.count())));
    return !now || timeout.then->Wait(0) == now;
}

} // namespace

Loading::Loading(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths) {
        files_.emplace_back(path, FileStampProbe::Start(path));
    }
}

void Note(const Loading& loading)
{
    const std::int64_t nowMs = ClockMs();
    std::lock_guard guard(lock);
    for (const auto& [path, probe] : loading.files_) {
        std::erase_if(timeouts, [&](const Timeout& old) { return old.path == path; });
        timeouts.push_back(Timeout{path, nowMs, probe, nullptr});
        if (timeouts.size() > MostRemembered) {
            timeouts.pop_front();
        }
    }
}

bool Recent(const std::vector<std::string>& paths)
{
    const std::int64_t nowMs = ClockMs();
    std::lock_guard guard(lock);
    // A clock set back forgets too.
    std::erase_if(timeouts, [nowMs](const Timeout& old) {
        return nowMs - old.whenMs >= RememberMs || nowMs < old.whenMs;
    });
    for (const std::string& path : paths) {
        const auto found =
            std::find_if(timeouts.begin(), timeouts.end(), [&path](const Timeout& old) { return old.path == path; });
        if (found == timeouts.end()) {
            continue;
        }
        if (Unchanged(*found)) {
            return true;
        }
        timeouts.erase(found);
    }
    return false;
}

void Forget()
{
    std::lock_guard guard(lock);
    timeouts.clear();
}

} // namespace platform::audio::prerolltimeouts
