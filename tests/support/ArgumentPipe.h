#pragma once

#include "support/HelperProcess.h"
#include "support/ScratchFolder.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace testsupport {

// A pipe the argument-reporting helper (tolv_test_argdump) writes to, so a
// program the program starts can be seen to start with its arguments.
// Reading waits for the helper's data by poll, bounded so that a helper that
// never starts fails the test instead of hanging it. (Header only: the
// helper's timeout lives with the Qt side of the support code.)
class ArgumentPipe {
public:
    ArgumentPipe() : path_(folder_ / "arguments")
    {
        mkfifo(path_.c_str(), 0600);
        fd_ = open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        setenv("TOLV_ARGDUMP", path_.c_str(), 1);
    }
    ~ArgumentPipe()
    {
        unsetenv("TOLV_ARGDUMP");
        close(fd_);
    }
    ArgumentPipe(const ArgumentPipe&) = delete;
    ArgumentPipe& operator=(const ArgumentPipe&) = delete;

    // The arguments the helper received (without its own name); none when it
    // never reported.
    std::optional<std::vector<std::string>> Arguments()
    {
        std::string bytes;
        char buffer[512];
        bool ended = false;
        while (!ended) {
            pollfd waiting{fd_, POLLIN, 0};
            if (poll(&waiting, 1, HelperProcess::TimeoutMs) <= 0) {
                return std::nullopt;
            }
            const ssize_t n = read(fd_, buffer, sizeof buffer);
            if (n > 0) {
                bytes.append(buffer, static_cast<std::size_t>(n));
            } else {
                ended = n == 0 || errno != EAGAIN; // the helper closed its end
            }
        }
        std::vector<std::string> arguments;
        std::size_t start = 0;
        for (std::size_t end = bytes.find('\0'); end != std::string::npos; end = bytes.find('\0', start)) {
            arguments.push_back(bytes.substr(start, end - start));
            start = end + 1;
        }
        return arguments;
    }

private:
    testsupport::ScratchFolder folder_;
    std::string path_;
    int fd_ = -1;
};

} // namespace testsupport
