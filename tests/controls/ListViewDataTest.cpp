// The list view's rows, selection, columns and order, without any painting.
#include "controls/listview/ListColumns.h"
#include "controls/listview/ListItemStore.h"
#include "controls/listview/ListSorter.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

using listview::ListCell;
using listview::ListItemStore;

// A list of items whose first column names them ("a", "b", ...).
ListItemStore Named(std::vector<std::string> names, int numData = 2)
{
    ListItemStore store;
    store.SetNumData(numData);
    store.AddItem(static_cast<int>(names.size()));
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        store.SetValue(i, 0, names[static_cast<std::size_t>(i)]);
    }
    return store;
}

std::vector<std::string> Column(const ListItemStore& store, int column = 0)
{
    std::vector<std::string> texts;
    for (int i = 0; i < store.ItemCount(); ++i) {
        texts.push_back(store.Value(i, column).Text());
    }
    return texts;
}

std::vector<int> Flags(const ListItemStore& store)
{
    std::vector<int> flags;
    for (int i = 0; i < store.ItemCount(); ++i) {
        flags.push_back(store.IsSelected(i));
    }
    return flags;
}

TEST(ListItems, MinusOneIsTheCursorItemAndMinusTwoTheLast)
{
    ListItemStore store;
    store.SetValue(-2, 0, "x");
    EXPECT_EQ(store.ItemCount(), 0);
    EXPECT_TRUE(store.Value(-2, 0).IsEmpty());

    store = Named({"a", "b", "c"});
    store.SetValue(-1, 1, "nobody");
    EXPECT_TRUE(store.Value(-1, 1).IsEmpty()) << "no cursor item: nothing written, Empty read";
    EXPECT_TRUE(store.Value(1, 1).IsEmpty());

    store.SetSelectedItem(1);
    store.SetValue(-1, 1, ListCell(2.5));
    EXPECT_EQ(store.Value(1, 1).Text(), "2.5");
    EXPECT_TRUE(store.Value(1, 1).IsNumber());
    store.SetValue(-2, 1, "last");
    EXPECT_EQ(store.Value(2, 1).Text(), "last");
    store.SetAuxID(-2, 0, "/srv/last.wav");
    EXPECT_EQ(store.AuxID(2, 0).Text(), "/srv/last.wav");
    EXPECT_TRUE(store.AuxID(2, 1).IsEmpty()) << "aux index beyond NumAux";
    EXPECT_TRUE(store.Value(0, 2).IsEmpty()) << "column beyond NumData";
    store.SetValue(0, 5, "ignored");
    EXPECT_EQ(store.Value(0, 0).Text(), "a");

    store.SetIsSelected(-2, 1);
    EXPECT_EQ(store.IsSelected(2), 1) << "-2 is taken when written";
    EXPECT_EQ(store.IsSelected(-2), 0) << "but not when read";
    store.SetDispColor(-2, 0xFF);
    EXPECT_EQ(store.DispColor(-2), 0);
    EXPECT_EQ(store.DispColor(-1), store.DispColor(1));
    EXPECT_EQ(store.DispColor(2), 0xFF);
    store.SetIconType(-2, 3);
    EXPECT_EQ(store.IconType(-2), 3);

    store.SetIsSelected(-1, 0);
    EXPECT_EQ(store.SelectedItem(), -1);
    EXPECT_EQ(store.IsSelected(1), 0);

    store.SetSelectedItem(7);
    EXPECT_EQ(store.SelectedItem(), 2) << "clamped to the last item";
    store.SetSelectedItem(-9);
    EXPECT_EQ(store.SelectedItem(), -1);
    EXPECT_EQ(store.Value(-5, 0).Text(), "");
    EXPECT_EQ(store.IsSelected(3), 0);
}

