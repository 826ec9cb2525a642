#include "playback/ButtonLamps.h"

#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "playback/PlaybackControl.h"
#include "playback/SlotIndexes.h"

namespace {

constexpr int ButtonOnFunction = 3;
constexpr int ButtonOffFunction = 4;
constexpr int ButtonStbyFunction = 5;

} // namespace

void ButtonLamps::RefreshButtons(int output, int force)
{
    FrmMain& window = control_.Window();
    MainState& state = window.State;
    if (!playback::ValidOutput(state, output) || parms::IsList[playback::At(output)] != 0) {
        return;
    }
    const auto o = playback::At(output);
    const int page = state.CurrentPage[o];
    const int buttons = std::min(state.ButtonsPerPage[o], AssignButtons);
    for (int button = 0; button < buttons; ++button) {
        int lamp = Idle;
        if (state.STBYActive[o] != 0 && state.StandbySet[o] != 0) {
            if (page == state.StandbyPage[o] && button == state.StandbyButton[o]) {
                lamp = Cued;
            }
        } else if (state.AssignSTBY == 1 && page >= 0 && page < AssignPages) {
            const AssignRecord& record = state.ButtonTable[playback::At(ButtonTableIndex(output, page, button))];
            if (!record.FileName.empty() && record.LengthMS >= 1) {
                lamp = Cued;
            }
        }
        const int index = output * state.ButtonsPerOutput + button;
        const int first = playback::FirstSlot(state, output);
        for (int slot = first; slot < first + playback::PlayersPerOutput(state); ++slot) {
            if (playback::ValidSlot(state, slot) && state.PlayingButton[playback::At(slot)] == std::pair{page, index} &&
                state.PlayerAt(slot).mode() > 1) {
                lamp = Playing;
            }
        }
        const controls::UC_TolvButton* control = window.TolvButton.At(index);
        if (force == 0 && lamp == Idle && (control == nullptr || control->Activated() == 0)) {
            continue;
        }
        SetButtonState(lamp, index, force);
    }
}

void ButtonLamps::SetButtonState(int state, int index, int force)
{
    FrmMain& window = control_.Window();
    MainState& main = window.State;
    if (index < 0 || main.ButtonsPerOutput <= 0 || index >= main.NumOut * main.ButtonsPerOutput) {
        return;
    }
    controls::UC_TolvButton* control = window.TolvButton.At(index);
    if (control == nullptr) {
        return;
    }
    int lamp = 0;
    if (state == Playing || state == Cued) {
        lamp = main.StateColorSet[playback::At(state)];
    }
    if (force == 0 && control->Activated() == lamp) {
        return;
    }
    control->SetActivated(lamp);
    if (main.LEDFrame != 0) {
        if (const PicturePanel* frame = window.PictureTolv.At(lamp); frame != nullptr) {
            control->SetPicHDC(&frame->Picture());
        }
    }
    control->Draw(0);
    const int function = state == Idle      ? ButtonOffFunction
                         : state == Playing ? ButtonOnFunction
                         : state == Cued    ? ButtonStbyFunction
                                            : 0;
    if (function != 0) {
        window.Ports.Remote->SendRemoteCommand(index / main.ButtonsPerOutput, function, index % main.ButtonsPerOutput);
    }
}
