// The close request and the shutdown of the program.
#include "mainwindow/FrmMain.h"

#include "controls/ListColumnLayout.h"
#include "foundation/DayLog.h"
#include "foundation/Fonts.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "foundation/SubClass.h"
#include "foundation/WindowPositions.h"
#include "mainwindow/SettingReaders.h"
#include "platform/BusyCursor.h"
#include "platform/EventPump.h"
#include "platform/InputGate.h"
#include "platform/MessageBox.h"
#include "platform/base/AppIdentity.h"

#include <algorithm>

namespace {

std::string OutputKey(std::string_view key, int index)
{
    return std::string(key) + std::to_string(index + 1);
}

} // namespace

void FrmMain::Form_QueryUnload(int& cancel, int unloadMode)
{
    if (unloading_ || ended_) {
        // The shutdown runs already (a wait inside it let a second close in).
        cancel = 1;
        return;
    }
    // The end of the desktop session and the task manager close at once.
    if (unloadMode == UnloadBySessionEnd || unloadMode == UnloadByTaskManager) {
        return;
    }
    // Not while a press readies its player (the shutdown would close it
    // under the press), nor while the input kept in a press waits: the close
    // is asked again right after that input, as the input gate would
    // carry out a close box used then.
    const bool pressRuns =
        std::any_of(State.PonBusy.begin(), State.PonBusy.end(), [](std::int32_t busy) { return busy != 0; });
    if (pressRuns || platform::InputKept()) {
        cancel = 1;
        if (platform::InputKept()) {
            platform::AfterKeptInput(*this, [this, unloadMode] {
                if (unloadMode == platform::UnloadByUser) {
                    close();
                } else {
                    Unload();
                }
            });
        }
        return;
    }
    // Never while sound plays or is paused, nor from the task bar.
    if (WindowState() == platform::StateMinimized || State.SomethingPlays != 0) {
        cancel = 1;
        return;
    }
    if (unloadMode == platform::UnloadByUser) {
        const std::int32_t closeButtonAction = MainSettings::Long("CloseButtonAction");
        if (closeButtonAction == 1) {
            cancel = 1;
            SetWindowState(platform::StateMinimized);
            return;
        }
        if (closeButtonAction == 2) {
            cancel = 1;
            return;
        }
    }
    AskBeforeClose(cancel);
}

// The questions of SaveEnd and the save of the assign table file; true when
// the file is to be saved and was.
bool FrmMain::AskBeforeClose(int& cancel)
{
    const std::int32_t saveEnd = MainSettings::Long("SaveEnd");
    bool save = false;
    if (saveEnd == 0 || saveEnd == 1) {
        const int answer = basic::ShowMessage(basic::LangText("アプリケーションを終了しますか？", "Close The Tolv?"),
                                              platform::BoxYesNo + platform::IconQuestion, App::Title, this);
        if (answer == platform::IdNo) {
            cancel = 1;
            return false;
        }
        save = saveEnd == 1;
    } else if (saveEnd == 2) {
        const int answer =
            basic::ShowMessage(basic::LangText("アプリケーションを終了します。ボタンアサインを保存しますか？",
                                               "Close The Tolv and save setting?"),
                               platform::BoxYesNoCancel + platform::IconQuestion, "", this);
        if (answer == platform::IdCancel) {
            cancel = 1;
            return false;
        }
        save = answer == platform::IdYes;
    }
    if (!save) {
        return false;
    }
    int ok = 0;
    Ports.AssignFile->OpenSaveAssignFile(1, "", ok);
    if (ok != 0) {
        return true;
    }
    const int answer =
        basic::ShowMessage(basic::LangText("保存に失敗しました。このまま終了しますか？", "Save failed.Close anyway?"),
                           platform::BoxYesNo + platform::IconStop, App::Title, this);
    if (answer != platform::IdYes) {
        cancel = 1;
    }
    return false;
}

