#pragma once

#include "controls/listview/ListColumns.h"
#include "controls/listview/ListItemStore.h"
#include "controls/listview/RandomSource.h"

namespace listview {

// Sort directions of ReOrder.
inline constexpr int OrderAscending = 0;
inline constexpr int OrderDescending = 1;
inline constexpr int OrderToggle = -1;

// Sorting by one column and shuffling. Whole rows move, so every value, flag
// and colour stays with its row, and the cursor item stays the same item.
class ListSorter {
public:
    int OrderData() const { return orderData_; }
    void SetOrderData(int column) { orderData_ = column; }
    int OrderInverted() const { return orderInverted_; }
    void SetOrderInverted(int inverted) { orderInverted_ = inverted; }
    // No column sorted (after clearing the list).
    void Forget();

    // Sorts by column: order 0 ascending, 1 descending, -1 ascending for a
    // new column and toggling for the column sorted last (keepAscending 1
    // keeps a repeated sort ascending). Numeric columns compare as numbers,
    // a value that is no number counting as 0; others compare their
    // lower-case texts. Equal values keep their order within a pass.
    void ReOrder(ListItemStore& store, const ListColumns& columns, int column, int keepAscending, int order);

    // Puts more than two items in a random order (Fisher-Yates).
    void Shuffle(ListItemStore& store, RandomSource& random);

private:
    int orderData_ = -1;
    int orderInverted_ = 0;
};

} // namespace listview
