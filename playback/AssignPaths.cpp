#include "playback/AssignPaths.h"

#include "foundation/Drives.h"
#include "foundation/Paths.h"

namespace playback {

namespace {

char Folded(char c)
{
    if (c == '\\') {
        return '/';
    }
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool HasSeparator(std::string_view path)
{
    return path.find_first_of("\\/") != std::string_view::npos;
}

} // namespace

bool StartsWithPath(std::string_view path, std::string_view prefix)
{
    if (prefix.size() > path.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Folded(path[i]) != Folded(prefix[i])) {
            return false;
        }
    }
    return true;
}

bool ReadMappingOn(std::string_view tablePath, const std::pair<std::string, std::string>& syncDrive)
{
    return !syncDrive.first.empty() && !syncDrive.second.empty() &&
           basic::GetPathRoot(tablePath, 0) == syncDrive.second;
}

bool WriteMappingOn(std::string_view targetPath, const std::pair<std::string, std::string>& syncDrive)
{
    return !syncDrive.first.empty() && !syncDrive.second.empty() &&
           basic::GetPathRoot(targetPath, 0) == syncDrive.second;
}

std::string StoredToSoundPath(std::string_view stored, std::string_view tableFolder, bool mapping,
                              const std::pair<std::string, std::string>& syncDrive)
{
    if (stored.empty()) {
        return {};
    }
    if (!HasSeparator(stored)) {
        return std::string(tableFolder) + std::string(stored);
    }
    const std::string& storedRoot = syncDrive.first;
    if (mapping && stored.size() > storedRoot.size() && StartsWithPath(stored, storedRoot)) {
        return syncDrive.second + std::string(stored.substr(storedRoot.size()));
    }
    return std::string(stored);
}

std::string SoundToStoredPath(std::string_view path, int pathMode, bool mapping,
                              const std::pair<std::string, std::string>& syncDrive)
{
    if (pathMode != PathFull) {
        return basic::GetPathPart(path, 0, 0, 1, 1, 1, 0);
    }
    const std::string& actualRoot = syncDrive.second;
    if (mapping && StartsWithPath(path, actualRoot) && basic::GetPathRoot(path, 0).size() == actualRoot.size()) {
        return syncDrive.first + std::string(path.substr(actualRoot.size()));
    }
    return std::string(path);
}

} // namespace playback
