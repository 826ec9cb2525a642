#pragma once

#include "cache/TipInfo.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace FCT_Quind {

// The tips read recently, so that page changes and list redraws read each
// side file once per run. Holds up to Capacity tips; a new one then takes the
// place of the one used least recently. A tip stays as it was read even when
// its file changes later.
class TipMemory {
public:
    static constexpr std::size_t Capacity = 501;

    // The tip kept under key (marked as just used), or null.
    const TipInfo* Find(const std::string& key);
    // Keeps tip under key as just used, replacing what key held.
    void Store(const std::string& key, TipInfo tip);
    std::size_t Size() const { return entries_.size(); }

private:
    struct Entry {
        std::string key;
        TipInfo tip;
        std::uint64_t lastUse = 0;
    };

    std::size_t OldestEntry() const;

    std::vector<Entry> entries_;
    std::unordered_map<std::string, std::size_t> index_;
    // A use counter rather than a clock: two uses in the same second still
    // have an order.
    std::uint64_t uses_ = 0;
};

} // namespace FCT_Quind
