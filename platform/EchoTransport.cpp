#include "platform/EchoTransport.h"

#include "platform/SocketEchoTransport.h"

namespace platform {

namespace {
EchoTransport* installed = nullptr;
} // namespace

EchoTransport& CurrentEchoTransport()
{
    static SocketEchoTransport sockets;
    return installed != nullptr ? *installed : sockets;
}

void SetEchoTransport(EchoTransport* transport)
{
    installed = transport;
}

} // namespace platform
