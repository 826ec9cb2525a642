// Deleting, moving, copying, saving and comparing files (declared in
// FileAccess.h).
#include "foundation/FileAccess.h"

#include "platform/AtomicFile.h"

#include "foundation/Paths.h"
#include "foundation/TimeStamps.h"
#include "foundation/Waits.h"
#include "platform/AtomicFile.h"
#include "platform/ErrorText.h"
#include "platform/Files.h"
#include "platform/base/Hooks.h"
#include "platform/base/LogSink.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace basic {

namespace {

constexpr std::size_t CopyChunkBytes = 1 << 20;
constexpr int MoveAttempts = 10;

void LogFailure(std::string_view operation, std::string_view path)
{
    const int saved = errno;
    platform::Log(std::string(operation) + " Failed r=" + std::to_string(saved) + " " + platform::ErrorText(saved) +
                  " " + std::string(path));
    errno = saved;
}

std::string_view FileNameOf(std::string_view path)
{
    const std::size_t at = path.find_last_of("/\\");
    return at == std::string_view::npos ? path : path.substr(at + 1);
}

std::string_view FolderWithSeparatorOf(std::string_view path)
{
    const std::size_t at = path.find_last_of("/\\");
    return at == std::string_view::npos ? std::string_view() : path.substr(0, at + 1);
}

// Errors that another attempt cannot cure.
bool IsLasting(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case EEXIST:
    case EINVAL:
    case EISDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return true;
    default:
        return false;
    }
}

// Creates a hidden file beside target under a name no one else uses.
int CreateTempBeside(std::string_view target, std::string& tempPath)
{
    static std::atomic<unsigned> counter{0};
    const std::string prefix = std::string(FolderWithSeparatorOf(target)) + "." + std::string(FileNameOf(target)) +
                               ".tolv-" + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = prefix + std::to_string(counter.fetch_add(1));
        const int handle = platform::files::Open(tempPath, platform::OpenMode::CreateNew);
        if (handle != 0 || errno != EEXIST) {
            return handle;
        }
    }
    return 0;
}

void DiscardTemp(int handle, const std::string& tempPath)
{
    const int saved = errno;
    if (handle != 0) {
        platform::files::Close(handle);
    }
    platform::files::Unlink(tempPath);
    errno = saved;
}

bool CopyContents(int from, int to)
{
    std::vector<std::uint8_t> chunk(CopyChunkBytes);
    while (true) {
        const std::int64_t n = platform::files::Read(from, chunk);
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            return true;
        }
        const std::span<const std::uint8_t> part(chunk.data(), static_cast<std::size_t>(n));
        if (platform::files::Write(to, part) != n) {
            return false;
        }
        // A long copy must not starve the players.
        platform::RefillIfDue();
        if (static_cast<std::size_t>(n) < chunk.size()) {
            return true;
        }
    }
}

// Finishes the temporary file: permissions, then the times (a write would
// change them), then a flush to the disk. Permissions and times are kept where
// the file system allows (FAT sticks and many shares refuse permissions); only
// a failed flush fails the save.
bool FinishTemp(int handle, std::string_view target, const unsigned* mode, const platform::FileStatus* timesFrom)
{
    if (mode != nullptr) {
        platform::files::SetHandleMode(handle, *mode);
    }
    if (timesFrom != nullptr && !platform::files::SetHandleTimes(handle, timesFrom->accessed, timesFrom->modified)) {
        LogFailure("Keeping the file time", target);
    }
    if (platform::files::Sync(handle)) {
        return true;
    }
    // File systems without a flush of their own.
    return errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP;
}

// Copies source to a temporary file beside target and renames it into place.
bool PlaceCopy(std::string_view source, std::string_view target, bool replace)
{
    const int from = platform::files::Open(source, platform::OpenMode::Read);
    if (from == 0) {
        return false;
    }
    platform::FileStatus status;
    std::string tempPath;
    int to = 0;
    bool ok = platform::files::StatHandle(from, status);
    if (ok) {
        to = CreateTempBeside(target, tempPath);
        ok = to != 0 && CopyContents(from, to) && FinishTemp(to, target, &status.mode, &status);
    }
    const int saved = errno;
    platform::files::Close(from);
    errno = saved;
    if (!ok) {
        if (to != 0) {
            DiscardTemp(to, tempPath);
        }
        return false;
    }
    if (!platform::files::Close(to)) {
        DiscardTemp(0, tempPath);
        return false;
    }
    if (!platform::files::Rename(tempPath, target, replace)) {
        DiscardTemp(0, tempPath);
        return false;
    }
    return true;
}

// A move between two file systems: copy with the times kept, flush, and only
// then delete the source. When the source cannot be deleted the copy stays and
// the move counts as failed; nothing is lost either way.
bool MoveAcross(std::string_view source, std::string_view target, bool replace)
{
    if (!PlaceCopy(source, target, replace)) {
        return false;
    }
    return platform::files::Unlink(source);
}

