#include "controls/listview/ListItemStore.h"

#include "platform/base/Numbers.h"

#include <algorithm>
#include <utility>

namespace listview {

void ListItemStore::SetNumData(int count)
{
    numData_ = std::max(count, 0);
}

void ListItemStore::SetNumAux(int count)
{
    numAux_ = std::max(count, 0);
}

void ListItemStore::ResetNumTab()
{
    for (ListItemRecord& item : items_) {
        item.Data.resize(static_cast<std::size_t>(numData_));
        item.Aux.resize(static_cast<std::size_t>(numAux_));
    }
}

void ListItemStore::SetSelectedItem(int index)
{
    selectedItem_ = std::clamp(index, -1, ItemCount() - 1);
    if (selectedItem_ >= 0) {
        items_[static_cast<std::size_t>(selectedItem_)].IsSelected = Selected;
    }
}

int ListItemStore::SelectedData() const
{
    return selectedColumn_ >= 0 && selectedColumn_ < numData_ ? selectedColumn_ : 0;
}

std::optional<std::size_t> ListItemStore::Resolve(int index, bool lastAllowed) const
{
    if (index == CursorItem) {
        index = selectedItem_;
    } else if (index == LastItem && lastAllowed) {
        index = ItemCount() - 1;
    }
    if (index < 0 || index >= ItemCount()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(index);
}

ListCell ListItemStore::Value(int item, int column) const
{
    const auto at = Resolve(item, true);
    if (!at || column < 0 || column >= static_cast<int>(items_[*at].Data.size())) {
        return {};
    }
    return items_[*at].Data[static_cast<std::size_t>(column)];
}

void ListItemStore::SetValue(int item, int column, ListCell value)
{
    const auto at = Resolve(item, true);
    if (at && column >= 0 && column < numData_) {
        auto& data = items_[*at].Data;
        if (static_cast<int>(data.size()) <= column) {
            data.resize(static_cast<std::size_t>(numData_));
        }
        data[static_cast<std::size_t>(column)] = std::move(value);
    }
}

ListCell ListItemStore::AuxID(int item, int n) const
{
    const auto at = Resolve(item, true);
    if (!at || n < 0 || n >= static_cast<int>(items_[*at].Aux.size())) {
        return {};
    }
    return items_[*at].Aux[static_cast<std::size_t>(n)];
}

void ListItemStore::SetAuxID(int item, int n, ListCell value)
{
    const auto at = Resolve(item, true);
    if (at && n >= 0 && n < numAux_) {
        auto& aux = items_[*at].Aux;
        if (static_cast<int>(aux.size()) <= n) {
            aux.resize(static_cast<std::size_t>(numAux_));
        }
        aux[static_cast<std::size_t>(n)] = std::move(value);
    }
}

std::int32_t ListItemStore::IconType(int item) const
{
    const auto at = Resolve(item, true);
    return at ? items_[*at].IconType : 0;
}

void ListItemStore::SetIconType(int item, std::int32_t icon)
{
    if (const auto at = Resolve(item, true)) {
        items_[*at].IconType = icon;
    }
}

platform::Color ListItemStore::DispColor(int item) const
{
    const auto at = Resolve(item, false);
    return at ? items_[*at].DispColor : 0;
}

void ListItemStore::SetDispColor(int item, platform::Color colour)
{
    if (const auto at = Resolve(item, true)) {
        items_[*at].DispColor = colour;
    }
}

platform::Color ListItemStore::HLine(int item) const
{
    const auto at = Resolve(item, false);
    return at ? items_[*at].HLine : 0;
}

void ListItemStore::SetHLine(int item, platform::Color colour)
{
    if (const auto at = Resolve(item, true)) {
        items_[*at].HLine = colour;
    }
}

std::int32_t ListItemStore::IsSelected(int item) const
{
    const auto at = Resolve(item, false);
    return at ? items_[*at].IsSelected : 0;
}

void ListItemStore::SetIsSelected(int item, std::int32_t selected)
{
    const auto at = Resolve(item, true);
    if (!at) {
        return;
    }
    items_[*at].IsSelected = selected;
    if (item == CursorItem && selected == NotSelected) {
        selectedItem_ = -1;
    }
}

int ListItemStore::NumSelectedItems() const
{
    return static_cast<int>(std::count_if(items_.begin(), items_.end(),
                                          [](const ListItemRecord& item) { return item.IsSelected == Selected; }));
}

int ListItemStore::MultiSelected() const
{
    return NumSelectedItems() > 1 ? 1 : 0;
}

ListItemRecord ListItemStore::EmptyRecord(platform::Color colour) const
{
    ListItemRecord record;
    record.DispColor = colour;
    record.Data.resize(static_cast<std::size_t>(numData_));
    record.Aux.resize(static_cast<std::size_t>(numAux_));
    return record;
}

void ListItemStore::AddItem(int count)
{
    if (count < 1) {
        return;
    }
    // No exact reserve: rows added one by one would copy the whole list each time.
    for (int i = 0; i < count; ++i) {
        items_.push_back(EmptyRecord(defaultTextColor_));
    }
}

void ListItemStore::InsertItem(int index, int count)
{
    if (count == 0) {
        count = 1;
    }
    if (index == CursorItem) {
        index = selectedItem_;
    }
    if (count < 0 || index < 0 || index > ItemCount()) {
        return;
    }
    if (selectedItem_ != -1 && index <= selectedItem_) {
        selectedItem_ += count;
    }
    // Inserted rows are black, not the default colour: callers colour them.
    items_.insert(items_.begin() + index, static_cast<std::size_t>(count), EmptyRecord(0));
}

void ListItemStore::DropCursorPastEnd()
{
    if (selectedItem_ >= ItemCount()) {
        selectedItem_ = -1;
    }
}

void ListItemStore::DeleteItem(int index)
{
    if (index == CursorItem) {
        index = selectedItem_;
    } else if (index >= 0 && index < selectedItem_) {
        --selectedItem_;
    }
    if (index < 0 || index >= ItemCount()) {
        return;
    }
    items_.erase(items_.begin() + index);
    DropCursorPastEnd();
}

void ListItemStore::DeleteItemEx(int from, int to)
{
    if (items_.empty()) {
        return;
    }
    from = std::clamp(from, 0, ItemCount() - 1);
    to = std::clamp(to, 0, ItemCount() - 1);
    if (to < from) {
        return;
    }
    items_.erase(items_.begin() + from, items_.begin() + to + 1);
    DropCursorPastEnd();
}

void ListItemStore::DeleteAll()
{
    items_.clear();
    items_.shrink_to_fit();
    selectedItem_ = -1;
    settleRow_ = -1;
}

void ListItemStore::DeleteSelected()
{
    if (items_.empty()) {
        return;
    }
    std::erase_if(items_, [](const ListItemRecord& item) { return item.IsSelected != NotSelected; });
    selectedItem_ = -1;
}

void ListItemStore::UnSelectAll()
{
    selectedItem_ = -1;
    for (ListItemRecord& item : items_) {
        item.IsSelected = NotSelected;
    }
}

void ListItemStore::SelectAll()
{
    for (ListItemRecord& item : items_) {
        item.IsSelected = Selected;
    }
}

void ListItemStore::ExchangeItem(int delta)
{
    const int target = selectedItem_ + delta;
    if (ItemCount() <= 1 || selectedItem_ < 0 || selectedItem_ >= ItemCount() || target < 0 || target >= ItemCount()) {
        return;
    }
    for (ListItemRecord& item : items_) {
        item.IsSelected = NotSelected;
    }
    std::swap(items_[static_cast<std::size_t>(selectedItem_)], items_[static_cast<std::size_t>(target)]);
    selectedItem_ = target;
    items_[static_cast<std::size_t>(target)].IsSelected = Selected;
}

void ListItemStore::MoveCursor(int down)
{
    if (items_.empty()) {
        return;
    }
    SelectAlone(std::clamp(down != 0 ? selectedItem_ + 1 : selectedItem_ - 1, 0, ItemCount() - 1));
}

void ListItemStore::SelectAlone(int row)
{
    for (ListItemRecord& item : items_) {
        item.IsSelected = NotSelected;
    }
    items_[static_cast<std::size_t>(row)].IsSelected = Selected;
    selectedItem_ = row;
}

void ListItemStore::Press(int row, int shift, bool noMultiSelect)
{
    settleRow_ = -1;
    if (row < 0 || row >= ItemCount()) {
        return;
    }
    auto& rowItem = items_[static_cast<std::size_t>(row)];
    if (shift == 1 && !noMultiSelect) {
        const int anchor = selectedItem_ < 0 || selectedItem_ >= ItemCount() ? 0 : selectedItem_;
        const int low = std::min(anchor, row);
        const int high = std::max(anchor, row);
        for (int i = 0; i < ItemCount(); ++i) {
            items_[static_cast<std::size_t>(i)].IsSelected = i >= low && i <= high ? Selected : NotSelected;
        }
        selectedItem_ = row;
        return;
    }
    if (shift == 2 && !noMultiSelect) {
        if (rowItem.IsSelected == Selected) {
            rowItem.IsSelected = NotSelected;
            if (row == selectedItem_) {
                const auto lowest = std::find_if(items_.begin(), items_.end(), [](const ListItemRecord& item) {
                    return item.IsSelected == Selected;
                });
                selectedItem_ = lowest == items_.end() ? -1 : static_cast<int>(lowest - items_.begin());
            }
        } else {
            rowItem.IsSelected = Selected;
            selectedItem_ = row;
        }
        return;
    }
    if (rowItem.IsSelected == Selected && NumSelectedItems() > 1) {
        // The rows may be dragged together; a click settles on the row.
        settleRow_ = row;
        return;
    }
    SelectAlone(row);
}

void ListItemStore::Release()
{
    const int row = settleRow_;
    settleRow_ = -1;
    if (row >= 0 && row < ItemCount() && items_[static_cast<std::size_t>(row)].IsSelected == Selected) {
        SelectAlone(row);
    }
}

int ListItemStore::ItemAtY(double y, int oneHeight, int topItem) const
{
    if (oneHeight <= 0) {
        return 0;
    }
    const std::int64_t row = numeric::DivTrunc(numeric::RoundToInt64(y), oneHeight) + topItem;
    return static_cast<int>(std::clamp<std::int64_t>(row, 0, ItemCount()));
}

} // namespace listview
