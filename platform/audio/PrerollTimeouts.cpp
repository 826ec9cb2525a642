#include "platform/audio/PrerollTimeouts.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <mutex>

namespace platform::audio::prerolltimeouts {

namespace {

struct Timeout {
    std::string path;
    off_t size = 0;
    std::int64_t changedNs = 0;
    std::chrono::steady_clock::time_point when;
};

constexpr std::size_t MostRemembered = 16;

std::mutex lock;
std::deque<Timeout> timeouts;

bool Describe(const std::string& path, Timeout& timeout)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return false;
    }
    timeout.path = path;
    timeout.size = info.st_size;
    timeout.changedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    return true;
}

} // namespace

void Note(const std::vector<std::string>& paths)
{
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard guard(lock);
    for (const std::string& path : paths) {
        Timeout timeout;
        if (!Describe(path, timeout)) {
            continue;
        }
        timeout.when = now;
        std::erase_if(timeouts, [&](const Timeout& old) { return old.path == path; });
        timeouts.push_back(std::move(timeout));
        if (timeouts.size() > MostRemembered) {
            timeouts.pop_front();
        }
    }
}

bool Recent(const std::vector<std::string>& paths)
{
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard guard(lock);
    return std::any_of(paths.begin(), paths.end(), [&](const std::string& path) {
        Timeout current;
        if (!Describe(path, current)) {
            return false;
        }
        return std::any_of(timeouts.begin(), timeouts.end(), [&](const Timeout& old) {
            return old.path == path && old.size == current.size && old.changedNs == current.changedNs &&
                   now - old.when < std::chrono::milliseconds(RememberMs);
        });
    });
}

void Forget()
{
    std::lock_guard guard(lock);
    timeouts.clear();
}

} // namespace platform::audio::prerolltimeouts
