#pragma once

#include "platform/SysColors.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// What the list area of a play-list output shows: the colour sets of the
// current-item panel, the captions of the tool buttons and the tip columns
// of the list view.
namespace ListAreaRules {

// A colour set of the current-item panel: a built-in set (Builtin 0..5) or
// its own text and background colours (Builtin -1).
struct PanelColorSet {
    int Builtin = -1;
    platform::Color Fore = 0;
    platform::Color Back1 = 0;
    platform::Color Back2 = 0;
    bool operator==(const PanelColorSet&) const = default;
};

// Set 0 (idle) and, when the colours allow one, set 1 (playing) of the
// panel. currentColor is the setting CurrentColor (0: follow the playing
// colour), playingColor the colour of the playing state.
std::vector<PanelColorSet> CurrentPanelColorSets(bool hiColor, platform::Color currentColor,
                                                 platform::Color playingColor);

// Captions of the four tool buttons (delete, clear, up, down) in the
// language of the run.
std::array<std::string, 4> ToolCaptions();

struct TipColumn {
    std::string Name;
    int Align = -1; // -1: the list's default
    bool operator==(const TipColumn&) const = default;
};

// The tip columns of a list that shows tips, in column order from column 4:
// the tip fields whose flag is on (captions from columnNames by
// nameIndex, right-aligned for the start and end times), then the reference
// fields whose flag is on.
std::vector<TipColumn> TipColumns(std::span<const std::int32_t> fieldFlags, std::span<const std::int32_t> nameIndex,
                                  std::span<const std::string> columnNames, std::span<const std::int32_t> refFlags,
                                  std::span<const std::string> refNames, int refCount);

} // namespace ListAreaRules
