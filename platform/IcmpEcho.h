#pragma once

#include "platform/Ipv4Address.h"
#include "platform/NetworkProbe.h"

namespace platform {

// Sends one ICMP echo request without data to the address and waits up to
// timeoutMs for its reply, pumping events meanwhile. It asks through an
// unprivileged ICMP datagram socket when the system allows one
// (net.ipv4.ping_group_range), else through a raw socket (root or
// CAP_NET_RAW); NotPermitted when neither can be opened. An "unreachable"
// answer for the request counts as no answer.
ProbeOutcome IcmpEcho(const SocketOpener& open, const Ipv4Address& address, int timeoutMs);

} // namespace platform
