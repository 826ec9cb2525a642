#include "foundation/VersionInfo.h"

#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/MessageBoxes.h"
#include "platform/MessageBox.h"
#include "platform/base/AppIdentity.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace basic {

std::string VersionInfoText(std::string_view leading, int major, int minor, int revision,
                            std::string_view executableTime, std::string_view computerName)
{
    std::string text;
    if (!leading.empty()) {
        text.append(leading).append("\n");
    }
    text.append(App::CompanyName).append(" ").append(App::Title).append("\n\n");
    char version[64];
    std::snprintf(version, sizeof version, "version: %d.%02d.%04d", major, minor, revision);
    text.append(version).append("\n");
    text.append(executableTime).append("更新版\n\n");
    text.append("computer name: ").append(computerName);
    return text;
}

void ShowVersionInfo(platform::Form* owner, std::string_view leading)
{
    // The running executable dates the build, wherever it was installed.
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string built = error ? std::string() : GetFileTimeText(executable.string(), 2, 3, 1, 0);
    ShowMessage(VersionInfoText(leading, App::Major, App::Minor, App::Revision, built, ComputerName()),
                platform::IconInformation, "バージョン情報", owner);
}

} // namespace basic
