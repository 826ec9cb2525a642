#include "playback/Transport.h"

#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "playback/PlaybackControl.h"
#include "playback/SlotIndexes.h"

using playback::At;

void Transport::StopOutput(int output)
{
    MainState& state = control_.Window().State;
    if (!playback::ValidOutput(state, output)) {
        return;
    }
    state.PlayingMode[At(output)] = 0;
    state.StoppedByUser[At(output)] = 1;
    const int first = playback::FirstSlot(state, output);
    for (int slot = first; slot < first + playback::PlayersPerOutput(state); ++slot) {
        if (!playback::ValidSlot(state, slot)) {
            continue;
        }
        // A mute tail waits here, pumping; the flag below is what a play
        // request running inside that wait must not see yet.
        state.PlayerAt(slot).StopIO();
        state.StopRequested[At(slot)] = 1;
    }
}

void Transport::ClearOutput(int output)
{
    FrmMain& window = control_.Window();
    MainState& state = window.State;
    if (!playback::ValidOutput(state, output)) {
        return;
    }
    const int first = playback::FirstSlot(state, output);
    for (int slot = first; slot < first + playback::PlayersPerOutput(state); ++slot) {
        if (!playback::ValidSlot(state, slot)) {
            continue;
        }
        const auto s = At(slot);
        state.PlayerAt(slot).SetFileName("");
        state.FromMS[s] = 0;
        state.ToMS[s] = 0;
        state.SpanMS[s] = 0;
        state.PlayerTitle[s].clear();
        control_.Counters.UpdateCounter(slot, 0);
        if (parms::DispBarTime != 0) {
            if (controls::UC_Bar* bar = window.ProgBar.At(slot); bar != nullptr) {
                bar->SetValue(bar->Value());
                bar->update();
            }
        }
        if (state.CounterTitle[s] == 1) {
            if (controls::UC_TextPicture* counter = window.PicCounter.At(slot); counter != nullptr) {
                counter->DispMes(0, "", 0);
            }
        }
    }
}

void Transport::SetPlayButtons(int slot, int button, int state, int skipButton)
{
    FrmMain& window = control_.Window();
    if (skipButton == 0 && (parms::UsePause == 1 || button != PauseOrSelectButton)) {
        if (controls::UC_Buttons* row = window.PlayButtons.At(slot); row != nullptr) {
            row->SetButtonState(button, state);
        }
    }
    if (button == PlayButton) {
        if (controls::UC_TextPicture* counter = window.PicCounter.At(slot); counter != nullptr) {
            counter->SetColor(state < 1 ? 0 : 1, 0);
        }
        control_.Counters.UpdateCounter(slot, 0);
    }
}

void Transport::PlayButtons_ButtonClicked(int index, int clickedIndex)
{
    FrmMain& window = control_.Window();
    MainState& state = window.State;
    if (!playback::ValidSlot(state, index)) {
        return;
    }
    const int output = playback::OutputOfSlot(state, index);
    const auto o = At(output);
    const controls::UC_Buttons* row = window.PlayButtons.At(index);
    if (clickedIndex < 0 || (row != nullptr && clickedIndex >= row->NumButtons())) {
        return;
    }
    Player& player = state.PlayerAt(index);
    switch (clickedIndex) {
    case StopButton:
        // Only this player stops; the play mode stays.
        state.StoppedByUser[o] = 1;
        player.StopIO();
        state.StopRequested[At(index)] = 1;
        return;
    case PlayButton:
        if (player.mode() == 2) {
            player.Pause();
            return;
        }
        if (state.OutputState[o] >= 1 && parms::IsList[o] != 0 && state.ListWhilePlay == 2) {
            return;
        }
        if (state.PlayersPerOutput > 1 && (parms::IsList[o] != 0 || state.StandbySet[o] != 0)) {
            SelectPlayerButton(output, index);
        }
        if (parms::IsList[o] != 0) {
            control_.Pon(output, 0, 0, 0, 0);
        } else if (state.STBYActive[o] == 0) {
            // Replays the range loaded last; nothing after a failed start.
            if (state.SpanMS[At(index)] > 0) {
                player.Play();
            }
        } else {
            control_.PlayStandby(output, 0);
        }
        if (state.PlayerAt(index).mode() == 3) {
            SetPlayButtons(index, PlayButton, Lit, 0);
        }
        return;
    case PauseOrSelectButton:
        if (state.PlayersPerOutput > 1) {
            SelectPlayerButton(output, index);
        } else if (parms::UsePause == 1 && player.mode() >= 2) {
            player.Pause();
        }
        return;
    default:
        return;
    }
}

void Transport::SelectPlayerButton(int output, int slot)
{
    FrmMain& window = control_.Window();
    MainState& state = window.State;
    if (!playback::ValidOutput(state, output)) {
        return;
    }
    const int players = playback::PlayersPerOutput(state);
    state.CurrentPlayer[At(output)] = slot % players;
    // These back-ends have one output, so row k is the row of player k.
    for (int k = 0; k < players; ++k) {
        if (controls::UC_Buttons* row = window.PlayButtons.At(k); row != nullptr) {
            row->SetButtonState(PauseOrSelectButton, k == state.CurrentPlayer[At(output)] ? Lit : Off);
        }
    }
}

void Transport::ShowPlayStatus(int slot, std::string_view text)
{
    FrmMain& window = control_.Window();
    MainState& state = window.State;
    if (!playback::ValidSlot(state, slot)) {
        return;
    }
    const int output = playback::OutputOfSlot(state, slot);
    if (state.CounterTitle[At(slot)] == 1) {
        if (controls::UC_TextPicture* counter = window.PicCounter.At(slot); counter != nullptr) {
            counter->DispMes(1, text, 0);
        }
    } else if (parms::IsList[At(output)] != 0 && state.ShowCurrent != 0) {
        if (controls::UC_TextPicture* current = window.PictureCurrent.At(output); current != nullptr) {
            current->DispMes(0, text, 0);
        }
    }
}
