#include "mainwindow/ListAreaRules.h"

#include "foundation/Colors.h"
#include "foundation/Language.h"

#include <algorithm>

namespace ListAreaRules {

namespace {

platform::Color Shifted(platform::Color colour, float factor)
{
    return basic::ShiftColor(colour, 0, 0, 0, factor);
}

} // namespace

std::vector<PanelColorSet> CurrentPanelColorSets(bool hiColor, platform::Color currentColor,
                                                 platform::Color playingColor)
{
    std::vector<PanelColorSet> sets;
    if (!hiColor) {
        sets.push_back({4, 0, 0, 0});
        if (currentColor != 0) {
            sets.push_back({-1, Shifted(currentColor, 2.3F), Shifted(currentColor, 0.2F), Shifted(currentColor, 1.0F)});
            return sets;
        }
        switch (playingColor) {
        case 0x20FF10:
            sets.push_back({3, 0, 0, 0});
            break;
        case 0x20A0F0:
            sets.push_back({5, 0, 0, 0});
            break;
        case 0x0000FF:
            sets.push_back({2, 0, 0, 0});
            break;
        case 0xFF8080:
            sets.push_back({1, 0, 0, 0});
            break;
        default:
            break;
        }
        return sets;
    }
    sets.push_back({-1, 0xFFFFFF, 0, 0});
    if (currentColor != 0) {
        sets.push_back({-1, 0, currentColor, currentColor});
        return sets;
    }
    platform::Color lit = -1;
    switch (playingColor) {
    case 0x20FF10:
        lit = 0x00FF00;
        break;
    case 0x20A0F0:
        lit = 0x00A0E0;
        break;
    case 0x0000FF:
        lit = 0x0000FF;
        break;
    case 0xFF8080:
        lit = 0xFF8060;
        break;
    default:
        break;
    }
    if (lit != -1) {
        sets.push_back({-1, 0, lit, lit});
    }
    return sets;
}

std::array<std::string, 4> ToolCaptions()
{
    return {basic::LangText("削除", "Del"), basic::LangText("クリア", "Clear"), basic::LangText("△", "Up"),
            basic::LangText("▽", "Down")};
}

std::vector<TipColumn> TipColumns(std::span<const std::int32_t> fieldFlags, std::span<const std::int32_t> nameIndex,
                                  std::span<const std::string> columnNames, std::span<const std::int32_t> refFlags,
                                  std::span<const std::string> refNames, int refCount)
{
    std::vector<TipColumn> columns;
    for (std::size_t j = 0; j < fieldFlags.size() && j < nameIndex.size(); ++j) {
        if (fieldFlags[j] == 0) {
            continue;
        }
        const int entry = nameIndex[j];
        TipColumn column;
        if (entry >= 0 && static_cast<std::size_t>(entry) < columnNames.size()) {
            column.Name = columnNames[static_cast<std::size_t>(entry)];
        }
        // Start and end are times: right-aligned like numbers.
        column.Align = entry >= 4 && entry <= 6 ? 1 : 0;
        columns.push_back(std::move(column));
    }
    for (int k = 0; k < refCount && static_cast<std::size_t>(k) < refFlags.size(); ++k) {
        if (refFlags[static_cast<std::size_t>(k)] == 0) {
            continue;
        }
        TipColumn column;
        if (static_cast<std::size_t>(k) < refNames.size()) {
            column.Name = refNames[static_cast<std::size_t>(k)];
        }
        columns.push_back(std::move(column));
    }
    return columns;
}

} // namespace ListAreaRules
