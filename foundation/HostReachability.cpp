#include "foundation/HostReachability.h"

#include "foundation/Paths.h"
#include "foundation/TimeStamps.h"
#include "platform/EchoTransport.h"
#include "platform/HostResolver.h"
#include "platform/ServerPaths.h"

#include <optional>

namespace FCT_Ping {

std::vector<PingCacheEntry> PingCache;

namespace {

// The text between the two leading separators and the next one.
std::string HostOf(std::string_view serverPath)
{
    const std::string_view rest = serverPath.substr(2);
    return basic::LowerAscii(rest.substr(0, rest.find_first_of("/\\")));
}

std::string StampNow()
{
    return basic::FormatTimeStamp(0, 0, basic::StampSlashes, 0, 0, 0, 0.0);
}

PingCacheEntry* Find(const std::string& host)
{
    for (PingCacheEntry& entry : PingCache) {
        if (entry.Host == host) {
            return &entry;
        }
    }
    return nullptr;
}

} // namespace

std::int32_t IsPathHostReachable(std::string_view path, int timeoutMs, int maxAgeSec)
{
    if (!platform::IsServerPath(path)) {
        return 1;
    }
    const std::string host = HostOf(path);
    if (const PingCacheEntry* cached = Find(host)) {
        // An answer from the future (the clock was set back) is not trusted.
        const int age = basic::SecondsBetweenStamps(cached->Time, StampNow());
        if (age >= 0 && age <= maxAgeSec) {
            return cached->Result;
        }
    }
    const std::int32_t result = PingHost(host, timeoutMs);
    // The wait pumped events: a nested check may have added entries meanwhile,
    // so the entry is looked up again.
    PingCacheEntry* entry = Find(host);
    if (entry == nullptr) {
        entry = &PingCache.emplace_back();
        entry->Host = host;
    }
    entry->Result = result;
    entry->Time = StampNow();
    return result;
}

std::int32_t PingHost(std::string_view host, int timeoutMs)
{
    std::optional<platform::Ipv4Address> address = platform::ParseDottedIpv4(host);
    if (!address) {
        address = platform::CurrentHostResolver().Resolve(host);
    }
    if (!address) {
        return 0;
    }
    return platform::CurrentEchoTransport().HostAnswers(*address, timeoutMs) ? 1 : 0;
}

} // namespace FCT_Ping
