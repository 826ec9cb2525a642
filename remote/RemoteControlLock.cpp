// The output lock: the controls of a locked output refuse the operator, and
// the ON AIR panel and the boxes' line-out lamps show it.
#include "remote/RemoteControl.h"

#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"

#include <algorithm>

void RemoteControl::SetOutputLock(int output)
{
    MainState& state = window_.State;
    if (state.UseLineOutLock == 0 || output < 0 || output >= MainState::Outputs) {
        return;
    }
    const auto o = static_cast<std::size_t>(output);
    const int locked = state.OutputLocked[o];
    for (int k = 0; k < state.PlayersPerOutput; ++k) {
        const int slot = output * state.PlayersPerOutput + k;
        if (window_.ProgBar.Exists(slot)) {
            window_.ProgBar(slot)->SetLocked(locked);
        }
        if (window_.PlayButtons.Exists(slot)) {
            window_.PlayButtons(slot)->SetButtonDisableAll(locked, 0);
        }
        if (window_.PicCounter.Exists(slot)) {
            window_.PicCounter(slot)->SetLocked(locked);
        }
        if (state.UsePan != 0 && window_.PanSlider.Exists(slot)) {
            window_.PanSlider(slot)->SetRefuseInput(locked == 1);
        }
        if (state.UseVol != 0 && window_.VolSlider.Exists(slot)) {
            window_.VolSlider(slot)->SetLocked(locked);
        }
        if (state.UseSpeed != 0 && window_.SpeedSlider.Exists(slot)) {
            window_.SpeedSlider(slot)->SetRefuseInput(locked == 1);
        }
    }
    if (state.ShowPage[o] == 1) {
        if (window_.PageButtons.Exists(output)) {
            window_.PageButtons(output)->SetButtonDisableAll(locked, 0);
        }
        if (window_.TextPage.Exists(output)) {
            window_.TextPage(output)->SetLocked(locked);
        }
    }
    if (parms::IsList[o] != 1) {
        const int first = output * state.ButtonsPerOutput;
        for (int button = 0; button < state.ButtonsPerPage[o]; ++button) {
            if (window_.TolvButton.Exists(first + button)) {
                window_.TolvButton(first + button)->SetLocked(locked);
            }
        }
    } else if (state.ShowCtrl != 0 && window_.CtrlButton.Exists(output)) {
        window_.CtrlButton(output)->SetButtonDisableAll(locked, 0);
    }
    if (state.DispONAIR[o] == 1) {
        if (window_.TextAir.Exists(output)) {
            window_.TextAir(output)->SetColor(locked == 1 ? 1 : 0, 1);
        }
        SendRemoteCommand(output, locked == 1 ? RemoteFunction::LineOutStatusOn : RemoteFunction::LineOutStatusOn + 1,
                          1);
    }
}
