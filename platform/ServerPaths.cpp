#include "platform/ServerPaths.h"

#include "platform/MountTable.h"
#include "platform/base/LogSink.h"

#include <algorithm>
#include <cstdlib>

namespace platform {

namespace {

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

// The part of path after root + "/", or npos when path is not below root.
std::size_t BelowRoot(std::string_view path, std::string_view root)
{
    if (path.size() <= root.size() + 1 || path.substr(0, root.size()) != root || path[root.size()] != '/') {
        return std::string_view::npos;
    }
    return root.size() + 1;
}

bool IsDots(std::string_view part)
{
    return part == "." || part == "..";
}

// Calls visit for every part between separators, empty parts left out; stops
// when visit returns false.
template <class Visit> void ForEachPart(std::string_view path, Visit&& visit)
{
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) {
            ++end;
        }
        if (end > start && !visit(path.substr(start, end - start))) {
            return;
        }
        start = end + 1;
    }
}

} // namespace

bool ClimbsAboveStart(std::string_view relative)
{
    int depth = 0;
    bool climbs = false;
    ForEachPart(relative, [&](std::string_view part) {
        if (part == "..") {
            climbs = --depth < 0;
        } else if (part != ".") {
            ++depth;
        }
        return !climbs;
    });
    return climbs;
}

bool LeavesItsShare(std::string_view serverPath)
{
    int index = 0;
    int depth = 0;
    bool leaves = false;
    ForEachPart(serverPath, [&](std::string_view part) {
        // The host and the share come first; below them the depth counts.
        if (index++ < 2) {
            leaves = IsDots(part);
        } else if (part == "..") {
            leaves = --depth < 0;
        } else if (part != ".") {
            ++depth;
        }
        return !leaves;
    });
    return leaves;
}

std::string UncRoot()
{
    const char* configured = std::getenv("TOLV_UNC_ROOT");
    std::string root = configured != nullptr ? configured : "";
    while (root.size() > 1 && root.back() == '/') {
        root.pop_back();
    }
    if (root.size() < 2 || root.front() != '/') {
        return "/mnt";
    }
    return root;
}

bool IsServerPath(std::string_view path)
{
    return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

std::string NativePath(std::string_view path)
{
    if (path.find('\0') != std::string_view::npos) {
        return {};
    }
    std::string native(path);
    std::replace(native.begin(), native.end(), '\\', '/');
    if (!IsServerPath(native)) {
        return native;
    }
    // "//host/...": a third separator or an empty host names no server.
    if (native.size() < 3 || native[2] == '/') {
        return {};
    }
    if (LeavesItsShare(native)) {
        Log("Server path leaves its share and is not mapped: " + std::string(path));
        return {};
    }
    return UncRoot() + native.substr(1);
}

bool IsUnderUncRoot(std::string_view nativePath)
{
    return BelowRoot(nativePath, UncRoot()) != std::string_view::npos;
}

std::string ShareOf(std::string_view nativePath)
{
    const std::string root = UncRoot();
    const std::size_t start = BelowRoot(nativePath, root);
    if (start == std::string_view::npos) {
        return NetworkMountOf(nativePath);
    }
    // The host and the share name it; a path that names only the host
    // stands for that host's shares.
    std::size_t end = nativePath.find('/', start);
    if (end != std::string_view::npos) {
        end = nativePath.find('/', end + 1);
    }
    return std::string(nativePath.substr(0, end));
}

bool IsOnShare(std::string_view nativePath)
{
    return !ShareOf(nativePath).empty();
}

std::string FromDesktopPath(std::string_view path)
{
    const std::string root = UncRoot();
    const std::size_t start = BelowRoot(path, root);
    if (start == std::string_view::npos) {
        return std::string(path);
    }
    const std::string_view rest = path.substr(start);
    const std::size_t hostEnd = rest.find('/');
    if (hostEnd == 0 || hostEnd == std::string_view::npos || hostEnd + 1 >= rest.size() || rest[hostEnd + 1] == '/') {
        return std::string(path); // the unc root or a host folder, not a share
    }
    return "//" + std::string(rest);
}

} // namespace platform
