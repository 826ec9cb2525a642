#include "controls/listview/ListColumns.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace listview {

void ListColumns::Reset(int count)
{
    tabs_.assign(static_cast<std::size_t>(std::max(count, 0)), ListTabRecord{});
    for (int c = 0; c < Count(); ++c) {
        tabs_[static_cast<std::size_t>(c)].TabOrder = c;
    }
    RebuildOrder();
    CalcTabPositions();
}

ListTabRecord* ListColumns::At(int tab)
{
    return Valid(tab) ? &tabs_[static_cast<std::size_t>(tab)] : nullptr;
}

std::string ListColumns::TabName(int tab) const
{
    return Valid(tab) ? Tab(tab).TabName : std::string();
}

void ListColumns::SetTabName(int tab, std::string_view name)
{
    if (auto* record = At(tab)) {
        record->TabName = std::string(name);
    }
}

int ListColumns::TabHidden(int tab) const
{
    return Valid(tab) ? Tab(tab).TabHidden : 0;
}

void ListColumns::SetTabHidden(int tab, int hidden)
{
    if (auto* record = At(tab)) {
        record->TabHidden = hidden;
    }
}

int ListColumns::TabWidth(int tab) const
{
    return Valid(tab) ? Tab(tab).TabWidth : 0;
}

void ListColumns::SetTabWidth(int tab, int width)
{
    if (auto* record = At(tab)) {
        record->TabWidth = std::clamp(width, MinTabWidth, MaxTabWidth);
        CalcTabPositions();
    }
}

int ListColumns::TabAlign(int tab) const
{
    return Valid(tab) ? Tab(tab).TabAlign : 0;
}

void ListColumns::SetTabAlign(int tab, int align)
{
    if (auto* record = At(tab)) {
        record->TabAlign = align;
    }
}

int ListColumns::TabOrder(int tab) const
{
    return Valid(tab) ? Tab(tab).TabOrder : 0;
}

int ListColumns::DataNumeric(int tab) const
{
    return Valid(tab) ? Tab(tab).DataNumeric : 0;
}

void ListColumns::SetDataNumeric(int tab, int numeric)
{
    if (auto* record = At(tab)) {
        record->DataNumeric = numeric;
    }
}

int ListColumns::TextIsTime(int tab) const
{
    return Valid(tab) ? Tab(tab).TextIsTime : 0;
}

void ListColumns::SetTextIsTime(int tab, int isTime)
{
    if (auto* record = At(tab)) {
        record->TextIsTime = isTime;
    }
}

void ListColumns::SetUseTextCombo(int tab, int flags)
{
    if (auto* record = At(tab)) {
        record->EditorFlags = flags;
        record->FrontObj = (flags & EditorList) != 0    ? EditorList
                           : (flags & EditorCombo) != 0 ? EditorCombo
                           : (flags & EditorText) != 0  ? EditorText
                                                        : 0;
    }
}

void ListColumns::SetFrontObj(int tab, int kind)
{
    if (auto* record = At(tab)) {
        record->FrontObj = kind;
    }
}

void ListColumns::SetTabOrder(int tab, int position)
{
    if (!Valid(tab) || position < 0 || position >= Count()) {
        return;
    }
    const int old = Tab(tab).TabOrder;
    if (position == old) {
        return;
    }
    for (ListTabRecord& record : tabs_) {
        if (position < old && record.TabOrder >= position && record.TabOrder <= old - 1) {
            ++record.TabOrder;
        } else if (position > old && record.TabOrder >= old + 1 && record.TabOrder <= position) {
            --record.TabOrder;
        }
    }
    tabs_[static_cast<std::size_t>(tab)].TabOrder = position;
    RebuildOrder();
}

void ListColumns::RebuildOrder()
{
    // Orders that do not form a permutation (never made by SetTabOrder) fall
    // back to index order for the positions they leave open.
    order_.assign(tabs_.size(), -1);
    std::vector<bool> placed(tabs_.size(), false);
    for (int c = 0; c < Count(); ++c) {
        const int position = Tab(c).TabOrder;
        if (position >= 0 && position < Count() && order_[static_cast<std::size_t>(position)] == -1) {
            order_[static_cast<std::size_t>(position)] = c;
            placed[static_cast<std::size_t>(c)] = true;
        }
    }
    int next = 0;
    for (int& column : order_) {
        if (column == -1) {
            while (placed[static_cast<std::size_t>(next)]) {
                ++next;
            }
            column = next;
            placed[static_cast<std::size_t>(next)] = true;
        }
    }
}

void ListColumns::CalcTabPositions()
{
    // Edges stop at the largest int rather than wrap, however many columns.
    constexpr std::int64_t farthest = std::numeric_limits<int>::max();
    std::int64_t edge = 0;
    for (const int c : order_) {
        ListTabRecord& record = tabs_[static_cast<std::size_t>(c)];
        record.Left = static_cast<int>(edge);
        if (record.TabHidden == 0) {
            edge = std::min(edge + record.TabWidth, farthest);
        }
        record.Right = static_cast<int>(edge);
    }
}

int ListColumns::TotalWidth() const
{
    return order_.empty() ? 0 : Tab(order_.back()).Right;
}

int ListColumns::ColumnAtX(double x, double offset) const
{
    if (order_.empty()) {
        return 0;
    }
    const double at = x + offset;
    const auto visible = [this](int c) { return Tab(c).TabHidden == 0; };
    if (at > Tab(order_.back()).Right) {
        const auto last = std::find_if(order_.rbegin(), order_.rend(), visible);
        return last == order_.rend() ? 0 : *last;
    }
    if (at < Tab(order_.front()).Right) {
        const auto first = std::find_if(order_.begin(), order_.end(), visible);
        return first == order_.end() ? 0 : *first;
    }
    for (std::size_t position = 1; position < order_.size(); ++position) {
        const ListTabRecord& record = Tab(order_[position]);
        if (record.TabHidden == 0 && record.Left < at && at < record.Right) {
            return order_[position];
        }
    }
    return 0;
}

int ListColumns::TabBorderAt(double x, double offset, int twipsPerPixel) const
{
    const double at = x + offset;
    const double reach = 5.0 * twipsPerPixel;
    int found = -1;
    for (const int c : order_) {
        const ListTabRecord& record = Tab(c);
        if (record.TabHidden == 0 && record.Right - reach < at && at < record.Right + reach) {
            found = c;
        }
    }
    return found;
}

} // namespace listview
