#pragma once

#include "platform/FileSystem.h"
#include "platform/PosixFileSystem.h"

#include <atomic>
#include <functional>
#include <optional>

namespace testsupport {

// The real file system with faults a test chooses: installed for the life of
// the object, it lets a test fail renames (a locked target, another file
// system) or report a fixed disk size, and counts the calls it saw.
// (Header only: the support library is linked below the platform layer.)
class TestFileLayer : public platform::FileSystem {
public:
    TestFileLayer() { platform::SetRawFileSystem(this); }
    ~TestFileLayer() override { platform::SetRawFileSystem(nullptr); }
    TestFileLayer(const TestFileLayer&) = delete;
    TestFileLayer& operator=(const TestFileLayer&) = delete;

    // Returns 0 to let the rename through, or -errno to fail it.
    std::function<int(const char* from, const char* to)> renameFault;
    // Returns 0 to let the read through, or -errno to fail it.
    std::function<int(int fd)> readFault;
    std::optional<platform::DiskSpace> diskSpace;
    std::atomic<int> renameCalls{0};

    int Open(const char* path, platform::OpenMode mode) override { return real.Open(path, mode); }
    int Close(int fd) override { return real.Close(fd); }
    std::int64_t Read(int fd, std::span<std::uint8_t> buffer) override
    {
        if (readFault) {
            if (const int fault = readFault(fd); fault != 0) {
                return fault;
            }
        }
        return real.Read(fd, buffer);
    }
    std::int64_t Write(int fd, std::span<const std::uint8_t> data) override { return real.Write(fd, data); }
    std::int64_t Seek(int fd, std::int64_t position) override { return real.Seek(fd, position); }
    int StatHandle(int fd, platform::FileStatus& status) override { return real.StatHandle(fd, status); }
    int Sync(int fd) override { return real.Sync(fd); }
    int SetHandleTimes(int fd, platform::FileTime accessed, platform::FileTime modified) override
    {
        return real.SetHandleTimes(fd, accessed, modified);
    }
    int SetHandleMode(int fd, unsigned mode) override { return real.SetHandleMode(fd, mode); }
    int Stat(const char* path, platform::FileStatus& status, bool followLinks) override
    {
        return real.Stat(path, status, followLinks);
    }
    int Rename(const char* from, const char* to, bool replace) override
    {
        ++renameCalls;
        if (renameFault) {
            if (const int fault = renameFault(from, to); fault != 0) {
                return fault;
            }
        }
        return real.Rename(from, to, replace);
    }
    int Unlink(const char* path) override { return real.Unlink(path); }
    int MakeFolder(const char* path) override { return real.MakeFolder(path); }
    int RemoveFolder(const char* path) override { return real.RemoveFolder(path); }
    int SetMode(const char* path, unsigned mode) override { return real.SetMode(path, mode); }
    int SetTimes(const char* path, platform::FileTime accessed, platform::FileTime modified) override
    {
        return real.SetTimes(path, accessed, modified);
    }
    int ListFolder(const char* path, std::vector<platform::FolderEntry>& entries) override
    {
        return real.ListFolder(path, entries);
    }
    int GetDiskSpace(const char* path, platform::DiskSpace& space) override
    {
        if (diskSpace) {
            space = *diskSpace;
            return 0;
        }
        return real.GetDiskSpace(path, space);
    }

protected:
    platform::PosixFileSystem real;
};

} // namespace testsupport
