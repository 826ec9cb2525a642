#include "platform/TcpProbe.h"

#include "platform/PumpingWait.h"
#include "platform/SocketHandle.h"

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>

namespace platform {

namespace {

// Only a host that is up can refuse a connection.
ProbeOutcome OutcomeOf(int error)
{
    return error == 0 || error == ECONNREFUSED ? ProbeOutcome::Answered : ProbeOutcome::NoAnswer;
}

} // namespace

ProbeOutcome TcpConnectProbe(const SocketOpener& open, const Ipv4Address& address, std::uint16_t port, int timeoutMs)
{
    const SocketHandle socket(open(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!socket.IsOpen()) {
        return ProbeOutcome::NoAnswer;
    }
    const sockaddr_in target = SocketAddressOf(address, port);
    if (connect(socket.Get(), reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) {
        return ProbeOutcome::Answered;
    }
    if (errno != EINPROGRESS) {
        return OutcomeOf(errno);
    }
    if (PollPumping(socket.Get(), POLLOUT, DeadlineAfter(timeoutMs)) <= 0) {
        return ProbeOutcome::NoAnswer;
    }
    int error = 0;
    socklen_t size = sizeof error;
    if (getsockopt(socket.Get(), SOL_SOCKET, SO_ERROR, &error, &size) != 0) {
        return ProbeOutcome::NoAnswer;
    }
    return OutcomeOf(error);
}

} // namespace platform
