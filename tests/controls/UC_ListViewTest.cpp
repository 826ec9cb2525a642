// The list view as a window uses it, driven by synthetic mouse, key and drag
// events under the offscreen platform.
#include "controls/UC_ListView.h"
#include "SmallControlsMouse.h"
#include "controls/ListColumnLayout.h"
#include "controls/UC_Slider.h"
#include "foundation/Settings.h"
#include "platform/DragSource.h"
#include "platform/DropTarget.h"
#include "platform/PopupMenu.h"
#include "platform/ToolTip.h"
#include "platform/TwipsGeometry.h"
#include "platform/audio/AudioSystem.h"
#include "platform/base/Twips.h"
#include "support/ClockFixture.h"
#include "support/Gallery.h"

#include <QAction>
#include <QApplication>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace smallcontrols;

constexpr int Px = 15;        // twips per pixel in these tests
constexpr int RowTwips = 300; // rows of 20 pixels

std::string ItemName(int i)
{
    char name[16];
    std::snprintf(name, sizeof name, "Item %03d", i);
    return name;
}

void Type(QWidget& widget, Qt::Key key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&widget, &release);
}

class ListViewWidget : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        saved_ = basic::TwipsPerPixel;
        basic::TwipsPerPixel = Px;
        SetNow(Date(2026, 3, 2), At(10, 0, 0));
    }
    void TearDown() override
    {
        platform::SetDragHook(nullptr);
        platform::SetPopupMenuAnswer(nullptr);
        basic::TwipsPerPixel = saved_;
    }

    // Three columns of 1500 twips ("Title", "Number", "Path"), rows of 300
    // twips, tall enough for `rows` rows; items named "Item 000" ... with
    // their index as a number and a path.
    void Build(int items, int rows = 10, const std::function<void(UC_ListView&)>& columns = {})
    {
        list.SetNumData(3);
        list.SetNumAux(1);
        list.Init();
        list.SetOneHeight(RowTwips);
        const char* names[] = {"Title", "Number", "Path"};
        for (int c = 0; c < 3; ++c) {
            list.SetTabName(c, names[c]);
            list.SetTabWidth(c, 1500);
        }
        if (columns) {
            columns(list);
        }
        const int top = platform::TopTwips(list.ListArea());
        // The rows get rows x 300 twips and half a row more, inside 4 px of margin.
        list.resize(400, (top + rows * RowTwips + RowTwips / 2 + 4 * Px) / Px);
        list.InitTab();
        Fill(items);
    }
    void Fill(int items)
    {
        list.DeleteAll();
        list.AddItem(items);
        for (int i = 0; i < items; ++i) {
            list.SetValue(i, 0, ItemName(i));
            list.SetValue(i, 1, listview::ListCell(static_cast<double>(i)));
            list.SetValue(i, 2, "/srv/sounds/" + ItemName(i) + ".wav");
            list.SetAuxID(i, 0, "/srv/sounds/" + ItemName(i) + ".wav");
        }
        list.Refresh();
    }

    // The middle of a row on screen, in pixels of the rows' picture.
    QPoint RowPoint(int visibleRow, int column = 0) const
    {
        return {(column * 1500 + 750) / Px, (visibleRow * list.OneHeight() + list.OneHeight() / 2) / Px};
    }
    QPoint HeaderPoint(int column) const { return {(column * 1500 + 750) / Px, 5}; }

    std::vector<std::string> Titles() const
    {
        std::vector<std::string> titles;
        for (int i = 0; i < list.ItemCount(); ++i) {
            titles.push_back(list.Value(i, 0).Text());
        }
        return titles;
    }

    UC_ListView list;

private:
    int saved_ = 0;
};

