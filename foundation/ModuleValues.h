#pragma once

#include <array>
#include <string>

// The foundation's module-level values. The start-up fills them once, before
// the first setting is read or the first log line is written; tests set them
// directly.
namespace basic {

// Session name: the program title for the first session, title & "B", "C" or
// "D" for the others. Names the settings store and the log files.
extern std::string SettingsStoreName;
// The INI file of this session's settings; empty when the registry is used.
extern std::string SettingsIniPath;
// 1: library routines let failures through to a debugger instead of trapping.
extern int ErrorCatch;
// 1: every log line is written; 0: only forced ones.
extern int LogError;
// Folder of the day log; empty means AppPath() & "log".
extern std::string LogFolder;
// 1: one log file per calendar day.
extern int DailyLogNames;
// Cue marker switches: 0 standby, 1 end, 2 stop (settings CueActive_1..3).
extern std::array<int, 3> CueActive;

// The program's folder with a trailing "/": where its INI files, remote assign
// tables, log folder and start-up sound lie.
std::string AppPath();
// Replaces the program's folder (tests, and the start-up when it is told
// another folder); an empty path restores the executable's own folder.
void SetAppPath(const std::string& folder);

} // namespace basic
