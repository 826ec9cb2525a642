#include "platform/Files.h"

#include "platform/FileSystem.h"
#include "platform/ServerPaths.h"

#include <cerrno>
#include <string>

namespace platform::files {

namespace {

bool Check(std::int64_t result)
{
    if (result < 0) {
        errno = static_cast<int>(-result);
        return false;
    }
    // The last error of the program is that of its last file call.
    errno = 0;
    return true;
}

std::int64_t CountOrMinusOne(std::int64_t result)
{
    return Check(result) ? result : -1;
}

// The native path, or "" with errno set when the path names nothing safely.
std::string Native(std::string_view path)
{
    std::string native = NativePath(path);
    if (native.empty()) {
        errno = path.empty() ? ENOENT : EINVAL;
    }
    return native;
}

bool ValidHandle(int handle)
{
    if (handle <= 2) {
        errno = EBADF;
        return false;
    }
    return true;
}

} // namespace

int Open(std::string_view path, OpenMode mode)
{
    const std::string native = Native(path);
    if (native.empty()) {
        return 0;
    }
    const int fd = RawFileSystem().Open(native.c_str(), mode);
    return Check(fd) ? fd : 0;
}

bool Close(int handle)
{
    return ValidHandle(handle) && Check(RawFileSystem().Close(handle));
}

std::int64_t Read(int handle, std::span<std::uint8_t> buffer)
{
    return ValidHandle(handle) ? CountOrMinusOne(RawFileSystem().Read(handle, buffer)) : -1;
}

std::int64_t Write(int handle, std::span<const std::uint8_t> data)
{
    return ValidHandle(handle) ? CountOrMinusOne(RawFileSystem().Write(handle, data)) : -1;
}

std::int64_t Seek(int handle, std::int64_t position)
{
    return ValidHandle(handle) ? CountOrMinusOne(RawFileSystem().Seek(handle, position)) : -1;
}

bool StatHandle(int handle, FileStatus& status)
{
    return ValidHandle(handle) && Check(RawFileSystem().StatHandle(handle, status));
}

bool Sync(int handle)
{
    return ValidHandle(handle) && Check(RawFileSystem().Sync(handle));
}

bool SetHandleTimes(int handle, FileTime accessed, FileTime modified)
{
    return ValidHandle(handle) && Check(RawFileSystem().SetHandleTimes(handle, accessed, modified));
}

bool SetHandleMode(int handle, unsigned mode)
{
    return ValidHandle(handle) && Check(RawFileSystem().SetHandleMode(handle, mode));
}

bool Stat(std::string_view path, FileStatus& status, bool followLinks)
{
    const std::string native = Native(path);
    return !native.empty() && Check(RawFileSystem().Stat(native.c_str(), status, followLinks));
}

bool Rename(std::string_view from, std::string_view to, bool replace)
{
    const std::string nativeFrom = Native(from);
    const std::string nativeTo = Native(to);
    return !nativeFrom.empty() && !nativeTo.empty() &&
           Check(RawFileSystem().Rename(nativeFrom.c_str(), nativeTo.c_str(), replace));
}

bool Unlink(std::string_view path)
{
    const std::string native = Native(path);
    return !native.empty() && Check(RawFileSystem().Unlink(native.c_str()));
}

bool MakeFolder(std::string_view path)
{
    const std::string native = Native(path);
    return !native.empty() && Check(RawFileSystem().MakeFolder(native.c_str()));
}

bool RemoveFolder(std::string_view path)
{
    const std::string native = Native(path);
    return !native.empty() && Check(RawFileSystem().RemoveFolder(native.c_str()));
}

bool SetMode(std::string_view path, unsigned mode)
{
    const std::string native = Native(path);
    return !native.empty() && Check(RawFileSystem().SetMode(native.c_str(), mode));
}

bool SetTimes(std::string_view path, FileTime accessed, FileTime modified)
{
    const std::string native = Native(path);
    return !native.empty() && Check(RawFileSystem().SetTimes(native.c_str(), accessed, modified));
}

bool ListFolder(std::string_view path, std::vector<FolderEntry>& entries)
{
    entries.clear();
    const std::string native = Native(path);
    return !native.empty() && Check(RawFileSystem().ListFolder(native.c_str(), entries));
}

bool GetDiskSpace(std::string_view path, DiskSpace& space)
{
    const std::string native = Native(path);
    return !native.empty() && Check(RawFileSystem().GetDiskSpace(native.c_str(), space));
}

bool ResolvePath(std::string_view path, std::string& resolved)
{
    resolved.clear();
    const std::string native = Native(path);
    return !native.empty() && Check(RawFileSystem().ResolvePath(native.c_str(), resolved));
}

} // namespace platform::files
