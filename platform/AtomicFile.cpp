#include "platform/AtomicFile.h"

#include "platform/ErrorText.h"
#include "platform/FileTypes.h"
#include "platform/Files.h"
#include "platform/ServerPaths.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <span>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

std::span<const std::uint8_t> AsBytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

constexpr std::string_view TemporaryMark = ".tolv-";

// A hidden name beside the target, unique to this process and write.
std::string TemporaryNameBeside(const std::string& path, unsigned serial)
{
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, nameAt) + "." + path.substr(nameAt) + std::string(TemporaryMark) +
           std::to_string(::getpid()) + "-" + std::to_string(serial);
}

bool AllDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void RemoveStaleIn(const std::string& folder, std::int64_t olderThan, int depth, std::vector<std::string>& removed)
{
    std::vector<FolderEntry> entries;
    if (!files::ListFolder(folder, entries)) {
        return;
    }
    const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    for (const FolderEntry& entry : entries) {
        if (entry.isLink) {
            continue;
        }
        if (entry.kind == FileKind::Folder) {
            if (depth > 0) {
                RemoveStaleIn(base + entry.name, olderThan, depth - 1, removed);
            }
        } else if (entry.kind == FileKind::File && IsAtomicTemporaryName(entry.name) &&
                   entry.modified.seconds <= olderThan && files::Unlink(base + entry.name)) {
            removed.push_back(base + entry.name);
        }
    }
}

} // namespace

std::string CallFailure(std::string_view call, std::string_view path, int errorNumber)
{
    return std::string(call) + " Failed r=" + std::to_string(errorNumber) + " " + ErrorText(errorNumber) + " " +
           std::string(path);
}

FileContents ReadSettingsFile(const std::string& path, std::size_t maxBytes)
{
    FileContents contents;
    const int handle = files::Open(path, OpenMode::Read);
    if (handle == 0) {
        if (errno == ENOENT) {
            contents.state = FileContents::State::Missing;
        } else {
            contents.state = FileContents::State::Failed;
            contents.failure = CallFailure("open", path, errno);
        }
        return contents;
    }
    contents.state = FileContents::State::Failed;
    FileStatus status;
    if (!files::StatHandle(handle, status)) {
        contents.failure = CallFailure("stat", path, errno);
    } else if (status.size < 0 || static_cast<std::uint64_t>(status.size) > maxBytes) {
        contents.failure = CallFailure("read", path, EFBIG);
    } else {
        std::string bytes;
        std::vector<std::uint8_t> chunk(65536);
        for (;;) {
            const std::int64_t got = files::Read(handle, chunk);
            if (got < 0) {
                contents.failure = CallFailure("read", path, errno);
                break;
            }
            bytes.append(reinterpret_cast<const char*>(chunk.data()), static_cast<std::size_t>(got));
            if (bytes.size() > maxBytes) {
                contents.failure = CallFailure("read", path, EFBIG);
                break;
            }
            if (static_cast<std::size_t>(got) < chunk.size()) {
                contents.state = FileContents::State::Read;
                contents.bytes = std::move(bytes);
                break;
            }
        }
    }
    files::Close(handle);
    return contents;
}

bool IsAtomicTemporaryName(std::string_view fileName)
{
    // "." name ".tolv-" pid "-" serial, with a name of at least one character.
    const std::size_t dash = fileName.rfind('-');
    if (fileName.size() < 2 || fileName[0] != '.' || dash == std::string_view::npos ||
        !AllDigits(fileName.substr(dash + 1))) {
        return false;
    }
    const std::string_view head = fileName.substr(0, dash);
    const std::size_t mark = head.rfind(TemporaryMark);
    return mark != std::string_view::npos && mark > 1 && AllDigits(head.substr(mark + TemporaryMark.size()));
}

std::vector<std::string> RemoveStaleTemporaryFiles(const std::string& folder, std::int64_t nowSeconds,
                                                   std::int64_t maxAgeSeconds, int depth)
{
    std::vector<std::string> removed;
    if (!folder.empty()) {
        RemoveStaleIn(folder, nowSeconds - maxAgeSeconds, depth, removed);
    }
    return removed;
}

std::string ResolveWriteTarget(const std::string& path)
{
    FileStatus status;
    if (!files::Stat(path, status, false) || !status.isLink) {
        return path;
    }
    std::string resolved;
    return files::ResolvePath(path, resolved) ? resolved : path;
}

std::string WriteFileAtomically(const std::string& path, std::string_view bytes, bool replace)
{
    static std::atomic<unsigned> serial{0};
    FileStatus existing;
    const bool replacing = files::Stat(path, existing, true);
    std::string temporary;
    int handle = 0;
    for (int attempt = 0; attempt < 100 && handle == 0; ++attempt) {
        temporary = TemporaryNameBeside(path, serial++);
        handle = files::Open(temporary, OpenMode::CreateNew);
        if (handle == 0 && errno != EEXIST) {
            break;
        }
    }
    if (handle == 0) {
        return CallFailure("open", temporary, errno);
    }
    const auto fail = [&](std::string_view call, int closeHandle) {
        const int error = errno;
        if (closeHandle != 0) {
            files::Close(closeHandle);
        }
        files::Unlink(temporary);
        return CallFailure(call, call == "rename" ? path : temporary, error);
    };
    if (files::Write(handle, AsBytes(bytes)) != static_cast<std::int64_t>(bytes.size())) {
        return fail("write", handle);
    }
    // File systems without permissions (FAT sticks, some shares) refuse the
    // mode; the file is still worth saving.
    if (replacing) {
        files::SetHandleMode(handle, existing.mode);
    }
    // File systems without a flush of their own answer these.
    if (!files::Sync(handle) && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        return fail("fsync", handle);
    }
    if (!files::Close(handle)) {
        return fail("close", 0);
    }
    if (!files::Rename(temporary, path, replace)) {
        return fail("rename", 0);
    }
    return {};
}

} // namespace platform
