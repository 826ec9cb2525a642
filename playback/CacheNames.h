#pragma once

#include <string>
#include <string_view>

// Names of a sound's local copy in the cache folder (LocalPath) and back.
// Folder prefixes compare without regard to case and read "\" and "/" alike;
// only a leading folder is ever replaced.
namespace playback {

// A file of the current server keeps its sub-folders below LocalPath; any
// other file maps flat onto LocalPath and its file name. "" (logged) when the
// name would lead out of LocalPath once its ".." are resolved: no copy.
std::string GetLocalFilename(std::string_view path);

// The server path of a file in the local folder, "" when the path lies
// outside it, leads out of it through "..", or no current server folder is set.
std::string GetServerFilename(std::string_view path);

} // namespace playback