TEST_F(ListViewWidget, HeaderClicksSortUnlessSortingIsDisabled)
{
    Build(3);
    list.SetValue(0, 0, "b");
    list.SetValue(1, 0, "C");
    list.SetValue(2, 0, "a");
    list.SetSelectedItem(1);
    Click(list.HeaderArea(), HeaderPoint(0));
    EXPECT_EQ(Titles(), (std::vector<std::string>{"a", "b", "C"}));
    EXPECT_EQ(list.SelectedItem(), 2) << "the cursor stays on its item";
    Click(list.HeaderArea(), HeaderPoint(0));
    EXPECT_EQ(Titles(), (std::vector<std::string>{"C", "b", "a"}));
    EXPECT_EQ(list.OrderInverted(), 1);

    Click(list.HeaderArea(), HeaderPoint(1));
    EXPECT_EQ(list.OrderData(), 1);
    EXPECT_EQ(list.Value(0, 1).Text(), "0") << "numbers ascending";

    list.SetSortDisabled(1);
    Click(list.HeaderArea(), HeaderPoint(0));
    EXPECT_EQ(list.OrderData(), 1) << "a click with sorting disabled only redraws";
    list.SetSortDisabled(0);
    list.SetClickDisabled(1);
    Click(list.HeaderArea(), HeaderPoint(0));
    EXPECT_EQ(list.OrderData(), 1);
    list.SetClickDisabled(0);
    list.ReOrder(0, 0, 0);
    EXPECT_EQ(list.OrderData(), 0) << "the window's own call sorts";
}

TEST_F(ListViewWidget, DraggingABorderResizesAndStopsAtTheMinimumWidth)
{
    Build(3);
    int moved = 0;
    list.TabMoved = [&] { ++moved; };
    QWidget& header = list.HeaderArea();
    const QPoint border(1500 / Px, 5);
    Move(header, border, Qt::NoButton);
    EXPECT_EQ(list.findChild<QWidget*>() != nullptr, true);
    Press(header, border);
    Move(header, QPoint(border.x() + 40, 5));
    EXPECT_EQ(list.TabWidth(0), 1500 + 40 * Px + 3 * Px) << "the border follows the pointer";
    Move(header, QPoint(2, 5));
    EXPECT_EQ(list.TabWidth(0), 450) << "never narrower than 450 twips";
    Release(header, QPoint(2, 5));
    EXPECT_EQ(moved, 1);
    EXPECT_EQ(list.OrderData(), -1) << "the end of a border drag does not sort";

    Move(header, QPoint(1500 / Px + 450 / Px + 20, 5), Qt::NoButton);
    Press(header, QPoint(450 / Px + 20, 5));
    Release(header, QPoint(450 / Px + 20, 5));
    EXPECT_EQ(moved, 1);
    EXPECT_EQ(list.OrderData(), 1) << "away from a border a click sorts its column";
}

