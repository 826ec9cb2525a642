// The mouse on the rows and the header, and what the in-place editors report.
#include "controls/UC_ListView.h"

#include "controls/listview/TimeShorthand.h"
#include "platform/DragSource.h"
#include "platform/InputCodes.h"
#include "platform/PopupMenu.h"
#include "platform/ToolTip.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <QMenu>

#include <algorithm>
#include <cmath>

namespace {

constexpr int SizingPointer = 9;
constexpr int DragDistance = 8; // pixels the pointer may move before a drag starts

} // namespace

void UC_ListView::RowsPointer(const controls::PointerEvent& event)
{
    using Kind = controls::PointerEvent::Kind;
    switch (event.kind) {
    case Kind::Press:
        RowsMouseDown(event.button, event.shift, event.x, event.y);
        break;
    case Kind::DoubleClick:
        RowsDblClick(event.button, event.shift, event.x, event.y);
        break;
    case Kind::Move:
        RowsMouseMove(event.buttons, event.shift, event.x, event.y);
        break;
    case Kind::Release:
        RowsMouseUp(event.button, event.shift, event.x, event.y);
        break;
    }
}

void UC_ListView::HeaderPointer(const controls::PointerEvent& event)
{
    using Kind = controls::PointerEvent::Kind;
    switch (event.kind) {
    case Kind::Press:
    case Kind::DoubleClick:
        HeaderMouseDown(event.button, event.shift, event.x, event.y);
        break;
    case Kind::Move:
        HeaderMouseMove(event.buttons, event.shift, event.x, event.y);
        break;
    case Kind::Release:
        HeaderMouseUp(event.button, event.shift, event.x, event.y);
        break;
    }
}

int UC_ListView::RowAtPress(double y) const
{
    const std::int64_t row = numeric::DivTrunc(numeric::RoundToInt64(y - Px(4)), std::max(oneHeight_, 1)) + topItem_;
    return static_cast<int>(std::clamp<std::int64_t>(row, 0, std::max(store_.ItemCount() - 1, 0)));
}

void UC_ListView::RowsMouseDown(int button, int shift, double x, double y)
{
    if (clickDisabled_ == 1 || oneHeight_ == 0) {
        return;
    }
    pressPending_ = true;
    if (MouseDown) {
        int b = button;
        int s = shift;
        double px = x;
        double py = y;
        MouseDown(b, s, px, py);
    }
    if (button != platform::ButtonLeft) {
        return;
    }
    pressX_ = x;
    pressY_ = y;
    pressVValue_ = vbar_ != nullptr ? vbar_->Value() : 0;
    pressHValue_ = hbar_ != nullptr ? hbar_->Value() : 0;
    if (store_.ItemCount() == 0) {
        store_.SetSelectedItem(-1);
        return;
    }
    store_.Press(RowAtPress(y), shift, noMultiSelect_ != 0);
    store_.SetSelectedColumn(columns_.ColumnAtX(x, hOffset_));
    ReDraw();
}

void UC_ListView::RowsMouseUp(int button, int /*shift*/, double x, double y)
{
    if (clickDisabled_ == 1 || !pressPending_) {
        return;
    }
    pressPending_ = false;
    double px = x;
    double py = y;
    if (button == platform::ButtonRight) {
        if (RightClicked) {
            RightClicked(px, py);
        }
    } else {
        if (button == platform::ButtonLeft) {
            // A click on a row of a selection of several selects that row alone.
            store_.Release();
        }
        if (Clicked) {
            Clicked(px, py);
        }
        ReDraw();
    }
    pressX_ = -1;
    pressY_ = -1;
}

void UC_ListView::RowsDblClick(int button, int shift, double x, double y)
{
    // A double click is a further press, and then the double click.
    RowsMouseDown(button, shift, x, y);
    if (clickDisabled_ != 1 && store_.ItemCount() > 0 && DblClicked) {
        DblClicked();
    }
}

