#pragma once

#include <string>
#include <string_view>

// Server paths: "//host/share/rest" (also written "\\host\share\rest") are
// reached under the unc root, where the machine mounts its server shares.
namespace platform {

// The unc root: $TOLV_UNC_ROOT when it is an absolute folder other than "/",
// else "/mnt"; without a trailing "/".
std::string UncRoot();

// True when the path begins with two separators ("/" or "\").
bool IsServerPath(std::string_view path);

// The path the file system understands: "\" becomes "/" and a server path is
// moved under the unc root. "" for a path that names nothing safely: one
// holding a NUL byte, a server path without a host, or one that leaves its
// share (logged).
std::string NativePath(std::string_view path);

// True when a relative path, its ".." resolved one by one, climbs above the
// folder it starts in ("a/../../b" does, "a/../b" does not). "\" and "/"
// both separate.
bool ClimbsAboveStart(std::string_view relative);

// True when a server path would leave its share once its ".." are resolved,
// or names "." or ".." as its host or share.
bool LeavesItsShare(std::string_view serverPath);

// True when a native path lies under the unc root, where calls may block on
// the network for a long time.
bool IsUnderUncRoot(std::string_view nativePath);

// The share a native path lies on, whose calls may wait as long as a server
// likes: "<unc root>/host/share" for a path under the unc root, else the
// mount point of the network or FUSE file system that holds it (wherever it
// is mounted); "" for a path on a local disk.
std::string ShareOf(std::string_view nativePath);
bool IsOnShare(std::string_view nativePath);

// A path from the desktop (dialogs, dropped files, the command line, listings)
// that lies in a share under the unc root becomes "//host/share/..."; any
// other path comes back unchanged.
std::string FromDesktopPath(std::string_view path);

} // namespace platform
