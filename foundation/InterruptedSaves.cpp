#include "foundation/InterruptedSaves.h"

#include "foundation/DayLog.h"
#include "foundation/ModuleValues.h"
#include "foundation/Paths.h"
#include "foundation/Settings.h"
#include "platform/AtomicFile.h"
#include "platform/RegistryFiles.h"

#include <algorithm>
#include <string>
#include <vector>

namespace basic {

namespace {

// Registry keys nest a few levels deep below the registry folder.
constexpr int RegistryDepth = 8;

std::string FolderOf(const std::string& path)
{
    return path.empty() ? std::string() : GetPathPart(path, 1, 1, 0, 0, 0, 0);
}

} // namespace

int RemoveInterruptedSaves(std::int64_t nowSeconds)
{
    std::vector<std::string> folders{AppPath(), FolderOf(SettingsIniPath), FolderOf(GetSetting("LastTlvFilename", ""))};
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
    std::vector<std::string> removed;
    for (const std::string& folder : folders) {
        const std::vector<std::string> gone =
            platform::RemoveStaleTemporaryFiles(folder, nowSeconds, InterruptedSaveAgeSeconds, 0);
        removed.insert(removed.end(), gone.begin(), gone.end());
    }
    const std::vector<std::string> gone = platform::RemoveStaleTemporaryFiles(platform::RegistryFolder(), nowSeconds,
                                                                              InterruptedSaveAgeSeconds, RegistryDepth);
    removed.insert(removed.end(), gone.begin(), gone.end());
    if (!removed.empty()) {
        std::string line = "Temporary files of interrupted saves removed (" + std::to_string(removed.size()) + "):";
        for (const std::string& path : removed) {
            line += " " + path;
        }
        WriteLog(line, 0, 0);
    }
    return static_cast<int>(removed.size());
}

} // namespace basic
