#include "cache/CacheClean.h"

#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/FileLists.h"
#include "foundation/Folders.h"
#include "foundation/HostReachability.h"
#include "foundation/Parms.h"
#include "foundation/Paths.h"
#include "foundation/ServerFolders.h"
#include "mainwindow/MainState.h"
#include "playback/AssignFileFormat.h"
#include "playback/AssignLine.h"
#include "playback/AssignPaths.h"
#include "playback/AssignText.h"
#include "playback/CacheNames.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace cache {

namespace {

constexpr int HostTimeoutMs = 1500;
constexpr int HostAnswerAgeSec = 300;

std::optional<std::vector<std::uint8_t>> ReadTable(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    if (basic::ReadWholeFile(bytes, path) == 1) {
        return bytes;
    }
    // An empty table is a good table without sounds.
    if (basic::FileExists(path) != 0 && basic::GetFileSizeByName(path) == 0) {
        return std::vector<std::uint8_t>{};
    }
    return std::nullopt;
}

void KeepSound(std::set<std::string>& keep, std::string_view sound)
{
    if (!sound.empty()) {
        keep.insert(playback::GetLocalFilename(sound));
    }
}

// The assign table files under the folder, sub-folders included.
std::vector<std::string> TablesUnder(const MainState& state)
{
    std::vector<std::string> list;
    const int end = basic::ListFiles(state.TlvTxtPath, state.TlvExtention, list, basic::ListFilesOnly, 1, 0, 0, 1);
    list.resize(static_cast<std::size_t>(std::max(end, 0)));
    std::erase(list, std::string());
    return list;
}

bool KeepsItsExtension(const std::string& path)
{
    static constexpr std::array<std::string_view, 6> kept{"ini", "tip", "txt", "scm", "cue", "tmc"};
    const std::string extension = basic::GetPathPart(path, 0, 0, 0, 0, 1, 1);
    return std::find(kept.begin(), kept.end(), extension) != kept.end();
}

} // namespace

bool CollectKeepList(const MainState& state, std::set<std::string>& keep, std::string& badTable)
{
    for (const std::string& table : TablesUnder(state)) {
        const auto bytes = ReadTable(table);
        if (!bytes) {
            badTable = table;
            return false;
        }
        // Read as the table is opened, so every sound it keeps is found.
        const std::string text = playback::ReadAssignText(*bytes).Text;
        const std::string folder = basic::GetPathPart(table, 1, 1, 0, 0, 0, 0);
        playback::ForEachLine(text, [&](std::string_view lineText, int) {
            const playback::AssignLine line = playback::ParseAssignLine(lineText);
            if (line.Kind == playback::LineButton || line.Kind == playback::LineListItem) {
                KeepSound(keep, playback::StoredToSoundPath(line.Values[0], folder, false, {}));
            }
            return true;
        });
    }
    // The tables in memory may hold sounds not saved anywhere yet.
    for (const AssignRecord& record : state.ButtonTable) {
        KeepSound(keep, record.FileName);
    }
    for (const ListPage& page : state.ListTable) {
        for (const AssignRecord& record : page.Items) {
            KeepSound(keep, record.FileName);
        }
    }
    return true;
}

CleanResult CleanCache(const MainState& state)
{
    CleanResult result;
    const std::string& cacheFolder = FCT_Quind::LocalPath;
    if (state.SomethingPlays != 0 || cacheFolder.empty() || basic::FolderExists(cacheFolder) == 0 ||
        state.TlvTxtPath.empty() ||
        FCT_Ping::IsPathHostReachable(state.TlvTxtPath, HostTimeoutMs, HostAnswerAgeSec) == 0 ||
        basic::FolderExists(state.TlvTxtPath) == 0) {
        return result;
    }
    if (TablesUnder(state).empty()) {
        return result;
    }
    std::vector<std::string> cached;
    const int end = basic::ListFiles(cacheFolder, "", cached, basic::ListFilesOnly, 0, 0, 0, 1);
    cached.resize(static_cast<std::size_t>(std::max(end, 0)));
    std::erase(cached, std::string());
    if (cached.empty()) {
        return result;
    }

    std::set<std::string> keep;
    if (!CollectKeepList(state, keep, result.Table)) {
        result.Outcome = CleanOutcome::UnreadableTable;
        basic::WriteLog("CleanCache: " + result.Table + " cannot be read; nothing deleted", 1, 0);
        return result;
    }
    result.Outcome = CleanOutcome::Cleaned;
    const std::string base = basic::FixTrailingSeparator(cacheFolder, 0);
    for (const std::string& file : cached) {
        // The listing writes its own separators: the keep list holds names
        // as the cache mapping builds them on LocalPath.
        const std::string name = base + basic::GetPathPart(file, 0, 0, 1, 1, 1, 0);
        if (keep.contains(name) || KeepsItsExtension(file)) {
            continue;
        }
        if (basic::DeleteFileForce(file) == 1) {
            ++result.Deleted;
        }
        basic::DeleteFileForce(file + ".tip");
    }
    basic::WriteLog("CleanCache: " + std::to_string(result.Deleted) + " files deleted", 0, 0);
    return result;
}

} // namespace cache