TEST_F(ListViewWidget, TheColumnMenuOffersEveryOtherPosition)
{
    Build(2);
    list.SetUseTabOrder(1);
    int reordered = 0;
    list.TabReOrderd = [&] { ++reordered; };
    std::vector<bool> enabled;
    platform::SetPopupMenuAnswer([&](QMenu& menu) -> QAction* {
        for (QAction* action : menu.actions()) {
            enabled.push_back(action->isEnabled());
        }
        return menu.actions().at(0);
    });
    Click(list.HeaderArea(), HeaderPoint(2), Qt::RightButton);
    EXPECT_EQ(enabled, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(reordered, 1);
    EXPECT_EQ(list.TabOrder(2), 0);
    EXPECT_EQ(list.TabOrder(0), 1);
    EXPECT_EQ(list.OrderData(), -1) << "a right click does not sort";
}

TEST_F(ListViewWidget, PressesSelectRowsAndRaiseTheirEvents)
{
    Build(20);
    std::vector<std::string> events;
    list.MouseDown = [&](int& button, int& shift, double&, double&) {
        events.push_back("down " + std::to_string(button) + " " + std::to_string(shift));
    };
    list.Clicked = [&](double&, double&) { events.push_back("click"); };
    list.RightClicked = [&](double&, double&) { events.push_back("right"); };
    list.DblClicked = [&] { events.push_back("double"); };
    QWidget& rows = list.ListArea();
    Click(rows, RowPoint(2, 1));
    EXPECT_EQ(list.SelectedItem(), 2);
    EXPECT_EQ(list.SelectedData(), 1) << "the column of the press";
    Press(rows, RowPoint(5), Qt::LeftButton, Qt::ShiftModifier);
    Release(rows, RowPoint(5), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(list.NumSelectedItems(), 4);
    Click(rows, RowPoint(7), Qt::RightButton);
    EXPECT_EQ(list.NumSelectedItems(), 4) << "the right button does not select";
    DoubleClick(rows, RowPoint(3));
    Release(rows, RowPoint(3));
    EXPECT_EQ(events, (std::vector<std::string>{"down 1 0", "click", "down 1 1", "click", "down 2 0", "right",
                                                "down 1 0", "double", "click"}));

    list.SetShowToolTip(1);
    Move(rows, RowPoint(4, 2), Qt::NoButton);
    EXPECT_EQ(platform::ToolTipText(rows), "/srv/sounds/Item 004.wav") << "the tip shows the cell under the pointer";

    events.clear();
    list.SetClickDisabled(1);
    Click(rows, RowPoint(9));
    DoubleClick(rows, RowPoint(9));
    Click(rows, RowPoint(9), Qt::RightButton);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(list.SelectedItem(), 3) << "the release of a press inside the range settled on its row";
    EXPECT_EQ(list.NumSelectedItems(), 1);
}

TEST_F(ListViewWidget, ScrollBarRangesFollowTheItems)
{
    Build(100);
    EXPECT_EQ(list.VisibleRows(), 10);
    ASSERT_TRUE(list.VBarVisible());
    EXPECT_EQ(list.VBar()->Max(), 91);
    EXPECT_EQ(list.VBar()->LargeChange(), 9);
    EXPECT_FALSE(list.HBarVisible());

    list.VBarMove(30);
    EXPECT_EQ(list.TopItem(), 30);
    Fill(5);
    EXPECT_FALSE(list.VBarVisible()) << "five items fit";
    EXPECT_EQ(list.TopItem(), 0);
    EXPECT_EQ(list.VBar()->Value(), 0);

    list.SetTabWidth(2, 1500 + 10000);
    list.SetVbarParm();
    ASSERT_TRUE(list.HBarVisible());
    const int listWidth = platform::WidthTwips(list.ListArea());
    EXPECT_EQ(list.HBar()->Max(), 3 * 1500 + 10000 - listWidth) << "the excess of the columns";
    list.SetTabWidth(2, 60000);
    list.SetVbarParm();
    EXPECT_EQ(list.HBar()->Max(), 32767) << "standard bars end at 32767";
    list.HBarScroll(300);
    EXPECT_EQ(list.HorizontalOffset(), 300);
}

TEST_F(ListViewWidget, ShowItemScrollsOnlyWhenItHasTo)
{
    Build(100);
    list.SetTopItem(45, 1, 0);
    list.ShowItem(50, 1);
    EXPECT_EQ(list.TopItem(), 45) << "item 50 is on screen";
    list.ShowItem(50, 0);
    EXPECT_EQ(list.TopItem(), 50);
    list.ShowItem(97, 0);
    EXPECT_EQ(list.TopItem(), 91) << "limited by the bar's Max";
    list.SetSelectedItem(50);
    list.ShowSelected(0);
    EXPECT_EQ(list.TopItem(), 45) << "the cursor item is centred";
    list.ShowSelected(1);
    EXPECT_EQ(list.TopItem(), 45);
    list.ShowItem(100, 0);
    EXPECT_EQ(list.TopItem(), 45) << "no such item";
    list.SetNumWheelScroll(3);
    list.VBarScroll(-2);
    EXPECT_EQ(list.TopItem(), 39);
    EXPECT_EQ(list.VBar()->Value(), 39);
    list.Refresh();
    EXPECT_EQ(list.TopItem(), 0);
}

TEST_F(ListViewWidget, InPlaceEditorsCommitTypedTextAndLetTheWindowCancelKeys)
{
    Build(4, 10, [](UC_ListView& l) {
        l.SetUseTextCombo(0, 1);
        l.SetUseTextCombo(1, 2);
    });
    list.AddComboItem(1, "Output A");
    list.AddComboItem(1, "Output B");
    platform::TextBox* box = list.TextEditor(0);
    platform::ComboBox* combo = list.ComboEditor(0);
    ASSERT_NE(box, nullptr);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(list.TextComboVisible(), 0) << "no cursor item, no editors";

    Click(list.ListArea(), RowPoint(1, 2));
    EXPECT_EQ(list.SelectedItem(), 1);
    EXPECT_FALSE(box->isHidden());
    EXPECT_EQ(box->Text(), "Item 001") << "the editor shows the cursor item's value";
    EXPECT_EQ(platform::TopTwips(*box) / list.OneHeight(), 1) << "on the cursor row";

    std::vector<std::string> keys;
    list.TextComboKeyAction = [&](int isCombo, int tab, int action, int& keyValue, int&) {
        keys.push_back(std::to_string(isCombo) + std::to_string(tab) + std::to_string(action) + ":" +
                       std::to_string(keyValue));
        if (action == 2 && keyValue == 'x') {
            keyValue = 0; // the window refuses this character
        }
    };
    box->SetText("");
    Type(*box, Qt::Key_N, "n");
    Type(*box, Qt::Key_X, "x");
    Type(*box, Qt::Key_W, "w");
    EXPECT_EQ(list.Value(1, 0).Text(), "nw") << "typed text goes into the item, the refused key does not";
    ASSERT_GE(keys.size(), 3U);
    EXPECT_EQ(keys[0], "001:78") << "key down of N in column 0";
    EXPECT_EQ(keys[1], "002:110") << "then its character";

    int chosenColumn = -1;
    int chosenEntry = -1;
    list.ComboChaged = [&](int& column, int& entry) {
        chosenColumn = column;
        chosenEntry = entry;
    };
    combo->SetListIndex(1);
    EXPECT_EQ(list.Value(1, 1).Text(), "Output B");
    EXPECT_EQ(chosenColumn, 1);
    EXPECT_EQ(chosenEntry, 1);
    EXPECT_EQ(list.ComboIndex(-1, 1), 1);
    EXPECT_EQ(list.ComboIndex(0, 1), -1) << "a value that is no entry";
    EXPECT_EQ(list.ComboIndex(1, 0), -1) << "a column without a combo";

    chosenColumn = -1;
    Click(list.ListArea(), RowPoint(2, 2));
    EXPECT_EQ(combo->Text(), "2") << "the combo follows the new cursor item";
    EXPECT_EQ(chosenColumn, -1) << "following the cursor is no choice of the user";
    EXPECT_EQ(list.Value(2, 1).Text(), "2");

    list.SetHideTextCombo(1);
    list.ReDraw();
    EXPECT_EQ(list.TextComboVisible(), 0);
    list.SetHideTextCombo(0);
    list.ReDraw();
    EXPECT_EQ(list.TextComboVisible(), 1);
    list.SetTopItem(0, 1, 0);
    list.UnSelectAll();
    list.ReDraw();
    box->SetText("nobody's");
    EXPECT_EQ(list.Value(1, 0).Text(), "nw") << "without a cursor item nothing is written";
}

TEST_F(ListViewWidget, TimeColumnsTakeSixDigitsAsHoursMinutesSeconds)
{
    Build(2, 10, [](UC_ListView& l) {
        l.SetUseTextCombo(2, 1);
        l.SetTextIsTime(2, 1);
    });
    list.SetSelectedItem(0);
    list.ReDraw();
    platform::TextBox& box = *list.TextEditor(0);
    box.SetText("013000");
    EXPECT_EQ(box.Text(), "01:30:00");
    EXPECT_EQ(list.Value(0, 2).Text(), "01:30:00");
    box.SetText("313000");
    EXPECT_EQ(list.Value(0, 2).Text(), "313000") << "hours above 30 stay as typed";
    box.SetText("016000");
    EXPECT_EQ(list.Value(0, 2).Text(), "016000") << "minutes of 60 stay as typed";
    box.SetText("0130001");
    EXPECT_EQ(list.Value(0, 2).Text(), "0130001");
}

TEST_F(ListViewWidget, DeviceChoicesComeFromTheAudioDevices)
{
    platform::audio::AudioSystem::Install(
        platform::audio::AudioSystem::WithNullDevices(2, platform::audio::NullTiming::VirtualClock));
    Build(1, 10, [](UC_ListView& l) { l.SetUseTextCombo(1, 2 | 4); });
    list.LoadDevToLVCombo(1, 0);
    platform::ComboBox& combo = *list.ComboEditor(0);
    platform::ListBox& devices = *list.ListEditor(0);
    ASSERT_EQ(combo.ListCount(), 3);
    EXPECT_EQ(combo.List(0), "Null default");
    EXPECT_EQ(combo.List(2), "Null 2");
    EXPECT_EQ(devices.ListCount(), 3);
    EXPECT_EQ(devices.ListIndex(), -1) << "nothing is preselected";
    list.SetValue(0, 1, "Null 1");
    EXPECT_EQ(list.ComboIndex(0, 1), 1);
    platform::audio::AudioSystem::Install(nullptr);
}

// Carries a drag to the rows as the desktop would: entering, resting while
// the clock runs, then the drop.
class DragOverRows : public ListViewWidget {
protected:
    void Enter(QPoint at)
    {
        data.AddFile("/srv/sounds/new.wav");
        data.WriteTo(mime);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&list.ListArea(), &enter);
    }
    void MoveTo(QPoint at)
    {
        QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&list.ListArea(), &move);
    }
    void Leave()
    {
        QDragLeaveEvent leave;
        QApplication::sendEvent(&list.ListArea(), &leave);
    }
    // Rests (the pointer stays put) for ms of virtual time.
    void Rest(int ms) { clock.Advance(ms); }

    platform::DragData data;
    QMimeData mime;
};

