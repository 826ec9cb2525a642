#include "playback/ListCommands.h"

#include "foundation/DayLog.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "platform/DragData.h"
#include "platform/KeyboardState.h"
#include "platform/MessageBox.h"
#include "playback/DragMoves.h"
#include "playback/PlayList.h"
#include "playback/PreRead.h"
#include "playback/SlotIndexes.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace playback {

namespace {

UC_ListView* ViewOf(FrmMain& window, int output)
{
    return output >= 0 && output < MainState::Outputs ? window.LV.At(output) : nullptr;
}

int SelectedAbove(const UC_ListView& view, int row)
{
    int count = 0;
    for (int r = 0; r < row && r < view.ItemCount(); ++r) {
        count += view.IsSelected(r) != 0 ? 1 : 0;
    }
    return count;
}

void NotAvailable(std::string_view what)
{
    basic::WriteLog(std::string(what) + ": not available in this build", 0, 0);
}

// The dragged rows are the selected ones, in the order the drag listed them:
// the rows not taken are unselected. False when none was taken (the
// selection stays as it was).
bool KeepOnlyTaken(UC_ListView& view, const std::vector<bool>& taken)
{
    if (std::find(taken.begin(), taken.end(), true) == taken.end()) {
        return false;
    }
    std::size_t index = 0;
    for (int r = 0; r < view.ItemCount(); ++r) {
        if (view.IsSelected(r) == 0) {
            continue;
        }
        if (index >= taken.size() || !taken[index]) {
            view.SetIsSelected(r, 0);
        }
        ++index;
    }
    return true;
}

} // namespace

void ListCommands::LV_Clicked(int output)
{
    MainState& state = window_.State;
    UC_ListView* view = ViewOf(window_, output);
    PlaybackPort* playback = window_.Ports.Playback;
    if (view == nullptr || playback == nullptr) {
        return;
    }
    if (state.OutputState[At(output)] == 0) {
        // The clicked row plays next.
        state.ListItem[At(output)] = -1;
        playback->SetListCursor(output, view->SelectedItem(), 1, 1);
    } else {
        playback->SetListCursor(output, state.ListItem[At(output)], 0, 1);
    }
    playback->ShowCurrentItem(output);
    if (window_.Ports.Remote != nullptr) {
        window_.Ports.Remote->SendRemoteListStatus(output, 0);
    }
    playback->DisarmTimer(output);
}

void ListCommands::LV_DblClicked(int output)
{
    if (window_.State.SeqRC != 1) {
        list_.ToggleListSeq(output);
    }
}

void ListCommands::LV_RightClicked(int output)
{
    if (Use.MonitorShown && Use.MonitorShown()) {
        return;
    }
    parms::MonitorExchange.MonitorOutput = output;
    if (window_.State.UseListRCMenu == 0) {
        if (Use.MonSound) {
            Use.MonSound(0);
        } else {
            NotAvailable("The monitor window");
        }
    } else {
        window_.State.PendingListMenu = 1;
    }
}

void ListCommands::RefusePlayingRow()
{
    basic::ShowMessage(basic::LangText("再生中のアイテムは削除できません", "Cant Remove Playing Title."),
                       platform::IconStop, "", &window_);
}

int ListCommands::CursorAfterRemoval(int output) const
{
    const int cursor = window_.State.ListItem[At(output)];
    const UC_ListView* view = window_.LV.At(output);
    if (cursor < 0 || view == nullptr) {
        return -1;
    }
    if (view->IsSelected(cursor) != 0) {
        return -1;
    }
    return cursor - SelectedAbove(*view, cursor);
}

void ListCommands::RCListFCT(int command)
{
    MainState& state = window_.State;
    const int output = parms::MonitorExchange.MonitorOutput;
    UC_ListView* view = ViewOf(window_, output);
    if (view == nullptr || view->SelectedItem() < 0 || view->SelectedItem() >= view->ItemCount()) {
        return;
    }
    const auto o = At(output);
    const int selected = view->SelectedItem();
    switch (command) {
    case 0: {
        const int cursor = state.ListItem[o];
        if (cursor >= 0 && view->IsSelected(cursor) != 0 && state.OutputState[o] != 0) {
            RefusePlayingRow();
            return;
        }
        const int newCursor = CursorAfterRemoval(output);
        view->DeleteSelected();
        AfterRemoval(output, newCursor);
        return;
    }
    case 1:
        if (state.OutputState[o] != 0) {
            RefusePlayingRow();
            return;
        }
        if (basic::ShowMessage(basic::LangText("リストをクリアしますか？", "Clear List?"),
                               platform::BoxYesNo + platform::IconQuestion, "", &window_) != platform::IdYes) {
            return;
        }
        view->DeleteAll();
        AfterRemoval(output, -1);
        return;
    case 2:
        list_.ToggleListSeq(output);
        return;
    case 3:
    case 5:
        if (Use.MonSound) {
            Use.MonSound(command == 3 ? 0 : 1);
        } else {
            NotAvailable("The monitor window");
        }
        return;
    case 4:
        if (Use.EditSound) {
            Use.EditSound();
        } else {
            NotAvailable("The sound editor");
        }
        return;
    case 6:
        if (Use.ShowSoundInfo) {
            Use.ShowSoundInfo(view->AuxID(selected, 0).Text());
        } else {
            NotAvailable("The file information");
        }
        return;
    default:
        return;
    }
}

