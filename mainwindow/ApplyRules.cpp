#include "mainwindow/ApplyRules.h"

#include "platform/base/Numbers.h"

#include <algorithm>
#include <array>

namespace ApplyRules {

namespace {

constexpr std::array<BackEndValues, 6> BackEnds{{
    {3, 0, 1, true, 1, 10000},  // DirectSound
    {3, 0, 0, true, 1, 10000},  // DirectShow
    {1, 1, 0, true, 0, 4000},   // MCI
    {1, 1, 1, false, -1, 4000}, // waveOut
    {1, 1, 0, false, 1, 10000}, // filter graph, waveOut renderer
    {3, 0, 0, true, 1, 10000},  // filter graph, DirectSound renderer
}};

} // namespace

std::int32_t ValidPlayerType(std::int32_t stored)
{
    return stored < 0 || stored > 5 ? 3 : stored;
}

BackEndValues ForPlayerType(std::int32_t playerType)
{
    return BackEnds[static_cast<std::size_t>(ValidPlayerType(playerType))];
}

std::int32_t TimerInt(std::int32_t stored)
{
    return std::clamp(stored, 1, 500);
}

std::int32_t NumOut(std::int32_t stored, std::int32_t playerType)
{
    return ForPlayerType(playerType).OneOutput ? 1 : std::clamp(stored, 1, 4);
}

std::int32_t PageNum(std::int32_t stored)
{
    return std::clamp(stored, 1, 20);
}

std::int32_t PageButtonWidth(std::int32_t stored)
{
    return std::clamp(stored, 15, 500);
}

std::pair<std::string, std::string> SyncDrive(std::string_view stored)
{
    const std::size_t at = stored.find(';');
    if (at == std::string_view::npos) {
        return {};
    }
    return {std::string(stored.substr(0, at)), std::string(stored.substr(at + 1))};
}

std::int32_t UnitHeight(float sizeFactor, int twipsPerPixel)
{
    const std::int64_t twips = std::max(1, twipsPerPixel);
    const std::int64_t unit = numeric::RoundToInt64(90.0 * static_cast<double>(sizeFactor));
    return static_cast<std::int32_t>(unit - unit % twips);
}

std::int32_t PlayColor(std::int32_t value)
{
    constexpr std::array<std::int32_t, 4> colours{0x20FF10, 0x20A0F0, 0x0000FF, 0xFF8080};
    return value < 0 || value > 3 ? -1 : colours[static_cast<std::size_t>(value)];
}

} // namespace ApplyRules
