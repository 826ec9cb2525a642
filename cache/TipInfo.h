#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace FCT_Quind {

// What a ".tip" side file says about the sound file beside it.
struct TipInfo {
    // The sound's folder below the cache folder or its server folder, without
    // leading or trailing separator; "" for a sound directly in it.
    std::string Folder;
    // Type index from 0: TypeNames / TypeColors[TypeNo].
    std::int32_t TypeNo = 0;
    std::int32_t LengthMS = 0;
    std::int32_t Num3 = 0;
    std::int32_t Num4 = 0;
    std::int32_t Num5 = 0;
    std::int32_t Num6 = 0;
    // Dates in digits: yyyymmdd or yyyymmddhhmmss.
    std::string StartText;
    std::string EndText;
    std::string UserText;
    std::int32_t Num10 = 0;
    // Reference texts 1..NumRef (index 0..NumRef - 1).
    std::vector<std::string> Refs;
};

} // namespace FCT_Quind
