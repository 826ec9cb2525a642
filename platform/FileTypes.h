#pragma once

#include <cstdint>
#include <string>

// Plain values that the file layer hands to its callers.
namespace platform {

// A moment of the file system: seconds and nanoseconds since 1970-01-01 UTC.
struct FileTime {
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;
};

enum class FileKind { Missing, File, Folder, Other };

struct FileStatus {
    // What the path names; a symbolic link is described by its target unless
    // the status was taken without following links.
    FileKind kind = FileKind::Missing;
    bool isLink = false;
    std::int64_t size = 0;
    unsigned mode = 0;
    FileTime modified;
    FileTime accessed;
    // The birth time where the file system keeps one, else the last write.
    FileTime created;
    // Which file it is on its file system (0 where the system cannot tell):
    // a file replaced under the same name is another one.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// One entry of a folder listing ("." and ".." never appear).
struct FolderEntry {
    std::string name;
    // Kind of the target for a symbolic link (Missing when it dangles).
    FileKind kind = FileKind::Missing;
    bool isLink = false;
    std::int64_t size = 0;
    FileTime modified;
};

struct DiskSpace {
    std::int64_t freeToCaller = 0;
    std::int64_t total = 0;
    std::int64_t totalFree = 0;
};

enum class OpenMode {
    Read,      // an existing file, for reading
    Write,     // opened or created, for writing
    ReadWrite, // opened or created, for reading and writing
    CreateNew, // created for writing; fails when the name exists
    Append,    // opened or created, every write at the end
};

} // namespace platform
