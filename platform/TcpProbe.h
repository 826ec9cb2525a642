#pragma once

#include "platform/Ipv4Address.h"
#include "platform/NetworkProbe.h"

#include <cstdint>

namespace platform {

// The file-sharing port, which every server of shared folders listens on.
inline constexpr std::uint16_t FileSharingPort = 445;

// Tries a TCP connection to the port, waiting up to timeoutMs and pumping
// events meanwhile, and closes it again. A connection and a refusal both show
// that the host is alive; only a time-out or "unreachable" is NoAnswer.
ProbeOutcome TcpConnectProbe(const SocketOpener& open, const Ipv4Address& address, std::uint16_t port, int timeoutMs);

} // namespace platform
