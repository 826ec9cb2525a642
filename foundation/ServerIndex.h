#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Where a file lies among the server folders. Comparisons ignore the case of
// ASCII letters and read "\" and "/" alike, so a path written on another
// system still finds its server.
namespace FCT_Quind {

// The index 0..3 of the first server folder that holds path, or -1. The
// servers are tried in order and the search stops at the first one without a
// folder.
std::int32_t FindServerIndex(std::string_view path);

// The folder of path below the folder of server serverIndex (or below
// LocalPath for -1), ending in a separator: "a/" for a file in the folder a of
// the server, "a/b/" one level deeper. "" for a file directly in the base
// folder, a path outside it, or a base that is not set.
std::string GetServerRelativePath(std::int32_t serverIndex, std::string_view path);

} // namespace FCT_Quind
