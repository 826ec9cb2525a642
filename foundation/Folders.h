#pragma once

#include <string>
#include <string_view>

// The folder side of the file layer: existence, creation, removal, pruning,
// listings, roots and drives.
namespace basic {

// 1 for an existing folder.
int FolderExists(std::string_view path);
// 1 for a path inside a recycle bin or the system volume folder of a drive.
int IsRecycleBinPath(std::string_view path);
// Creates one folder level; 1 when the folder exists afterwards.
int MakeFolder(std::string_view path);
// Creates every missing level; 1 when the folder exists afterwards. The host
// and share levels of a server path are never created: a share that is not
// mounted must not turn into a local folder.
int MakeFolderTree(std::string_view path);

// Removes an empty folder (a symbolic link as a link); 1 when removed or
// absent. An empty path and the file system root are refused (0).
int RemoveFolder(std::string_view path);

// Deletes the folder's files whose names match "*" & extension ("" = all),
// with olderThanDays only those last written before now minus that many days;
// unless noRecurse, sub-folders are treated alike (emptied and removed when no
// age is given; pruned and removed once empty when one is). Symbolic links
// are deleted as links, never followed. Window events run once per folder.
// Result: 1 with keepFolder, else whether the folder itself could be removed;
// 0 for a missing folder, an empty path or the file system root.
int DeleteFolderContents(std::string_view folder, int keepFolder, int olderThanDays, std::string_view extension,
                         int noRecurse);

// 1 when the folder holds an entry matching "*." & extension ("" = any) (mode
// 0) or a matching sub-folder (mode 1).
int FolderHasFiles(std::string_view folder, std::string_view extension, int ignored, int mode);

} // namespace basic
