#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

RenameCall renameCall;

int Rename(const char* from, const char* to)
{
    return renameCall ? renameCall(from, to) : std::rename(from, to);
}

// Closes a descriptor on every path out of a function.
class Descriptor {
public:
    explicit Descriptor(int descriptor) : fd(descriptor) {}
    ~Descriptor()
    {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd; }
    // Closes now and reports the result, so a failing close counts.
    int Close()
    {
        const int result = ::close(fd);
        fd = -1;
        return result;
    }

private:
    int fd;
};

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::string FolderOf(const std::string& path)
{
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? std::string(".") : folder;
}

// Makes the rename itself durable; a failure here no longer endangers the data.
void SyncFolder(const std::string& folder)
{
    const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) {
        ::fsync(dir.Get());
    }
}

} // namespace

std::string CallFailure(std::string_view call, std::string_view path, int errorNumber)
{
    std::string text(call);
    text += "(\"";
    text += path;
    text += "\") failed: ";
    text += std::error_code(errorNumber, std::generic_category()).message();
    text += " (" + std::to_string(errorNumber) + ")";
    return text;
}

FileContents ReadWholeFile(const std::string& path, std::size_t maxBytes)
{
    FileContents contents;
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        if (errno == ENOENT) {
            contents.state = FileContents::State::Missing;
        } else {
            contents.state = FileContents::State::Failed;
            contents.failure = CallFailure("open", path, errno);
        }
        return contents;
    }
    contents.state = FileContents::State::Failed;
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        contents.failure = CallFailure("fstat", path, errno);
        return contents;
    }
    if (!S_ISREG(info.st_mode)) {
        contents.failure = "\"" + path + "\" is not a regular file";
        return contents;
    }
    if (static_cast<std::size_t>(info.st_size) > maxBytes) {
        contents.failure = "\"" + path + "\" is too large (" + std::to_string(info.st_size) + " bytes)";
        return contents;
    }
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            contents.failure = CallFailure("read", path, errno);
            return contents;
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > maxBytes) {
            contents.failure = "\"" + path + "\" is too large";
            return contents;
        }
    }
    contents.state = FileContents::State::Read;
    contents.bytes = std::move(bytes);
    return contents;
}

std::string ResolveWriteTarget(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) {
        return path;
    }
    const std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
    return error ? path : target.string();
}

std::string WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    static unsigned counter = 0;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return CallFailure("open", temporary, errno);
        }
    }
    if (fd < 0) {
        return CallFailure("open", temporary, EEXIST);
    }
    Descriptor file(fd);
    const auto fail = [&](std::string_view call, const std::string& what) {
        const std::string failure = CallFailure(call, what, errno);
        ::unlink(temporary.c_str());
        return failure;
    };
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) {
        ::fchmod(file.Get(), old.st_mode & 07777);
    }
    if (!WriteAll(file.Get(), bytes)) {
        return fail("write", temporary);
    }
    if (::fsync(file.Get()) != 0) {
        return fail("fsync", temporary);
    }
    if (file.Close() != 0) {
        return fail("close", temporary);
    }
    if (Rename(temporary.c_str(), path.c_str()) != 0) {
        return fail("rename", temporary + "\", \"" + path);
    }
    SyncFolder(FolderOf(path));
    return {};
}

void SetRenameCallForTests(RenameCall call)
{
    renameCall = std::move(call);
}

} // namespace platform
