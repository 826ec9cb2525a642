#include "dialogs/MonitorHandBack.h"

#include "controls/UC_ListView.h"
#include "controls/UC_TolvButton.h"
#include "foundation/DayLog.h"
#include "foundation/Durations.h"
#include "foundation/FileAccess.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Parms.h"
#include "foundation/Programs.h"
#include "mainwindow/FrmMain.h"
#include "playback/CacheNames.h"
#include "playback/ModeMark.h"
#include "playback/PreRead.h"

#include <string>

namespace {

constexpr int MessageCritical = 16;
constexpr int MessageInformation = 64;
constexpr basic::Color White = 0xFFFFFF;

platform::Form* FormOf(QWidget* owner)
{
    return dynamic_cast<platform::Form*>(owner);
}

void ItemChanged(QWidget* owner)
{
    basic::ShowMessage(
        basic::LangText("素材が変更されたため反映できません", "The item has changed. Nothing was applied."),
        MessageCritical, "", FormOf(owner));
}

bool ValidOutput(int output)
{
    return output >= 0 && output < AssignOutputs;
}

std::string StartText(std::int32_t startMS)
{
    return startMS != 0 ? basic::FormatDuration(startMS, 1, 0) : std::string();
}

} // namespace

std::string MonitorHandBack::GetLocalFilename(std::string_view path)
{
    return playback::GetLocalFilename(path);
}

void MonitorHandBack::EditSound(const MonitorItem& item)
{
    if (parms::EditApp.empty() || basic::FileExists(parms::EditApp) != 1) {
        return;
    }
    if (basic::FileExists(item.File) == 1) {
        // The file goes as one argument, blanks and all.
        if (basic::RunProgram(parms::EditApp, item.File, 1, "") <= 0) {
            basic::WriteLog("The editor program \"" + parms::EditApp + "\" could not be started", 1, 0);
        }
    } else {
        basic::ShowMessage(basic::LangText("ファイルが見つかりません", "file not found") + "\r\n" + item.File,
                           MessageInformation, "", &window_);
    }
    if (ValidOutput(item.Output)) {
        window_.Ports.Playback->DisarmTimer(item.Output);
    }
}

void MonitorHandBack::TakeBack(const MonitorItem& item, QWidget* owner)
{
    if (!ValidOutput(item.Output) || item.Page < 0 || item.Page >= AssignPages) {
        return;
    }
    if (item.IsList) {
        TakeBackRow(item, owner);
    } else {
        TakeBackButton(item, owner);
    }
}

bool MonitorHandBack::ButtonShown(const MonitorItem& item) const
{
    const MainState& state = window_.State;
    return item.Output < state.NumOut && parms::IsList.at(static_cast<std::size_t>(item.Output)) == 0 &&
           state.CurrentPage.at(static_cast<std::size_t>(item.Output)) == item.Page &&
           item.Button < state.ButtonsPerPage.at(static_cast<std::size_t>(item.Output)) &&
           window_.TolvButton.Exists(item.Output * state.ButtonsPerOutput + item.Button);
}

bool MonitorHandBack::ListShown(const MonitorItem& item) const
{
    const MainState& state = window_.State;
    return item.Output < state.NumOut && parms::IsList.at(static_cast<std::size_t>(item.Output)) == 1 &&
           state.CurrentPage.at(static_cast<std::size_t>(item.Output)) == item.Page && window_.LV.Exists(item.Output);
}

void MonitorHandBack::TakeBackButton(const MonitorItem& item, QWidget* owner)
{
    if (item.Button < 0 || item.Button >= AssignButtons) {
        return;
    }
    MainState& state = window_.State;
    const auto index = static_cast<std::size_t>(ButtonTableIndex(item.Output, item.Page, item.Button));
    if (index >= state.ButtonTable.size()) {
        return;
    }
    if (state.ButtonTable[index].FileName != item.File) {
        ItemChanged(owner);
        return;
    }
    const parms::MonitorExchangeValues& exchange = parms::MonitorExchange;
    if (exchange.MonitorFile.empty()) {
        ClearButton(item);
        return;
    }
    if (exchange.MonitorFile != state.ButtonTable[index].FileName) {
        if (AssignButtonFile) {
            // A refusal has told the operator; the edit still goes onto the
            // assignment the button keeps.
            AssignButtonFile(item.Output, item.Page, item.Button, exchange.MonitorFile);
        } else {
            basic::WriteLog("Assigning another file from the monitor window: not available in this build", 0, 0);
        }
        const std::string& now = state.ButtonTable[index].FileName;
        if (now != exchange.MonitorFile && now != item.File) {
            return;
        }
    }
    AssignRecord& record = state.ButtonTable[index];
    record.StartMS = exchange.MonitorStartMS;
    record.PlayMode = exchange.MonitorPlayMode;
    record.TextColor = exchange.MonitorColors[0];
    record.BackColor = exchange.MonitorColors[1];
    DrawButton(item, record);
    window_.Ports.Playback->DisarmTimer(item.Output);
}

