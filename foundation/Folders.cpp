#include "foundation/Folders.h"

#include "foundation/Paths.h"
#include "platform/Files.h"
#include "platform/ServerPaths.h"

#include <cerrno>
#include <vector>

namespace basic {

namespace {

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

// The length of "//host/share" of a server path: no folder at or above it
// may be created. 0 for other paths.
std::size_t ProtectedServerPrefix(std::string_view path)
{
    if (!platform::IsServerPath(path)) {
        return 0;
    }
    std::size_t at = 2;
    for (int level = 0; level < 2; ++level) {
        while (at < path.size() && !IsSeparator(path[at])) {
            ++at;
        }
        if (level == 0 && at < path.size()) {
            ++at;
        }
    }
    return at;
}

} // namespace

int FolderExists(std::string_view path)
{
    platform::FileStatus status;
    return platform::files::Stat(path, status, true) && status.kind == platform::FileKind::Folder ? 1 : 0;
}

int IsRecycleBinPath(std::string_view path)
{
    const std::string lower = LowerAscii(path);
    static const char* const markers[] = {"recycled", "$recycle", "$recycle.bin", "system volume information"};
    for (const char* marker : markers) {
        for (const char* separator : {":\\", ":/"}) {
            if (lower.find(std::string(separator) + marker) != std::string::npos) {
                return 1;
            }
        }
    }
    return 0;
}

int MakeFolder(std::string_view path)
{
    // A share reached by its mount point is guarded like its server path.
    const std::string folder = platform::FromDesktopPath(FixTrailingSeparator(path, 1));
    if (folder.empty() || (ProtectedServerPrefix(folder) != 0 && folder.size() <= ProtectedServerPrefix(folder))) {
        return FolderExists(folder);
    }
    if (platform::files::MakeFolder(folder)) {
        return 1;
    }
    // Another session may have made it meanwhile.
    return errno == EEXIST ? FolderExists(folder) : 0;
}

int MakeFolderTree(std::string_view path)
{
    if (FolderExists(path) != 0) {
        return 1;
    }
    if (MakeFolder(path) != 0) {
        return 1;
    }
    const std::string full = FixTrailingSeparator(path, 0);
    if (full.size() < 3) {
        return 0;
    }
    // Every prefix that ends just before a separator, shortest first.
    std::vector<std::string> missing;
    for (std::size_t at = full.size() - 1; at > 0; --at) {
        if (IsSeparator(full[at]) && !IsSeparator(full[at - 1])) {
            const std::string prefix = full.substr(0, at);
            if (FolderExists(prefix) != 0) {
                break;
            }
            missing.push_back(prefix);
        }
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        MakeFolder(*it);
    }
    return FolderExists(path);
}

} // namespace basic
