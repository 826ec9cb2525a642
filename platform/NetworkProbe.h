#pragma once

#include "platform/Ipv4Address.h"

#include <cstdint>
#include <functional>
#include <netinet/in.h>

namespace platform {

// How one way of asking a host ended.
enum class ProbeOutcome {
    Answered,     // the host is alive
    NoAnswer,     // time-out, or the host or its network is unreachable
    NotPermitted, // this machine does not let the program ask this way
};

// Opens a socket as socket(2) does: a descriptor, or -1 with errno set. The
// probes take one so that tests can refuse the ICMP sockets.
using SocketOpener = std::function<int(int domain, int type, int protocol)>;

// socket(2) itself.
int OpenSystemSocket(int domain, int type, int protocol);

// The socket address of an IPv4 address and port.
sockaddr_in SocketAddressOf(const Ipv4Address& address, std::uint16_t port);

} // namespace platform
