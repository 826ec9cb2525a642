#pragma once

#include <string>
#include <string_view>
#include <vector>

// File lists of folders for the material browser, the cache and the play-list
// loaders.
namespace basic {

// What ListFiles collects.
inline constexpr int ListFilesOnly = 0;
inline constexpr int ListFilesAndFolders = 1;
inline constexpr int ListFoldersOnly = 2;

// Adds the full paths of a folder's entries to list from index start and
// returns the next free index. filter is an extension (".wav" or "wav", any
// case) that a file's name must end with, or with a leading "!" must not end
// with; folders are not filtered. recurse walks sub-folders first (never
// through a symbolic link); sort 1 ascending, 2 descending, ignoring case.
// Entries of each folder come in name order. The list ends after the last
// entry (one empty entry when there is none). A missing folder, or a recycle
// bin with skipRecycleBin, gives start and leaves the list as it was.
int ListFiles(std::string_view folder, std::string_view filter, std::vector<std::string>& list, int what, int recurse,
              int sort, int start, int skipRecycleBin);

// Shell sort by lower-cased text, or by numeric value.
void ShellSortStrings(std::vector<std::string>& list, int descending, int numeric);

// Windows wildcard matching ignoring case: "*" any run, "?" one character,
// "*.*" every name.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

} // namespace basic
