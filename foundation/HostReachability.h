#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Whether the host of a server path answers, asked before the program touches
// the path: a share whose server is down would otherwise hold the program up
// for a long time. Answers are kept per host for as long as each caller
// accepts.
namespace FCT_Ping {

struct PingCacheEntry {
    std::string Host;        // lower case
    std::int32_t Result = 0; // 1 answered, 0 no answer or no such name
    std::string Time;        // when last asked: "yyyy/mm/dd hh:mm:ss"
};

// One entry per host, in the order of first use; entries are never removed.
extern std::vector<PingCacheEntry> PingCache;

// 1 when path is not a server path ("//host/share/...", "\\host\share\...")
// or its host answers; 0 when it does not. An answer at most maxAgeSec old is
// taken from the cache without asking again; a new answer waits at most
// timeoutMs (plus the name lookup), pumping events meanwhile.
std::int32_t IsPathHostReachable(std::string_view path, int timeoutMs, int maxAgeSec);

// 1 when the host (a dotted IPv4 address, used as it is, or a name) answered
// one echo request within timeoutMs, else 0, also for a name that does not
// resolve.
std::int32_t PingHost(std::string_view host, int timeoutMs);

} // namespace FCT_Ping
