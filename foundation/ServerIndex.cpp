#include "foundation/ServerIndex.h"

#include "foundation/Paths.h"
#include "foundation/ServerFolders.h"

#include <algorithm>

namespace FCT_Quind {

namespace {

// The text as compared: lower-case ASCII letters, "/" for every "\".
std::string Comparable(std::string_view text)
{
    std::string result = basic::LowerAscii(text);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

bool BeginsWith(std::string_view text, std::string_view head)
{
    return text.size() >= head.size() && Comparable(text.substr(0, head.size())) == Comparable(head);
}

} // namespace

std::int32_t FindServerIndex(std::string_view path)
{
    for (int server = 0; server < ServerCount; ++server) {
        const std::string& folder = Servers[server].SrvPath;
        if (folder.empty()) {
            break;
        }
        if (BeginsWith(path, folder)) {
            return server;
        }
    }
    return -1;
}

std::string GetServerRelativePath(std::int32_t serverIndex, std::string_view path)
{
    if (serverIndex < -1 || serverIndex >= ServerCount) {
        return {};
    }
    const std::string& base = serverIndex == -1 ? LocalPath : Servers[serverIndex].SrvPath;
    const std::string folder = basic::GetPathPart(path, 1, 1, 0, 0, 0, 0);
    if (base.empty() || folder.size() <= base.size() + 1 || !BeginsWith(folder, base)) {
        return {};
    }
    return folder.substr(base.size());
}

} // namespace FCT_Quind