void UC_ListView::RowsMouseMove(int buttons, int /*shift*/, double x, double y)
{
    if (clickDisabled_ == 1) {
        return;
    }
    if (showToolTip_ != 0 && store_.ItemCount() > 0 && oneHeight_ > 0) {
        platform::SetToolTipText(*pictureList_, store_.Value(RowAtPress(y), columns_.ColumnAtX(x, hOffset_)).Text());
    }
    if ((buttons & platform::ButtonLeft) != 0) {
        if (useScroll_ != 0) {
            if (vbarShown_ && oneHeight_ > 0) {
                const auto newTop =
                    static_cast<int>(numeric::DivTrunc(numeric::RoundToInt64(pressY_ - y), oneHeight_) + pressVValue_);
                if (newTop != topItem_) {
                    SetTopItem(newTop, 1, 0);
                }
            }
            if (hbarShown_) {
                const auto moved = static_cast<int>(numeric::RoundToInt64(pressX_ - x + pressHValue_));
                hbar_->SetValue(std::clamp(moved, hbar_->Min(), hbar_->Max()));
                HBarChanged();
            }
        } else if (store_.ItemCount() > 0 && pressX_ != -1 && pressY_ != -1) {
            const double reach = Px(DragDistance);
            if (std::abs(x - pressX_) > reach || std::abs(y - pressY_) > reach) {
                StartRowsDrag();
            }
        }
    }
    if (mousePointer_ == SizingPointer) {
        SetMousePointer(0);
    }
}

void UC_ListView::StartRowsDrag()
{
    pressX_ = -1;
    pressY_ = -1;
    // The drag takes the release; no click follows it, and the rows stay
    // selected.
    pressPending_ = false;
    store_.ForgetPress();
    platform::DragData offered;
    int allowed = platform::DropEffectCopy | platform::DropEffectMove;
    if (clickDisabled_ != 1 && store_.ItemCount() > 0 && OLEStartDrag) {
        OLEStartDrag(offered, allowed);
    }
    int effect = platform::StartDrag(*pictureList_, offered, allowed);
    if (OLECompleteDrag) {
        OLECompleteDrag(effect);
    }
}

void UC_ListView::SetMousePointer(int pointer)
{
    mousePointer_ = pointer;
    if (pointer == SizingPointer) {
        pictureAll_->setCursor(Qt::SizeHorCursor);
    } else {
        pictureAll_->unsetCursor();
    }
}

void UC_ListView::HeaderMouseDown(int button, int /*shift*/, double x, double /*y*/)
{
    if (tabDisabled_ == 1 || button != platform::ButtonLeft) {
        return;
    }
    if (mousePointer_ == SizingPointer) {
        resizingTab_ = columns_.TabBorderAt(x, hOffset_, basic::TwipsPerPixel);
    } else {
        ReDrawTab(columns_.ColumnAtX(x, hOffset_));
    }
}

void UC_ListView::HeaderMouseMove(int buttons, int /*shift*/, double x, double /*y*/)
{
    if (tabDisabled_ == 1) {
        return;
    }
    if (buttons == 0) {
        SetMousePointer(columns_.TabBorderAt(x, hOffset_, basic::TwipsPerPixel) != -1 ? SizingPointer : 0);
        return;
    }
    if ((buttons & platform::ButtonLeft) != 0 && resizingTab_ != -1 && mousePointer_ == SizingPointer &&
        columns_.Valid(resizingTab_)) {
        const listview::ListTabRecord& tab = columns_.Tab(resizingTab_);
        const auto width = static_cast<int>(numeric::RoundToInt64(tab.TabWidth + (x + hOffset_ + Px(3) - tab.Right)));
        columns_.SetTabWidth(resizingTab_, width);
        ReDrawTab(-1);
    }
}

void UC_ListView::HeaderMouseUp(int button, int /*shift*/, double x, double /*y*/)
{
    if (tabDisabled_ == 1) {
        return;
    }
    if (button == platform::ButtonLeft) {
        if (mousePointer_ == SizingPointer) {
            SetMousePointer(0);
            resizingTab_ = -1;
            SetVbarParm();
            ReDrawTab(-1);
            ReDraw();
            if (TabMoved) {
                TabMoved();
            }
            return;
        }
        if (sortDisabled_ == 0 && clickDisabled_ == 0) {
            ReOrder(columns_.ColumnAtX(x, hOffset_), 0, listview::OrderToggle);
        }
        ReDrawTab(-1);
        ReDraw();
    } else if (button == platform::ButtonRight && useTabOrder_ != 0) {
        ShowColumnMenu(x);
    }
}

