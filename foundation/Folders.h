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

} // namespace basic
