#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace platform {

// An absolute path with the symbolic links on its local part followed, so
// that a path that leads into a share through a link is known for one. A
// component for which onShare answers true is never looked at: the rest of
// the path is kept as it stands from there, since asking a share that stopped
// answering would wait with it. A relative path, a missing component or a
// loop of links ends the following too.
std::string FollowLocalLinks(std::string_view path, const std::function<bool(const std::string&)>& onShare);

} // namespace platform