TEST(ListItems, AddMakesDefaultColouredItemsAndInsertBlackOnesBeforeTheIndex)
{
    ListItemStore store = Named({"a", "b"});
    store.SetDefaultTextColor(0x123456);
    store.AddItem(1);
    EXPECT_EQ(store.DispColor(2), 0x123456);
    EXPECT_EQ(store.IconType(2), 0);

    store.InsertItem(-1, 1);
    EXPECT_EQ(store.ItemCount(), 3) << "no cursor item: nothing inserted";

    store.SetSelectedItem(1);
    store.InsertItem(0, 0);
    EXPECT_EQ(store.ItemCount(), 4) << "a count of 0 inserts one";
    EXPECT_EQ(Column(store), (std::vector<std::string>{"", "a", "b", ""}));
    EXPECT_EQ(store.DispColor(0), 0);
    EXPECT_EQ(store.SelectedItem(), 2) << "the cursor stays on b";

    store.InsertItem(store.ItemCount(), 3);
    EXPECT_EQ(store.ItemCount(), 7);
    EXPECT_EQ(store.SelectedItem(), 2);
    store.InsertItem(-1, 2);
    EXPECT_EQ(Column(store)[4], "b");
    EXPECT_EQ(store.SelectedItem(), 4) << "inserting at the cursor moves it along";
    EXPECT_EQ(store.ItemCount(), 9);
    store.InsertItem(10, 1);
    EXPECT_EQ(store.ItemCount(), 9) << "past the end nothing is inserted";
    store.InsertItem(9, 1);
    EXPECT_EQ(store.ItemCount(), 10);
}

TEST(ListItems, DeletingKeepsTheCursorOnItsItemOrLeavesNone)
{
    ListItemStore store = Named({"a", "b", "c", "d", "e"});
    store.SetSelectedItem(3);
    store.DeleteItem(1);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"a", "c", "d", "e"}));
    EXPECT_EQ(store.SelectedItem(), 2) << "still d";
    store.DeleteItem(-1);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"a", "c", "e"}));
    EXPECT_EQ(store.Value(-1, 0).Text(), "e") << "the cursor names the following item";
    store.DeleteItem(-1);
    EXPECT_EQ(store.SelectedItem(), -1) << "no item follows the last";
    store.DeleteItem(9);
    EXPECT_EQ(store.ItemCount(), 2);
}

TEST(ListItems, DeleteItemExTakesAnyRange)
{
    ListItemStore store = Named({"a", "b", "c", "d", "e", "f"});
    store.SetSelectedItem(3);
    store.DeleteItemEx(5, 2);
    EXPECT_EQ(store.ItemCount(), 6);
    store.DeleteItemEx(1, 2);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"a", "d", "e", "f"}));
    EXPECT_EQ(store.SelectedItem(), 3) << "the cursor index is not adjusted";
    store.DeleteItemEx(3, 99);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"a", "d", "e"}));
    EXPECT_EQ(store.SelectedItem(), -1) << "an index past the end names no item";
    store.DeleteItemEx(-5, 0);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"d", "e"}));
    store.DeleteItemEx(-10, 1000);
    EXPECT_EQ(store.ItemCount(), 0);
    store.DeleteItemEx(0, 0);
    store.AddItem(2);
    EXPECT_EQ(store.SelectedItem(), -1) << "new items do not inherit a stale cursor";
    EXPECT_TRUE(store.Value(0, 0).IsEmpty()) << "fresh items after emptying";
}

TEST(ListItems, SelectionCountsDeletesAndMoves)
{
    ListItemStore store = Named({"a", "b", "c", "d"});
    store.SetIsSelected(0, 1);
    store.SetIsSelected(2, 2);
    EXPECT_EQ(store.NumSelectedItems(), 1) << "only the value 1 counts";
    EXPECT_EQ(store.MultiSelected(), 0);
    store.SetIsSelected(3, 1);
    EXPECT_EQ(store.MultiSelected(), 1);
    store.SetSelectedItem(3);
    store.DeleteSelected();
    EXPECT_EQ(Column(store), (std::vector<std::string>{"b"})) << "every non-zero flag is dropped";
    EXPECT_EQ(store.SelectedItem(), -1);

    store = Named({"a", "b", "c"});
    store.MoveCursor(0);
    EXPECT_EQ(store.SelectedItem(), 0) << "without a cursor both directions land on item 0";
    store.MoveCursor(1);
    store.MoveCursor(1);
    store.MoveCursor(1);
    EXPECT_EQ(store.SelectedItem(), 2);
    EXPECT_EQ(Flags(store), (std::vector<int>{0, 0, 1}));
    store.SelectAll();
    EXPECT_EQ(store.NumSelectedItems(), 3);
    EXPECT_EQ(store.SelectedItem(), 2);
    store.UnSelectAll();
    EXPECT_EQ(store.NumSelectedItems(), 0);
    EXPECT_EQ(store.SelectedItem(), -1);
}

