#pragma once

#include "platform/Ipv4Address.h"

namespace platform {

// Asks a host whether it is alive. The program uses the socket transport;
// tests install their own, which counts the probes and answers as told, so
// that no test sends anything beyond the machine.
class EchoTransport {
public:
    virtual ~EchoTransport() = default;
    // True when the host answered one probe within timeoutMs.
    virtual bool HostAnswers(const Ipv4Address& address, int timeoutMs) = 0;
};

// The socket transport unless a test installed another one.
EchoTransport& CurrentEchoTransport();
// Installs a transport (null restores the socket one). The caller keeps it alive.
void SetEchoTransport(EchoTransport* transport);

} // namespace platform
