#include "platform/IoFile.h"

#include "platform/FileSystem.h"
#include "platform/IoThread.h"
#include "platform/ServerPaths.h"

#include <algorithm>
#include <cerrno>
#include <span>
#include <utility>

namespace platform {

struct IoFile::Descriptor {
    explicit Descriptor(int handle) : fd(handle) {}
    const int fd;
};

namespace {

// io::Run answers -ETIMEDOUT when it gave a call up; a call's own result never
// looks like that, so the caller can tell the two apart.
std::int64_t NotLikeGivingUp(std::int64_t result)
{
    return result == -ETIMEDOUT ? -EIO : result;
}

} // namespace

IoFile::~IoFile()
{
    Close();
}

bool IoFile::Open(std::string_view path, OpenMode mode)
{
    Close();
    lost_ = false;
    std::string native = NativePath(path);
    if (native.empty()) {
        errno = path.empty() ? ENOENT : EINVAL;
        return false;
    }
    const std::int64_t fd =
        io::Run([native, mode] { return NotLikeGivingUp(RawFileSystem().Open(native.c_str(), mode)); },
                // Opened after the caller gave up: nobody else will ever close it.
                [](std::int64_t late) {
                    if (late > 0) {
                        RawFileSystem().Close(static_cast<int>(late));
                    }
                },
                "open " + native, native);
    if (fd < 0) {
        errno = static_cast<int>(-fd);
        return false;
    }
    descriptor_ = std::make_shared<Descriptor>(static_cast<int>(fd));
    nativePath_ = std::move(native);
    return true;
}

std::int64_t IoFile::RunOnFile(FileCall call, std::string_view what)
{
    if (descriptor_ == nullptr) {
        errno = lost_ ? EIO : EBADF;
        return -1;
    }
    const std::shared_ptr<Descriptor> descriptor = descriptor_;
    const std::int64_t result = io::Run([descriptor, call] { return NotLikeGivingUp(call(descriptor->fd)); },
                                        // The late call still uses the descriptor; it closes it once done.
                                        [descriptor](std::int64_t) { RawFileSystem().Close(descriptor->fd); },
                                        std::string(what) + " " + nativePath_, nativePath_);
    if (result == -ETIMEDOUT) {
        descriptor_.reset();
        lost_ = true;
        errno = ETIMEDOUT;
        return -1;
    }
    if (result < 0) {
        errno = static_cast<int>(-result);
        return -1;
    }
    return result;
}

std::int64_t IoFile::Read(const Buffer& buffer, std::size_t count)
{
    if (buffer == nullptr || count > buffer->size()) {
        errno = EINVAL;
        return -1;
    }
    return RunOnFile(
        [buffer, count](int fd) -> std::int64_t {
            std::size_t done = 0;
            while (done < count) {
                const std::int64_t n = RawFileSystem().Read(fd, std::span(buffer->data() + done, count - done));
                if (n < 0) {
                    return n;
                }
                if (n == 0) {
                    break; // the end of the file
                }
                done += static_cast<std::size_t>(n);
            }
            return static_cast<std::int64_t>(done);
        },
        "read");
}

std::int64_t IoFile::Write(const Buffer& buffer, std::size_t count)
{
    if (buffer == nullptr || count > buffer->size()) {
        errno = EINVAL;
        return -1;
    }
    return RunOnFile(
        [buffer, count](int fd) -> std::int64_t {
            std::size_t done = 0;
            while (done < count) {
                const std::int64_t n =
                    RawFileSystem().Write(fd, std::span<const std::uint8_t>(buffer->data() + done, count - done));
                if (n < 0) {
                    return n;
                }
                if (n == 0) {
                    return -EIO;
                }
                done += static_cast<std::size_t>(n);
            }
            return static_cast<std::int64_t>(done);
        },
        "write");
}

bool IoFile::Stat(FileStatus& status)
{
    auto own = std::make_shared<FileStatus>();
    if (RunOnFile([own](int fd) -> std::int64_t { return RawFileSystem().StatHandle(fd, *own); }, "stat") < 0) {
        return false;
    }
    status = *own;
    return true;
}

bool IoFile::Sync()
{
    return RunOnFile([](int fd) -> std::int64_t { return RawFileSystem().Sync(fd); }, "sync") >= 0;
}

bool IoFile::SetTimes(FileTime accessed, FileTime modified)
{
    return RunOnFile([accessed, modified](
                         int fd) -> std::int64_t { return RawFileSystem().SetHandleTimes(fd, accessed, modified); },
                     "set times of") >= 0;
}

bool IoFile::Close()
{
    if (descriptor_ == nullptr) {
        return false;
    }
    const std::shared_ptr<Descriptor> descriptor = std::move(descriptor_);
    // A close that hangs goes on by itself; the descriptor is gone for us either way.
    const std::int64_t result = io::Run([descriptor] { return NotLikeGivingUp(RawFileSystem().Close(descriptor->fd)); },
                                        {}, "close " + nativePath_, nativePath_, io::WhenShareGivenUp::MakeAnyway);
    if (result < 0) {
        errno = static_cast<int>(-result);
        return false;
    }
    return true;
}

} // namespace platform
