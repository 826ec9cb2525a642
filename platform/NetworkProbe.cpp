#include "platform/NetworkProbe.h"

#include <arpa/inet.h>
#include <sys/socket.h>

namespace platform {

int OpenSystemSocket(int domain, int type, int protocol)
{
    return socket(domain, type, protocol);
}

sockaddr_in SocketAddressOf(const Ipv4Address& address, std::uint16_t port)
{
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = htonl((std::uint32_t{address[0]} << 24) | (std::uint32_t{address[1]} << 16) |
                                   (std::uint32_t{address[2]} << 8) | address[3]);
    return target;
}

} // namespace platform
