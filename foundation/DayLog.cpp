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
// whole log unreadable as UTF-8, and the byte could not be told. Every other
// control character is shown too, for it comes from outside as often (a
// handed-over command line, a serial frame): a terminal that shows the log
// obeys ESC sequences, and readers split an entry at VT, FF, FS to US, NEL
// and the Unicode line and paragraph separators. C0 controls and DEL become
// "\xNN", C1 controls and U+2028/U+2029 "\uNNNN". The line format itself
// holds no tab, so a tab is shown as well.
std::string OneLine(std::string_view text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    const std::string utf8 = textcodec::ShowingStrayBytes(text);
    const auto at = [&utf8](std::size_t i) -> unsigned char {
        return i < utf8.size() ? static_cast<unsigned char>(utf8[i]) : 0;
    };
    std::string line;
    line.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = at(i);
        if (c == '\r' || c == '\n') {
            line += ' ';
        } else if (c < 0x20 || c == 0x7F) {
            line += "\\x";
            line += hex[c >> 4];
            line += hex[c & 0x0F];
        } else if (c == 0xC2 && at(i + 1) >= 0x80 && at(i + 1) <= 0x9F) {
            // U+0080..U+009F; the text is UTF-8 now, so 0xC2 leads a character.
            line += "\\u00";
            line += hex[at(i + 1) >> 4];
            line += hex[at(i + 1) & 0x0F];
            i += 1;
        } else if (c == 0xE2 && at(i + 1) == 0x80 && (at(i + 2) == 0xA8 || at(i + 2) == 0xA9)) {
            line += at(i + 2) == 0xA8 ? "\\u2028" : "\\u2029";
            i += 2;
        } else {
            line += static_cast<char>(c);
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
