#include "foundation/Folders.h"

#include "foundation/FileAccess.h"
#include "foundation/FileLists.h"
#include "foundation/Paths.h"
#include "foundation/TimeStamps.h"
#include "platform/Files.h"
#include "platform/ServerPaths.h"
#include "platform/base/Hooks.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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

// "/" with "." and ".." worked out, for the refusal of the root.
std::string Lexical(std::string_view native)
{
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at <= native.size()) {
        const std::size_t end = std::min(native.find('/', at), native.size());
        const std::string part(native.substr(at, end - at));
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = end + 1;
    }
    std::string result;
    for (const std::string& part : parts) {
        result += "/" + part;
    }
    return result.empty() ? "/" : result;
}

// An empty path, or one that is (or leads through links to) the root.
bool IsRootOrEmpty(std::string_view path)
{
    if (path.find_first_not_of(' ') == std::string_view::npos) {
        return true;
    }
    const std::string native = platform::NativePath(path);
    if (native.empty()) {
        return true;
    }
    if (native.front() == '/' && Lexical(native) == "/") {
        return true;
    }
    std::string resolved;
    return platform::files::ResolvePath(path, resolved) && resolved == "/";
}

} // namespace

int FolderExists(std::string_view path)
{
    platform::FileStatus status;
    return platform::files::Stat(path, status, true) && status.kind == platform::FileKind::Folder ? 1 : 0;
}

int IsRecycleBinPath(std::string_view path)
{
    std::string lower = LowerAscii(path);
    std::replace(lower.begin(), lower.end(), '\\', '/');
    static const char* const markers[] = {"recycled", "$recycle", "system volume information"};
    for (const char* marker : markers) {
        if (lower.find(std::string(":/") + marker) != std::string::npos) {
            return 1;
        }
    }
    // A drive is a mount point here: its recycle bin and system folder lie
    // right below it. Their names are distinctive enough to match at any level.
    for (const char* marker : {"/$recycle", "/system volume information"}) {
        const std::size_t at = lower.find(marker);
        if (at != std::string::npos) {
            const std::size_t end = at + std::string_view(marker).size();
            const bool wholeName = end == lower.size() || lower[end] == '/' || std::string_view(marker) == "/$recycle";
            if (wholeName) {
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

int RemoveFolder(std::string_view path)
{
    if (IsRootOrEmpty(path)) {
        return 0;
    }
    const std::string folder = FixTrailingSeparator(path, 1);
    platform::FileStatus status;
    if (!platform::files::Stat(folder, status, false)) {
        return errno == ENOENT || errno == ENOTDIR ? 1 : 0;
    }
    if (status.isLink) {
        return platform::files::Unlink(folder) ? 1 : 0;
    }
    // A folder's own permissions do not stop its removal; its parent's do.
    return platform::files::RemoveFolder(folder) ? 1 : 0;
}

int DeleteFolderContents(std::string_view folder, int keepFolder, int olderThanDays, std::string_view extension,
                         int noRecurse)
{
    if (IsRootOrEmpty(folder)) {
        return 0;
    }
    const std::string base = FixTrailingSeparator(folder, 0);
    if (FolderExists(base) == 0) {
        return 0;
    }
    const std::string limit =
        olderThanDays != 0 ? FormatTimeStamp(0, -std::abs(olderThanDays), StampSlashes, 0, 0, 0, 0.0) : std::string();
    std::string ext = extension.empty() ? std::string(".*") : std::string(extension);
    if (ext.front() != '.') {
        ext.insert(0, ".");
    }
    const std::string pattern = "*" + ext;

    std::vector<platform::FolderEntry> entries;
    platform::files::ListFolder(base, entries);
    for (const platform::FolderEntry& entry : entries) {
        if (!MatchesWildcard(entry.name, pattern)) {
            continue;
        }
        const std::string path = base + entry.name;
        if (entry.kind == platform::FileKind::Folder && !entry.isLink) {
            if (noRecurse != 0) {
                continue;
            }
            if (olderThanDays != 0) {
                DeleteFolderContents(path, 1, olderThanDays, extension, 0);
                if (FolderHasFiles(path + "/", "", 0, 0) == 0) {
                    RemoveFolder(path);
                }
            } else {
                DeleteFolderContents(path, 0, 0, "", 0);
            }
        } else {
            // Files, and links of any kind, which go as links. A time that
            // cannot be read as a date tells no age: such a file stays.
            const std::string written = olderThanDays != 0 ? FileTimeToText(entry.modified) : std::string();
            if (olderThanDays == 0 || (!written.empty() && written < limit)) {
                DeleteFileForce(path);
            }
        }
    }
    platform::Pump();
    return keepFolder != 0 ? 1 : RemoveFolder(base);
}

int FolderHasFiles(std::string_view folder, std::string_view extension, int /*ignored*/, int mode)
{
    const std::string base = FixTrailingSeparator(folder, 0);
    std::vector<platform::FolderEntry> entries;
    if (base.empty() || !platform::files::ListFolder(base, entries)) {
        return 0;
    }
    const std::string pattern = extension.empty() ? std::string("*.*") : "*." + std::string(extension);
    for (const platform::FolderEntry& entry : entries) {
        if (!MatchesWildcard(entry.name, pattern)) {
            continue;
        }
        if (mode == 0 || (entry.kind == platform::FileKind::Folder && !entry.isLink)) {
            return 1;
        }
    }
    return 0;
}

} // namespace basic
