#pragma once

#include "cache/TipMemory.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cache {

// Which tip fields buttons and list rows show.
struct TipDisplay {
    // 0: tips are not read at all.
    std::int32_t GetTip = 0;
    // DispIt_1..5: the folder, the type's name, the start date, the end date,
    // the user.
    std::array<std::int32_t, 5> DispIt{1, 1, 1, 1, 1};
    // DispItRef_1..NumRef: the reference texts.
    std::vector<std::int32_t> DispItRef;
};

// The tip texts of sound buttons and list rows, read once per sound and then
// kept in memory for the rest of the run.
class TipTexts {
public:
    // What the texts depend on outside the cache.
    struct Sources {
        std::function<TipDisplay()> Display;
        // The cache name of a sound (server path to local copy).
        std::function<std::string(std::string_view path)> LocalFilename;
        // 1 while some output plays: no server is read then, so that a slow
        // server cannot hold up what is on air.
        std::function<bool()> SomethingPlays;
    };

    explicit TipTexts(Sources sources);

    // The texts of the tip of the sound at path. Mode 0: one text per shown
    // field, empty ones included (list columns); mode 1: the non-empty ones as
    // "[text]" one after the other in texts[0] (button captions). The last
    // element is always the colour of the sound's type in decimal digits. 1
    // when a tip gave texts; 0 when tips are off, no tip could be read, or the
    // tip would have to come from a server while something plays.
    std::int32_t GetTipInfo(std::string_view path, std::vector<std::string>& texts, std::int32_t mode);

    const FCT_Quind::TipMemory& Memory() const { return memory_; }

private:
    bool ReadTip(std::string_view path, FCT_Quind::TipInfo& tip) const;

    Sources sources_;
    FCT_Quind::TipMemory memory_;
};

} // namespace cache
