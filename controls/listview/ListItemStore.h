#pragma once

#include "controls/listview/ListCell.h"
#include "controls/listview/ListItemRecord.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace listview {

// Item indexes with a meaning of their own.
inline constexpr int CursorItem = -1; // the SelectedItem
inline constexpr int LastItem = -2;

// The rows of a list view and its selection, without any painting: the rows'
// values, hidden values, icons and colours, the cursor item (SelectedItem)
// and the per-row selection flags, and the selection rules of presses.
// Every member taking an item index checks it; an index that names no item
// is ignored by a setter and reads as 0 or an empty value.
class ListItemStore {
public:
    int NumData() const { return numData_; }
    // Negative counts are taken as 0; existing rows keep their arrays until
    // ResetNumTab.
    void SetNumData(int count);
    int NumAux() const { return numAux_; }
    void SetNumAux(int count);
    platform::Color DefaultTextColor() const { return defaultTextColor_; }
    void SetDefaultTextColor(platform::Color colour) { defaultTextColor_ = colour; }

    // Fits the value arrays of every row to NumData and NumAux, keeping the
    // values that still fit.
    void ResetNumTab();

    int ItemCount() const { return static_cast<int>(items_.size()); }
    int SelectedItem() const { return selectedItem_; }
    // Clamped to -1..ItemCount-1; a valid item becomes selected too.
    void SetSelectedItem(int index);
    // The column of the last press in the rows.
    void SetSelectedColumn(int column) { selectedColumn_ = column; }
    // The selected column when it is below NumData, else 0.
    int SelectedData() const;

    ListCell Value(int item, int column) const;
    void SetValue(int item, int column, ListCell value);
    ListCell AuxID(int item, int n) const;
    void SetAuxID(int item, int n, ListCell value);
    std::int32_t IconType(int item) const;
    void SetIconType(int item, std::int32_t icon);
    // Read with -1 for the cursor item; the last item (-2) only when written.
    platform::Color DispColor(int item) const;
    void SetDispColor(int item, platform::Color colour);
    platform::Color HLine(int item) const;
    void SetHLine(int item, platform::Color colour);
    std::int32_t IsSelected(int item) const;
    // IsSelected(-1) = 0 also leaves no cursor item.
    void SetIsSelected(int item, std::int32_t selected);
    // Items whose flag is exactly 1.
    int NumSelectedItems() const;
    // 1 when two or more items are selected, else 0.
    int MultiSelected() const;

    // Appends count empty items in the default text colour.
    void AddItem(int count);
    // Inserts count (0 taken as 1) empty black items before index (-1 the
    // cursor item; ItemCount appends); the cursor stays on its item.
    void InsertItem(int index, int count);
    // Deletes one item (-1 the cursor item: the cursor then names the item
    // that follows, or none when it was the last).
    void DeleteItem(int index);
    // Deletes the items from..to (clamped to the list). The cursor keeps its
    // index while that still names an item.
    void DeleteItemEx(int from, int to);
    // Empties the list and forgets the cursor and the press sequence.
    void DeleteAll();
    // Deletes every item whose flag is not 0; no cursor item afterwards.
    void DeleteSelected();
    void UnSelectAll();
    void SelectAll();
    // Swaps the cursor item with the item delta places away, which becomes
    // the cursor item, selected alone.
    void ExchangeItem(int delta);
    // Moves the cursor one item down (down not 0) or up, selecting it alone.
    void MoveCursor(int down);

    // The selection rules of a left press on row (a valid item): Shift
    // (shift 1) selects a range, Ctrl (shift 2) toggles, anything else
    // selects the row alone. A plain press on a row of a selection of
    // several keeps them all, so that they can be dragged together; its
    // Release then selects the row alone, unless ForgetPress (a drag took
    // the press) came first.
    void Press(int row, int shift, bool noMultiSelect);
    void Release();
    void ForgetPress() { settleRow_ = -1; }

    // The item under y (twips) of the rows shown from topItem, clamped to
    // 0..ItemCount (ItemCount: below the last item).
    int ItemAtY(double y, int oneHeight, int topItem) const;

    // The rows themselves, for drawing and reordering. Index must be valid.
    const ListItemRecord& Item(int index) const { return items_[static_cast<std::size_t>(index)]; }
    std::vector<ListItemRecord>& Items() { return items_; }
    void SetCursorIndex(int index) { selectedItem_ = index; }

private:
    // The item an index names for reading and writing values: -1 the cursor
    // item, -2 the last (when lastAllowed).
    std::optional<std::size_t> Resolve(int index, bool lastAllowed) const;
    ListItemRecord EmptyRecord(platform::Color colour) const;
    void DropCursorPastEnd();
    void SelectAlone(int row);

    std::vector<ListItemRecord> items_;
    int numData_ = 1;
    int numAux_ = 1;
    platform::Color defaultTextColor_ = platform::SystemColor(platform::ColorWindowText);
    int selectedItem_ = -1;
    int selectedColumn_ = 0;
    // The row a plain press left in a selection of several, -1 none.
    int settleRow_ = -1;
};

} // namespace listview
