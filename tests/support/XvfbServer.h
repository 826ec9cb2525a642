#pragma once

// An X server of the process's own (Xvfb) on a free display, for the checks
// and benchmarks that need a real one.
// Beside this header: the benchmarks include it from the source root.
#include "RealWait.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace testsupport {

// Starts Xvfb on a free display and returns its process id, or -1 with the
// reason in why. Xvfb writes the display number it took to the pipe once it
// accepts clients.
inline pid_t StartXvfb(std::string& display, std::string& why)
{
    int fds[2];
    if (pipe(fds) != 0) {
        why = "no pipe";
        return -1;
    }
    const pid_t child = fork();
    if (child == 0) {
        // The server ends with this process, however it ends.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1600x1000x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (child < 0) {
        close(fds[0]);
        why = "fork failed";
        return -1;
    }
    std::string number;
    pollfd wait{fds[0], POLLIN, 0};
    while (poll(&wait, 1, RealWaitMs) > 0) {
        char c = 0;
        if (read(fds[0], &c, 1) != 1 || c == '\n') {
            break;
        }
        number += c;
    }
    close(fds[0]);
    if (number.empty()) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
        why = "Xvfb is not installed or did not start (scripts/install-deps installs it)";
        return -1;
    }
    display = ":" + number;
    return child;
}

// Ends a server StartXvfb started.
inline void StopXvfb(pid_t server)
{
    if (server > 0) {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
    }
}

} // namespace testsupport
