#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

// The clamps and derivations the settings apply turns stored values into.
namespace ApplyRules {

// What a player back-end (PlayerType 0..5) implies.
struct BackEndValues {
    std::int32_t PlayersPerOutput = 1;
    std::int32_t SinglePlayer = 1;
    std::int32_t UseSamplePos = 1;
    bool OneOutput = false; // NumOut forced to 1
    // UseVol: -1 as stored, else forced to this value.
    std::int32_t ForcedUseVol = -1;
    std::int32_t MaxAtt = 4000;
};

// A type outside 0..5 counts as 3 (the waveOut back-end).
BackEndValues ForPlayerType(std::int32_t playerType);
// PlayerType outside 0..5 becomes 3.
std::int32_t ValidPlayerType(std::int32_t stored);
// Engine tick interval in ms, 1..500.
std::int32_t TimerInt(std::int32_t stored);
// Outputs: 1..4, and 1 on the back-ends that have a single output.
std::int32_t NumOut(std::int32_t stored, std::int32_t playerType);
// Pages per output, 1..20.
std::int32_t PageNum(std::int32_t stored);
// Width of a page button in twips, 15..500.
std::int32_t PageButtonWidth(std::int32_t stored);
// The two parts of SyncDrive: before and after its first ";"; both empty
// without one.
std::pair<std::string, std::string> SyncDrive(std::string_view stored);
// The margin unit: 90 twips x sizeFactor, rounded half to even, then cut down
// to whole pixels.
std::int32_t UnitHeight(float sizeFactor, int twipsPerPixel);
// The colour of PlayColor value 0..3 (green, orange, red, blue); -1 outside.
std::int32_t PlayColor(std::int32_t value);

} // namespace ApplyRules