TEST_F(DragOverRows, RestingInTheOuterHalfRowScrollsAPageEvery20Ms)
{
    Build(100);
    list.SetTopItem(50, 1, 0);
    int overs = 0;
    list.OLEDragOver = [&] { ++overs; };
    const QPoint top(50, 3); // within the top half row (10 px)
    Enter(top);
    MoveTo(top);
    EXPECT_EQ(list.TopItem(), 50) << "a pointer that just arrived does not scroll";
    Rest(20);
    EXPECT_EQ(list.TopItem(), 41) << "a page (LargeChange 9)";
    Rest(20);
    EXPECT_EQ(list.TopItem(), 32);
    Rest(10);
    EXPECT_EQ(list.TopItem(), 32);
    MoveTo(QPoint(51, 3));
    EXPECT_EQ(list.TopItem(), 32) << "a notification that brings a move only remembers the place";
    Rest(20);
    EXPECT_EQ(list.TopItem(), 23);
    Rest(100);
    EXPECT_EQ(list.TopItem(), 0) << "down to the first item";
    EXPECT_GT(overs, 8);
    Leave();
}

TEST_F(DragOverRows, RestingInTheNextRowScrollsARowEvery200Ms)
{
    Build(100);
    list.SetTopItem(50, 1, 0);
    const QPoint second(50, 20); // one row down from the top: 1 h
    Enter(second);
    MoveTo(second);
    Rest(180);
    EXPECT_EQ(list.TopItem(), 50);
    Rest(20);
    EXPECT_EQ(list.TopItem(), 49);
    Rest(200);
    EXPECT_EQ(list.TopItem(), 48);
    Leave();

    clock.Advance(1500);
    const int bottom = (platform::HeightTwips(list.ListArea()) - RowTwips) / Px; // 1 h above the bottom
    Enter(QPoint(50, bottom));
    MoveTo(QPoint(50, bottom));
    EXPECT_EQ(list.TopItem(), 48) << "over a second since the last step only restarts the count";
    Rest(180);
    EXPECT_EQ(list.TopItem(), 48);
    Rest(20);
    EXPECT_EQ(list.TopItem(), 49);
    Leave();

    list.SetNoOleScroll(1);
    Enter(QPoint(50, 3));
    MoveTo(QPoint(50, 3));
    Rest(400);
    EXPECT_EQ(list.TopItem(), 49) << "NoOleScroll";
    Leave();
}

