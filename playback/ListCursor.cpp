#include "playback/ListCursor.h"

#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "playback/PlaybackControl.h"
#include "playback/SlotIndexes.h"

using playback::At;

namespace {

bool HasSequenceMark(const UC_ListView& list, int row)
{
    return row >= 0 && row < list.ItemCount() && !list.Value(row, 2).Text().empty();
}

} // namespace

void ListCursor::SetListCursor(int output, int row, int asNext, int keepSelection)
{
    FrmMain& window = control_.Window();
    MainState& state = window.State;
    if (output < 0 || output >= MainState::Outputs) {
        return;
    }
    UC_ListView* list = window.LV.At(output);
    const int count = list != nullptr ? list->ItemCount() : 0;
    row = std::max(row, -1);
    row = std::min(row, count - 1);
    state.ListItem[At(output)] = row;
    if (list == nullptr) {
        return;
    }
    const int selected = list->SelectedItem();
    int playing = -1;
    int next = -1;
    if (row == -1) {
        if (asNext == 0 && selected >= 0) {
            next = selected;
        }
    } else if (asNext == 0) {
        playing = row;
        next = selected >= 0 ? (selected != row ? selected : -1) : row + 1;
    } else {
        next = selected >= 0 ? selected : row;
    }
    for (int r = 0; r < count; ++r) {
        platform::Color colour = 0;
        if (r == playing) {
            colour = parms::StateColor[1];
        } else if (r == next) {
            colour = parms::StateColor[2];
        } else {
            colour = static_cast<platform::Color>(list->AuxID(r, 3).Number().value_or(0));
        }
        const std::optional<double> present = list->AuxID(r, 1).Number();
        if (present.has_value() && *present == 0 && r != playing) {
            colour = parms::StateColor[3];
        }
        list->SetDispColor(r, colour);
    }
    if (keepSelection != 1 && row != -1) {
        list->UnSelectAll();
        list->ShowSelected(0);
    }
    list->ReDraw();
}

void ListCursor::AdvanceListItem(int output, int& startNext)
{
    FrmMain& window = control_.Window();
    MainState& state = window.State;
    startNext = 0;
    if (output < 0 || output >= MainState::Outputs) {
        return;
    }
    const auto o = At(output);
    UC_ListView* list = window.LV.At(output);
    const int count = list != nullptr ? list->ItemCount() : 0;
    if (state.SeqItemType != 0 && parms::UseListSeq != 0 && list != nullptr &&
        HasSequenceMark(*list, state.ListItem[o])) {
        startNext = 1;
    }
    const int selected = list != nullptr ? list->SelectedItem() : -1;
    int next = -1;
    if (selected >= 0) {
        next = selected;
    } else if (state.ListItem[o] != -1) {
        next = state.ListItem[o] + 1;
    }
    bool endReached = false;
    if (next > count - 1) {
        if (count == 1) {
            SetListCursor(output, 0, 1, 0);
        } else {
            endReached = true;
            SetListCursor(output, -1, 0, 0);
        }
    } else {
        SetListCursor(output, next, 1, 0);
    }
    if (state.ListItem[o] >= 0 && list != nullptr) {
        // Keeps the cursor row near the top.
        list->ShowItem(std::max(0, state.ListItem[o] - 2), 0);
    }
    if (endReached || state.StoppedByUser[o] == 1 || state.FadeInDelay[o] != 0 || count == 0) {
        startNext = 0;
    } else if (state.SeqItemType == 0) {
        startNext = list != nullptr && HasSequenceMark(*list, state.ListItem[o]) && parms::UseListSeq == 1 ? 1 : 0;
    }
}

void ListCursor::ShowCurrentItem(int output)
{
    FrmMain& window = control_.Window();
    MainState& state = window.State;
    if (!playback::ValidOutput(state, output) || parms::IsList[At(output)] == 0 || state.ShowCurrent == 0) {
        return;
    }
    const auto o = At(output);
    controls::UC_TextPicture* panel = window.PictureCurrent.At(output);
    const UC_ListView* list = window.LV.At(output);
    const int count = list != nullptr ? list->ItemCount() : 0;
    int row = -1;
    if (count > 0) {
        if (state.OutputState[o] == 0) {
            const int selected = list->SelectedItem();
            row = selected >= 0 ? selected : (state.ListItem[o] >= 0 ? state.ListItem[o] : -1);
        } else {
            row = state.ListItem[o];
        }
    }
    if (row < 0 || row >= count) {
        if (panel != nullptr) {
            panel->DispMes(0, "", 1);
            panel->DispMes(1, "", 1);
            panel->SetColor(0, 0);
        }
    } else {
        if (panel != nullptr) {
            panel->DispMes(0, list->Value(row, 0).Text(), 1);
            panel->DispMes(1, list->Value(row, 1).Text(), 1);
        }
        if (state.PlayersPerOutput == 1) {
            control_.Counters.UpdateCounter(output, 0);
        }
        if (panel != nullptr) {
            panel->SetColor(state.OutputState[o] == 0 ? 0 : 1, 0);
        }
    }
    if (panel != nullptr) {
        panel->Draw(0);
    }
}
