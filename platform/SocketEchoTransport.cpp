#include "platform/SocketEchoTransport.h"

#include "platform/IcmpEcho.h"
#include "platform/base/LogSink.h"

#include <string>
#include <utility>

namespace platform {

SocketEchoTransport::SocketEchoTransport(SocketOpener open, std::uint16_t fallbackPort)
    : open_(std::move(open)), fallbackPort_(fallbackPort)
{
}

bool SocketEchoTransport::HostAnswers(const Ipv4Address& address, int timeoutMs)
{
    const ProbeOutcome echo = IcmpEcho(open_, address, timeoutMs);
    if (echo != ProbeOutcome::NotPermitted) {
        return echo == ProbeOutcome::Answered;
    }
    if (!fallbackLogged_) {
        fallbackLogged_ = true;
        Log("ICMP echo not permitted (no ICMP datagram or raw socket): hosts are checked by a TCP connection to port " +
                std::to_string(fallbackPort_),
            0);
    }
    return TcpConnectProbe(open_, address, fallbackPort_, timeoutMs) == ProbeOutcome::Answered;
}

} // namespace platform