void MonitorHandBack::ClearButton(const MonitorItem& item)
{
    if (!ClearButtonFile) {
        basic::WriteLog("Removing a sound from the monitor window: not available in this build", 0, 0);
        return;
    }
    ClearButtonFile(item.Output, item.Page, item.Button);
    RefreshAssignments();
}

void MonitorHandBack::DrawButton(const MonitorItem& item, const AssignRecord& record)
{
    if (!ButtonShown(item)) {
        return;
    }
    const MainState& state = window_.State;
    controls::UC_TolvButton& button = *window_.TolvButton(item.Output * state.ButtonsPerOutput + item.Button);
    button.SetText(5, StartText(record.StartMS));
    button.SetText(3, playback::ModeMark(record.PlayMode));
    if (record.TextColor != 0 || record.BackColor != 0) {
        button.SetNormalColor(static_cast<platform::Color>(record.TextColor));
        button.SetBGColor(static_cast<platform::Color>(record.BackColor));
    } else {
        button.SetNormalColor(White);
        button.SetBGColor(0);
    }
    button.Draw(0);
}

void MonitorHandBack::TakeBackRow(const MonitorItem& item, QWidget* owner)
{
    MainState& state = window_.State;
    ListPage& page = state.ListTable.at(static_cast<std::size_t>(ListTableIndex(item.Output, item.Page)));
    const bool shown = ListShown(item);
    UC_ListView* view = shown ? window_.LV(item.Output) : nullptr;
    // The shown page's view is the live list; the table follows it.
    const bool holdsFile =
        item.Row >= 0 && !item.File.empty() && static_cast<std::size_t>(item.Row) < page.Items.size() &&
        page.Items[static_cast<std::size_t>(item.Row)].FileName == item.File &&
        (view == nullptr || (item.Row < view->ItemCount() && view->AuxID(item.Row, 0).Text() == item.File));
    if (!holdsFile) {
        ItemChanged(owner);
        return;
    }
    const parms::MonitorExchangeValues& exchange = parms::MonitorExchange;
    if (exchange.MonitorFile.empty()) {
        RemoveRow(item, owner);
        return;
    }
    const auto row = static_cast<std::size_t>(item.Row);
    AssignRecord& record = page.Items[row];
    if (exchange.MonitorStartMS >= 0) {
        record.StartMS = exchange.MonitorStartMS;
    }
    if (parms::UseListSeq == 1) {
        page.Seq[row] = exchange.MonitorSeq != 0 ? 1 : 0;
    }
    if (view != nullptr) {
        view->SetAuxID(item.Row, 2, record.StartMS != 0 ? std::to_string(record.StartMS) : std::string());
        view->SetValue(item.Row, 3, StartText(record.StartMS));
        if (parms::UseListSeq == 1) {
            view->SetValue(item.Row, 2, page.Seq[row] != 0 ? parms::SeqMarkText : std::string());
        }
        view->ReDraw();
    }
    window_.Ports.Playback->DisarmTimer(item.Output);
}

void MonitorHandBack::RemoveRow(const MonitorItem& item, QWidget* owner)
{
    MainState& state = window_.State;
    const auto o = static_cast<std::size_t>(item.Output);
    ListPage& page = state.ListTable.at(static_cast<std::size_t>(ListTableIndex(item.Output, item.Page)));
    const bool shown = ListShown(item);
    if (shown) {
        const std::int32_t cursor = state.ListItem[o];
        if (cursor == item.Row && state.OutputState[o] != 0) {
            basic::ShowMessage(basic::LangText("再生中のアイテムは削除できません", "Cant Remove Playing Title."),
                               MessageCritical, "", FormOf(owner));
            return;
        }
    }
    page.Items.erase(page.Items.begin() + item.Row);
    page.Seq.erase(page.Seq.begin() + item.Row);
    if (page.Items.empty()) {
        page = ListPage{};
    }
    if (shown) {
        UC_ListView& view = *window_.LV(item.Output);
        const std::int32_t cursor = state.ListItem[o];
        const std::int32_t newCursor = cursor == item.Row ? -1 : (cursor > item.Row ? cursor - 1 : cursor);
        view.DeleteItem(item.Row);
        PlaybackPort& playback = *window_.Ports.Playback;
        playback.SetListCursor(item.Output, newCursor, state.OutputState[o] == 0 ? 1 : 0, 1);
        view.Refresh();
        playback.ShowCurrentItem(item.Output);
        window_.Ports.Remote->SendRemoteListStatus(item.Output, 0);
    }
    window_.Ports.Playback->DisarmTimer(item.Output);
    RefreshAssignments();
}

void MonitorHandBack::RefreshAssignments()
{
    MainState& state = window_.State;
    if (state.CheckCacheLite == 0 && state.SomethingPlays == 0) {
        playback::PreReadAll(state, 0);
        window_.Ports.Cache->CacheAll(1);
    }
}
