#pragma once

#include "platform/EchoTransport.h"
#include "platform/HostResolver.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace testsupport {

// A resolver that knows only the names a test gives it and counts the
// lookups. Installed for the life of the object. (Header only: the support
// library is linked below the platform layer.)
class FakeHostResolver final : public platform::HostResolver {
public:
    FakeHostResolver() { platform::SetHostResolver(this); }
    ~FakeHostResolver() override { platform::SetHostResolver(nullptr); }
    FakeHostResolver(const FakeHostResolver&) = delete;
    FakeHostResolver& operator=(const FakeHostResolver&) = delete;

    std::optional<platform::Ipv4Address> Resolve(std::string_view host) override
    {
        lookups.emplace_back(host);
        const auto found = names.find(std::string(host));
        if (found == names.end()) {
            return std::nullopt;
        }
        return found->second;
    }

    std::map<std::string, platform::Ipv4Address> names;
    std::vector<std::string> lookups;
};

// A transport that sends nothing: the addresses in alive answer, every other
// one stays silent as a dead host or an unreachable network would. It keeps
// every probe so tests can count them.
class FakeEchoTransport final : public platform::EchoTransport {
public:
    FakeEchoTransport() { platform::SetEchoTransport(this); }
    ~FakeEchoTransport() override { platform::SetEchoTransport(nullptr); }
    FakeEchoTransport(const FakeEchoTransport&) = delete;
    FakeEchoTransport& operator=(const FakeEchoTransport&) = delete;

    struct Probe {
        platform::Ipv4Address address;
        int timeoutMs;
    };

    bool HostAnswers(const platform::Ipv4Address& address, int timeoutMs) override
    {
        probes.push_back({address, timeoutMs});
        return alive.contains(address);
    }

    std::set<platform::Ipv4Address> alive;
    std::vector<Probe> probes;
};

} // namespace testsupport
