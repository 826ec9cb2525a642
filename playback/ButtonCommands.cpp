#include "playback/ButtonCommands.h"

#include "audio/AudioInfoText.h"
#include "foundation/CommonDialogs.h"
#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Parms.h"
#include "foundation/Paths.h"
#include "foundation/Programs.h"
#include "foundation/Settings.h"
#include "mainwindow/FrmMain.h"
#include "platform/BusyCursor.h"
#include "platform/CommonDialogs.h"
#include "platform/MessageBox.h"
#include "playback/ButtonGrid.h"
#include "playback/ModeMark.h"
#include "playback/PlaybackControl.h"
#include "playback/PreRead.h"
#include "playback/SlotIndexes.h"

#include <algorithm>

namespace {

constexpr std::int32_t White = 0xFFFFFF;
constexpr int WaveOutPlayer = 3;

} // namespace

FrmMain& ButtonCommands::Window()
{
    return control_.Window();
}

void ButtonCommands::RememberRightClick(int index)
{
    MainState& state = Window().State;
    if (state.ButtonsPerOutput <= 0 || index < 0) {
        return;
    }
    const int output = index / state.ButtonsPerOutput;
    if (!playback::ValidOutput(state, output)) {
        return;
    }
    target_ = {output, state.CurrentPage[playback::At(output)], index % state.ButtonsPerOutput};
    remembered_ = true;
}

ButtonCommands::Target ButtonCommands::CurrentTarget()
{
    MainState& state = Window().State;
    if (!remembered_ && state.ButtonsPerOutput > 0) {
        const int output = std::clamp(state.RCButtonIndex / state.ButtonsPerOutput, 0, MainState::Outputs - 1);
        return {output, state.CurrentPage[playback::At(output)], state.RCButtonIndex % state.ButtonsPerOutput};
    }
    return target_;
}

AssignRecord& ButtonCommands::RecordOf(const Target& target)
{
    return Window().State.ButtonTable[playback::At(ButtonTableIndex(target.output, target.page, target.button))];
}

void ButtonCommands::ShowOnButton(const Target& target, int textSlot, const std::string& text)
{
    MainState& state = Window().State;
    if (state.CurrentPage[playback::At(target.output)] != target.page) {
        return;
    }
    if (controls::UC_TolvButton* control =
            Window().TolvButton.At(target.output * state.ButtonsPerOutput + target.button)) {
        control->SetText(textSlot, text);
    }
}

void ButtonCommands::ApplyColoursAndDraw(const Target& target)
{
    MainState& state = Window().State;
    grid_.ApplyColours(target.output, target.page, target.button);
    if (state.CurrentPage[playback::At(target.output)] != target.page) {
        return;
    }
    if (controls::UC_TolvButton* control =
            Window().TolvButton.At(target.output * state.ButtonsPerOutput + target.button)) {
        control->Draw(0);
    }
}

void ButtonCommands::RCButtonFCT(int command)
{
    MainState& state = Window().State;
    if (state.ButtonsPerOutput <= 0) {
        return;
    }
    const Target target = CurrentTarget();
    if (!playback::ValidOutput(state, target.output) || target.page < 0 || target.page >= AssignPages ||
        target.button < 0 || target.button >= AssignButtons) {
        return;
    }
    AssignRecord& record = RecordOf(target);
    switch (command) {
    case 0:
        AssignFromDialog(target);
        break;
    case 1:
        Clear(target);
        break;
    case 2:
        MonSound(0);
        break;
    case 3:
        EditSound();
        break;
    case 4:
        MonSound(1);
        break;
    case 5:
        ShowSoundInfo(record.FileName);
        break;
    case 6:
    case 7:
    case 8:
    case 9:
        record.PlayMode = command - 6;
        ShowOnButton(target, 3, playback::ModeMark(record.PlayMode));
        ApplyColoursAndDraw(target);
        control_.DisarmTimer(target.output);
        break;
    case 10:
    case 11: {
        platform::ColourDialogRequest request;
        request.owner = &Window();
        request.current = command == 10 ? record.TextColor : record.BackColor;
        const std::optional<std::int32_t> chosen = platform::ShowColourDialog(request);
        if (!chosen) {
            return;
        }
        (command == 10 ? record.TextColor : record.BackColor) = *chosen;
        ApplyColoursAndDraw(target);
        break;
    }
    case 12:
        record.TextColor = White;
        record.BackColor = 0;
        ApplyColoursAndDraw(target);
        break;
    default:
        break;
    }
}

