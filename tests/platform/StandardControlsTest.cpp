#include "platform/ComboBox.h"
#include "platform/InputCodes.h"
#include "platform/ListBox.h"
#include "platform/ScrollBar.h"
#include "platform/TextBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void Type(QWidget& widget, Qt::Key key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(&widget, &release);
}

TEST(KeyCodes, AreThoseOfThePhysicalKey)
{
    const auto code = [](Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text = {}, quint32 scanCode = 0) {
        const QKeyEvent event(QEvent::KeyPress, key, modifiers, scanCode, 0, 0, text);
        return platform::VirtualKeyCode(event);
    };
    EXPECT_EQ(code(Qt::Key_A, Qt::NoModifier, "a"), 65);
    EXPECT_EQ(code(Qt::Key_A, Qt::ShiftModifier, "A"), 65);
    EXPECT_EQ(code(Qt::Key_0, Qt::NoModifier, "0"), 48);
    EXPECT_EQ(code(Qt::Key_Exclam, Qt::ShiftModifier, "!"), 49) << "Shift+1 is still the 1 key";
    EXPECT_EQ(code(Qt::Key_Ampersand, Qt::ShiftModifier, "&", 16), 55) << "by scan code on any layout";
    EXPECT_EQ(code(Qt::Key_1, Qt::KeypadModifier, "1"), 97);
    EXPECT_EQ(code(Qt::Key_0, Qt::KeypadModifier, "0"), 96);
    EXPECT_EQ(code(Qt::Key_F1, Qt::NoModifier), 112);
    EXPECT_EQ(code(Qt::Key_F12, Qt::NoModifier), 123);
    EXPECT_EQ(code(Qt::Key_Return, Qt::NoModifier, "\r"), 13);
    EXPECT_EQ(code(Qt::Key_Escape, Qt::NoModifier), 27);
    EXPECT_EQ(code(Qt::Key_Space, Qt::NoModifier, " "), 32);
    EXPECT_EQ(code(Qt::Key_Left, Qt::NoModifier), 37);
    EXPECT_EQ(code(Qt::Key_Delete, Qt::NoModifier), 46);
    EXPECT_EQ(platform::ShiftCode(Qt::ShiftModifier | Qt::AltModifier), 5);
    EXPECT_EQ(platform::ShiftCode(Qt::ControlModifier | Qt::KeypadModifier), 2);
    EXPECT_EQ(platform::MouseButtonsCode(Qt::LeftButton | Qt::MiddleButton), 5);
    EXPECT_EQ(platform::MouseButtonCode(Qt::RightButton), 2);
}

TEST(TextBox, AKeyDownCodeOfZeroSwallowsTheKey)
{
    platform::TextBox box;
    std::vector<int> downs;
    std::vector<int> presses;
    box.Keys.KeyDown = [&](int& keyCode, int shift) {
        downs.push_back(keyCode * 10 + shift);
        if (keyCode == 'X') {
            keyCode = 0;
        }
    };
    box.Keys.KeyPress = [&](int& keyAscii) { presses.push_back(keyAscii); };
    Type(box, Qt::Key_A, "a");
    Type(box, Qt::Key_X, "X", Qt::ShiftModifier);
    Type(box, Qt::Key_B, "b");
    EXPECT_EQ(box.Text(), "ab");
    EXPECT_EQ(downs, (std::vector<int>{650, 881, 660}));
    EXPECT_EQ(presses, (std::vector<int>{'a', 'b'})) << "a swallowed key types nothing";
}

TEST(TextBox, KeyPressMaySwallowOrRetypeTheCharacter)
{
    platform::TextBox box;
    box.Keys.KeyPress = [](int& keyAscii) {
        if (keyAscii >= 'a' && keyAscii <= 'z') {
            keyAscii -= 32; // upper case
        } else if (keyAscii < '0' || keyAscii > '9') {
            keyAscii = keyAscii == 8 ? 8 : 0; // digits, letters and Backspace only
        }
    };
    Type(box, Qt::Key_A, "a");
    Type(box, Qt::Key_Minus, "-");
    Type(box, Qt::Key_1, "1");
    Type(box, Qt::Key_B, "b");
    EXPECT_EQ(box.Text(), "A1B");
    Type(box, Qt::Key_Backspace, "\b");
    EXPECT_EQ(box.Text(), "A1");
}

