#pragma once

#include <string>
#include <vector>

#include <sys/types.h>

namespace platform {

// Starts a program with an argument vector (arguments[0] is the program: a
// path, or a name looked up in PATH), without a shell, so blanks and quotes
// in arguments arrive as they are, in a session of its own (detached from
// the program's terminal). The child is reaped when it ends. Returns
// its process id, 0 when it could not be started (logged).
pid_t SpawnProgram(const std::vector<std::string>& arguments);

// Opens a file or address with the desktop's program for it (xdg-open);
// false when xdg-open could not be started.
bool OpenWithDesktop(const std::string& target);

// The full path of a program found in PATH (or the name itself when it holds
// a "/" and is executable); "" when there is none.
std::string FindProgram(const std::string& name);

} // namespace platform
