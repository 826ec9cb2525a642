#include "platform/SessionFolder.h"

#include "platform/base/LogSink.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

// Makes sure folder is a real folder of ours that nobody else can enter.
bool MakePrivateFolder(const std::string& folder)
{
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        Log("Session folder " + folder + " cannot be created (" + std::strerror(errno) + ")");
        return false;
    }
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        Log("Session folder " + folder + " is not a folder");
        return false;
    }
    if (info.st_uid != geteuid()) {
        Log("Session folder " + folder + " belongs to another user");
        return false;
    }
    if ((info.st_mode & 077) != 0 && chmod(folder.c_str(), 0700) != 0) {
        Log("Session folder " + folder + " cannot be made private (" + std::strerror(errno) + ")");
        return false;
    }
    return true;
}

std::string EscapedName(std::string_view caption)
{
    std::string name;
    for (const char c : caption) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '/' || c == '%') {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            name += escaped;
        } else {
            name += c;
        }
    }
    return name;
}

std::string HashedName(std::string_view caption)
{
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const char c : caption) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    char name[24];
    std::snprintf(name, sizeof name, "s-%016llx", static_cast<unsigned long long>(hash));
    return name;
}

// Room for the path of a socket address, less what the socket layer may add
// while it creates the socket beside its final name.
constexpr std::size_t socketPathLimit = sizeof(sockaddr_un{}.sun_path) - 24;
constexpr std::size_t fileNameLimit = 255;

} // namespace

std::string SessionFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder;
    if (runtime != nullptr && runtime[0] == '/') {
        folder = std::string(runtime);
        if (folder.back() != '/') {
            folder += '/';
        }
        folder += "tolv";
    } else {
        folder = "/tmp/tolv-" + std::to_string(geteuid());
    }
    if (!MakePrivateFolder(folder)) {
        return {};
    }
    return folder + '/';
}

std::string SessionLockPath(std::string_view caption)
{
    const std::string folder = SessionFolder();
    if (folder.empty()) {
        return {};
    }
    const std::string name = EscapedName(caption) + ".lock";
    return folder + (name.size() <= fileNameLimit ? name : HashedName(caption) + ".lock");
}

std::string SessionSocketPath(std::string_view caption)
{
    const std::string folder = SessionFolder();
    if (folder.empty()) {
        return {};
    }
    const std::string name = EscapedName(caption) + ".sock";
    const std::string path = folder + name;
    return name.size() <= fileNameLimit && path.size() < socketPathLimit ? path
                                                                         : folder + HashedName(caption) + ".sock";
}

} // namespace platform