void ListCommands::AfterRemoval(int output, int newCursor)
{
    MainState& state = window_.State;
    UC_ListView* view = window_.LV.At(output);
    PlaybackPort* playback = window_.Ports.Playback;
    PlaceCursor(output, newCursor);
    view->Refresh();
    view->ShowSelected(0);
    list_.StoreListFromView(output);
    if (playback != nullptr) {
        playback->ShowCurrentItem(output);
    }
    if (window_.Ports.Remote != nullptr) {
        window_.Ports.Remote->SendRemoteListStatus(output, 0);
    }
    if (playback != nullptr) {
        playback->DisarmTimer(output);
    }
    if (state.CheckCacheLite == 0 && state.SomethingPlays == 0) {
        PreReadAll(state, 0);
        if (window_.Ports.Cache != nullptr) {
            window_.Ports.Cache->CacheAll(1);
        }
    }
}

void ListCommands::PlaceCursor(int output, int row)
{
    MainState& state = window_.State;
    if (PlaybackPort* playback = window_.Ports.Playback; playback != nullptr) {
        playback->SetListCursor(output, row, state.OutputState[At(output)] == 0 ? 1 : 0, 1);
    } else {
        state.ListItem[At(output)] = row;
    }
}

void ListCommands::CtrlButton_ButtonClicked(int output, int clickedIndex)
{
    if (ViewOf(window_, output) == nullptr) {
        return;
    }
    parms::MonitorExchange.MonitorOutput = output;
    switch (clickedIndex) {
    case 0:
        RCListFCT(0);
        break;
    case 1:
        RCListFCT(1);
        break;
    case 2:
        MoveSelectedRow(output, -1);
        break;
    case 3:
        MoveSelectedRow(output, 1);
        break;
    default:
        break;
    }
}

void ListCommands::MoveSelectedRow(int output, int delta)
{
    MainState& state = window_.State;
    UC_ListView* view = window_.LV.At(output);
    const int selected = view->SelectedItem();
    const int target = selected + delta;
    if (view->ItemCount() < 2 || selected < 0 || target < 0 || target >= view->ItemCount()) {
        return;
    }
    view->ExchangeItem(delta);
    int cursor = state.ListItem[At(output)];
    if (cursor == selected) {
        cursor = target;
    } else if (cursor == target) {
        cursor = selected;
    }
    PlaceCursor(output, cursor);
    view->ShowSelected(1);
    list_.StoreListFromView(output);
}

void ListCommands::LV_OLEStartDrag(int output, platform::DragData& data, int& allowedEffects)
{
    UC_ListView* view = ViewOf(window_, output);
    if (view == nullptr || view->ItemCount() == 0) {
        return;
    }
    allowedEffects = platform::DropEffectCopy;
    data.Clear();
    data.SetFormat(platform::FormatFiles);
    for (int r = 0; r < view->ItemCount(); ++r) {
        if (view->IsSelected(r) != 0) {
            data.AddFile(view->AuxID(r, 0).Text());
        }
    }
    if (window_.Ports.Playback != nullptr) {
        window_.Ports.Playback->DisarmTimer(output);
    }
    if (data.FileCount() == 0) {
        data.Clear();
        return;
    }
    dragmoves::Begin();
}

void ListCommands::LV_OLECompleteDrag(int output, int effect)
{
    MainState& state = window_.State;
    UC_ListView* view = ViewOf(window_, output);
    const int dragged = view != nullptr ? view->NumSelectedItems() : 0;
    const std::optional<std::vector<bool>> taken = dragmoves::End(static_cast<std::size_t>(std::max(dragged, 0)));
    if (effect == platform::DropEffectNone || view == nullptr || view->ItemCount() == 0) {
        return;
    }
    // A control of this program took the drop: only the rows it took leave.
    if (taken.has_value() && !KeepOnlyTaken(*view, *taken)) {
        return;
    }
    const auto o = At(output);
    const int newCursor = CursorAfterRemoval(output);
    PlaybackPort* playback = window_.Ports.Playback;
    const bool copy = state.ListCtrl == 1 && platform::ControlKeyHeld();
    if (!copy) {
        const int cursor = state.ListItem[o];
        if (state.OutputState[o] != 0 && cursor >= 0 && view->IsSelected(cursor) != 0) {
            RefusePlayingRow();
        } else {
            view->DeleteSelected();
            view->SetVbarParm();
            PlaceCursor(output, newCursor);
        }
    }
    view->ReDraw();
    list_.StoreListFromView(output);
    if (playback != nullptr) {
        playback->ShowCurrentItem(output);
    }
    if (window_.Ports.Remote != nullptr) {
        window_.Ports.Remote->SendRemoteListStatus(output, 0);
    }
    if (playback != nullptr) {
        playback->DisarmTimer(output);
    }
}

} // namespace playback
