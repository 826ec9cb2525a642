#pragma once

#include "platform/HostResolver.h"

namespace platform {

// The system's resolver (getaddrinfo, IPv4 only). A lookup can wait seconds
// on a name server that does not answer, so it runs on a worker thread while
// the caller pumps events. "localhost" and names under ".localhost" are
// loopback by definition and are answered without asking anyone.
class SystemHostResolver final : public HostResolver {
public:
    std::optional<Ipv4Address> Resolve(std::string_view host) override;
};

} // namespace platform
