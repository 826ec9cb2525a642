#include "playback/Standby.h"

#include "mainwindow/FrmMain.h"
#include "playback/PlaybackControl.h"
#include "playback/SlotIndexes.h"

using playback::At;

namespace {

constexpr int StbyActivate = 17;
constexpr int StbyDeactivate = 18;

} // namespace

void Standby::PlayStandby(int output, int startOffsetMs)
{
    FrmMain& window = control_.Window();
    MainState& state = window.State;
    if (!playback::ValidOutput(state, output)) {
        return;
    }
    const auto o = At(output);
    if (state.StandbySet[o] != 1 || state.STBYActive[o] != 1) {
        return;
    }
    if (state.CurrentPage[o] != state.StandbyPage[o]) {
        window.Ports.Playback->ChangePage(output, state.StandbyPage[o], 0);
    }
    control_.Pon(output, state.StandbyButton[o], 1, startOffsetMs, 0);
}

void Standby::TextSTBY_MouseUD(int index, int button, bool isDown, int)
{
    FrmMain& window = control_.Window();
    MainState& state = window.State;
    if (isDown || button != 1 || index < 0 || index >= MainState::Outputs) {
        return;
    }
    const auto o = At(index);
    if (state.OutputState[o] != 0 || state.OutputLocked[o] != 0 || state.DispSTBY[o] == 0) {
        return;
    }
    state.StandbySet[o] = 0;
    if (state.STBYActive[o] == 0) {
        state.STBYActive[o] = 1;
        window.Ports.Remote->SendRemoteCommand(index, StbyActivate, 0);
    } else {
        state.STBYActive[o] = 0;
        window.Ports.Remote->SendRemoteCommand(index, StbyDeactivate, 0);
        control_.RefreshButtons(index, 0);
    }
    if (controls::UC_TextPicture* label = window.TextSTBY.At(index); label != nullptr) {
        label->SetColor(state.STBYActive[o], 1);
    }
    window.Ports.Remote->SendRemoteListStatus(index, 0);
}
