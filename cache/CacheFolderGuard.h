#pragma once

#include <string>

struct MainState;

namespace cache {

// The folders around the cache that deleting in it must never reach.
struct CacheFolderContext {
    std::string CacheFolder;   // LocalPath
    std::string ProgramFolder; // where the program and its settings lie
    std::string HomeFolder;
    std::string TxtPath;    // the assign table folder
    std::string BackupPath; // where the assign tables are backed up
    std::string OpenTable;  // the assign table file in use
};

// What is about to be deleted in the cache folder.
enum class CacheDeletion {
    Clear, // everything, sub-folders included
    Clean, // unused files directly in the folder
    Sweep, // sounds whose tip says they have expired
};

// The context of the running program: LocalPath, the program folder, $HOME
// and the assign table folders of the state.
CacheFolderContext CurrentCacheFolderContext(const MainState& state);

// True when the deletion may run in the cache folder. Every deletion needs a
// set, existing folder that is no file system root (a mount point), not the
// home folder and not the program folder. The clear also refuses a folder
// that holds the program folder, the home folder, the assign table folders
// or the open table;
// the clean one in which the assign table folders or the open table lie
// directly.
bool CacheFolderUsable(const CacheFolderContext& context, CacheDeletion deletion);

// "キャッシュフォルダが設定されていないか使用できません" in the language of the run.
std::string CacheFolderRefusedText();

} // namespace cache
