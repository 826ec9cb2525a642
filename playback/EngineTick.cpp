#include "playback/EngineTick.h"

#include "foundation/Background.h"
#include "foundation/Conversions.h"
#include "foundation/Parms.h"
#include "foundation/SubClass.h"
#include "foundation/Waits.h"
#include "mainwindow/FrmMain.h"
#include "platform/base/Clock.h"
#include "playback/PlaybackControl.h"
#include "playback/SlotIndexes.h"

#include <QMenu>

#include <cmath>

using playback::At;

namespace {

constexpr int PlayOn = 6;
constexpr int PlayOff = 7;
constexpr int StopOn = 10;
constexpr int StopOff = 11;
constexpr int PauseOn = 15;
constexpr int PauseOff = 16;

constexpr int Idle = 0;
constexpr int Playing = 1;
constexpr int Paused = 2;

} // namespace

int EngineTick::NextInterval(int timerInt, long long elapsedMs)
{
    const long long next = static_cast<long long>(timerInt) - elapsedMs;
    return static_cast<int>(std::clamp<long long>(next, 1, std::max(1, timerInt)));
}

void EngineTick::TimerUpdate_Timer()
{
    FrmMain& window = control_.Window();
    MainState& state = window.State;
    if (state.Running == 0) {
        return;
    }
    window.TimerUpdate.SetInterval(0);
    const double start = platform::Timer();
    if (control_.Observing()) {
        control_.Observe("Timer=" + std::to_string(start));
    }
    const int outputs = std::min(state.NumOut, MainState::Outputs);

    const auto anyBusy = [&state] {
        return std::any_of(state.PonBusy.begin(), state.PonBusy.end(), [](std::int32_t busy) { return busy != 0; });
    };
    if (anyBusy()) {
        Rearm(start);
        return;
    }
    if (state.SomethingPlays == 0) {
        if (control_.Hooks.ShowPendingPopup) {
            control_.Hooks.ShowPendingPopup();
        }
        const std::string handedOver = FCT_SubClass::GetCopyDataText(&window);
        if (!handedOver.empty()) {
            control_.Observe("RcvCommand");
            window.ApplyCommandLine(handedOver);
            Rearm(start);
            return;
        }
    }
    control_.Observe("TimerRemote");
    if (control_.Hooks.PollRemote) {
        control_.Hooks.PollRemote();
    }
    control_.Observe("CheckTimer");
    if (control_.Hooks.CheckTimer) {
        control_.Hooks.CheckTimer();
    }
    if (parms::PlayerType == 3) {
        for (int output = 0; output < outputs; ++output) {
            auto& parked = state.ParkedRequest[At(output)];
            if (parked[0] == 1 && state.OutputState[At(output)] == Idle) {
                parked[0] = 0;
                control_.Observe("PonStart By MutingParm");
                control_.Pon(output, parked[1], parked[2], parked[3], 1);
            }
        }
    }
    for (int output = 0; output < outputs; ++output) {
        const auto o = At(output);
        if (state.OutputState[o] > Idle && state.StopWhenStarted[o] == 1) {
            state.StopWhenStarted[o] = 0;
            control_.Observe("StopAll By StopReqByRemote");
            control_.StopOutput(output);
        }
    }
    // An output whose play request runs nested from here on is left alone
    // for the rest of the run.
    Busy busy{};
    for (int output = 0; output < MainState::Outputs; ++output) {
        busy[At(output)] = state.PonBusy[At(output)] != 0;
    }
    for (int output = 0; output < outputs; ++output) {
        if (state.FadeOn[At(output)] == 1 && control_.Hooks.ProcessFade) {
            control_.Hooks.ProcessFade(output);
        }
    }
    for (int output = 0; output < outputs; ++output) {
        if (!busy[At(output)]) {
            state.OutputState[At(output)] = Idle;
        }
    }
    control_.Observe("ProgPlay");
    int stopped = 0;
    int started = 0;
    for (int slot = 0; slot < state.PlayerCount; ++slot) {
        const int output = playback::OutputOfSlot(state, slot);
        if (output >= MainState::Outputs || busy[At(output)] || !playback::ValidSlot(state, slot)) {
            continue;
        }
        const Shown shown = ReadPlayer(slot);
        stopped += shown == Shown::Stopped ? 1 : 0;
        started += shown == Shown::Started ? 1 : 0;
    }
    // The trace names the stops before the starts, whichever slots they were.
    for (int i = 0; i < stopped; ++i) {
        control_.Observe("Play Stopped");
    }
    for (int i = 0; i < started; ++i) {
        control_.Observe("Play Started");
    }

    bool changed = false;
    for (int output = 0; output < outputs; ++output) {
        const auto o = At(output);
        if (busy[o] || state.OutputState[o] == state.LastOutputState[o]) {
            continue;
        }
        changed = true;
        OutputChanged(output);
    }
    if (!changed) {
        if (state.SomethingPlays == 0 && state.ShowObservation == 1 && control_.Hooks.DrawStatusBar) {
            control_.Hooks.DrawStatusBar();
        }
        Rearm(start);
        return;
    }
    state.SomethingPlays = std::any_of(state.OutputState.begin(), state.OutputState.end(),
                                       [](std::int32_t outputState) { return outputState != Idle; })
                               ? 1
                               : 0;
    FCT_SubClass::SetCaptionLock(&window, state.SomethingPlays);
    const bool enabled = state.SomethingPlays == 0;
    for (QAction* item :
         {window.MenuDispBig, window.MenuToolP->menuAction(), window.MenuCacheP->menuAction(), window.MenuConf,
          window.MenuFileP->menuAction(), window.MenuEditor, window.MenuHelpP->menuAction(), window.MenuClose}) {
        if (item != nullptr) {
            item->setEnabled(enabled);
        }
    }
    if (state.SomethingPlays != 0) {
        basic::PaintBackground(window.Picture(), 0, -1, -1, -1);
        window.update();
    } else if (state.ShowObservation == 1 && control_.Hooks.DrawStatusBar) {
        control_.Hooks.DrawStatusBar();
    }
    Rearm(start);
}

