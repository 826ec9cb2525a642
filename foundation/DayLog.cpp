#include "foundation/DayLog.h"

#include "foundation/FileAccess.h"
#include "foundation/Folders.h"
#include "foundation/ModuleValues.h"
#include "foundation/Paths.h"
#include "foundation/TimeStamps.h"
#include "platform/ErrorText.h"
#include "platform/Files.h"
#include "platform/base/AppIdentity.h"
#include "platform/base/TextCodec.h"

#include <cerrno>
#include <span>
#include <unistd.h>

namespace basic {

namespace {

// Above this a log without daily names is set aside.
constexpr std::int64_t OversizedLogBytes = 1'024'000;

std::string computerNameCache;
// Deleting or moving an oversized log may log a failure itself; that nested
// line is written without the size rule, so it cannot loop.
int writeDepth = 0;

class ErrnoKeeper {
public:
    ErrnoKeeper() : saved_(errno) {}
    ~ErrnoKeeper() { errno = saved_; }
    ErrnoKeeper(const ErrnoKeeper&) = delete;
    ErrnoKeeper& operator=(const ErrnoKeeper&) = delete;

private:
    int saved_;
};

class DepthGuard {
public:
    DepthGuard() { ++writeDepth; }
    ~DepthGuard() { --writeDepth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
};

// A host name may hold characters a file name cannot.
std::string ForFileName(std::string text)
{
    for (char& c : text) {
        if (c == '/' || c == '\\') {
            c = '_';
        }
    }
    return text;
}

// One line per entry: line breaks inside the text would forge further lines.
// A byte that is no part of a UTF-8 character (a file name of another code
// page, a damaged key) is shown as "\xNN": written raw it would make the
// whole log unreadable as UTF-8, and the byte could not be told.
std::string OneLine(std::string_view text)
{
    std::string line = textcodec::ShowingStrayBytes(text);
    for (char& c : line) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return line;
}

void SetAsideOversized(const std::string& path)
{
    if (GetFileSizeByName(path) <= OversizedLogBytes) {
        return;
    }
    if (ErrorCatch == 0) {
        DeleteFileForce(path);
    } else {
        MoveFileOver(path, MakeNumberedFileName(path, 1, 1, 3, 1), 1);
    }
}

} // namespace

void WriteLog(std::string_view text, int kind, int force)
{
    if (force == 0 && LogError == 0) {
        return;
    }
    const ErrnoKeeper keepLastError;
    const DepthGuard depth;
    const std::string extension = kind == 0 ? ".log" : ".err";
    const std::string base = SettingsStoreName.empty() ? std::string(App::Title) : SettingsStoreName;
    const std::string nameCore = ForFileName(ComputerName()) + " - " + base;

    const std::string folder = LogFolder.empty() ? AppPath() + "log" : LogFolder;
    if (FolderExists(folder) == 0 && MakeFolder(folder) == 0) {
        return;
    }
    std::string path = FixTrailingSeparator(folder, 0);
    if (DailyLogNames != 0) {
        path += FormatTimeStamp(0, 0, StampDigits, 1, 0, 0, 0.0) + " - " + nameCore + extension;
    } else {
        path += nameCore + extension;
        if (writeDepth == 1) {
            SetAsideOversized(path);
        }
    }

    const std::string line = FormatTimeStamp(0, 0, StampSlashes, 0, 0, 0, 0.0) + " " + OneLine(text) + "\r\n";
    const int handle = platform::files::Open(path, platform::OpenMode::Append);
    if (handle == 0) {
        return;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(line.data());
    platform::files::Write(handle, std::span<const std::uint8_t>(bytes, line.size()));
    platform::files::Close(handle);
}

std::string SystemErrorText(int code)
{
    const int error = code != 0 ? code : errno;
    std::string text = platform::ErrorText(error);
    const std::size_t nul = text.find('\0');
    if (nul != std::string::npos) {
        text.resize(nul);
    }
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string ComputerName()
{
    if (computerNameCache.empty()) {
        char buffer[256] = {};
        if (gethostname(buffer, sizeof buffer - 1) == 0) {
            computerNameCache = buffer;
        }
    }
    return computerNameCache;
}

} // namespace basic
