#include "platform/PosixFileSystem.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace platform {

namespace {

int Failure()
{
    return errno != 0 ? -errno : -EIO;
}

FileTime ToFileTime(const struct statx_timestamp& t)
{
    return {t.tv_sec, t.tv_nsec};
}

FileKind KindOf(unsigned mode)
{
    if (S_ISREG(mode)) {
        return FileKind::File;
    }
    if (S_ISDIR(mode)) {
        return FileKind::Folder;
    }
    return FileKind::Other;
}

void Fill(const struct statx& sx, FileStatus& status)
{
    status.kind = KindOf(sx.stx_mode);
    status.size = static_cast<std::int64_t>(sx.stx_size);
    status.mode = sx.stx_mode & 07777U;
    status.modified = ToFileTime(sx.stx_mtime);
    status.accessed = ToFileTime(sx.stx_atime);
    status.created = (sx.stx_mask & STATX_BTIME) != 0 ? ToFileTime(sx.stx_btime) : status.modified;
    if ((sx.stx_mask & STATX_INO) != 0) {
        status.device = (static_cast<std::uint64_t>(sx.stx_dev_major) << 32U) | sx.stx_dev_minor;
        status.inode = sx.stx_ino;
    }
}

int StatAt(int dirFd, const char* path, int flags, struct statx& sx)
{
    if (statx(dirFd, path, flags, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0) {
        return Failure();
    }
    return 0;
}

timespec ToTimespec(FileTime t)
{
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(t.seconds);
    ts.tv_nsec = static_cast<long>(t.nanoseconds);
    return ts;
}

// Descriptors 0..2 are never handed out: 0 means "no handle" to the program,
// and 1 and 2 would catch stray writes to standard output.
int AboveStandardDescriptors(int fd)
{
    if (fd > 2) {
        return fd;
    }
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    const int saved = errno;
    close(fd);
    if (moved < 0) {
        return saved != 0 ? -saved : -EMFILE;
    }
    return moved;
}

} // namespace

int PosixFileSystem::Open(const char* path, OpenMode mode)
{
    int flags = O_CLOEXEC | O_NOCTTY;
    switch (mode) {
    case OpenMode::Read:
        // Non-blocking so that a FIFO under a file name cannot hang the caller.
        flags |= O_RDONLY | O_NONBLOCK;
        break;
    case OpenMode::Write:
        flags |= O_WRONLY | O_CREAT | O_NONBLOCK;
        break;
    case OpenMode::ReadWrite:
        flags |= O_RDWR | O_CREAT | O_NONBLOCK;
        break;
    case OpenMode::CreateNew:
        flags |= O_WRONLY | O_CREAT | O_EXCL;
        break;
    case OpenMode::Append:
        flags |= O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK;
        break;
    }
    int fd = open(path, flags, 0666);
    if (fd < 0) {
        return Failure();
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        close(fd);
        return -error;
    }
    const int current = fcntl(fd, F_GETFL);
    if (current >= 0) {
        fcntl(fd, F_SETFL, current & ~O_NONBLOCK);
    }
    return AboveStandardDescriptors(fd);
}

int PosixFileSystem::Close(int fd)
{
    // Linux releases the descriptor even when close reports an error; never retry.
    return close(fd) == 0 ? 0 : Failure();
}

std::int64_t PosixFileSystem::Read(int fd, std::span<std::uint8_t> buffer)
{
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t n = read(fd, buffer.data() + done, buffer.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Failure();
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t PosixFileSystem::Write(int fd, std::span<const std::uint8_t> data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Failure();
        }
        if (n == 0) {
            return -EIO;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t PosixFileSystem::Seek(int fd, std::int64_t position)
{
    if (position < 0) {
        return -EINVAL;
    }
    const off_t at = lseek(fd, static_cast<off_t>(position), SEEK_SET);
    return at < 0 ? Failure() : static_cast<std::int64_t>(at);
}

int PosixFileSystem::StatHandle(int fd, FileStatus& status)
{
    struct statx sx {};
    if (const int r = StatAt(fd, "", AT_EMPTY_PATH, sx); r != 0) {
        return r;
    }
    Fill(sx, status);
    status.isLink = false;
    return 0;
}

int PosixFileSystem::Sync(int fd)
{
    return fsync(fd) == 0 ? 0 : Failure();
}

int PosixFileSystem::SetHandleTimes(int fd, FileTime accessed, FileTime modified)
{
    const timespec times[2] = {ToTimespec(accessed), ToTimespec(modified)};
    return futimens(fd, times) == 0 ? 0 : Failure();
}

int PosixFileSystem::SetHandleMode(int fd, unsigned mode)
{
    return fchmod(fd, static_cast<mode_t>(mode)) == 0 ? 0 : Failure();
}

int PosixFileSystem::Stat(const char* path, FileStatus& status, bool followLinks)
{
    struct statx sx {};
    if (const int r = StatAt(AT_FDCWD, path, AT_SYMLINK_NOFOLLOW, sx); r != 0) {
        return r;
    }
    const bool isLink = S_ISLNK(sx.stx_mode);
    if (isLink && followLinks) {
        if (const int r = StatAt(AT_FDCWD, path, 0, sx); r != 0) {
            return r;
        }
    }
    Fill(sx, status);
    status.isLink = isLink;
    return 0;
}

int PosixFileSystem::Rename(const char* from, const char* to, bool replace)
{
    if (replace) {
        return rename(from, to) == 0 ? 0 : Failure();
    }
    if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        return Failure();
    }
    // A file system without an exclusive rename: test first, then rename.
    struct stat st {};
    if (lstat(to, &st) == 0) {
        return -EEXIST;
    }
    return rename(from, to) == 0 ? 0 : Failure();
}

int PosixFileSystem::Unlink(const char* path)
{
    return unlink(path) == 0 ? 0 : Failure();
}

int PosixFileSystem::MakeFolder(const char* path)
{
    return mkdir(path, 0777) == 0 ? 0 : Failure();
}

int PosixFileSystem::RemoveFolder(const char* path)
{
    return rmdir(path) == 0 ? 0 : Failure();
}

int PosixFileSystem::SetMode(const char* path, unsigned mode)
{
    return chmod(path, static_cast<mode_t>(mode)) == 0 ? 0 : Failure();
}

int PosixFileSystem::SetTimes(const char* path, FileTime accessed, FileTime modified)
{
    const timespec times[2] = {ToTimespec(accessed), ToTimespec(modified)};
    return utimensat(AT_FDCWD, path, times, 0) == 0 ? 0 : Failure();
}

int PosixFileSystem::ListFolder(const char* path, std::vector<FolderEntry>& entries)
{
    entries.clear();
    const int dirFd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        return Failure();
    }
    DIR* dir = fdopendir(dirFd);
    if (dir == nullptr) {
        const int error = Failure();
        close(dirFd);
        return error;
    }
    while (true) {
        errno = 0;
        const dirent* entry = readdir(dir);
        if (entry == nullptr) {
            break;
        }
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        FolderEntry item;
        item.name = entry->d_name;
        struct statx sx {};
        if (StatAt(dirFd, entry->d_name, AT_SYMLINK_NOFOLLOW, sx) != 0) {
            continue; // vanished meanwhile
        }
        item.isLink = S_ISLNK(sx.stx_mode);
        if (item.isLink && StatAt(dirFd, entry->d_name, 0, sx) != 0) {
            item.kind = FileKind::Missing;
        } else {
            item.kind = KindOf(sx.stx_mode);
        }
        item.size = static_cast<std::int64_t>(sx.stx_size);
        item.modified = ToFileTime(sx.stx_mtime);
        entries.push_back(std::move(item));
    }
    const int error = errno;
    closedir(dir);
    return error != 0 ? -error : 0;
}

int PosixFileSystem::GetDiskSpace(const char* path, DiskSpace& space)
{
    struct statvfs sv {};
    if (statvfs(path, &sv) != 0) {
        return Failure();
    }
    const auto unit = static_cast<std::int64_t>(sv.f_frsize);
    space.freeToCaller = static_cast<std::int64_t>(sv.f_bavail) * unit;
    space.total = static_cast<std::int64_t>(sv.f_blocks) * unit;
    space.totalFree = static_cast<std::int64_t>(sv.f_bfree) * unit;
    return 0;
}

int PosixFileSystem::ResolvePath(const char* path, std::string& resolved)
{
    char buffer[PATH_MAX];
    if (realpath(path, buffer) == nullptr) {
        resolved.clear();
        return Failure();
    }
    resolved = buffer;
    return 0;
}

} // namespace platform