EngineTick::Shown EngineTick::ReadPlayer(int slot)
{
    FrmMain& window = control_.Window();
    MainState& state = window.State;
    const int output = playback::OutputOfSlot(state, slot);
    const auto o = At(output);
    const auto s = At(slot);
    Player& player = state.PlayerAt(slot);
    const bool samplePositions = parms::UseSamplePos == 1;
    if (samplePositions) {
        player.ProgressionPlay();
    }
    const std::int32_t mode = player.mode();
    const bool playing = mode == 3 && player.Length() > 0;
    controls::UC_Bar* bar = window.ProgBar.At(slot);

    if (!playing && mode != 2) {
        if (state.PlayerShownState[s] == Idle) {
            return Shown::Unchanged;
        }
        control_.SetPlayButtons(slot, Transport::PlayButton, Transport::Off, 0);
        if (parms::UsePause == 1) {
            control_.SetPlayButtons(slot, Transport::PauseOrSelectButton, Transport::Off, 0);
            window.Ports.Remote->SendRemoteCommand(output, PauseOff, 0);
        }
        control_.RefreshButtons(output, 0);
        state.PlayerShownState[s] = Idle;
        if (bar != nullptr) {
            bar->SetValue(0);
        }
        if (parms::IsList[o] != 0 && state.PlayersPerOutput == 1) {
            player.SetFileName("");
            state.FromMS[s] = 0;
            state.ToMS[s] = 0;
            state.SpanMS[s] = 0;
            state.PlayerTitle[s].clear();
            control_.UpdateCounter(slot, 0);
            if (parms::DispBarTime != 0 && bar != nullptr) {
                bar->update();
            }
        } else {
            // Ready to play the same range again from the transport.
            player.SetFromMS(state.FromMS[s]);
        }
        if (samplePositions) {
            if (controls::UC_VVU* meter = window.VUL.At(slot); meter != nullptr) {
                meter->ClearVU();
            }
            if (controls::UC_VVU* meter = window.VUR.At(slot); meter != nullptr) {
                meter->ClearVU();
            }
        }
        return Shown::Stopped;
    }
    if (mode == 2 && !playing) {
        if (parms::UsePause == 1) {
            state.OutputState[o] = Paused;
            if (state.PlayerShownState[s] != Paused) {
                control_.SetPlayButtons(slot, Transport::PauseOrSelectButton, Transport::Lit, 0);
                window.Ports.Remote->SendRemoteCommand(output, PauseOn, 0);
                state.PlayerShownState[s] = Paused;
            }
        }
        return Shown::Unchanged;
    }

    state.OutputState[o] = Playing;
    const Shown shown = state.PlayerShownState[s] != Playing ? Shown::Started : Shown::Unchanged;
    if (state.PlayerShownState[s] != Playing) {
        control_.SetPlayButtons(slot, Transport::PlayButton, Transport::Lit, 0);
        state.PlayerShownState[s] = Playing;
        if (parms::UsePause == 1) {
            control_.SetPlayButtons(slot, Transport::PauseOrSelectButton, Transport::Off, 0);
            window.Ports.Remote->SendRemoteCommand(output, PauseOff, 0);
        }
        if (parms::IsList[o] == 0) {
            control_.RefreshButtons(output, 0);
        }
    }
    if (samplePositions) {
        const std::int32_t left = player.RMS(0);
        const std::int32_t right = player.RMS(1);
        state.PlayerLevel[s] = std::abs(left) + std::abs(right);
        if (controls::UC_VVU* meter = window.VUL.At(slot); meter != nullptr) {
            meter->DrawVU(static_cast<float>(basic::LinearToDb(left / 128.0)),
                          static_cast<float>(basic::LinearToDb(player.Peak(0) / 128.0)), nullptr, 0, 0);
        }
        if (controls::UC_VVU* meter = window.VUR.At(slot); meter != nullptr) {
            meter->DrawVU(static_cast<float>(basic::LinearToDb(right / 128.0)),
                          static_cast<float>(basic::LinearToDb(player.Peak(1) / 128.0)), nullptr, 0, 0);
        }
    } else {
        state.PlayerLevel[s] = 1;
    }
    const bool dragging = bar != nullptr && bar->Clicked();
    if (dragging || state.SpanMS[s] <= 0) {
        return shown;
    }
    const std::int32_t position = player.Position();
    const double fraction =
        static_cast<double>(position - state.FromMS[s]) / static_cast<double>(state.SpanMS[s]) * 1000.0;
    if (bar != nullptr) {
        bar->SetValue(static_cast<int>(std::clamp(std::nearbyint(fraction), 0.0, 1000.0)));
    }
    control_.UpdateCounter(slot, 0);
    if (state.PlayerLevel[s] >= 1 && state.LastPosition[s] != 0 && state.LastPosition[s] < position) {
        state.PlayerProgress[s] = 1;
        state.ProgressSeen[o] = 1;
    }
    if (state.DispONAIR[o] == 1 && state.PlayersPerOutput == 1 && state.UseLineOutLock == 0) {
        const std::int64_t before = (static_cast<std::int64_t>(state.ToMS[s]) - state.LastPosition[s]) / 1000;
        const std::int64_t now = (static_cast<std::int64_t>(state.ToMS[s]) - position) / 1000;
        if (now < before && now < 21) {
            if (controls::UC_TextPicture* air = window.TextAir.At(output); air != nullptr) {
                air->SetColor(before % 2 != 0 ? 1 : 0, 1);
            }
        }
    }
    state.LastPosition[s] = position;
    return shown;
}

