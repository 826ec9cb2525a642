#pragma once

#include "platform/FileTypes.h"

#include <cerrno>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

// The raw file calls of the program, on native paths. Every call returns 0 (or
// a count, a descriptor) on success and -errno on failure, so that a result can
// cross from an I/O thread to the caller intact. The program uses the POSIX
// one; tests put a layer in between that delays or fails chosen calls.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // A descriptor of a regular file (never 0..2), or -errno.
    virtual int Open(const char* path, OpenMode mode) = 0;
    virtual int Close(int fd) = 0;
    virtual std::int64_t Read(int fd, std::span<std::uint8_t> buffer) = 0;
    virtual std::int64_t Write(int fd, std::span<const std::uint8_t> data) = 0;
    // Moves the file position to an absolute offset; returns it.
    virtual std::int64_t Seek(int fd, std::int64_t position) = 0;
    virtual int StatHandle(int fd, FileStatus& status) = 0;
    virtual int Sync(int fd) = 0;
    virtual int SetHandleTimes(int fd, FileTime accessed, FileTime modified) = 0;
    virtual int SetHandleMode(int fd, unsigned mode) = 0;

    virtual int Stat(const char* path, FileStatus& status, bool followLinks) = 0;
    // replace false: fails with -EEXIST when the target exists.
    virtual int Rename(const char* from, const char* to, bool replace) = 0;
    virtual int Unlink(const char* path) = 0;
    virtual int MakeFolder(const char* path) = 0;
    virtual int RemoveFolder(const char* path) = 0;
    virtual int SetMode(const char* path, unsigned mode) = 0;
    virtual int SetTimes(const char* path, FileTime accessed, FileTime modified) = 0;
    virtual int ListFolder(const char* path, std::vector<FolderEntry>& entries) = 0;
    virtual int GetDiskSpace(const char* path, DiskSpace& space) = 0;
    // The absolute path with every link and "." or ".." resolved.
    virtual int ResolvePath(const char* path, std::string& resolved)
    {
        (void)path;
        resolved.clear();
        return -ENOSYS;
    }
};

// The POSIX file system, unless a test installed another layer.
FileSystem& RawFileSystem();
// Installs a layer (null restores POSIX). The caller keeps it alive.
void SetRawFileSystem(FileSystem* layer);

} // namespace platform