TEST_F(DragOverRows, ADropRaisesOLEDragDropWithTheFilesAndThePlace)
{
    Build(20);
    std::vector<std::string> files;
    int row = -1;
    int button = 0;
    list.OLEDragDrop = [&](platform::DragData& dropped, int& effect, int& b, int&, double&, double& y) {
        files = dropped.Files();
        row = list.YsItem(y);
        button = b;
        effect = platform::DropEffectCopy;
    };
    Enter(RowPoint(3));
    MoveTo(RowPoint(3));
    QDropEvent drop(RowPoint(3), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&list.ListArea(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(files, (std::vector<std::string>{"/srv/sounds/new.wav"}));
    EXPECT_EQ(row, 3);
    EXPECT_EQ(button, 1);
}

TEST_F(ListViewWidget, DraggingSelectedRowsOutOffersTheirFilesAsUrls)
{
    Build(10);
    QStringList urls;
    int offeredEffects = 0;
    platform::SetDragHook([&](QWidget&, const platform::DragData& data, int allowed) {
        QMimeData mime;
        data.WriteTo(mime);
        for (const QUrl& url : mime.urls()) {
            urls.push_back(url.toString());
        }
        offeredEffects = allowed;
        return platform::DropEffectMove;
    });
    int starts = 0;
    list.OLEStartDrag = [&](platform::DragData& data, int& allowed) {
        ++starts;
        for (int i = 0; i < list.ItemCount(); ++i) {
            if (list.IsSelected(i) == 1) {
                data.AddFile(list.AuxID(i, 0).Text());
            }
        }
        allowed = platform::DropEffectCopy | platform::DropEffectMove;
    };
    int completed = -1;
    list.OLECompleteDrag = [&](int& effect) { completed = effect; };
    int clicks = 0;
    list.Clicked = [&](double&, double&) { ++clicks; };

    Click(list.ListArea(), RowPoint(2));
    Press(list.ListArea(), RowPoint(4), Qt::LeftButton, Qt::ShiftModifier);
    Release(list.ListArea(), RowPoint(4), Qt::LeftButton, Qt::ShiftModifier);
    clicks = 0;
    Press(list.ListArea(), RowPoint(3));
    Move(list.ListArea(), RowPoint(3) + QPoint(8, 0));
    EXPECT_EQ(starts, 0) << "8 pixels are not yet a drag";
    Move(list.ListArea(), RowPoint(3) + QPoint(8, 9));
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(urls, (QStringList{"file:///srv/sounds/Item 002.wav", "file:///srv/sounds/Item 003.wav",
                                 "file:///srv/sounds/Item 004.wav"}));
    EXPECT_EQ(offeredEffects, platform::DropEffectCopy | platform::DropEffectMove);
    EXPECT_EQ(completed, platform::DropEffectMove);
    Move(list.ListArea(), RowPoint(6));
    Release(list.ListArea(), RowPoint(6));
    EXPECT_EQ(starts, 1) << "one drag per press";
    EXPECT_EQ(clicks, 0) << "the drag took the release";
    EXPECT_EQ(list.NumSelectedItems(), 3) << "and left the dragged rows selected";
}

// Whatever came before, a plain click leaves its row selected alone by the
// time the window hears of it; rows picked with Ctrl still drag together.
TEST_F(ListViewWidget, APlainClickAfterCtrlClicksSelectsItsRowAloneAndCtrlRowsStillDrag)
{
    Build(10);
    std::vector<int> cursorAtClick;
    list.Clicked = [&](double&, double&) { cursorAtClick.push_back(list.SelectedItem()); };
    QStringList dragged;
    platform::SetDragHook([&](QWidget&, const platform::DragData& data, int) {
        QMimeData mime;
        data.WriteTo(mime);
        for (const QUrl& url : mime.urls()) {
            dragged.push_back(url.fileName());
        }
        return platform::DropEffectNone;
    });
    list.OLEStartDrag = [&](platform::DragData& data, int&) {
        for (int i = 0; i < list.ItemCount(); ++i) {
            if (list.IsSelected(i) == 1) {
                data.AddFile(list.AuxID(i, 0).Text());
            }
        }
    };
    QWidget& rows = list.ListArea();
    const auto ctrlClick = [&rows](QPoint at) {
        Press(rows, at, Qt::LeftButton, Qt::ControlModifier);
        Release(rows, at, Qt::LeftButton, Qt::ControlModifier);
    };

    Click(rows, RowPoint(1));
    ctrlClick(RowPoint(3));
    Click(rows, RowPoint(5));
    EXPECT_EQ(list.NumSelectedItems(), 1);
    EXPECT_EQ(list.IsSelected(5), 1);
    ctrlClick(RowPoint(7));
    Click(rows, RowPoint(7));
    EXPECT_EQ(list.NumSelectedItems(), 1) << "also on a row the Ctrl click had selected";
    EXPECT_EQ(cursorAtClick, (std::vector<int>{1, 3, 5, 7, 7}));

    ctrlClick(RowPoint(2));
    Press(rows, RowPoint(7));
    Move(rows, RowPoint(7) + QPoint(0, 9));
    Release(rows, RowPoint(7) + QPoint(0, 9));
    EXPECT_EQ(dragged, (QStringList{"Item 002.wav", "Item 007.wav"}));
    EXPECT_EQ(list.NumSelectedItems(), 2) << "a drag nobody took leaves both selected";
}

TEST_F(ListViewWidget, GrabScrollingMovesTheRowsWithThePointer)
{
    Build(100);
    list.SetUseScroll(1);
    list.SetTopItem(20, 1, 0);
    Press(list.ListArea(), RowPoint(8));
    Move(list.ListArea(), RowPoint(8) - QPoint(0, 3 * RowTwips / Px));
    EXPECT_EQ(list.TopItem(), 23) << "pulling up three rows shows three later items";
    Release(list.ListArea(), RowPoint(5));
}

TEST_F(ListViewWidget, SliderBarsServeWithUseUCBar)
{
    list.SetUseUCBar(1);
    Build(100);
    ASSERT_TRUE(list.VBar()->IsSlider());
    auto* slider = dynamic_cast<UC_Slider*>(&list.VBar()->Widget());
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->Max(), 91);
    EXPECT_EQ(slider->LargeChange(), 9);
    list.VBarScroll(1);
    EXPECT_EQ(list.TopItem(), 3) << "a slider does not report values the program sets: the list redraws itself";
    // The pointer is a tenth of the track, at least 8 pixels.
    EXPECT_GE(slider->PointerSize(), 8 * Px);

    list.ShowItem(60, 0);
    EXPECT_EQ(slider->Value(), 60);
    // A press at the track's start moves the list with the slider.
    Click(*slider->findChildren<QWidget*>().front(), QPoint(5, 1));
    EXPECT_EQ(list.TopItem(), slider->Value());
    testsupport::SaveToGallery(list.grab().toImage(), "listview_slider_bars");
}

TEST_F(ListViewWidget, ColumnLayoutIsSavedUnderTheWindowsKeys)
{
    Build(1);
    list.SetTabWidth(2, 3000);
    list.SetTabOrder(2, 0);
    basic::SaveListColumnWidths(list, "LV1_", 0, 1.5);
    basic::SaveListColumnOrder(list, "LV1_", 0);
    EXPECT_EQ(basic::GetSetting("TabWidth_LV1_1"), "1000");
    EXPECT_EQ(basic::GetSetting("TabWidth_LV1_3"), "2000");
    EXPECT_EQ(basic::GetSetting("TabOrder_LV1_3"), "0");
    EXPECT_EQ(basic::GetSetting("TabOrder_LV1_1"), "1");
    basic::SaveListColumnOrder(list, "LV9_", 2);
    EXPECT_EQ(basic::GetSetting("TabOrder_LV9_3"), "1") << "the offset shifts the numbers";

    UC_ListView empty;
    empty.SetNumData(0);
    empty.Init();
    basic::SaveListColumnWidths(empty, "LV7_", 0, 1);
    EXPECT_EQ(basic::GetSetting("TabWidth_LV7_1", "none"), "none") << "no columns, nothing written";
}

} // namespace
