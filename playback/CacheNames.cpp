#include "playback/CacheNames.h"

#include "foundation/DayLog.h"
#include "foundation/Paths.h"
#include "foundation/ServerFolders.h"
#include "foundation/ServerIndex.h"
#include "platform/ServerPaths.h"
#include "playback/AssignPaths.h"

namespace playback {

namespace {

// A name whose ".." would lead out of the folder it is put below names no
// copy there: the sound plays from its own path.
bool StaysBelow(std::string_view rest, std::string_view path)
{
    if (!platform::ClimbsAboveStart(rest)) {
        return true;
    }
    basic::WriteLog("Cache name refused: " + std::string(path) + " leads out of its folder", 1, 0);
    return false;
}

} // namespace

std::string GetLocalFilename(std::string_view path)
{
    const std::string& local = FCT_Quind::LocalPath;
    const std::int32_t server = FCT_Quind::FindServerIndex(path);
    if (server == FCT_Quind::CurrentServer) {
        const std::string& folder = FCT_Quind::Servers[FCT_Quind::CurrentServer].SrvPath;
        if (StartsWithPath(path, folder)) {
            const std::string_view rest = path.substr(folder.size());
            return StaysBelow(rest, path) ? local + std::string(rest) : std::string();
        }
    }
    const std::string name = basic::GetPathPart(path, 0, 0, 1, 1, 1, 0);
    return StaysBelow(name, path) ? local + name : std::string();
}

std::string GetServerFilename(std::string_view path)
{
    const std::string& local = FCT_Quind::LocalPath;
    const std::string& folder = FCT_Quind::Servers[FCT_Quind::CurrentServer].SrvPath;
    if (local.empty() || folder.empty() || !StartsWithPath(path, local)) {
        return {};
    }
    const std::string_view rest = path.substr(local.size());
    return StaysBelow(rest, path) ? folder + std::string(rest) : std::string();
}

} // namespace playback
