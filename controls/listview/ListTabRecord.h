#pragma once

#include <cstdint>
#include <string>

namespace listview {

// Editor kinds of a column, combined as flags.
inline constexpr int EditorText = 1;
inline constexpr int EditorCombo = 2;
inline constexpr int EditorList = 4;

// The narrowest a column can be made, in twips.
inline constexpr int MinTabWidth = 450;

// One data column: caption, display position, width and x range, alignment,
// in-place editors and how it sorts.
struct ListTabRecord {
    std::string TabName;
    int TabOrder = 0;
    int TabHidden = 0;
    int TabWidth = 0; // twips
    int Left = 0;     // twips, from CalcTabPositions
    int Right = 0;
    int TabAlign = 0; // 1 right-aligned
    int EditorFlags = 0;
    int FrontObj = 0; // the editor kind shown on the cursor row
    int TextBoxInstance = 0;
    int ComboInstance = 0;
    int ListInstance = 0;
    int TextIsTime = 0;
    int DataNumeric = 0;
};

} // namespace listview
