#pragma once

#include <string>
#include <string_view>
#include <utility>

// How sound paths are stored in an assign table file: whole, with a stored
// root in place of the actual root (SyncDrive: stored root, actual root), or
// as a bare file name beside the assign table file.
namespace playback {

// Path modes of the writer.
inline constexpr int PathNamesOnly = 0;
inline constexpr int PathFull = 1;

// Reading: mapping is on when the root of the assign table file's own path is
// exactly the actual root and a stored root is set.
bool ReadMappingOn(std::string_view tablePath, const std::pair<std::string, std::string>& syncDrive);
// Writing: mapping is on when the root of the target is exactly the actual root.
bool WriteMappingOn(std::string_view targetPath, const std::pair<std::string, std::string>& syncDrive);

// The sound path a stored path stands for. "" stays "" (unassigned); a path
// with a separator is taken as it is, the stored root turned into the actual
// root when mapping is on; a bare name lies in tableFolder.
std::string StoredToSoundPath(std::string_view stored, std::string_view tableFolder, bool mapping,
                              const std::pair<std::string, std::string>& syncDrive);

// The text written for a sound path (before cleaning): the path, with its
// actual root replaced by the stored root when mapping is on, or with
// PathNamesOnly the file name alone.
std::string SoundToStoredPath(std::string_view path, int pathMode, bool mapping,
                              const std::pair<std::string, std::string>& syncDrive);

// Prefix tests that ignore the case of ASCII letters and read "\" and "/"
// alike, as paths written on other systems need.
bool StartsWithPath(std::string_view path, std::string_view prefix);

} // namespace playback