void FrmMain::Form_Unload(int& cancel)
{
    cancel = 0;
    if (unloading_ || ended_) {
        return;
    }
    unloading_ = true;
    // 1 to 3: busy, no longer ready, no tick.
    platform::SetBusyCursor(true);
    State.Running = 0;
    TimerUpdate.SetEnabled(false);
    TimerRC.SetEnabled(false);

    // 4 and 5: where the window is and the operator's switches.
    basic::SaveWindowPos(*this, State.DispBig == 1 ? "_Big" : "", false, true);
    basic::SaveSetting("FOTime", parms::FOTime);
    basic::SaveSetting("FITime", parms::FITime);
    basic::SaveSetting("FIOffset", parms::FIOffset);
    basic::SaveSetting("KeyPage", State.KeyTarget);
    basic::SaveSetting("AutoSel", parms::AutoSel);
    basic::SaveSetting("DispBig", State.DispBig);

    // 6. Counter modes, and every player that still sounds stops.
    for (int slot = 0; slot < State.PlayerCount; ++slot) {
        if (static_cast<std::size_t>(slot) < State.DispLap.size()) {
            basic::SaveSetting(OutputKey("DispLap_", slot), State.DispLap[static_cast<std::size_t>(slot)]);
        }
        Player& player = State.PlayerAt(slot);
        if (player.mode() > 1) {
            player.StopIO();
        }
    }
    // 7.
    platform::DoEvents();

    // 8. The boxes' lamps go off; each output's switches and list columns are kept.
    for (int output = 0; output < State.NumOut; ++output) {
        const auto o = static_cast<std::size_t>(output);
        SendFinalRemoteStatus(output);
        basic::SaveSetting(OutputKey("STBYActive_", output), State.STBYActive[o]);
        basic::SaveSetting(OutputKey("FadeOn_", output), State.FadeOn[o]);
        if (parms::IsList[o] != 0 && LV.Exists(output)) {
            const std::string prefix = "LV" + std::to_string(output + 1) + "_";
            basic::SaveListColumnOrder(*LV(output), prefix, 0);
            basic::SaveListColumnWidths(*LV(output), prefix, 0, State.SizeFactor);
        }
    }

    // 9 and 10: the remote devices close only after their last output.
    for (int channel = 0; channel < 4; ++channel) {
        if (Ports.RemoteDevices->HidOpen(channel)) {
            Ports.RemoteDevices->HidClose(channel);
        }
        if (Ports.RemoteDevices->ComOpen(channel)) {
            Ports.RemoteDevices->CloseComm(channel);
        }
    }
    if (Ports.RemoteDevices->MidiInOpen()) {
        Ports.RemoteDevices->CloseMidiIn();
    }

    // 11. Every player closes its device.
    for (int slot = 0; slot < State.PlayerCount; ++slot) {
        State.ReleasePlayer(slot);
    }

    // 12 to 14.
    UnloadDynamicControls();
    if (basic::LangDllMissing != 0) {
        basic::FreeFont();
    }
    if (State.Subclassed == 1) {
        FCT_SubClass::UnsubclassWindow(this);
        State.Subclassed = 0;
    }

    // 15 and 16.
    basic::WriteLog("***正常終了***", 0, 0);
    platform::SetBusyCursor(false);
    ended_ = true;
    unloading_ = false;
    if (OnEnded) {
        OnEnded();
    }
}

// The boxes' list tally, stop, standby and line-out lamps, then every page
// and button lamp of the output go off.
void FrmMain::SendFinalRemoteStatus(int output)
{
    const auto o = static_cast<std::size_t>(output);
    Ports.Remote->SendRemoteListStatus(output, 1);
    Ports.Remote->SendRemoteCommand(output, RemotePort::StopOff, 0);
    Ports.Remote->SendRemoteCommand(output, RemotePort::StbyDeactivate, 0);
    Ports.Remote->SendRemoteCommand(output, RemotePort::LineOutStatusOff, 0);
    for (int page = 0; page < State.PageNum; ++page) {
        Ports.Remote->SendRemoteCommand(output, RemotePort::PageOff, page);
    }
    const int buttons = parms::IsList[o] != 0 ? 0 : State.ButtonsPerPage[o];
    for (int button = 0; button < buttons; ++button) {
        Ports.Remote->SendRemoteCommand(output, RemotePort::ButtonOff, button);
    }
}

void FrmMain::EndSession()
{
    if (!loaded_ || ended_) {
        return;
    }
    sessionEnding_ = true;
    int cancel = 0;
    Form_QueryUnload(cancel, UnloadBySessionEnd);
    Form_Unload(cancel);
    hide();
}