void EngineTick::OutputChanged(int output)
{
    FrmMain& window = control_.Window();
    MainState& state = window.State;
    RemotePort& remote = *window.Ports.Remote;
    const auto o = At(output);
    const std::int32_t now = state.OutputState[o];
    control_.Observe("tSW");
    if (now == Playing || now == Paused) {
        remote.SendRemoteCommand(output, PlayOn, 0);
        remote.SendRemoteCommand(output, StopOff, 0);
        remote.SendRemoteCommand(output, now == Playing ? PauseOff : PauseOn, 0);
    } else {
        if (parms::IsList[o] != 0) {
            if (state.ShowCurrent != 0) {
                if (controls::UC_TextPicture* current = window.PictureCurrent.At(output); current != nullptr) {
                    current->DispMes(0, "", 1);
                    current->DispMes(1, "", 0);
                }
            }
            if (state.ProgressSeen[o] > 0 || state.CheckProg == 0) {
                int startNext = 0;
                control_.AdvanceListItem(output, startNext);
                if (startNext != 0) {
                    control_.Observe("Seq Play PonStart");
                    control_.Pon(output, 0, 0, 0, 1);
                }
            } else {
                // The row never really played: it stays the next one.
                control_.SetListCursor(output, state.ListItem[o], 1, 0);
            }
        }
        remote.SendRemoteCommand(output, PlayOff, 0);
        remote.SendRemoteCommand(output, StopOn, 0);
        remote.SendRemoteCommand(output, PauseOff, 0);
    }
    if (state.DispONAIR[o] == 1 && state.UseLineOutLock == 0) {
        if (controls::UC_TextPicture* air = window.TextAir.At(output); air != nullptr) {
            air->SetColor(now < 1 ? 0 : 1, 1);
        }
    }
    control_.ShowCurrentItem(output);
    control_.Observe("StbyTallyOut");
    remote.SendRemoteListStatus(output, 0);
    state.LastOutputState[o] = now;
}

void EngineTick::Rearm(double start)
{
    FrmMain& window = control_.Window();
    const long long elapsed = std::llround(basic::ElapsedSince(start, 0) * 1000.0);
    const int next = NextInterval(parms::TimerInt, elapsed);
    if (control_.Observing()) {
        control_.Observe("Interval=" + std::to_string(next));
    }
    window.TimerUpdate.SetInterval(next);
}
