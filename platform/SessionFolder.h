#pragma once

#include <string>
#include <string_view>

// Where the sessions of the program meet: one folder per user, holding per
// session (named after its window caption) a lock file that the running
// session holds with flock for its whole life, and the local socket through
// which a second start hands its command line over.
namespace platform {

// $XDG_RUNTIME_DIR/tolv/, or /tmp/tolv-<uid>/ when XDG_RUNTIME_DIR is unset;
// created with mode 0700. "" (logged) when it cannot be made, is not a
// folder, or belongs to another user.
std::string SessionFolder();

// The lock file and the socket of a caption inside the folder ("" when there
// is no folder). Any caption gives a name of its own: "/" and unusual bytes
// are escaped, and a name too long for a socket address is replaced by a
// hash of the caption.
std::string SessionLockPath(std::string_view caption);
std::string SessionSocketPath(std::string_view caption);

} // namespace platform