TEST(ListItems, ExchangeMovesTheCursorItemAndStopsAtBothEnds)
{
    ListItemStore store = Named({"a", "b", "c"});
    store.SetAuxID(0, 0, "/a.wav");
    store.SetSelectedItem(0);
    store.SetIsSelected(2, 1);
    store.ExchangeItem(-1);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"a", "b", "c"})) << "nothing above the first item";
    store.ExchangeItem(1);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(store.AuxID(1, 0).Text(), "/a.wav");
    EXPECT_EQ(store.SelectedItem(), 1);
    EXPECT_EQ(Flags(store), (std::vector<int>{0, 1, 0}));
    store.ExchangeItem(1);
    store.ExchangeItem(1);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"b", "c", "a"})) << "nothing below the last item";
    EXPECT_EQ(store.SelectedItem(), 2);
    store.ExchangeItem(-2);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"a", "c", "b"}));

    ListItemStore one = Named({"x"});
    one.SetSelectedItem(0);
    one.ExchangeItem(0);
    EXPECT_EQ(one.SelectedItem(), 0);
}

TEST(ListItems, PressesSelectPlainWithShiftAndWithCtrl)
{
    ListItemStore store = Named({"0", "1", "2", "3", "4", "5"});
    store.Press(3, 1, false);
    EXPECT_EQ(Flags(store), (std::vector<int>{1, 1, 1, 1, 0, 0})) << "Shift without a cursor starts at item 0";
    EXPECT_EQ(store.SelectedItem(), 3);
    store.Press(2, 0, false);
    EXPECT_EQ(Flags(store), (std::vector<int>{1, 1, 1, 1, 0, 0})) << "a press on the range keeps it";
    store.Press(5, 0, false);
    EXPECT_EQ(Flags(store), (std::vector<int>{0, 0, 0, 0, 0, 1}));
    store.Press(1, 1, false);
    EXPECT_EQ(Flags(store), (std::vector<int>{0, 1, 1, 1, 1, 1})) << "ranges run upwards too";
    store.Press(0, 0, false);
    EXPECT_EQ(Flags(store), (std::vector<int>{1, 0, 0, 0, 0, 0})) << "after a range, an unselected row alone";

    store.Press(4, 2, false);
    EXPECT_EQ(Flags(store), (std::vector<int>{1, 0, 0, 0, 1, 0}));
    EXPECT_EQ(store.SelectedItem(), 4);
    store.Press(2, 0, false);
    EXPECT_EQ(Flags(store), (std::vector<int>{0, 0, 1, 0, 0, 0})) << "the press after a toggle selects its row alone";
    EXPECT_EQ(store.SelectedItem(), 2);

    store.Press(4, 2, false);
    store.Press(0, 2, false);
    store.Press(0, 2, false);
    EXPECT_EQ(store.SelectedItem(), 2) << "Ctrl on the cursor item moves it to the lowest selected";
    store.Press(2, 2, false);
    store.Press(4, 2, false);
    EXPECT_EQ(Flags(store), (std::vector<int>{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(store.SelectedItem(), -1);

    store.Press(1, 0, false);
    store.Press(3, 3, false);
    EXPECT_EQ(Flags(store), (std::vector<int>{0, 0, 0, 1, 0, 0})) << "Shift and Ctrl together act as a plain press";
    store.Press(5, 1, true);
    EXPECT_EQ(Flags(store), (std::vector<int>{0, 0, 0, 0, 0, 1})) << "NoMultiSelect";
}

TEST(ListItems, AfterDeleteAllAPlainPressSelectsAgain)
{
    ListItemStore store = Named({"0", "1"});
    store.Press(1, 2, false);
    store.DeleteAll();
    EXPECT_EQ(store.ItemCount(), 0);
    store.AddItem(3);
    store.Press(2, 0, false);
    EXPECT_EQ(Flags(store), (std::vector<int>{0, 0, 1})) << "the toggle was forgotten";
}

TEST(ListItems, ItemAtYCountsRowsFromTheTopItem)
{
    ListItemStore store = Named({"0", "1", "2", "3", "4"});
    EXPECT_EQ(store.ItemAtY(0, 300, 1), 1);
    EXPECT_EQ(store.ItemAtY(599, 300, 1), 2);
    EXPECT_EQ(store.ItemAtY(3000, 300, 0), 5) << "below the last item";
    EXPECT_EQ(store.ItemAtY(100, 0, 0), 0);
}

TEST(ListItems, ResetNumTabKeepsWhatStillFits)
{
    ListItemStore store = Named({"a"}, 3);
    store.SetValue(0, 2, "third");
    store.SetNumData(2);
    store.ResetNumTab();
    EXPECT_TRUE(store.Value(0, 2).IsEmpty());
    store.SetNumData(4);
    store.ResetNumTab();
    store.SetValue(0, 3, "fourth");
    EXPECT_EQ(store.Value(0, 0).Text(), "a");
    EXPECT_EQ(store.Value(0, 3).Text(), "fourth");
}

TEST(ListColumns, WidthsRangesAndHiddenColumns)
{
    listview::ListColumns columns;
    columns.Reset(3);
    columns.SetTabWidth(0, 100);
    EXPECT_EQ(columns.TabWidth(0), 450);
    columns.SetTabWidth(1, 1000);
    columns.SetTabWidth(2, 2000);
    EXPECT_EQ(columns.Tab(2).Left, 1450);
    columns.SetTabHidden(1, 1);
    columns.CalcTabPositions();
    EXPECT_EQ(columns.TabWidth(1), 1000);
    EXPECT_EQ(columns.Tab(1).Right, 450);
    EXPECT_EQ(columns.Tab(2).Left, 450) << "the next column starts where the hidden one would have";
    EXPECT_EQ(columns.TotalWidth(), 2450);

    EXPECT_EQ(columns.ColumnAtX(200, 0), 0);
    EXPECT_EQ(columns.ColumnAtX(500, 0), 2);
    EXPECT_EQ(columns.ColumnAtX(450, 0), 0) << "a border is in no column";
    EXPECT_EQ(columns.ColumnAtX(9000, 0), 2);
    EXPECT_EQ(columns.ColumnAtX(0, 300), 0);
    EXPECT_EQ(columns.ColumnAtX(200, 300), 2) << "the offset scrolls the columns";
    EXPECT_EQ(columns.TabBorderAt(440, 0, 15), 0);
    EXPECT_EQ(columns.TabBorderAt(2400, 0, 15), 2);
    EXPECT_EQ(columns.TabBorderAt(1000, 0, 15), -1);
    EXPECT_EQ(columns.TabWidth(7), 0);
    columns.SetTabWidth(-1, 900);
}

TEST(ListColumns, SetTabOrderMovesOneColumnAndShiftsTheOthers)
{
    listview::ListColumns columns;
    columns.Reset(3);
    columns.SetTabOrder(2, 0);
    EXPECT_EQ(columns.DisplayOrder(), (std::vector<int>{2, 0, 1}));
    columns.Reset(3);
    columns.SetTabOrder(0, 2);
    EXPECT_EQ(columns.DisplayOrder(), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(columns.TabOrder(0), 2);
    EXPECT_EQ(columns.TabOrder(1), 0);
    columns.SetTabOrder(0, 3);
    columns.SetTabOrder(5, 0);
    columns.SetTabOrder(0, -1);
    EXPECT_EQ(columns.DisplayOrder(), (std::vector<int>{1, 2, 0})) << "positions outside the columns are ignored";
    for (int c = 0; c < 3; ++c) {
        columns.SetTabWidth(c, 500 * (c + 1));
    }
    EXPECT_EQ(columns.Tab(1).Left, 0);
    EXPECT_EQ(columns.Tab(0).Left, 2500) << "ranges follow the display order";
}

TEST(ListColumns, UseTextComboShowsTheHighestKind)
{
    listview::ListColumns columns;
    columns.Reset(2);
    columns.SetUseTextCombo(0, 1 | 2);
    EXPECT_EQ(columns.Tab(0).FrontObj, 2);
    columns.SetUseTextCombo(1, 1 | 4);
    EXPECT_EQ(columns.Tab(1).FrontObj, 4);
}

class ListOrder : public testing::Test {
protected:
    void Sort(int column, int keepAscending = 0, int order = -1)
    {
        sorter.ReOrder(store, columns, column, keepAscending, order);
    }
    void Fill(std::vector<std::string> names)
    {
        store = Named(std::move(names));
        columns.Reset(store.NumData());
        sorter = {};
    }

    ListItemStore store;
    listview::ListColumns columns;
    listview::ListSorter sorter;
};

TEST_F(ListOrder, HeaderClicksToggleAndKeepAscendingHolds)
{
    Fill({"b", "c", "a"});
    Sort(0);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(sorter.OrderInverted(), 0);
    Sort(0);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(sorter.OrderInverted(), 1);
    Sort(0);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"a", "b", "c"}));

    Sort(0, 0, 1);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"c", "b", "a"})) << "order 1 sorts descending";
    Sort(0, 0, 1);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"c", "b", "a"})) << "whatever came before";
    Sort(0, 1);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"a", "b", "c"}));
    Sort(0, 1);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"a", "b", "c"})) << "keepAscending repeats ascending";
    EXPECT_EQ(sorter.OrderData(), 0);

    Sort(1);
    EXPECT_EQ(sorter.OrderData(), 1);
    EXPECT_EQ(sorter.OrderInverted(), 0) << "a new column starts ascending";
}

