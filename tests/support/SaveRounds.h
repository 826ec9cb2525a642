#pragma once

// The bytes one round of the saving helper writes, shared by the helper and
// the tests that kill it: each round's table names its number and size, so a
// file that is not one whole round is seen at once.
#include <cstddef>
#include <string>
#include <string_view>

namespace testsupport {

inline std::string SaveRoundTable(int round)
{
    const std::size_t size = 16384u * static_cast<std::size_t>(1 + round % 8);
    const char filler = static_cast<char>('a' + round % 26);
    return "round " + std::to_string(round) + " " + std::to_string(size) + "\r\n" + std::string(size, filler) +
           "\r\nend\r\n";
}

// True when text is exactly the table of some round.
inline bool IsWholeSaveRoundTable(std::string_view text)
{
    if (text.substr(0, 6) != "round ") {
        return false;
    }
    const std::size_t space = text.find(' ', 6);
    if (space == std::string_view::npos || space == 6) {
        return false;
    }
    int round = 0;
    for (const char c : text.substr(6, space - 6)) {
        if (c < '0' || c > '9' || round > 100000000) {
            return false;
        }
        round = round * 10 + (c - '0');
    }
    return text == SaveRoundTable(round);
}

} // namespace testsupport
