#pragma once

#include "platform/FileSystem.h"

namespace platform {

// The file calls of the machine.
class PosixFileSystem final : public FileSystem {
public:
    int Open(const char* path, OpenMode mode) override;
    int Close(int fd) override;
    std::int64_t Read(int fd, std::span<std::uint8_t> buffer) override;
    std::int64_t Write(int fd, std::span<const std::uint8_t> data) override;
    std::int64_t Seek(int fd, std::int64_t position) override;
    int StatHandle(int fd, FileStatus& status) override;
    int Sync(int fd) override;
    int SetHandleTimes(int fd, FileTime accessed, FileTime modified) override;
    int SetHandleMode(int fd, unsigned mode) override;

    int Stat(const char* path, FileStatus& status, bool followLinks) override;
    int Rename(const char* from, const char* to, bool replace) override;
    int Unlink(const char* path) override;
    int MakeFolder(const char* path) override;
    int RemoveFolder(const char* path) override;
    int SetMode(const char* path, unsigned mode) override;
    int SetTimes(const char* path, FileTime accessed, FileTime modified) override;
    int ListFolder(const char* path, std::vector<FolderEntry>& entries) override;
    int GetDiskSpace(const char* path, DiskSpace& space) override;
    int ResolvePath(const char* path, std::string& resolved) override;
};

} // namespace platform