void ButtonCommands::AssignFromDialog(const Target& target)
{
    std::string path;
    {
        platform::ScopedBusyCursor busy;
        const std::string filter = parms::PlayerType == 0 || parms::PlayerType == WaveOutPlayer
                                       ? basic::LangText("wavファイル|*.wav", "wav File|*.wav")
                                       : std::string();
        path = basic::FileDialog(&Window(), 0, filter, basic::GetSetting("SelDir", ""), "", -1);
    }
    if (path.empty()) {
        return;
    }
    basic::SaveSetting("SelDir", basic::FixTrailingSeparator(basic::GetPathPart(path, 1, 0, 0, 0, 0, 0), 0));
    grid_.AssignButtonOnPage(target.output, target.page, target.button, path);
}

void ButtonCommands::Clear(const Target& target)
{
    MainState& state = Window().State;
    grid_.ClearButton(target.output, target.page, target.button);
    if (state.CheckCacheLite == 0 && state.SomethingPlays == 0) {
        playback::PreReadAll(state, 0);
        if (Window().Ports.Cache != nullptr) {
            Window().Ports.Cache->CacheAll(1);
        }
    }
}

void ButtonCommands::MonSound(int mode)
{
    MainState& state = Window().State;
    parms::MonitorExchangeValues& monitor = parms::MonitorExchange;
    const int output = monitor.MonitorOutput;
    if (!playback::ValidOutput(state, output)) {
        return;
    }
    // The window keeps the item it was opened for, so its result goes back
    // there even after a page switch.
    MonitorItem item;
    if (parms::IsList[playback::At(output)] != 0) {
        if (!ListItemForMonitor) {
            basic::WriteLog("The play list's rows for the monitor window: not available in this build", 0, 0);
            return;
        }
        if (!ListItemForMonitor(output, item)) {
            return;
        }
    } else {
        const Target target = CurrentTarget();
        if (target.output != output) {
            return;
        }
        const AssignRecord& record = RecordOf(target);
        monitor.MonitorFile = record.FileName;
        monitor.MonitorStartMS = record.StartMS;
        monitor.MonitorPlayMode = record.PlayMode;
        monitor.MonitorColors = {record.TextColor, record.BackColor};
        item.Output = target.output;
        item.Page = target.page;
        item.Button = target.button;
        item.File = monitor.MonitorFile;
    }
    if (Window().Ports.MonitorWindow == nullptr) {
        basic::WriteLog("The monitor window: not available in this build", 0, 0);
        return;
    }
    Window().Ports.MonitorWindow->StartMon(Window(), item, mode);
}

void ButtonCommands::EditSound()
{
    MainState& state = Window().State;
    if (parms::EditApp.empty() || basic::FileExists(parms::EditApp) == 0) {
        return;
    }
    const int output = parms::MonitorExchange.MonitorOutput;
    if (!playback::ValidOutput(state, output)) {
        return;
    }
    std::string path;
    if (parms::IsList[playback::At(output)] != 0) {
        path = ListItemFile ? ListItemFile(output) : std::string();
        if (path.empty()) {
            return;
        }
    } else {
        const Target target = CurrentTarget();
        if (target.output != output) {
            return;
        }
        path = RecordOf(target).FileName;
    }
    if (!path.empty() && basic::FileExists(path) != 0) {
        // The file goes as one argument, blanks and all.
        if (basic::RunProgram(parms::EditApp, path, 1, "") <= 0) {
            basic::WriteLog("The editor program \"" + parms::EditApp + "\" could not be started", 1, 0);
        }
    } else {
        basic::ShowMessage(basic::LangText("ファイルが見つかりません", "file not found") + "\n" + path,
                           platform::IconInformation, "", &Window());
    }
    control_.DisarmTimer(output);
}

void ButtonCommands::ShowSoundInfo(std::string_view path)
{
    if (!path.empty() && basic::FileExists(path) != 0) {
        basic::ShowMessage(FCT_AudioInf::GetAudioInfoText(path, 0, 1, 0).Text, platform::IconInformation, "",
                           &Window());
    } else {
        basic::ShowMessage(basic::LangText("ファイルが見つかりません", "file not found") + "\n" + std::string(path),
                           platform::IconInformation, "", &Window());
    }
}
