#pragma once

#include <array>
#include <cstdint>

// The function numbers of the remote boxes: what a box code does when it
// arrives, and which status a lamp shows. A name and its _OFF twin share the
// _ON number in the table; the status reports use both (_OFF = _ON + 1).
namespace RemoteFunction {
inline constexpr std::int32_t Code = -1; // the entry's Value is the remote code
inline constexpr std::int32_t None = 0;  // FCTNA
inline constexpr std::int32_t PageOn = 1;
inline constexpr std::int32_t ButtonOn = 3;
inline constexpr std::int32_t ButtonStby = 5;
inline constexpr std::int32_t PlayOn = 6;
inline constexpr std::int32_t StbyOn = 8;
inline constexpr std::int32_t StopOn = 10;
inline constexpr std::int32_t LineOutStatusOn = 13;
inline constexpr std::int32_t PauseOn = 15;
inline constexpr std::int32_t StbyActivate = 17;
inline constexpr std::int32_t PagePlus = 19;
inline constexpr std::int32_t PageMinus = 20;
inline constexpr std::int32_t ListUp = 21;
inline constexpr std::int32_t ListDown = 22;
} // namespace RemoteFunction

// What one code of one HID channel means: the output it belongs to, its
// function, and the page, button or lamp value.
struct RemoteAssignEntry {
    std::int32_t Output = 0;
    std::int32_t Function = RemoteFunction::Code;
    std::int32_t Value = 1;
    bool operator==(const RemoteAssignEntry&) const = default;
};

inline constexpr int RemoteChannels = 4;
inline constexpr int RemoteCodes = 256;

// Element channel + 4 x code (channel 0..3, code 0..255).
using RemoteAssignTableData = std::array<RemoteAssignEntry, RemoteChannels * RemoteCodes>;

constexpr int RemoteAssignIndex(int channel, int code)
{
    return channel + RemoteChannels * code;
}
