#include "foundation/Drives.h"

#include "platform/MountTable.h"
#include "platform/ServerPaths.h"

#include <algorithm>

namespace basic {

std::vector<DriveEntry> DriveTable;

namespace {

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

std::string LastFolder(const std::string& mountPoint)
{
    if (mountPoint == "/") {
        return "/";
    }
    return mountPoint.substr(mountPoint.find_last_of('/') + 1);
}

std::string ServerRoot(std::string_view path)
{
    for (std::size_t at = 2; at < path.size(); ++at) {
        if (IsSeparator(path[at])) {
            return at == 2 ? std::string() : std::string(path.substr(0, at + 1));
        }
    }
    return {};
}

std::string Root(std::string_view path)
{
    if (path.size() >= 3 && path[1] == ':' && IsSeparator(path[2])) {
        return std::string(path.substr(0, 3));
    }
    if (platform::IsServerPath(path)) {
        return ServerRoot(path);
    }
    if (path.empty() || path.front() != '/') {
        return {};
    }
    // A share reached through its mount point counts as the server path.
    const std::string desktop = platform::FromDesktopPath(path);
    if (platform::IsServerPath(desktop)) {
        return ServerRoot(desktop);
    }
    const std::string point = platform::MountPointOf(platform::NativePath(path), platform::ReadMountTable());
    return point == "/" ? point : point + "/";
}

} // namespace

std::string GetPathRoot(std::string_view path, int dropSeparator)
{
    std::string unquoted;
    std::copy_if(path.begin(), path.end(), std::back_inserter(unquoted), [](char c) { return c != '"'; });
    std::string root = Root(unquoted);
    if (dropSeparator != 0 && !root.empty()) {
        root.pop_back();
    }
    return root;
}

void BuildDriveTable()
{
    DriveTable.clear();
    for (const platform::MountEntry& mount : platform::ReadMountTable()) {
        const int type = platform::DriveTypeOf(mount);
        if (type == 0) {
            continue;
        }
        std::string label = platform::DriveLabel(mount);
        DriveEntry entry{mount.mountPoint, label.empty() ? LastFolder(mount.mountPoint) : std::move(label), type};
        // A later mount on the same point hides the earlier one.
        const auto same = std::find_if(DriveTable.begin(), DriveTable.end(),
                                       [&](const DriveEntry& e) { return e.drive == entry.drive; });
        if (same != DriveTable.end()) {
            *same = std::move(entry);
        } else {
            DriveTable.push_back(std::move(entry));
        }
    }
    std::sort(DriveTable.begin(), DriveTable.end(),
              [](const DriveEntry& a, const DriveEntry& b) { return a.drive < b.drive; });
}

int GetDriveKind(std::string_view path, int dropTableAfter, int removableOrCd)
{
    if (DriveTable.empty()) {
        BuildDriveTable();
    }
    std::vector<platform::MountEntry> drives;
    for (const DriveEntry& entry : DriveTable) {
        drives.push_back({"", entry.drive, ""});
    }
    int result = 0;
    const std::string native = platform::NativePath(path);
    if (!native.empty() && native.front() == '/' && !drives.empty()) {
        const std::string point = platform::MountPointOf(native, drives);
        const auto entry =
            std::find_if(DriveTable.begin(), DriveTable.end(), [&](const DriveEntry& e) { return e.drive == point; });
        if (entry != DriveTable.end()) {
            if (removableOrCd != 0) {
                result = entry->driveType == 2 || entry->driveType == 5 ? 1 : 0;
            } else {
                result = entry->driveType == 3 ? 1 : 0;
            }
        }
    }
    if (dropTableAfter != 0) {
        DriveTable.clear();
    }
    return result;
}

} // namespace basic
