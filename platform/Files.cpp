#include "platform/Files.h"

#include "platform/FileSystem.h"
#include "platform/IoThread.h"
#include "platform/ServerPaths.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

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

// Handles of files on a server, with the file each reaches: every call
// through them goes to the I/O thread.
class RemoteHandles {
public:
    void Add(int handle, const std::string& file)
    {
        std::lock_guard lock(mutex_);
        handles_[handle] = file;
    }
    void Remove(int handle)
    {
        std::lock_guard lock(mutex_);
        handles_.erase(handle);
    }
    // The file a server handle reaches, "" for any other handle.
    std::string FileOf(int handle)
    {
        std::lock_guard lock(mutex_);
        const auto found = handles_.find(handle);
        return found != handles_.end() ? found->second : std::string();
    }

private:
    std::mutex mutex_;
    std::unordered_map<int, std::string> handles_;
};

RemoteHandles& Remote()
{
    static RemoteHandles remote;
    return remote;
}

// Runs a call where it belongs: at once for local files, on the I/O thread for
// server files. The call must capture its arguments by value.
// file names the file the call concerns, so a call on a file whose earlier
// call was given up on is not made again while that one is stuck.
template <typename Call>
std::int64_t Dispatch(bool onServer, Call call, const std::string& what, io::Abandon abandon = {},
                      const std::string& file = {})
{
    if (!onServer) {
        return call();
    }
    return io::Run(std::move(call), std::move(abandon), what, file);
}

// A call through a handle: on the I/O thread when it reaches a server file.
template <typename Call> std::int64_t DispatchOnHandle(int handle, Call call, const std::string& what)
{
    const std::string file = Remote().FileOf(handle);
    return Dispatch(!file.empty(), std::move(call), what, {}, file);
}

std::int64_t PathCall(std::string_view path, const char* name,
                      std::int64_t (*call)(FileSystem&, const std::string& native))
{
    std::string native = Native(path);
    if (native.empty()) {
        return -errno;
    }
    const bool onServer = IsOnShare(native);
    return Dispatch(
        onServer, [native, call] { return call(RawFileSystem(), native); }, std::string(name) + " " + native, {},
        native);
}

std::int64_t HandleCall(int handle, const char* name, std::int64_t (*call)(FileSystem&, int handle))
{
    if (!ValidHandle(handle)) {
        return -EBADF;
    }
    return DispatchOnHandle(
        handle, [handle, call] { return call(RawFileSystem(), handle); },
        std::string(name) + " handle " + std::to_string(handle));
}

} // namespace

int Open(std::string_view path, OpenMode mode)
{
    const std::string native = Native(path);
    if (native.empty()) {
        return 0;
    }
    const bool onServer = IsOnShare(native);
    const std::int64_t fd = Dispatch(
        onServer, [native, mode] { return static_cast<std::int64_t>(RawFileSystem().Open(native.c_str(), mode)); },
        "open " + native,
        // Opened after the caller gave up: nobody will ever close it.
        [](std::int64_t late) {
            if (late > 0) {
                RawFileSystem().Close(static_cast<int>(late));
            }
        },
        native);
    if (!Check(fd)) {
        return 0;
    }
    if (onServer) {
        Remote().Add(static_cast<int>(fd), native);
    }
    return static_cast<int>(fd);
}

bool Close(int handle)
{
    if (!ValidHandle(handle)) {
        return false;
    }
    const std::string file = Remote().FileOf(handle);
    Remote().Remove(handle);
    if (file.empty()) {
        return Check(RawFileSystem().Close(handle));
    }
    // Waits only for its own share, and is made even while another call on
    // it is stuck: skipped, the descriptor would stay open for good.
    return Check(io::Run([handle] { return static_cast<std::int64_t>(RawFileSystem().Close(handle)); }, {},
                         "close handle " + std::to_string(handle), file, io::WhenShareGivenUp::MakeAnyway));
}

std::int64_t Read(int handle, std::span<std::uint8_t> buffer)
{
    if (!ValidHandle(handle)) {
        return -1;
    }
    const std::string file = Remote().FileOf(handle);
    if (file.empty()) {
        return CountOrMinusOne(RawFileSystem().Read(handle, buffer));
    }
    // The I/O thread reads into a buffer of its own: the caller's may be gone
    // by the time a stuck read comes back.
    auto own = std::make_shared<std::vector<std::uint8_t>>(buffer.size());
    const std::int64_t n = io::Run([handle, own] { return RawFileSystem().Read(handle, *own); }, {},
                                   "read handle " + std::to_string(handle), file);
    if (n > 0) {
        std::copy_n(own->begin(), static_cast<std::size_t>(n), buffer.begin());
    }
    return CountOrMinusOne(n);
}

std::int64_t Write(int handle, std::span<const std::uint8_t> data)
{
    if (!ValidHandle(handle)) {
        return -1;
    }
    const std::string file = Remote().FileOf(handle);
    if (file.empty()) {
        return CountOrMinusOne(RawFileSystem().Write(handle, data));
    }
    auto own = std::make_shared<std::vector<std::uint8_t>>(data.begin(), data.end());
    return CountOrMinusOne(io::Run([handle, own] { return RawFileSystem().Write(handle, *own); }, {},
                                   "write handle " + std::to_string(handle), file));
}

std::int64_t Seek(int handle, std::int64_t position)
{
    if (!ValidHandle(handle)) {
        return -1;
    }
    return CountOrMinusOne(DispatchOnHandle(
        handle, [handle, position] { return RawFileSystem().Seek(handle, position); },
        "seek handle " + std::to_string(handle)));
}

