#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Whole-file reads and atomic replacement of the small files that hold
// settings, through the program's file layer (so "\" separators and server
// paths work, and tests can fail chosen calls): a reader sees the old file or
// the new one, never a part of either, and a write that fails anywhere leaves
// the old file as it was.
namespace platform {

// Settings files are small; anything larger is damaged and is neither trusted
// nor replaced.
inline constexpr std::size_t MaxSettingsFileBytes = 64u * 1024u * 1024u;

struct FileContents {
    enum class State { Read, Missing, Failed };
    State state = State::Missing;
    std::string bytes;
    std::string failure; // the failing call and its error, for State::Failed
};
FileContents ReadSettingsFile(const std::string& path, std::size_t maxBytes = MaxSettingsFileBytes);

// Writes bytes to a new file beside path, flushes it to the disk and renames
// it over path (keeping the old file's permissions). Returns "" on success,
// else the failing call with its error; the temporary file is then removed.
// With replace false an existing file at path stays, and the rename fails
// with EEXIST.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes, bool replace = true);

// True when fileName is a name WriteFileAtomically gives its temporary files:
// "." + the target's name + ".tolv-" + process id + "-" + serial number.
bool IsAtomicTemporaryName(std::string_view fileName);

// Removes what writes killed before their rename left behind: the temporary
// files of WriteFileAtomically in folder (and in its sub-folders down to depth
// levels; links are never followed) last changed at least maxAgeSeconds
// before nowSeconds (seconds since 1970). Younger ones may belong to a save
// that runs now in another session. Returns the paths removed.
std::vector<std::string> RemoveStaleTemporaryFiles(const std::string& folder, std::int64_t nowSeconds,
                                                   std::int64_t maxAgeSeconds, int depth);

// The file a write to path lands in: the target of a symbolic link, so that a
// linked settings file stays linked.
std::string ResolveWriteTarget(const std::string& path);

// The text of a failing call: "<call> Failed r=<errno> <error text> <path>".
std::string CallFailure(std::string_view call, std::string_view path, int errorNumber);

} // namespace platform
