#include "support/PseudoTerminal.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace testsupport {

PseudoTerminal::PseudoTerminal() : farEnd_(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC))
{
    if (farEnd_ < 0 || grantpt(farEnd_) != 0 || unlockpt(farEnd_) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    char name[128] = {};
    if (ptsname_r(farEnd_, name, sizeof name) != 0) {
        throw std::runtime_error("no pseudo-terminal name");
    }
    portPath_ = name;
    // The far end never blocks the test: reads and writes wait by poll().
    fcntl(farEnd_, F_SETFL, fcntl(farEnd_, F_GETFL) | O_NONBLOCK);
}

PseudoTerminal::~PseudoTerminal()
{
    if (farEnd_ >= 0) {
        close(farEnd_);
    }
}

void PseudoTerminal::Send(std::span<const std::uint8_t> bytes) const
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = write(farEnd_, bytes.data() + done, bytes.size() - done);
        if (count > 0) {
            done += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EINTR) {
            throw std::runtime_error("far end write failed");
        }
        pollfd entry{farEnd_, POLLOUT, 0};
        if (poll(&entry, 1, WaitMs) <= 0) {
            throw std::runtime_error("far end write timed out");
        }
    }
}

void PseudoTerminal::Send(const std::string& text) const
{
    Send(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::vector<std::uint8_t> PseudoTerminal::Receive(std::size_t count) const
{
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < count && WaitReadable(farEnd_)) {
        std::uint8_t piece[512];
        const ssize_t got = read(farEnd_, piece, std::min(sizeof piece, count - bytes.size()));
        if (got <= 0 && errno != EAGAIN && errno != EINTR) {
            break;
        }
        if (got > 0) {
            bytes.insert(bytes.end(), piece, piece + got);
        }
    }
    return bytes;
}

std::vector<std::uint8_t> PseudoTerminal::ReceiveWaiting() const
{
    std::vector<std::uint8_t> bytes;
    std::uint8_t piece[4096];
    ssize_t got = 0;
    while ((got = read(farEnd_, piece, sizeof piece)) > 0) {
        bytes.insert(bytes.end(), piece, piece + got);
    }
    return bytes;
}

bool WaitReadable(int fd, int timeoutMs)
{
    pollfd entry{fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = poll(&entry, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready > 0 && (entry.revents & POLLIN) != 0;
}

} // namespace testsupport
