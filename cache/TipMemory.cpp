#include "cache/TipMemory.h"

#include <utility>

namespace FCT_Quind {

const TipInfo* TipMemory::Find(const std::string& key)
{
    const auto found = index_.find(key);
    if (found == index_.end()) {
        return nullptr;
    }
    Entry& entry = entries_[found->second];
    entry.lastUse = ++uses_;
    return &entry.tip;
}

void TipMemory::Store(const std::string& key, TipInfo tip)
{
    std::size_t slot = 0;
    if (const auto found = index_.find(key); found != index_.end()) {
        slot = found->second;
    } else if (entries_.size() < Capacity) {
        slot = entries_.size();
        entries_.emplace_back();
    } else {
        slot = OldestEntry();
        index_.erase(entries_[slot].key);
    }
    Entry& entry = entries_[slot];
    entry.key = key;
    entry.tip = std::move(tip);
    entry.lastUse = ++uses_;
    index_[key] = slot;
}

std::size_t TipMemory::OldestEntry() const
{
    std::size_t oldest = 0;
    for (std::size_t i = 1; i < entries_.size(); ++i) {
        if (entries_[i].lastUse < entries_[oldest].lastUse) {
            oldest = i;
        }
    }
    return oldest;
}

} // namespace FCT_Quind
