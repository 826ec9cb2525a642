#pragma once

#include <set>
#include <string>

struct MainState;

// Removing the cache files that no assign table uses.
namespace cache {

enum class CleanOutcome {
    Cleaned,         // the pass ran (it may have found nothing to delete)
    NotRun,          // nothing to do or nothing known: something plays, no
                     // tables, no cache files, the table folder's host is away
    UnreadableTable, // a table could not be read: nothing was deleted
};

struct CleanResult {
    CleanOutcome Outcome = CleanOutcome::NotRun;
    int Deleted = 0;
    // The table that could not be read.
    std::string Table;
};

// The cache names of every sound that the assign tables under TlvTxtPath
// (sub-folders included, extension TlvExtention) and the tables in memory
// use. False, with the failing table's path in badTable, when a table found
// cannot be read.
bool CollectKeepList(const MainState& state, std::set<std::string>& keep, std::string& badTable);

// Deletes every file directly in the cache folder that no table uses (with
// its ".tip"), except files with the extensions ini, tip, txt, scm, cue and
// tmc. The caller checks that the folder may be cleaned (CacheFolderUsable).
CleanResult CleanCache(const MainState& state);

} // namespace cache
