#pragma once

#include "platform/Ipv4Address.h"

#include <optional>
#include <string_view>

namespace platform {

// Host names of server paths become addresses through one replaceable
// resolver: the program asks the system's, tests install their own so that no
// test depends on a name server or sends it anything.
class HostResolver {
public:
    virtual ~HostResolver() = default;
    // The host's first IPv4 address, or nothing when the name does not
    // resolve. May take long; the system resolver pumps events meanwhile.
    virtual std::optional<Ipv4Address> Resolve(std::string_view host) = 0;
};

// The system resolver unless a test installed another one.
HostResolver& CurrentHostResolver();
// Installs a resolver (null restores the system's). The caller keeps it alive.
void SetHostResolver(HostResolver* resolver);

} // namespace platform
