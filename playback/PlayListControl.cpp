#include "playback/PlayListControl.h"

#include "foundation/DayLog.h"
#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "playback/PreRead.h"

#include <string>

namespace {

void NotInThisBuild(const char* member)
{
    basic::WriteLog(std::string(member) + ": not available in this build", 0, 0);
}

} // namespace

PlayListControl::PlayListControl(FrmMain& window) : window_(window)
{
    Commands.Use.MonSound = [this](int mode) { MonSound(mode); };
}

void PlayListControl::LV_Clicked(int index, double /*x*/, double /*y*/)
{
    Commands.LV_Clicked(index);
}

void PlayListControl::LV_OLEDragDrop(int index, platform::DragData& data, int& /*effect*/, int /*button*/,
                                     int /*shift*/, double /*x*/, double y)
{
    // The effect stays as the list set it.
    Drops.LV_OLEDragDrop(index, data, y);
}

void PlayListControl::LV_RightClicked(int index, float /*x*/, float /*y*/)
{
    Commands.LV_RightClicked(index);
}

// ---- Passed on ----

void PlayListControl::MonSound(int mode)
{
    if (OtherItems != nullptr) {
        OtherItems->MonSound(mode);
    } else {
        NotInThisBuild("MonSound");
    }
}

void PlayListControl::RCButtonFCT(int command)
{
    if (OtherItems != nullptr) {
        OtherItems->RCButtonFCT(command);
    }
}

void PlayListControl::MenuRCPage_Click(int index)
{
    if (OtherItems != nullptr) {
        OtherItems->MenuRCPage_Click(index);
    }
}

void PlayListControl::TolvButton_MouseUD(int index, int buttonIndex, bool isDown, int buttonType)
{
    if (OtherEvents != nullptr) {
        OtherEvents->TolvButton_MouseUD(index, buttonIndex, isDown, buttonType);
    }
}

void PlayListControl::PageButtons_RightClicked(int index, int clickedIndex)
{
    if (OtherEvents != nullptr) {
        OtherEvents->PageButtons_RightClicked(index, clickedIndex);
    }
}

void PlayListControl::PageButtons_ButtonClicked(int index, int clickedIndex)
{
    if (OtherEvents != nullptr) {
        OtherEvents->PageButtons_ButtonClicked(index, clickedIndex);
    }
}

void PlayListControl::TextPage_MouseUD(int index, int button, bool isDown, int pIndex)
{
    if (OtherEvents != nullptr) {
        OtherEvents->TextPage_MouseUD(index, button, isDown, pIndex);
    }
}

void PlayListControl::SpeedSlider_Scrolled(int index, int nButton)
{
    if (OtherEvents != nullptr) {
        OtherEvents->SpeedSlider_Scrolled(index, nButton);
    }
}

void PlayListControl::SetFadeParm()
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->SetFadeParm();
    }
}

void PlayListControl::DisarmTimer(int output)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->DisarmTimer(output);
    }
}

void PlayListControl::DrawTimerLabel(int output)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->DrawTimerLabel(output);
    }
}

void PlayListControl::UpdateCounter(int slot, int mode)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->UpdateCounter(slot, mode);
    }
}

void PlayListControl::LoadListPage(int output, int page)
{
    MainState& state = window_.State;
    if (output < 0 || output >= MainState::Outputs || page < 0 || page >= AssignPages ||
        parms::IsList[static_cast<std::size_t>(output)] == 0) {
        return;
    }
    UC_ListView* view = window_.LV.At(output);
    if (view == nullptr) {
        return;
    }
    view->DeleteAll();
    ListPage& stored = state.ListTable[static_cast<std::size_t>(ListTableIndex(output, page))];
    const bool examine = state.SomethingPlays == 0 && state.CheckCacheLite == 0;
    for (std::size_t row = 0; row < stored.Items.size(); ++row) {
        AssignRecord& item = stored.Items[row];
        if (item.FileName.empty()) {
            continue;
        }
        if (examine) {
            playback::ReadItemCue(state, item);
        }
        const int seq = row < stored.Seq.size() ? stored.Seq[row] : 0;
        int ok = 0;
        Drops.AddFilesToList(output, item.FileName, -2, 1, item.LengthMS, seq, item.StartMS, item.Invalid, ok);
    }
    view->Refresh();
    PlaybackPort& playback = *window_.Ports.Playback;
    playback.SetListCursor(output, -1, 0, 0);
    if (state.OutputState[static_cast<std::size_t>(output)] == 0) {
        playback.ShowCurrentItem(output);
    }
    window_.Ports.Remote->SendRemoteListStatus(output, 0);
}

void PlayListControl::ChangePage(int output, int page, int all)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->ChangePage(output, page, all);
    }
}

void PlayListControl::ShowPageTitle(int output)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->ShowPageTitle(output);
    }
}

void PlayListControl::DrawKeyAssign()
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->DrawKeyAssign();
    }
}

void PlayListControl::ShowCurrentItem(int output)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->ShowCurrentItem(output);
    }
}

void PlayListControl::SetListCursor(int output, int row, int asNext, int keepSelection)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->SetListCursor(output, row, asNext, keepSelection);
    }
}

void PlayListControl::ClearOutput(int output)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->ClearOutput(output);
    }
}

void PlayListControl::StopOutput(int output)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->StopOutput(output);
    }
}
