#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// What tells a file's sound from the one it held before under the same name
// (a server's updated version, a cache's refreshed copy): its size and the
// time it was last written. A player keeps the version of the file it loaded
// and skips the load of the same name only while the file still has it.
struct FileVersion {
    std::int64_t size = 0;
    std::int64_t writtenSeconds = 0;
    std::int64_t writtenNanoseconds = 0;
    bool operator==(const FileVersion&) const = default;

    // The file's version now; nothing when its status cannot be had.
    static std::optional<FileVersion> Of(std::string_view path);
};

// True when the file at path still has the version loaded. A file whose
// status cannot be had now counts as unchanged: what was loaded stays, as
// it always did.
bool StillLoaded(std::string_view path, const std::optional<FileVersion>& loaded);
