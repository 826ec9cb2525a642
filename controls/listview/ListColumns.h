#pragma once

#include "controls/listview/ListTabRecord.h"

#include <string>
#include <string_view>
#include <vector>

namespace listview {

// The widest column: wider than several of the widest screens side by side,
// and narrow enough that the x ranges of any columns a list has stay far
// within an int.
inline constexpr int MaxTabWidth = 1000000;

// The columns of a list view: their records, display order and x ranges
// (twips), and which column or border lies at an x position. Members taking
// a column index ignore one outside 0..Count-1 (getters give 0 or "").
class ListColumns {
public:
    // Recreates count cleared columns in index order.
    void Reset(int count);
    int Count() const { return static_cast<int>(tabs_.size()); }
    bool Valid(int tab) const { return tab >= 0 && tab < Count(); }
    const ListTabRecord& Tab(int tab) const { return tabs_[static_cast<std::size_t>(tab)]; }
    ListTabRecord* At(int tab);

    std::string TabName(int tab) const;
    void SetTabName(int tab, std::string_view name);
    int TabHidden(int tab) const;
    void SetTabHidden(int tab, int hidden);
    int TabWidth(int tab) const;
    // Within MinTabWidth..MaxTabWidth; recomputes the x ranges.
    void SetTabWidth(int tab, int width);
    int TabAlign(int tab) const;
    void SetTabAlign(int tab, int align);
    int TabOrder(int tab) const;
    int DataNumeric(int tab) const;
    void SetDataNumeric(int tab, int numeric);
    int TextIsTime(int tab) const;
    void SetTextIsTime(int tab, int isTime);
    // Editor flags (1 text, 2 combo, 4 list); the highest kind is shown.
    void SetUseTextCombo(int tab, int flags);
    void SetFrontObj(int tab, int kind);

    // Moves a column to a display position, shifting the columns between.
    void SetTabOrder(int tab, int position);
    // The column at each display position.
    const std::vector<int>& DisplayOrder() const { return order_; }

    // Lays the columns side by side in display order; hidden ones take no width.
    void CalcTabPositions();
    // Right edge of the last display position.
    int TotalWidth() const;

    // The column under x' = x + offset (twips); a point on a border is in
    // no column and gives column 0.
    int ColumnAtX(double x, double offset) const;
    // The visible column whose right border lies within 5 px of x', -1 none.
    int TabBorderAt(double x, double offset, int twipsPerPixel) const;

private:
    void RebuildOrder();

    std::vector<ListTabRecord> tabs_;
    std::vector<int> order_;
};

} // namespace listview