bool Move(std::string_view source, std::string_view target, bool replace)
{
    if (platform::files::Rename(source, target, replace)) {
        return true;
    }
    return errno == EXDEV && MoveAcross(source, target, replace);
}

bool StatusOf(std::string_view path, int handle, platform::FileStatus& status)
{
    const bool ok =
        handle != 0 ? platform::files::StatHandle(handle, status) : platform::files::Stat(path, status, true);
    return ok && status.kind == platform::FileKind::File;
}

} // namespace

int IsReservedDeviceName(std::string_view path)
{
    std::string_view base = FileNameOf(path);
    if (const std::size_t dot = base.rfind('.'); dot != std::string_view::npos) {
        base = base.substr(0, dot);
    }
    const std::string name = UpperAscii(base);
    static const std::array<const char*, 5> plain = {"CON", "PRN", "AUX", "NUL", "CLOCK$"};
    for (const char* reserved : plain) {
        if (name == reserved) {
            return 1;
        }
    }
    const bool numbered =
        name.size() == 4 && (name.starts_with("COM") || name.starts_with("LPT")) && name[3] >= '0' && name[3] <= '9';
    return numbered ? 1 : 0;
}

int DeleteFileForce(std::string_view path)
{
    platform::FileStatus status;
    if (!platform::files::Stat(path, status, false)) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return 1;
        }
        LogFailure("DeleteFileForce", path);
        return 0;
    }
    if (IsReservedDeviceName(path) != 0) {
        return 1;
    }
    if (status.kind == platform::FileKind::Folder && !status.isLink) {
        errno = EISDIR;
        LogFailure("DeleteFileForce", path);
        return 0;
    }
    // A read-only mark does not stop a delete here: only the folder's does.
    if (platform::files::Unlink(path)) {
        return 1;
    }
    const int saved = errno;
    if (!platform::files::Stat(path, status, false) && errno == ENOENT) {
        return 1;
    }
    errno = saved;
    LogFailure("DeleteFileForce", path);
    return 0;
}

int RenameFile(std::string_view oldPath, std::string_view newPath)
{
    return Move(oldPath, newPath, false) ? 1 : 0;
}

int MoveFileOver(std::string_view source, std::string_view target, int overwrite)
{
    if (IsReservedDeviceName(source) != 0 || IsReservedDeviceName(target) != 0) {
        errno = EINVAL;
        return 0;
    }
    for (int attempt = 1; attempt <= MoveAttempts; ++attempt) {
        if (Move(source, target, overwrite != 0)) {
            return 1;
        }
        if (IsLasting(errno) || errno == EXDEV) {
            break;
        }
        if (attempt < MoveAttempts) {
            const int saved = errno;
            WaitMs(attempt * 10, 0);
            errno = saved;
        }
    }
    LogFailure("MoveFileOver", std::string(source) + " -> " + std::string(target));
    return 0;
}

int CopyFileOver(std::string_view source, std::string_view target, int overwrite)
{
    platform::FileStatus existing;
    if (overwrite == 0 && platform::files::Stat(target, existing, true) && existing.kind == platform::FileKind::File &&
        (existing.mode & 0222U) == 0) {
        errno = EACCES;
        LogFailure("CopyFileOver", target);
        return 0;
    }
    if (!PlaceCopy(source, target, true)) {
        LogFailure("CopyFileOver", std::string(source) + " -> " + std::string(target));
        return 0;
    }
    return 1;
}

int SaveFileAtomic(std::string_view target, std::span<const std::uint8_t> data)
{
    // A file reached through a symbolic link is replaced where it lies, so the
    // link stays a link.
    const std::string path = platform::ResolveWriteTarget(std::string(target));
    const std::string failure = platform::WriteFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
    if (!failure.empty()) {
        LogFailure("SaveFileAtomic", path);
        return 0;
    }
    return 1;
}

int SaveFileAtomic(std::string_view path, std::string_view text)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return SaveFileAtomic(path, std::span<const std::uint8_t>(bytes, text.size()));
}

int FilesDiffer(std::string_view path1, std::string_view path2, int sizeOnly, int handle1, int handle2)
{
    platform::FileStatus first;
    platform::FileStatus second;
    if (!StatusOf(path1, handle1, first) || !StatusOf(path2, handle2, second)) {
        return 1;
    }
    if (sizeOnly == 0) {
        const int seconds = SecondsBetweenStamps(FileTimeToText(first.modified), FileTimeToText(second.modified));
        if (seconds > 2 || seconds < -2) {
            return 1;
        }
    }
    return first.size != second.size ? 1 : -1;
}

} // namespace basic