TEST_F(ListOrder, TextsIgnoreCaseAndNumbersCompareAsNumbers)
{
    Fill({"b", "A", "a"});
    Sort(0);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"A", "a", "b"})) << "equal texts keep their order";

    Fill({"10", "9", "100"});
    Sort(0);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"10", "100", "9"}));
    Fill({"10", "9", "100"});
    columns.SetDataNumeric(0, 1);
    Sort(0);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"9", "10", "100"}));

    Fill({"5", "n/a", "", "-2", "1e1", "x"});
    store.SetValue(5, 0, ListCell(3.5));
    columns.SetDataNumeric(0, 1);
    Sort(0);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"-2", "n/a", "", "3.5", "5", "1e1"}))
        << "a text that is no number sorts as 0, like an empty value";
}

TEST_F(ListOrder, TheCursorItemStaysTheSameItem)
{
    Fill({"d", "b", "e", "a", "c"});
    store.SetAuxID(0, 0, "/d.wav");
    store.SetSelectedItem(0);
    store.SetIsSelected(4, 1);
    Sort(0);
    EXPECT_EQ(store.SelectedItem(), 3);
    EXPECT_EQ(store.Value(-1, 0).Text(), "d");
    EXPECT_EQ(store.AuxID(-1, 0).Text(), "/d.wav");
    EXPECT_EQ(Flags(store), (std::vector<int>{0, 0, 1, 1, 0})) << "flags travel with their rows, no mark is left";
    store.DeleteItem(-1);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"a", "b", "c", "e"}));

    Fill({"x", "n/a", "y"});
    columns.SetDataNumeric(0, 1);
    store.SetSelectedItem(2);
    Sort(0);
    EXPECT_EQ(store.Value(-1, 0).Text(), "y");
    EXPECT_EQ(store.NumSelectedItems(), 1);
    store.DeleteSelected();
    EXPECT_EQ(store.ItemCount(), 2) << "exactly the cursor row is deleted";
    EXPECT_EQ(Column(store), (std::vector<std::string>{"x", "n/a"}));

    Fill({});
    Sort(0);
    EXPECT_EQ(store.ItemCount(), 0);
    Fill({"only"});
    Sort(0);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"only"}));
    Sort(9);
    EXPECT_EQ(sorter.OrderData(), 0) << "a column that does not exist is not sorted";
}

