#include "controls/listview/ListSorter.h"

#include "platform/base/Numbers.h"

#include <QString>

#include <algorithm>
#include <numeric>
#include <utility>

namespace listview {

namespace {

// What the rows are compared by, worked out once per row.
struct SortKeys {
    bool numeric = false;
    std::vector<double> numbers;
    std::vector<QString> texts;

    bool Less(std::size_t a, std::size_t b) const { return numeric ? numbers[a] < numbers[b] : texts[a] < texts[b]; }
};

SortKeys KeysOf(const std::vector<ListItemRecord>& items, int column, bool numeric)
{
    SortKeys keys;
    keys.numeric = numeric;
    for (const ListItemRecord& item : items) {
        const ListCell cell =
            column < static_cast<int>(item.Data.size()) ? item.Data[static_cast<std::size_t>(column)] : ListCell();
        if (numeric) {
            keys.numbers.push_back(cell.Number().value_or(0.0));
        } else {
            // QString compares UTF-16 code units, the ordinal order of the lists' texts.
            keys.texts.push_back(QString::fromStdString(cell.Text()).toLower());
        }
    }
    return keys;
}

// Shell sort over positions, gaps 1, 4, 13, 40 ...: the first gap is the
// smallest one above count - 1, each pass divides it by 3 (rounded) and
// sorts by insertion with it, moving a row only in front of a strictly
// greater one.
std::vector<std::size_t> ShellOrder(const SortKeys& keys, std::size_t count)
{
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::int64_t gap = 1;
    while (gap <= static_cast<std::int64_t>(count) - 1) {
        gap = 3 * gap + 1;
    }
    while (true) {
        gap = numeric::RoundToInt64(static_cast<double>(gap) / 3.0);
        if (gap <= 0) {
            break;
        }
        const auto step = static_cast<std::size_t>(gap);
        for (std::size_t i = step; i < count; ++i) {
            const std::size_t moving = order[i];
            std::size_t j = i;
            while (j >= step && keys.Less(moving, order[j - step])) {
                order[j] = order[j - step];
                j -= step;
            }
            order[j] = moving;
        }
    }
    return order;
}

} // namespace

void ListSorter::Forget()
{
    orderData_ = -1;
}

void ListSorter::ReOrder(ListItemStore& store, const ListColumns& columns, int column, int keepAscending, int order)
{
    if (column < 0 || column >= store.NumData()) {
        return;
    }
    std::vector<ListItemRecord>& items = store.Items();
    const int cursor = store.SelectedItem();
    const bool cursorValid = cursor >= 0 && cursor < store.ItemCount();
    if (cursorValid) {
        items[static_cast<std::size_t>(cursor)].IsSelected = CursorMark;
    }

    bool descending = false;
    if (order != OrderToggle) {
        descending = order != OrderAscending;
    } else if (column != orderData_) {
        descending = false;
    } else {
        descending = !(orderInverted_ == 1 || keepAscending == 1);
    }
    orderData_ = column;

    const SortKeys keys = KeysOf(items, column, columns.DataNumeric(column) != 0);
    std::vector<std::size_t> positions = ShellOrder(keys, items.size());
    if (descending) {
        std::reverse(positions.begin(), positions.end());
    }
    orderInverted_ = descending ? 1 : 0;

    std::vector<ListItemRecord> sorted;
    sorted.reserve(items.size());
    for (const std::size_t from : positions) {
        sorted.push_back(std::move(items[from]));
    }
    items = std::move(sorted);

    if (cursorValid) {
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].IsSelected == CursorMark) {
                items[i].IsSelected = Selected;
                store.SetCursorIndex(static_cast<int>(i));
                break;
            }
        }
    }
}

void ListSorter::Shuffle(ListItemStore& store, RandomSource& random)
{
    std::vector<ListItemRecord>& items = store.Items();
    if (items.size() <= 2) {
        return;
    }
    orderData_ = -1;
    orderInverted_ = 0;
    const int cursor = store.SelectedItem();
    const bool cursorValid = cursor >= 0 && cursor < store.ItemCount();
    std::vector<std::size_t> positions(items.size());
    std::iota(positions.begin(), positions.end(), std::size_t{0});
    for (std::size_t i = positions.size() - 1; i > 0; --i) {
        const std::size_t j = random.Below(static_cast<std::uint32_t>(i + 1));
        std::swap(positions[i], positions[std::min(j, i)]);
    }
    std::vector<ListItemRecord> shuffled;
    shuffled.reserve(items.size());
    for (const std::size_t from : positions) {
        shuffled.push_back(std::move(items[from]));
    }
    items = std::move(shuffled);
    if (cursorValid) {
        const auto at = std::find(positions.begin(), positions.end(), static_cast<std::size_t>(cursor));
        store.SetCursorIndex(static_cast<int>(at - positions.begin()));
    }
}

} // namespace listview