TEST(TextBox, KeyUpSeesTheReleaseAndChangeFollowsTextOnlyWhenItChanges)
{
    platform::TextBox box;
    std::vector<int> ups;
    int changes = 0;
    box.Keys.KeyUp = [&](int& keyCode, int) { ups.push_back(keyCode); };
    box.OnChange = [&] { ++changes; };
    Type(box, Qt::Key_Q, "q");
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_Q, Qt::NoModifier, "q", true);
    QApplication::sendEvent(&box, &repeated);
    EXPECT_EQ(ups, (std::vector<int>{'Q'})) << "auto-repeat releases are no key-up";
    box.SetText("q");
    box.SetText("new");
    EXPECT_EQ(changes, 2);
}

TEST(TextBox, LockedKeepsItsTextAndStillRaisesKeys)
{
    platform::TextBox box;
    box.SetText("fixed");
    box.SetLocked(true);
    int downs = 0;
    box.Keys.KeyDown = [&](int&, int) { ++downs; };
    Type(box, Qt::Key_Z, "z");
    EXPECT_EQ(box.Text(), "fixed");
    EXPECT_EQ(downs, 1);
}

TEST(ComboBox, KeysOfItsEditFieldAreRaisedOnceAndCanBeSwallowed)
{
    platform::ComboBox combo;
    std::vector<int> downs;
    combo.Keys.KeyDown = [&](int& keyCode, int) {
        downs.push_back(keyCode);
        if (keyCode == 'Q') {
            keyCode = 0;
        }
    };
    QLineEdit* edit = combo.lineEdit();
    ASSERT_NE(edit, nullptr);
    Type(*edit, Qt::Key_Q, "q");
    Type(*edit, Qt::Key_W, "w");
    Type(*edit, Qt::Key_Down, {}); // the edit field passes arrows on to the box
    EXPECT_EQ(combo.Text(), "w");
    EXPECT_EQ(downs, (std::vector<int>{'Q', 'W', 40}));

    combo.SetStyle(platform::ComboDropDownList);
    downs.clear();
    Type(combo, Qt::Key_E, "e");
    EXPECT_EQ(downs, (std::vector<int>{'E'}));
}

TEST(ComboBox, ClickFollowsEveryChangeOfTheChosenEntry)
{
    platform::ComboBox combo;
    combo.SetStyle(platform::ComboDropDownList);
    std::vector<int> clicks;
    combo.OnClick = [&] { clicks.push_back(combo.ListIndex()); };
    combo.AddItem("one");
    combo.AddItem("three");
    combo.AddItem("two", 1);
    EXPECT_EQ(combo.ListCount(), 3);
    EXPECT_EQ(combo.List(1), "two");
    EXPECT_EQ(combo.List(3), "");
    combo.SetListIndex(2);
    combo.SetListIndex(2);
    combo.SetListIndex(7);
    combo.SetText("two");
    combo.SetListIndex(-1);
    EXPECT_EQ(combo.Text(), "");
    EXPECT_EQ(clicks, (std::vector<int>{0, 2, 1, -1})) << "the first entry added is chosen by the box itself";
}

TEST(ListBox, KeepsEntriesAndRaisesClickOnChoice)
{
    platform::ListBox list;
    std::vector<int> clicks;
    list.OnClick = [&] { clicks.push_back(list.ListIndex()); };
    list.AddItem("b");
    list.AddItem("a", 0);
    list.AddItem("c");
    EXPECT_EQ(list.ListIndex(), -1);
    list.SetListIndex(1);
    EXPECT_EQ(list.Text(), "b");
    list.RemoveItem(0);
    EXPECT_EQ(list.List(0), "b");
    list.Clear();
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(list.Text(), "");
    ASSERT_FALSE(clicks.empty());
    EXPECT_EQ(clicks.front(), 1);
}

TEST(ScrollBar, KeepsTheRangeOfTheWindowsBarsAndTellsScrollFromChange)
{
    platform::ScrollBar bar(Qt::Vertical);
    std::vector<std::string> events;
    bar.OnChange = [&] { events.push_back("change " + std::to_string(bar.Value())); };
    bar.OnScroll = [&] { events.push_back("scroll " + std::to_string(bar.Value())); };
    bar.SetMax(100000);
    EXPECT_EQ(bar.Max(), 32767);
    bar.SetMax(200);
    bar.SetValue(500);
    EXPECT_EQ(bar.Value(), 200);
    bar.SetLargeChange(0);
    EXPECT_EQ(bar.LargeChange(), 1);

    bar.setSliderDown(true);
    bar.setSliderPosition(150);
    bar.setSliderPosition(120);
    bar.setSliderDown(false);
    EXPECT_EQ(events, (std::vector<std::string>{"change 200", "scroll 150", "scroll 120", "change 120"}));

    bar.SetMin(50);
    bar.SetMax(10);
    bar.SetValue(30);
    EXPECT_EQ(bar.Value(), 30) << "Min above Max turns the bar round";
    EXPECT_TRUE(bar.invertedAppearance());
}

} // namespace