// Returns the numbers it was given, in turn.
class ScriptedRandom final : public listview::RandomSource {
public:
    explicit ScriptedRandom(std::deque<std::uint32_t> answers) : answers_(std::move(answers)) {}
    std::uint32_t Below(std::uint32_t bound) override
    {
        bounds.push_back(bound);
        const std::uint32_t answer = answers_.empty() ? 0 : answers_.front();
        if (!answers_.empty()) {
            answers_.pop_front();
        }
        return answer;
    }
    std::vector<std::uint32_t> bounds;

private:
    std::deque<std::uint32_t> answers_;
};

TEST_F(ListOrder, ShuffleIsFisherYatesAndKeepsTheCursorItem)
{
    Fill({"a", "b"});
    ScriptedRandom none({});
    sorter.Shuffle(store, none);
    EXPECT_EQ(Column(store), (std::vector<std::string>{"a", "b"})) << "two items stay";
    EXPECT_TRUE(none.bounds.empty());

    Fill({"a", "b", "c", "d"});
    Sort(0);
    store.SetSelectedItem(1);
    // i = 3 swaps with 0, i = 2 with 2, i = 1 with 0.
    ScriptedRandom random({0, 2, 0});
    sorter.Shuffle(store, random);
    EXPECT_EQ(random.bounds, (std::vector<std::uint32_t>{4, 3, 2}));
    EXPECT_EQ(Column(store), (std::vector<std::string>{"b", "d", "c", "a"}));
    EXPECT_EQ(store.Value(-1, 0).Text(), "b");
    EXPECT_EQ(sorter.OrderData(), -1);
    EXPECT_EQ(sorter.OrderInverted(), 0);

    listview::SeededRandom seeded(42);
    Fill({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
    sorter.Shuffle(store, seeded);
    std::vector<std::string> values = Column(store);
    std::sort(values.begin(), values.end());
    EXPECT_EQ(values, (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
}

} // namespace
