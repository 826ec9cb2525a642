// Column widths from a settings file edited by hand: a width beyond any
// screen is held at the widest a column can be, and however many such
// columns a list has, each starts where the one before it ends.
#include "controls/listview/ListColumns.h"

#include <gtest/gtest.h>

#include <limits>

TEST(ListColumnsBounds, AWidthBeyondAnyScreenIsTheWidestAndTheColumnsNeverRunBackwards)
{
    listview::ListColumns columns;
    columns.Reset(3000);
    for (int c = 0; c < columns.Count(); ++c) {
        columns.SetTabWidth(c, std::numeric_limits<int>::max());
    }
    EXPECT_EQ(columns.TabWidth(0), listview::MaxTabWidth);
    EXPECT_EQ(columns.Tab(1).Left, listview::MaxTabWidth);
    for (int c = 1; c < columns.Count(); ++c) {
        ASSERT_EQ(columns.Tab(c).Left, columns.Tab(c - 1).Right) << c;
        ASSERT_GE(columns.Tab(c).Right, columns.Tab(c).Left) << c;
    }
    EXPECT_EQ(columns.TotalWidth(), std::numeric_limits<int>::max());
}
