#include "foundation/ModuleValues.h"

#include <filesystem>
#include <system_error>

namespace basic {

std::string SettingsStoreName;
std::string SettingsIniPath;
int ErrorCatch = 0;
int LogError = 1;
std::string LogFolder;
int DailyLogNames = 0;
std::array<int, 3> CueActive{0, 0, 0};

namespace {

std::string appPathOverride;

std::string WithTrailingSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/') {
        folder.push_back('/');
    }
    return folder;
}

std::string ExecutableFolder()
{
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return WithTrailingSlash(std::filesystem::current_path(error).string());
    }
    return WithTrailingSlash(exe.parent_path().string());
}

} // namespace

std::string AppPath()
{
    if (!appPathOverride.empty()) {
        return appPathOverride;
    }
    static const std::string executableFolder = ExecutableFolder();
    return executableFolder;
}

void SetAppPath(const std::string& folder)
{
    appPathOverride = folder.empty() ? std::string() : WithTrailingSlash(folder);
}

} // namespace basic
