#include "platform/LocalLinks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <deque>

namespace platform {

namespace {

// As the kernel, which gives up after as many links in one path.
constexpr int MostLinks = 40;

void PushParts(std::string_view path, std::deque<std::string>& parts)
{
    std::deque<std::string> added;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        if (end > start) {
            added.emplace_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    parts.insert(parts.begin(), added.begin(), added.end());
}

std::string Joined(std::string done, const std::deque<std::string>& rest)
{
    for (const std::string& part : rest) {
        done += '/';
        done += part;
    }
    return done.empty() ? "/" : done;
}

std::string LinkTarget(const std::string& path)
{
    std::string target(PATH_MAX, '\0');
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    // A target as long as the room for it may have been cut short.
    const bool whole = length > 0 && static_cast<std::size_t>(length) < target.size();
    target.resize(whole ? static_cast<std::size_t>(length) : 0);
    return target;
}

} // namespace

std::string FollowLocalLinks(std::string_view path, const std::function<bool(const std::string&)>& onShare)
{
    if (path.empty() || path.front() != '/') {
        return std::string(path);
    }
    std::deque<std::string> rest;
    PushParts(path, rest);
    std::string done; // "" stands for the root
    int links = 0;
    while (!rest.empty()) {
        std::string part = std::move(rest.front());
        rest.pop_front();
        if (part == ".") {
            continue;
        }
        if (part == "..") {
            done.erase(done.empty() ? 0 : done.rfind('/')); // done holds no link: its parent is its own
            continue;
        }
        std::string next = done + '/' + part;
        struct stat status {};
        if (onShare(next) || ::lstat(next.c_str(), &status) != 0) {
            return Joined(std::move(next), rest);
        }
        if (!S_ISLNK(status.st_mode)) {
            done = std::move(next);
            continue;
        }
        const std::string target = LinkTarget(next);
        if (target.empty() || ++links > MostLinks) {
            return std::string(path);
        }
        if (target.front() == '/') {
            done.clear();
        }
        PushParts(target, rest);
    }
    return done.empty() ? "/" : done;
}

} // namespace platform
