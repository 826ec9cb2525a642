#pragma once

#include "platform/EchoTransport.h"
#include "platform/NetworkProbe.h"
#include "platform/TcpProbe.h"

#include <cstdint>

namespace platform {

// Asks a host by ICMP echo. Where the machine permits neither an ICMP datagram
// socket nor a raw socket, it says so once in the log and asks by a TCP
// connection to the file-sharing port instead.
class SocketEchoTransport final : public EchoTransport {
public:
    SocketEchoTransport() = default;
    // Tests give their own socket opener and a port on the loopback.
    SocketEchoTransport(SocketOpener open, std::uint16_t fallbackPort);

    bool HostAnswers(const Ipv4Address& address, int timeoutMs) override;

private:
    SocketOpener open_ = OpenSystemSocket;
    std::uint16_t fallbackPort_ = FileSharingPort;
    bool fallbackLogged_ = false;
};

} // namespace platform
