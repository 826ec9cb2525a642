#include "mainwindow/LayoutTypes.h"

#include <gtest/gtest.h>

namespace {

TEST(LayoutTypes, EveryArrangementAndTheCombinationsThatFallBackToOneBelowTheOther)
{
    constexpr int G = 0; // a grid output
    constexpr int L = 1; // a list output
    const struct {
        int numOut;
        std::array<std::int32_t, 4> isList;
        int listOrder, buttonOrder, expected;
    } rows[] = {
        {1, {G, G, G, G}, 1, 1, 0},  {1, {L, G, G, G}, 1, 1, 0},
        // Two outputs.
        {2, {G, G, G, G}, 1, 1, 1},  {2, {G, G, G, G}, 0, 1, 1},  {2, {G, G, G, G}, 1, 0, 0},
        {2, {L, L, G, G}, 1, 0, 2},  {2, {L, L, G, G}, 0, 1, 0},  {2, {L, G, G, G}, 1, 1, 0},
        {2, {G, L, G, G}, 1, 1, 0},
        // Outputs beyond NumOut do not count.
        {2, {G, G, L, L}, 1, 1, 1},
        // Three outputs.
        {3, {G, L, L, G}, 1, 0, 3},  {3, {G, L, L, G}, 0, 1, 0},  {3, {L, L, G, G}, 1, 0, 4},
        {3, {L, L, G, G}, 0, 1, 0},  {3, {G, G, L, G}, 0, 1, 5},  {3, {G, G, L, G}, 1, 0, 0},
        {3, {L, G, G, G}, 0, 1, 6},  {3, {L, G, G, G}, 1, 0, 0},  {3, {G, G, G, G}, 0, 1, 7},
        {3, {G, G, G, G}, 1, 0, 0},  {3, {L, L, L, G}, 1, 0, 8},  {3, {L, L, L, G}, 0, 1, 0},
        {3, {G, L, G, G}, 1, 1, 0},  {3, {L, G, L, G}, 1, 1, 0},
        // Four outputs.
        {4, {G, L, L, L}, 1, 0, 9},  {4, {G, L, L, L}, 0, 1, 0},  {4, {L, L, L, G}, 1, 0, 10},
        {4, {L, L, L, G}, 0, 1, 0},  {4, {G, G, G, G}, 1, 1, 11}, {4, {G, G, G, G}, 0, 1, 0},
        {4, {G, G, G, G}, 1, 0, 0},  {4, {L, L, L, L}, 1, 0, 12}, {4, {L, L, L, L}, 0, 1, 0},
        {4, {G, G, G, L}, 1, 1, 0},  {4, {L, G, L, G}, 1, 1, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.numOut << " outputs, lists " << row.isList[0] << row.isList[1]
                                        << row.isList[2] << row.isList[3] << ", orders " << row.listOrder
                                        << row.buttonOrder);
        EXPECT_EQ(LayoutTypes::Choose(row.numOut, row.isList, row.listOrder, row.buttonOrder), row.expected);
    }
}

TEST(LayoutTypes, OnlyTheValueOneTurnsAnOrderOn)
{
    EXPECT_EQ(LayoutTypes::Choose(2, {0, 0, 0, 0}, 1, 2), 0);
    EXPECT_EQ(LayoutTypes::Choose(2, {1, 1, 0, 0}, -1, 1), 0);
}

TEST(LayoutTypes, ColumnsAndTheWayToTheNextOutputFollowTheArrangement)
{
    // (layout, columns of a grid, columns of a list, beside after outputs 0, 1, 2)
    const struct {
        int layout, gridColumns, listColumns;
        bool beside0, beside1, beside2;
    } rows[] = {
        {0, 1, 1, false, false, false}, {1, 2, 2, true, true, true},    {2, 2, 2, true, true, true},
        {3, 1, 2, false, true, false},  {4, 1, 2, true, false, false},  {5, 2, 1, true, false, false},
        {6, 2, 1, false, true, false},  {7, 3, 3, true, true, true},    {8, 3, 3, true, true, true},
        {9, 3, 3, false, true, true},   {10, 3, 3, true, true, false},  {11, 4, 4, true, true, true},
        {12, 4, 4, true, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.layout);
        EXPECT_EQ(LayoutTypes::Columns(row.layout, false), row.gridColumns);
        EXPECT_EQ(LayoutTypes::Columns(row.layout, true), row.listColumns);
        EXPECT_EQ(LayoutTypes::NextBeside(row.layout, 0), row.beside0);
        EXPECT_EQ(LayoutTypes::NextBeside(row.layout, 1), row.beside1);
        EXPECT_EQ(LayoutTypes::NextBeside(row.layout, 2), row.beside2);
    }
}

} // namespace
