#pragma once

#include <cstdint>
#include <string>

// Length and format text of any sound file the program plays.
struct AudioInfo {
    std::int32_t Ok = 0; // 1: the length was found
    std::int32_t LengthMS = 0;
    std::string Text;
};
