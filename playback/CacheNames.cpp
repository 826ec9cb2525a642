#include "playback/CacheNames.h"

#include "foundation/Paths.h"
#include "foundation/ServerFolders.h"
#include "foundation/ServerIndex.h"
#include "playback/AssignPaths.h"

namespace playback {

std::string GetLocalFilename(std::string_view path)
{
    const std::string& local = FCT_Quind::LocalPath;
    const std::int32_t server = FCT_Quind::FindServerIndex(path);
    if (server == FCT_Quind::CurrentServer) {
        const std::string& folder = FCT_Quind::Servers[FCT_Quind::CurrentServer].SrvPath;
        if (StartsWithPath(path, folder)) {
            return local + std::string(path.substr(folder.size()));
        }
    }
    return local + basic::GetPathPart(path, 0, 0, 1, 1, 1, 0);
}

std::string GetServerFilename(std::string_view path)
{
    const std::string& local = FCT_Quind::LocalPath;
    const std::string& folder = FCT_Quind::Servers[FCT_Quind::CurrentServer].SrvPath;
    if (local.empty() || folder.empty() || !StartsWithPath(path, local)) {
        return {};
    }
    return folder + std::string(path.substr(local.size()));
}

} // namespace playback
