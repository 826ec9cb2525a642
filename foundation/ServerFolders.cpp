#include "foundation/ServerFolders.h"

#include "foundation/DayLog.h"
#include "foundation/Folders.h"
#include "foundation/ModuleValues.h"
#include "foundation/Paths.h"
#include "foundation/Settings.h"
#include "platform/base/AppIdentity.h"
#include "platform/base/Numbers.h"

namespace FCT_Quind {

std::array<ServerFolder, ServerCount> Servers;
std::string SrvSchedPath;
std::string SrvCommandPath;
std::string SrvLogPath;
std::string LocalPath;
std::string LocalConfPath;
std::string LocalSchedPath;
std::string LocalLogPath;
std::string LocalCommandPath;

namespace {

std::string Key(std::string_view name, int server)
{
    return std::string(name) + std::to_string(server + 1);
}

std::string ReadFolder(std::string_view key, std::string_view storeName)
{
    return basic::FixTrailingSeparator(basic::GetSetting(key, "", 0, storeName), 0);
}

// A flag stored as anything but a whole number keeps its default.
std::int32_t ReadFlag(std::string_view key, std::int32_t defaultValue, std::string_view storeName)
{
    return numeric::ParseLong(basic::GetSetting(key, defaultValue, 0, storeName)).value_or(defaultValue);
}

// A folder below parent, written with the separator parent uses; "" when
// parent is not set.
std::string SubFolder(const std::string& parent, std::string_view name)
{
    return parent.empty() ? std::string() : basic::FixTrailingSeparator(parent + std::string(name), 0);
}

void ReadServer(int server, std::string_view storeName)
{
    ServerFolder& folder = Servers[server];
    folder.SrvPath = ReadFolder(Key("SrvPath_", server), storeName);
    basic::WriteLog(Key("SrvPath_", server) + "=" + folder.SrvPath, 0, 0);
    folder.SrvName = basic::GetSetting(Key("SrvName_", server), "", 0, storeName);
    folder.SaveTip = ReadFlag(Key("SaveTip_", server), 0, storeName);
    folder.SrvAutoFast = ReadFlag(Key("SrvAutoFast_", server), 0, storeName);
    folder.SrvRO = ReadFlag(Key("SrvRO_", server), 0, storeName);
    folder.SrvExpanded = ReadFlag(Key("SrvExpanded_", server), 0, storeName);
    folder.UseSubFolder = ReadFlag(Key("UseSubFolder_", server), 1, storeName);
    folder.ConfPath = SubFolder(folder.SrvPath, "conf");
}

void SaveServer(int server, std::string_view storeName)
{
    const ServerFolder& folder = Servers[server];
    basic::SaveSetting(Key("SrvPath_", server), folder.SrvPath, 0, storeName);
    basic::SaveSetting(Key("SrvName_", server), folder.SrvName, 0, storeName);
    basic::SaveSetting(Key("SaveTip_", server), folder.SaveTip, 0, storeName);
    basic::SaveSetting(Key("SrvAutoFast_", server), folder.SrvAutoFast, 0, storeName);
    basic::SaveSetting(Key("SrvRO_", server), folder.SrvRO, 0, storeName);
    basic::SaveSetting(Key("SrvExpanded_", server), folder.SrvExpanded, 0, storeName);
    basic::SaveSetting(Key("UseSubFolder_", server), folder.UseSubFolder, 0, storeName);
}

// Folders of a server or local path that is no longer set are cleared, so
// that nothing goes on writing into a folder the operator has given up.
void SetDerivedFolders()
{
    const std::string& current = Servers[CurrentServer].SrvPath;
    SrvSchedPath = SubFolder(current, "sched");
    SrvCommandPath = SubFolder(current, "command");
    SrvLogPath = SubFolder(current, "log");
    LocalConfPath = SubFolder(LocalPath, "conf");
    LocalSchedPath = SubFolder(LocalPath, "sched");
    LocalLogPath = SubFolder(LocalPath, "log");
    LocalCommandPath = SubFolder(LocalPath, "command");
}

} // namespace

std::string ReadLocalPath(std::string_view title, std::string_view storeName)
{
    if (title != "pimlox") {
        return ReadFolder("LocalPath", storeName);
    }
    std::string shared = ReadFolder("LocalPath", "tolv");
    if (shared.empty()) {
        shared = ReadFolder("LocalPath", "quindle");
    }
    return basic::FolderExists(shared) == 1 ? shared : basic::AppPath();
}

void LoadSaveServerSettings(int save, std::string_view storeName)
{
    if (save != 0) {
        for (int server = 0; server < ServerCount; ++server) {
            SaveServer(server, storeName);
        }
        basic::SaveSetting("LocalPath", LocalPath, 0, storeName);
        return;
    }
    for (int server = 0; server < ServerCount; ++server) {
        ReadServer(server, storeName);
    }
    // Tips of the current server are always kept, and it is always writable.
    Servers[CurrentServer].SaveTip = 1;
    Servers[CurrentServer].SrvRO = 0;
    LocalPath = ReadLocalPath(App::Title, storeName);
    SetDerivedFolders();
}

std::int32_t CreateLocalFolders()
{
    if (LocalPath.empty() || basic::FolderExists(LocalPath) == 0) {
        return 0;
    }
    std::int32_t allThere = 1;
    for (const std::string_view name : {"conf", "sched", "log", "command"}) {
        const std::string folder = SubFolder(LocalPath, name);
        if (basic::FolderExists(folder) == 0 && basic::MakeFolder(folder) == 0) {
            allThere = 0;
        }
    }
    return allThere;
}

std::int32_t MakeWord(std::uint8_t low, std::uint8_t high)
{
    return low + high * 256;
}

} // namespace FCT_Quind
