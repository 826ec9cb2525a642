#include "foundation/FileAccess.h"

#include "platform/Files.h"

#include <algorithm>
#include <cerrno>
#include <new>

namespace basic {

namespace {

// The largest file ReadWholeFile takes into memory.
constexpr std::int64_t WholeFileLimit = 4'294'967'295LL;

// Closes a handle without disturbing the error that made the caller give up.
void CloseKeepingError(int handle)
{
    const int saved = errno;
    platform::files::Close(handle);
    errno = saved;
}

bool IsBlank(std::string_view text)
{
    return text.find_first_not_of(' ') == std::string_view::npos;
}

} // namespace

int OpenFileHandle(std::string_view path, int mode, int /*flags*/)
{
    switch (mode) {
    case OpenForRead:
        return platform::files::Open(path, platform::OpenMode::Read);
    case OpenForWrite:
        return platform::files::Open(path, platform::OpenMode::Write);
    case OpenForReadWrite:
        return platform::files::Open(path, platform::OpenMode::ReadWrite);
    default:
        errno = EINVAL;
        return 0;
    }
}

void CloseFileHandle(int& handle)
{
    if (handle != 0) {
        platform::files::Close(handle);
        handle = 0;
    }
}

int ReadFileAt(std::span<std::uint8_t> buffer, std::int64_t position, int handle, std::string_view path, int closeAfter,
               std::int64_t* bytesRead)
{
    if (bytesRead != nullptr) {
        *bytesRead = 0;
    }
    int h = handle;
    if (h == 0) {
        h = platform::files::Open(path, platform::OpenMode::Read);
        if (h == 0) {
            return 0;
        }
        if (buffer.empty() && closeAfter == 0) {
            return h;
        }
    }
    if (SeekFile(h, position) != 0) {
        CloseKeepingError(h);
        return 0;
    }
    const std::int64_t n = platform::files::Read(h, buffer);
    if (n < 0) {
        CloseKeepingError(h);
        return 0;
    }
    // Past the end of a file (one cut short meanwhile) the caller gets silence,
    // never the bytes of an earlier read.
    std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(n), buffer.end(), std::uint8_t{0});
    if (bytesRead != nullptr) {
        *bytesRead = n;
    }
    if (closeAfter != 0) {
        platform::files::Close(h);
        return 1;
    }
    return h;
}

int WriteFileAt(std::span<const std::uint8_t> data, std::int64_t position, int handle)
{
    if (SeekFile(handle, position) != 0) {
        return 0;
    }
    return platform::files::Write(handle, data) == static_cast<std::int64_t>(data.size()) ? 1 : 0;
}

int ReadWholeFile(std::vector<std::uint8_t>& bytes, std::string_view path)
{
    std::int64_t size = 0;
    return ReadWholeFileUpTo(bytes, path, WholeFileLimit, size) == 1 ? 1 : 0;
}

int ReadWholeFileUpTo(std::vector<std::uint8_t>& bytes, std::string_view path, std::int64_t maxBytes,
                      std::int64_t& size)
{
    bytes.clear();
    size = 0;
    const int handle = platform::files::Open(path, platform::OpenMode::Read);
    if (handle == 0) {
        return 0;
    }
    int result = 0;
    size = GetFileSizeByHandle(handle);
    if (size > maxBytes && maxBytes < WholeFileLimit) {
        result = -1;
    } else if (const std::int64_t wanted = std::min(size, WholeFileLimit); wanted >= 1) {
        try {
            bytes.resize(static_cast<std::size_t>(wanted));
            const std::int64_t n = platform::files::Read(handle, bytes);
            if (n > 0) {
                bytes.resize(static_cast<std::size_t>(n));
                result = 1;
            } else {
                bytes.clear();
            }
        } catch (const std::bad_alloc&) {
            bytes = {};
            errno = ENOMEM;
        }
    }
    CloseKeepingError(handle);
    return result;
}

int SeekFile(int handle, std::int64_t position)
{
    return platform::files::Seek(handle, position) < 0 ? -1 : 0;
}

std::int64_t GetFileSizeByName(std::string_view path)
{
    const int handle = platform::files::Open(path, platform::OpenMode::Read);
    if (handle == 0) {
        return 0;
    }
    const std::int64_t size = GetFileSizeByHandle(handle);
    CloseKeepingError(handle);
    return size < 0 ? 0 : size;
}

std::int64_t GetFileSizeByHandle(int handle)
{
    platform::FileStatus status;
    return platform::files::StatHandle(handle, status) ? status.size : -1;
}

int FileExists(std::string_view path)
{
    if (IsBlank(path)) {
        return 0;
    }
    platform::FileStatus status;
    return platform::files::Stat(path, status, true) && status.kind == platform::FileKind::File ? 1 : 0;
}

} // namespace basic
