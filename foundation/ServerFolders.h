#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The shared server folders that sound files live in (up to four), the local
// folder that mirrors them, and the folders the program keeps in both. Every
// folder text ends in a separator, or is "" when it is not set.
namespace FCT_Quind {

inline constexpr int ServerCount = 4;
// The first server is the current one: its conf folder holds the shared
// "conf.ini", and the program keeps its schedules, commands and logs on it.
inline constexpr int CurrentServer = 0;

struct ServerFolder {
    std::string SrvPath;
    std::string SrvName; // display name
    std::int32_t SaveTip = 0;
    std::int32_t SrvAutoFast = 0;
    std::int32_t SrvRO = 0; // read-only
    std::int32_t SrvExpanded = 0;
    std::int32_t UseSubFolder = 1;
    std::string ConfPath; // SrvPath & "conf/"
};

extern std::array<ServerFolder, ServerCount> Servers;

// The "sched", "command" and "log" folders of the current server.
extern std::string SrvSchedPath;
extern std::string SrvCommandPath;
extern std::string SrvLogPath;

// The local folder and its "conf", "sched", "log" and "command" folders.
extern std::string LocalPath;
extern std::string LocalConfPath;
extern std::string LocalSchedPath;
extern std::string LocalLogPath;
extern std::string LocalCommandPath;

// save non-zero writes every server's settings ("SrvPath_1" .. "UseSubFolder_4")
// and "LocalPath" to the settings store storeName; 0 reads them and sets the
// folders derived from them. Reading logs every server path to the day log.
// The current server always has SaveTip 1 and SrvRO 0 in memory.
void LoadSaveServerSettings(int save, std::string_view storeName);

// The local folder as the program titled title reads it from storeName. A
// program titled "pimlox" shares the local folder of "tolv", else of
// "quindle", and falls back on its own folder when that does not exist.
std::string ReadLocalPath(std::string_view title, std::string_view storeName);

// Creates the conf, sched, log and command folders of LocalPath where they
// are missing. 1 when all four exist afterwards; 0 when LocalPath does not
// exist (then nothing is created) or a folder could not be made.
std::int32_t CreateLocalFolders();

// low + high * 256.
std::int32_t MakeWord(std::uint8_t low, std::uint8_t high);

} // namespace FCT_Quind
