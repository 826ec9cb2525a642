#include "platform/ProcessStart.h"

#include "platform/base/LogSink.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

// Waits for one child on a thread of its own, so no finished program is left
// as a zombie and the program's thread never blocks on it.
void ReapWhenDone(pid_t pid)
{
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

} // namespace

pid_t SpawnProgram(const std::vector<std::string>& arguments)
{
    if (arguments.empty() || arguments.front().empty()) {
        return 0;
    }
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // The child starts with default signal handling, whatever the program set.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    // A session of its own: a started program lives on apart from the
    // program, and a Ctrl+C or hang-up meant for the program never reaches it.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSID);

    pid_t pid = 0;
    const int result = posix_spawnp(&pid, argv.front(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) {
        Log("posix_spawn Failed r=" + std::to_string(result) + " " + arguments.front() + " (" + std::strerror(result) +
            ")");
        return 0;
    }
    ReapWhenDone(pid);
    return pid;
}

bool OpenWithDesktop(const std::string& target)
{
    return SpawnProgram({"xdg-open", target}) != 0;
}

std::string FindProgram(const std::string& name)
{
    if (name.empty()) {
        return {};
    }
    if (name.find('/') != std::string::npos) {
        return access(name.c_str(), X_OK) == 0 ? name : std::string();
    }
    const char* path = std::getenv("PATH");
    std::string_view folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!folders.empty()) {
        const std::size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
        if (folder.empty()) {
            continue;
        }
        std::string candidate(folder);
        candidate += '/';
        candidate += name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return {};
}

} // namespace platform
