#include "playback/PlayListControl.h"

#include "foundation/DayLog.h"
#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "platform/DragData.h"
#include "playback/PreRead.h"

#include <limits>
#include <optional>
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

void PlayListControl::LV_OLEDragDrop(int index, platform::DragData& data, int& effect, int /*button*/, int /*shift*/,
                                     double /*x*/, double y)
{
    // A list that took none of the files says so to the drag's source.
    if (Drops.LV_OLEDragDrop(index, data, y) == 0) {
        effect = platform::DropEffectNone;
    }
}

void PlayListControl::LV_RightClicked(int index, float /*x*/, float /*y*/)
{
    Commands.LV_RightClicked(index);
}

bool PlayListControl::SelectedItemForMonitor(int output, MonitorItem& item)
{
    MainState& state = window_.State;
    UC_ListView* view = output >= 0 && output < MainState::Outputs ? window_.LV.At(output) : nullptr;
    if (view == nullptr) {
        return false;
    }
    const int row = view->SelectedItem();
    if (row < 0 || row >= view->ItemCount()) {
        return false;
    }
    parms::MonitorExchangeValues& monitor = parms::MonitorExchange;
    monitor.MonitorFile = view->AuxID(row, 0).Text();
    monitor.MonitorSeq = view->Value(row, 2).Text().empty() ? 0 : 1;
    const std::optional<double> start = view->AuxID(row, 2).Number();
    if (start.has_value() && *start >= std::numeric_limits<std::int32_t>::min() &&
        *start <= std::numeric_limits<std::int32_t>::max()) {
        monitor.MonitorStartMS = static_cast<std::int32_t>(*start);
    } else {
        view->SetAuxID(row, 2, 0);
        monitor.MonitorStartMS = 0;
    }
    item.IsList = true;
    item.Output = output;
    item.Page = state.CurrentPage[static_cast<std::size_t>(output)];
    item.Row = row;
    item.File = monitor.MonitorFile;
    return true;
}

std::string PlayListControl::SelectedFile(int output)
{
    UC_ListView* view = output >= 0 && output < MainState::Outputs ? window_.LV.At(output) : nullptr;
    if (view == nullptr) {
        return {};
    }
    const int row = view->SelectedItem();
    if (row < 0 || row >= view->ItemCount()) {
        return {};
    }
    return view->AuxID(row, 0).Text();
}

// ---- Passed on ----

template <class Call> void PlayListControl::PassEvent(const char* member, Call&& call)
{
    if (OtherEvents != nullptr) {
        call(*OtherEvents);
    } else {
        NotInThisBuild(member);
    }
}

void PlayListControl::TolvButton_OLEStartDrag(int index, platform::DragData& data, int& allowedEffects, int shift)
{
    PassEvent("TolvButton_OLEStartDrag",
              [&](ControlEventsPort& next) { next.TolvButton_OLEStartDrag(index, data, allowedEffects, shift); });
}

void PlayListControl::TolvButton_OLECompleteDrag(int index, int effect)
{
    PassEvent("TolvButton_OLECompleteDrag",
              [&](ControlEventsPort& next) { next.TolvButton_OLECompleteDrag(index, effect); });
}

void PlayListControl::TolvButton_OLEDragOver(int index)
{
    PassEvent("TolvButton_OLEDragOver", [&](ControlEventsPort& next) { next.TolvButton_OLEDragOver(index); });
}

void PlayListControl::TolvButton_OLEDropped(int index, platform::DragData& data)
{
    PassEvent("TolvButton_OLEDropped", [&](ControlEventsPort& next) { next.TolvButton_OLEDropped(index, data); });
}

void PlayListControl::PlayButtons_ButtonClicked(int index, int clickedIndex)
{
    PassEvent("PlayButtons_ButtonClicked",
              [&](ControlEventsPort& next) { next.PlayButtons_ButtonClicked(index, clickedIndex); });
}

void PlayListControl::ProgBar_MouseUD(int index, bool isDown)
{
    PassEvent("ProgBar_MouseUD", [&](ControlEventsPort& next) { next.ProgBar_MouseUD(index, isDown); });
}

void PlayListControl::ProgBar_Scrolled(int index)
{
    PassEvent("ProgBar_Scrolled", [&](ControlEventsPort& next) { next.ProgBar_Scrolled(index); });
}

void PlayListControl::ProgBar_RightClicked(int index, bool isDown)
{
    PassEvent("ProgBar_RightClicked", [&](ControlEventsPort& next) { next.ProgBar_RightClicked(index, isDown); });
}

void PlayListControl::PanSlider_MouseUD(int index, bool isDown, int nButton)
{
    PassEvent("PanSlider_MouseUD", [&](ControlEventsPort& next) { next.PanSlider_MouseUD(index, isDown, nButton); });
}

