#include "audio/UnusableFormatLog.h"

#include "foundation/DayLog.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <string>

namespace WaveMMIO {

namespace {

// More damaged files than this in one folder view are logged again when they
// come round; the log then grows with the view, not with every redraw.
constexpr std::size_t RememberedNames = 64;

struct LoggedNames {
    std::mutex lock;
    std::array<std::string, RememberedNames> names;
    std::size_t next = 0;
};

LoggedNames& Logged()
{
    static LoggedNames logged;
    return logged;
}

} // namespace

void LogUnusableFormatOnce(std::string_view fileName, std::string_view text)
{
    LoggedNames& logged = Logged();
    {
        const std::lock_guard<std::mutex> guard(logged.lock);
        if (std::find(logged.names.begin(), logged.names.end(), fileName) != logged.names.end()) {
            return;
        }
        logged.names[logged.next] = std::string(fileName);
        logged.next = (logged.next + 1) % RememberedNames;
    }
    basic::WriteLog(std::string(text) + " " + std::string(fileName), 1, 0);
}

void ForgetLoggedFormats()
{
    LoggedNames& logged = Logged();
    const std::lock_guard<std::mutex> guard(logged.lock);
    logged.names.fill(std::string());
    logged.next = 0;
}

} // namespace WaveMMIO
