#pragma once

#include <string>
#include <string_view>
#include <vector>

// Starting other programs: the volume mixer, a document's own program, any
// program with arguments.
namespace basic {

// Starts the mixer: the program the setting MixerApp names (a file, or a
// program found in PATH), else pavucontrol when installed, else nothing but a
// log line. Never fails visibly.
void OpenVolumeMixer();

// Opens a file with the desktop's program for its type (xdg-open); 1.
int ShellOpen(std::string_view path);

// Starts programPath with argument1 as one argument, blanks and all, then the
// words of argument2 (split at blanks; double quotes keep words together).
// showMode is left to the window manager. Returns the started process's id,
// 0 when it could not be started.
double RunProgram(std::string_view programPath, std::string_view argument1, int showMode, std::string_view argument2);

// The words of a command-line text: separated by blanks and tabs, double
// quotes keeping blanks inside a word (the quotes themselves are dropped).
std::vector<std::string> SplitCommandWords(std::string_view text);

} // namespace basic