void UC_ListView::ShowColumnMenu(double x)
{
    rightClickedTab_ = columns_.ColumnAtX(x, hOffset_);
    for (int c = 0; c < columns_.Count(); ++c) {
        const int position = columns_.TabOrder(c);
        if (position >= 0 && position < static_cast<int>(menuItems_.size())) {
            menuItems_[static_cast<std::size_t>(position)]->setEnabled(c != rightClickedTab_);
        }
    }
    platform::ShowPopupMenu(*menuRCTab_);
}

void UC_ListView::WireTextBox(platform::TextBox& box, int instance)
{
    box.setFocusPolicy(Qt::ClickFocus);
    box.OnChange = [this, instance] { TextChanged(instance); };
    box.Keys.KeyDown = [this, instance](int& code, int shift) { RaiseKeyAction(0, instance, 1, code, shift); };
    box.Keys.KeyUp = [this, instance](int& code, int shift) { RaiseKeyAction(0, instance, 0, code, shift); };
    box.Keys.KeyPress = [this, instance](int& ascii) { RaiseKeyAction(0, instance, 2, ascii, 0); };
}

void UC_ListView::WireComboBox(platform::ComboBox& box, int instance)
{
    box.OnClick = [this, instance] { ComboChosen(instance); };
    box.Keys.KeyDown = [this, instance](int& code, int shift) { RaiseKeyAction(1, instance, 1, code, shift); };
    box.Keys.KeyUp = [this, instance](int& code, int shift) { RaiseKeyAction(1, instance, 0, code, shift); };
    box.Keys.KeyPress = [this, instance](int& ascii) { RaiseKeyAction(1, instance, 2, ascii, 0); };
}

void UC_ListView::WireListBox(platform::ListBox& box, int instance)
{
    box.OnClick = [this, instance] { ListChosen(instance); };
}

void UC_ListView::RaiseKeyAction(int isCombo, int instance, int action, int& keyValue, int shift)
{
    const int kind = isCombo != 0 ? listview::EditorCombo : listview::EditorText;
    for (int c = 0; c < columns_.Count(); ++c) {
        const listview::ListTabRecord& tab = columns_.Tab(c);
        const int owned = isCombo != 0 ? tab.ComboInstance : tab.TextBoxInstance;
        if (owned == instance && (tab.EditorFlags & kind) != 0) {
            if (TextComboKeyAction) {
                int s = shift;
                TextComboKeyAction(isCombo, c, action, keyValue, s);
            }
            return;
        }
    }
}

void UC_ListView::TextChanged(int instance)
{
    if (syncingEditors_) {
        return;
    }
    platform::TextBox* box = textLV_.At(instance);
    for (int c = 0; c < columns_.Count() && box != nullptr; ++c) {
        const listview::ListTabRecord& tab = columns_.Tab(c);
        if (tab.TextBoxInstance != instance || (tab.EditorFlags & listview::EditorText) == 0) {
            continue;
        }
        std::string text = box->Text();
        if (tab.TextIsTime != 0) {
            if (auto expanded = listview::ExpandTimeShorthand(text)) {
                text = *expanded;
                syncingEditors_ = true;
                box->SetText(text);
                syncingEditors_ = false;
            }
        }
        store_.SetValue(listview::CursorItem, c, text);
        return;
    }
}

void UC_ListView::ComboChosen(int instance)
{
    if (syncingEditors_) {
        return;
    }
    platform::ComboBox* combo = comboLV_.At(instance);
    for (int c = 0; c < columns_.Count() && combo != nullptr; ++c) {
        const listview::ListTabRecord& tab = columns_.Tab(c);
        if (tab.ComboInstance != instance || (tab.EditorFlags & listview::EditorCombo) == 0) {
            continue;
        }
        store_.SetValue(listview::CursorItem, c, combo->Text());
        if (ComboChaged) {
            int column = c;
            int index = combo->ListIndex();
            ComboChaged(column, index);
        }
    }
}

void UC_ListView::ListChosen(int instance)
{
    if (syncingEditors_) {
        return;
    }
    platform::ListBox* list = listLV_.At(instance);
    for (int c = 0; c < columns_.Count() && list != nullptr; ++c) {
        const listview::ListTabRecord& tab = columns_.Tab(c);
        if (tab.ListInstance != instance || (tab.EditorFlags & listview::EditorList) == 0) {
            continue;
        }
        store_.SetValue(listview::CursorItem, c, list->Text());
        if (ComboChaged) {
            int column = c;
            int index = list->ListIndex();
            ComboChaged(column, index);
        }
    }
}