bool StatHandle(int handle, FileStatus& status)
{
    if (!ValidHandle(handle)) {
        return false;
    }
    auto own = std::make_shared<FileStatus>();
    const bool ok = Check(DispatchOnHandle(
        handle,
        [handle, own] { return static_cast<std::int64_t>(RawFileSystem().StatHandle(handle, *own)); },
        "stat handle " + std::to_string(handle)));
    if (ok) {
        status = *own;
    }
    return ok;
}

bool Sync(int handle)
{
    return Check(HandleCall(handle, "sync", [](FileSystem& fs, int h) -> std::int64_t { return fs.Sync(h); }));
}

bool SetHandleTimes(int handle, FileTime accessed, FileTime modified)
{
    if (!ValidHandle(handle)) {
        return false;
    }
    return Check(DispatchOnHandle(
        handle,
        [handle, accessed, modified] {
            return static_cast<std::int64_t>(RawFileSystem().SetHandleTimes(handle, accessed, modified));
        },
        "set times of handle " + std::to_string(handle)));
}

bool SetHandleMode(int handle, unsigned mode)
{
    if (!ValidHandle(handle)) {
        return false;
    }
    return Check(DispatchOnHandle(
        handle,
        [handle, mode] { return static_cast<std::int64_t>(RawFileSystem().SetHandleMode(handle, mode)); },
        "set mode of handle " + std::to_string(handle)));
}

bool Stat(std::string_view path, FileStatus& status, bool followLinks)
{
    const std::string native = Native(path);
    if (native.empty()) {
        return false;
    }
    auto own = std::make_shared<FileStatus>();
    const bool ok = Check(Dispatch(
        IsOnShare(native),
        [native, own, followLinks] {
            return static_cast<std::int64_t>(RawFileSystem().Stat(native.c_str(), *own, followLinks));
        },
        "stat " + native, {}, native));
    if (ok) {
        status = *own;
    }
    return ok;
}

bool Rename(std::string_view from, std::string_view to, bool replace)
{
    const std::string nativeFrom = Native(from);
    if (nativeFrom.empty()) {
        return false;
    }
    const std::string nativeTo = Native(to);
    if (nativeTo.empty()) {
        return false;
    }
    // A rename on a share waits for the share of the file it moves.
    const std::string onShare = IsOnShare(nativeFrom) ? nativeFrom : IsOnShare(nativeTo) ? nativeTo : std::string();
    return Check(Dispatch(
        !onShare.empty(),
        [nativeFrom, nativeTo, replace] {
            return static_cast<std::int64_t>(RawFileSystem().Rename(nativeFrom.c_str(), nativeTo.c_str(), replace));
        },
        "rename " + nativeFrom + " -> " + nativeTo, {}, onShare));
}

bool Unlink(std::string_view path)
{
    return Check(PathCall(path, "unlink", [](FileSystem& fs, const std::string& native) -> std::int64_t {
        return fs.Unlink(native.c_str());
    }));
}

bool MakeFolder(std::string_view path)
{
    return Check(PathCall(path, "mkdir", [](FileSystem& fs, const std::string& native) -> std::int64_t {
        return fs.MakeFolder(native.c_str());
    }));
}

bool RemoveFolder(std::string_view path)
{
    return Check(PathCall(path, "rmdir", [](FileSystem& fs, const std::string& native) -> std::int64_t {
        return fs.RemoveFolder(native.c_str());
    }));
}

bool SetMode(std::string_view path, unsigned mode)
{
    const std::string native = Native(path);
    return !native.empty() &&
           Check(Dispatch(
               IsOnShare(native),
               [native, mode] { return static_cast<std::int64_t>(RawFileSystem().SetMode(native.c_str(), mode)); },
               "chmod " + native, {}, native));
}

bool SetTimes(std::string_view path, FileTime accessed, FileTime modified)
{
    const std::string native = Native(path);
    return !native.empty() &&
           Check(Dispatch(
               IsOnShare(native),
               [native, accessed, modified] {
                   return static_cast<std::int64_t>(RawFileSystem().SetTimes(native.c_str(), accessed, modified));
               },
               "set times of " + native, {}, native));
}

bool ListFolder(std::string_view path, std::vector<FolderEntry>& entries)
{
    entries.clear();
    const std::string native = Native(path);
    if (native.empty()) {
        return false;
    }
    auto own = std::make_shared<std::vector<FolderEntry>>();
    const bool ok = Check(Dispatch(
        IsOnShare(native),
        [native, own] { return static_cast<std::int64_t>(RawFileSystem().ListFolder(native.c_str(), *own)); },
        "list " + native, {}, native));
    if (ok) {
        entries = std::move(*own);
    }
    return ok;
}

bool GetDiskSpace(std::string_view path, DiskSpace& space)
{
    const std::string native = Native(path);
    if (native.empty()) {
        return false;
    }
    auto own = std::make_shared<DiskSpace>();
    const bool ok = Check(Dispatch(
        IsOnShare(native),
        [native, own] { return static_cast<std::int64_t>(RawFileSystem().GetDiskSpace(native.c_str(), *own)); },
        "disk space of " + native, {}, native));
    if (ok) {
        space = *own;
    }
    return ok;
}

bool ResolvePath(std::string_view path, std::string& resolved)
{
    resolved.clear();
    const std::string native = Native(path);
    if (native.empty()) {
        return false;
    }
    auto own = std::make_shared<std::string>();
    const bool ok = Check(Dispatch(
        IsOnShare(native),
        [native, own] { return static_cast<std::int64_t>(RawFileSystem().ResolvePath(native.c_str(), *own)); },
        "resolve " + native, {}, native));
    if (ok) {
        resolved = *own;
    }
    return ok;
}

} // namespace platform::files
