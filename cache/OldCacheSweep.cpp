#include "cache/OldCacheSweep.h"

#include "cache/TipFile.h"
#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/FileLists.h"
#include "foundation/Paths.h"
#include "foundation/SharedConf.h"
#include "foundation/TimeStamps.h"
#include "platform/Files.h"

#include <array>
#include <string>
#include <vector>

namespace cache {

namespace {

constexpr std::string_view TipExtension = ".tip";

bool Skipped(std::string_view name)
{
    static constexpr std::array<std::string_view, 8> skipped{"",        ".",     "..",  "conf",
                                                             "command", "sched", "log", "ごみ箱"};
    for (const std::string_view s : skipped) {
        if (name == s) {
            return true;
        }
    }
    return false;
}

bool EndsWithTipAnyCase(std::string_view path)
{
    return path.size() > TipExtension.size() &&
           basic::LowerAscii(path.substr(path.size() - TipExtension.size())) == TipExtension;
}

} // namespace

int KillOldCache(std::string_view cacheFolder)
{
    const std::string folder = basic::FixTrailingSeparator(cacheFolder, 0);
    std::vector<platform::FolderEntry> entries;
    if (folder.empty() || !platform::files::ListFolder(folder, entries)) {
        return 0;
    }
    int removed = 0;
    for (const platform::FolderEntry& entry : entries) {
        if (Skipped(entry.name)) {
            continue;
        }
        const std::string path = folder + entry.name;
        // A linked folder leads out of the cache: it is never entered.
        if (entry.kind == platform::FileKind::Folder && !entry.isLink) {
            std::vector<platform::FolderEntry> inner;
            if (!platform::files::ListFolder(path, inner)) {
                continue;
            }
            for (const platform::FolderEntry& file : inner) {
                if (file.kind == platform::FileKind::File && basic::MatchesWildcard(file.name, "*.tip")) {
                    removed += KillOldCacheFile(path + "/" + file.name, cacheFolder);
                }
            }
        } else if (entry.kind == platform::FileKind::File && entry.name.ends_with(TipExtension)) {
            removed += KillOldCacheFile(path, cacheFolder);
        }
    }
    return removed;
}

std::int32_t KillOldCacheFile(std::string_view tipPath, std::string_view cacheFolder)
{
    if (!EndsWithTipAnyCase(tipPath) || basic::FileExists(tipPath) == 0) {
        return 0;
    }
    FCT_Quind::TipInfo tip;
    if (FCT_Quind::ReadTipFile(tipPath, tip, cacheFolder) == 0 || tip.EndText.empty()) {
        return 0;
    }
    const std::string now = basic::FormatTimeStamp(FCT_Quind::HourAdjust, 0, basic::StampDigits, 3, 0, 0, 0.0);
    if (!(tip.EndText < now)) {
        return 0;
    }
    // Only the final ".tip" goes: "a.tip.wav.tip" belongs to "a.tip.wav".
    const std::string sound(tipPath.substr(0, tipPath.size() - TipExtension.size()));
    const int tipGone = basic::DeleteFileForce(tipPath);
    const int soundGone = basic::DeleteFileForce(sound);
    basic::WriteLog("KillOldCache: " + sound + " (" + tip.EndText + ")", 0, 0);
    return tipGone == 1 && soundGone == 1 ? 1 : 0;
}

} // namespace cache