void PlayListControl::PanSlider_Scrolled(int index, int nButton)
{
    PassEvent("PanSlider_Scrolled", [&](ControlEventsPort& next) { next.PanSlider_Scrolled(index, nButton); });
}

void PlayListControl::SpeedSlider_MouseUD(int index, bool isDown, int nButton)
{
    PassEvent("SpeedSlider_MouseUD",
              [&](ControlEventsPort& next) { next.SpeedSlider_MouseUD(index, isDown, nButton); });
}

void PlayListControl::VolSlider_LevelChanged(int index)
{
    PassEvent("VolSlider_LevelChanged", [&](ControlEventsPort& next) { next.VolSlider_LevelChanged(index); });
}

void PlayListControl::PicCounter_MouseUD(int index, int button, bool isDown, int pIndex)
{
    PassEvent("PicCounter_MouseUD",
              [&](ControlEventsPort& next) { next.PicCounter_MouseUD(index, button, isDown, pIndex); });
}

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
    } else {
        NotInThisBuild("RCButtonFCT");
    }
}

void PlayListControl::MenuRCPage_Click(int index)
{
    if (OtherItems != nullptr) {
        OtherItems->MenuRCPage_Click(index);
    } else {
        NotInThisBuild("MenuRCPage_Click");
    }
}

void PlayListControl::TolvButton_MouseUD(int index, int buttonIndex, bool isDown, int buttonType)
{
    if (OtherEvents != nullptr) {
        OtherEvents->TolvButton_MouseUD(index, buttonIndex, isDown, buttonType);
    } else {
        NotInThisBuild("TolvButton_MouseUD");
    }
}

void PlayListControl::PageButtons_RightClicked(int index, int clickedIndex)
{
    if (OtherEvents != nullptr) {
        OtherEvents->PageButtons_RightClicked(index, clickedIndex);
    } else {
        NotInThisBuild("PageButtons_RightClicked");
    }
}

void PlayListControl::PageButtons_ButtonClicked(int index, int clickedIndex)
{
    if (OtherEvents != nullptr) {
        OtherEvents->PageButtons_ButtonClicked(index, clickedIndex);
    } else {
        NotInThisBuild("PageButtons_ButtonClicked");
    }
}

void PlayListControl::TextPage_MouseUD(int index, int button, bool isDown, int pIndex)
{
    if (OtherEvents != nullptr) {
        OtherEvents->TextPage_MouseUD(index, button, isDown, pIndex);
    } else {
        NotInThisBuild("TextPage_MouseUD");
    }
}

void PlayListControl::SpeedSlider_Scrolled(int index, int nButton)
{
    if (OtherEvents != nullptr) {
        OtherEvents->SpeedSlider_Scrolled(index, nButton);
    } else {
        NotInThisBuild("SpeedSlider_Scrolled");
    }
}

void PlayListControl::SetFadeParm()
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->SetFadeParm();
    } else {
        NotInThisBuild("SetFadeParm");
    }
}

void PlayListControl::DisarmTimer(int output)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->DisarmTimer(output);
    } else {
        NotInThisBuild("DisarmTimer");
    }
}

void PlayListControl::DrawTimerLabel(int output)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->DrawTimerLabel(output);
    } else {
        NotInThisBuild("DrawTimerLabel");
    }
}

void PlayListControl::UpdateCounter(int slot, int mode)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->UpdateCounter(slot, mode);
    } else {
        NotInThisBuild("UpdateCounter");
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
    } else {
        NotInThisBuild("ChangePage");
    }
}

void PlayListControl::ShowPageTitle(int output)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->ShowPageTitle(output);
    } else {
        NotInThisBuild("ShowPageTitle");
    }
}

void PlayListControl::DrawKeyAssign()
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->DrawKeyAssign();
    } else {
        NotInThisBuild("DrawKeyAssign");
    }
}

void PlayListControl::ShowCurrentItem(int output)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->ShowCurrentItem(output);
    } else {
        NotInThisBuild("ShowCurrentItem");
    }
}

void PlayListControl::SetListCursor(int output, int row, int asNext, int keepSelection)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->SetListCursor(output, row, asNext, keepSelection);
    } else {
        NotInThisBuild("SetListCursor");
    }
}

void PlayListControl::ClearOutput(int output)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->ClearOutput(output);
    } else {
        NotInThisBuild("ClearOutput");
    }
}

void PlayListControl::StopOutput(int output)
{
    if (OtherPlayback != nullptr) {
        OtherPlayback->StopOutput(output);
    } else {
        NotInThisBuild("StopOutput");
    }
}
