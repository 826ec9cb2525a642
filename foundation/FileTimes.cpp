// File times as text and free disk space (declared in FileAccess.h).
#include "foundation/FileAccess.h"

#include "platform/Files.h"
#include "platform/ServerPaths.h"
#include "platform/base/Numbers.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>

namespace basic {

namespace {

bool LocalFields(platform::FileTime time, std::tm& local)
{
    const auto seconds = static_cast<std::time_t>(time.seconds);
    return localtime_r(&seconds, &local) != nullptr && local.tm_year + 1900 >= 0 && local.tm_year + 1900 <= 9999;
}

std::string Two(int value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", value);
    return buffer;
}

std::string Four(int value)
{
    // Room for any int, so a year out of range is shown whole, not cut.
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d", value);
    return buffer;
}

// The root that the space of a path is asked for: the share of a server
// path, or the nearest existing folder of an absolute path. "" for none.
std::string SpaceRoot(std::string_view path)
{
    std::string normal(path);
    for (char& c : normal) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (platform::IsServerPath(normal)) {
        const std::size_t hostEnd = normal.find('/', 2);
        if (hostEnd == std::string::npos || hostEnd == 2 || hostEnd + 1 >= normal.size()) {
            return {};
        }
        const std::size_t shareEnd = normal.find('/', hostEnd + 1);
        if (shareEnd == hostEnd + 1) {
            return {};
        }
        return normal.substr(0, shareEnd);
    }
    if (normal.empty() || normal.front() != '/') {
        return {};
    }
    return normal;
}

double ToFourDecimals(double value)
{
    return numeric::RoundHalfEven(value * 10000.0) / 10000.0;
}

} // namespace

std::string FileTimeToText(platform::FileTime time)
{
    std::tm local{};
    if (!LocalFields(time, local)) {
        return {};
    }
    return Four(local.tm_year + 1900) + "/" + Two(local.tm_mon + 1) + "/" + Two(local.tm_mday) + " " +
           Two(local.tm_hour) + ":" + Two(local.tm_min) + ":" + Two(local.tm_sec);
}

std::string GetFileTimeText(std::string_view path, int which, int parts, int form, int handle)
{
    platform::FileStatus status;
    const bool ok =
        handle != 0 ? platform::files::StatHandle(handle, status) : platform::files::Stat(path, status, true);
    if (!ok) {
        return {};
    }
    platform::FileTime time;
    switch (which) {
    case 0:
        time = status.created;
        break;
    case 1:
        time = status.accessed;
        break;
    case 2:
        time = status.modified;
        break;
    default:
        return {};
    }
    std::tm local{};
    if (!LocalFields(time, local)) {
        return {};
    }
    static const char* const dateUnits[3][3] = {{"", "", ""}, {"/", "/", ""}, {"年", "月", "日"}};
    static const char* const timeUnits[3][3] = {{"", "", ""}, {":", ":", ""}, {"時", "分", "秒"}};
    if (form < 0 || form > 2) {
        form = 1;
    }
    std::string text;
    if ((parts & 1) != 0) {
        const auto& u = dateUnits[form];
        text += Four(local.tm_year + 1900) + u[0] + Two(local.tm_mon + 1) + u[1] + Two(local.tm_mday) + u[2];
    }
    if ((parts & 2) != 0) {
        if (!text.empty() && form != 0) {
            text += " ";
        }
        const auto& u = timeUnits[form];
        text += Two(local.tm_hour) + u[0] + Two(local.tm_min) + u[1] + Two(local.tm_sec) + u[2];
    }
    return text;
}

double GetDiskFreeBytes(std::string_view path, int what, std::int64_t reserve)
{
    std::string root = SpaceRoot(path);
    if (root.empty() || what < 0 || what > 3) {
        return 0.0;
    }
    platform::DiskSpace space;
    // A local path need not exist yet: its nearest existing folder holds it.
    while (!platform::files::GetDiskSpace(root, space)) {
        if (platform::IsServerPath(root) || (errno != ENOENT && errno != ENOTDIR) || root == "/") {
            return 0.0;
        }
        const std::size_t cut = root.find_last_of('/');
        root = cut == 0 ? "/" : root.substr(0, cut);
    }
    const double free = static_cast<double>(space.freeToCaller);
    const double total = static_cast<double>(space.total);
    const double reserved = static_cast<double>(reserve);
    switch (what) {
    case 0:
        return free - reserved;
    case 1:
        return total;
    case 2:
        return total - free + reserved;
    default: {
        const double freeUnits = ToFourDecimals((free - reserved) / 102400.0);
        const double totalUnits = ToFourDecimals(total / 10240000.0);
        return totalUnits == 0.0 ? 0.0 : ToFourDecimals(freeUnits / totalUnits);
    }
    }
}

} // namespace basic
