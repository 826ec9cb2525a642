#include "playback/PlayFunction.h"

#include "audio/CueMarkerPositions.h"
#include "audio/WaveHeader.h"
#include "foundation/DayLog.h"
#include "foundation/Drives.h"
#include "foundation/FileAccess.h"
#include "foundation/Parms.h"
#include "foundation/Paths.h"
#include "mainwindow/FrmMain.h"
#include "platform/ServerPaths.h"
#include "platform/audio/MediaGraph.h"
#include "platform/base/Clock.h"
#include "platform/base/Hooks.h"
#include "playback/CacheNames.h"
#include "playback/PlaybackControl.h"
#include "playback/SlotIndexes.h"

#include <cmath>
#include <optional>

using playback::At;

namespace {

// PonBusy counts the requests running on an output, so that a request
// nested inside another one (its waits pump events) never clears the outer
// one's guard. The count drops on every way out.
class BusyGuard {
public:
    explicit BusyGuard(std::int32_t& busy) : busy_(busy) { ++busy_; }
    ~BusyGuard() { Release(); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
    void Release()
    {
        if (held_) {
            held_ = false;
            --busy_;
        }
    }

private:
    std::int32_t& busy_;
    bool held_ = true;
};

void Log(const std::string& text)
{
    basic::WriteLog(text, 0, 0);
}

std::int32_t AddClamped(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(a + b, INT32_MIN, INT32_MAX));
}

} // namespace

bool PlayFunction::CacheWouldHold(const std::string& path, int cacheAll)
{
    if (cacheAll == 1 || platform::IsServerPath(path)) {
        return true;
    }
    return basic::GetDriveKind(path, 0, 0) != 1;
}

void PlayFunction::Pon(int output, int button, int fromStandby, int startOffsetMs, int noTick)
{
    // A press runs whole: no click, key, menu, close or drop taken in one of
    // its waits may open a dialog, release the player it holds or start
    // another press; what comes meanwhile is carried out after it.
    const platform::InputHold hold;
    // Nor does it keep that input waiting beyond the graph's own limit,
    // whatever its file's share does: every wait in it ends by then.
    const platform::PressDeadline deadline(platform::audio::MediaGraph::PrerollLimitMs());
    FrmMain& window = control_.Window();
    MainState& state = window.State;
    if (button < 0 || !playback::ValidOutput(state, output)) {
        return;
    }
    const auto o = At(output);
    BusyGuard busy(state.PonBusy[o]);
    if (control_.Observing()) {
        control_.Observe("PonStart " + std::to_string(button));
    }

    // Minimum interval between two starts; an interval of exactly NoPlayMS plays.
    if (state.NoPlayMS > 0) {
        const double sinceLast = std::abs(platform::Timer() - state.LastStartTime[o]) * 1000.0;
        if (std::llround(sinceLast) < state.NoPlayMS) {
            return;
        }
    }
    // A request that meets a mute tail waits for the tick that sees the output idle.
    if (parms::PlayerType == 3) {
        Player& player = state.PlayerAt(playback::FirstSlot(state, output));
        if (player.WhileMute() != 0) {
            player.SetCancelMute(1);
            state.ParkedRequest[o] = {1, button, fromStandby, startOffsetMs};
            return;
        }
        state.ParkedRequest[o][0] = 0;
    }
    const int first = playback::FirstSlot(state, output);
    const int players = playback::PlayersPerOutput(state);
    for (int slot = first; slot < first + players; ++slot) {
        if (playback::ValidSlot(state, slot)) {
            state.StopRequested[At(slot)] = 0;
        }
    }
    control_.DisarmTimer(output);

    std::string path;
    std::int32_t startOffset = 0;
    int controlIndex = 0;
    const int page = state.CurrentPage[o];
    const bool isList = parms::IsList[o] != 0;
    if (!isList) {
        if (page < 0 || page >= AssignPages || button >= AssignButtons) {
            return;
        }
        controlIndex = output * state.ButtonsPerOutput + button;
        const AssignRecord record = state.ButtonTable[At(ButtonTableIndex(output, page, button))];
        path = record.FileName;
        if (state.BlankToStop == 0 && path.empty()) {
            return;
        }
        // A second press of the Latch or Toggle button that plays stops it;
        // another button stops that sound and goes on to start.
        if (parms::PlayerType == 3 && state.STBYActive[o] == 0 && state.OutputState[o] >= 1 &&
            (state.PlayingMode[o] == 2 || state.PlayingMode[o] == 3)) {
            control_.StopOutput(output);
            if (playback::ValidSlot(state, first)) {
                state.StopRequested[At(first)] = 0;
                if (state.PlayingButton[At(first)] == std::pair{page, controlIndex}) {
                    return;
                }
            }
        }
        startOffset = AddClamped(record.StartMS, startOffsetMs);
        state.PlayingMode[o] = parms::PlayerType == 3 ? record.PlayMode : 0;
        if (state.STBYActive[o] == 1 && fromStandby != 1) {
            state.StandbySet[o] = 1;
            state.StandbyButton[o] = button;
            state.StandbyPage[o] = page;
            control_.RefreshButtons(output, 0);
            control_.ShowCurrentItem(output);
            window.Ports.Remote->SendRemoteListStatus(output, 0);
            return;
        }
    } else {
        UC_ListView* list = window.LV.At(output);
        if (list == nullptr || list->ItemCount() == 0) {
            return;
        }
        const int selected = list->SelectedItem();
        if (selected >= 0) {
            control_.SetListCursor(output, selected, 0, 0);
        } else if (state.OutputState[o] != 0) {
            switch (state.ListWhilePlay) {
            case 0:
                if (state.CheckProg == 1 && state.ProgressSeen[o] == 0) {
                    control_.SetListCursor(output, state.ListItem[o], 0, 0);
                } else {
                    int startNext = 0;
                    control_.AdvanceListItem(output, startNext);
                    control_.SetListCursor(output, state.ListItem[o], 0, 0);
                    if (state.ListItem[o] < 0) {
                        Log("ListFail1");
                        return;
                    }
                }
                break;
            case 1:
                control_.SetListCursor(output, state.ListItem[o], 0, 0);
                break;
            default:
                break;
            }
        } else {
            control_.SetListCursor(output, state.ListItem[o], 0, 0);
        }
        const int row = state.ListItem[o];
        if (row < 0) {
            return;
        }
        list->ShowItem(row, 1);
        path = list->AuxID(row, 0).Text();
        // A row without a start value starts at its cue start plus the
        // caller's offset (a late start timer must still end on time).
        const std::optional<double> rowStart = list->AuxID(row, 2).Number();
        startOffset = rowStart.has_value() && std::isfinite(*rowStart)
                          ? AddClamped(static_cast<std::int64_t>(std::clamp(*rowStart, -2e9, 2e9)), startOffsetMs)
                          : startOffsetMs;
        if (path.empty()) {
            Log("ListFail3");
            return;
        }
        state.PlayingMode[o] = 0;
    }

    // The player that plays.
    int slot = output;
    bool delayed = false;
    if (parms::SinglePlayer == 1 || players == 1) {
        state.CurrentPlayer[o] = output;
        slot = output;
    } else {
        const int current = state.CurrentPlayer[o];
        if ((state.FadeOn[o] == 1 || parms::AutoSel == 1) && state.PlayerAt(first + current).mode() == 3) {
            int chosen = -1;
            for (int k = 0; k < players; ++k) {
                if (state.PlayerAt(first + k).mode() != 3) {
                    chosen = k;
                    break;
                }
            }
            if (chosen < 0) {
                chosen = (current + 1) % players;
            }
            if (controls::UC_Buttons* row = window.PlayButtons.At(first + current); row != nullptr) {
                row->SetButtonState(Transport::PauseOrSelectButton, Transport::Off);
            }
            state.CurrentPlayer[o] = chosen;
        }
        slot = state.CurrentPlayer[o] + players * output;
        if (controls::UC_Buttons* row = window.PlayButtons.At(slot); row != nullptr) {
            row->SetButtonState(Transport::PauseOrSelectButton, Transport::Lit);
        }
        bool fullLevel = false;
        if (state.FadeOn[o] == 1) {
            if (state.OutputState[o] > 0) {
                state.FadeInDelay[o] = state.FadeParm[2];
                delayed = state.FadeInDelay[o] > 0;
            }
            fullLevel = state.FadeParm[0] == parms::MaxAtt && !delayed;
        } else if (parms::AutoSel == 1) {
            fullLevel = true;
        }
        if (fullLevel) {
            if (UC_Fader* fader = window.VolSlider.At(slot); fader != nullptr) {
                fader->SetValueL(0);
            }
            state.PlayerAt(slot).SetAttenuation(0);
        }
    }
    if (!playback::ValidSlot(state, slot)) {
        return;
    }
    const auto s = At(slot);
    Player& player = state.PlayerAt(slot);

    if (state.BlankToStop == 1 && path.empty()) {
        if (player.mode() > 1) {
            player.StopIO();
        }
        return;
    }

    // The cache copy, only for a file the cache would hold: a file of the
    // same name left in the cache folder never stands in for a local one.
    const std::string cacheName =
        CacheWouldHold(path, state.CacheAll) ? playback::GetLocalFilename(path) : std::string();
    WaveInfoRecord info{};
    if (parms::UseSamplePos == 1) {
        bool fromCache = false;
        if (!cacheName.empty()) {
            control_.ShowPlayStatus(slot, "Check Cache...");
            info = WaveMMIO::ReadWaveHeader(cacheName, 0);
            fromCache = info.Valid == 1;
        }
        if (fromCache) {
            path = cacheName;
        } else {
            control_.ShowPlayStatus(slot, "Check Ori...");
            info = WaveMMIO::ReadWaveHeader(path, 0);
            if (info.Valid != 1) {
                control_.ShowPlayStatus(slot, "File Invalid.");
                Log("PonFail1a File Invalid " + path);
                return;
            }
        }
    } else if (!cacheName.empty() && basic::FileExists(cacheName) != 0) {
        path = cacheName;
    } else if (basic::FileExists(path) == 0) {
        Log("PonFail1b " + path);
        return;
    }

    control_.ShowPlayStatus(slot, "Set File...");
    player.SetFileName(path);
    control_.ShowPlayStatus(slot, "Get Cue...");
    const std::int32_t length = player.Length();
    std::int32_t startSample = 0;
    std::int32_t endSample = 0;
    std::int32_t startMs = 0;
    std::int32_t endMs = 0;
    parms::GetCueMarkerPositions(path, 0, startOffset, length, info, startSample, endSample, startMs, endMs);
    if (parms::UseSamplePos == 1) {
        player.SetFromSample(startSample);
        player.SetToSample(endSample);
    } else {
        player.SetFromMS(startMs);
        if (endMs != length) {
            player.SetToMS(endMs);
        }
    }
    state.FromMS[s] = startMs;
    state.ToMS[s] = endMs;
    if (parms::PlayerType == 3) {
        player.SetStbyPoint(player.FromSample());
        player.SetLoopOn(state.PlayingMode[o] == 1 || state.PlayingMode[o] == 2 ? 1 : 0);
    }
    state.SpanMS[s] = AddClamped(endMs, -static_cast<std::int64_t>(startMs));
    if (state.SpanMS[s] < 101) {
        Log("MarkedMS(tDS)= " + std::to_string(state.SpanMS[s]) + " tFilename=" + path);
    }
    state.LastPosition[s] = 0;
    state.PlayerLevel[s] = 0;
    state.PlayerProgress[s] = 0;
    state.ProgressSeen[o] = 0;
    state.StoppedByUser[o] = 0;
    if (parms::PlayerType == 0 && state.OutputState[o] == 0) {
        player.SetPlayFreq(info.SampleRate);
    }
    control_.ShowPlayStatus(slot, "Play Starting...");
    if (!delayed && player.Play() == 0) {
        control_.ShowPlayStatus(slot, "Play Failed.");
        state.SpanMS[s] = -1;
        Log("PonFail2 " + path);
        return;
    }
    // This start is what the operator asked for last: a press parked during
    // a mute tail must not start by itself later.
    state.ParkedRequest[o][0] = 0;
    if (state.NoPlayMS > 0) {
        state.LastStartTime[o] = platform::Timer();
    }
    state.PlayerTitle[s] = basic::GetPathPart(path, 0, 0, 1, 0, 0, 0);
    control_.UpdateCounter(slot, 0);
    if (isList) {
        control_.SetListCursor(output, state.ListItem[o], 0, 0);
        control_.ShowCurrentItem(output);
    } else {
        state.PlayingButton[s] = {page, controlIndex};
        control_.RefreshButtons(output, 0);
    }
    if (state.StopRequested[s] == 1) {
        // A stop came while the request ran.
        player.StopIO();
        state.SpanMS[s] = -1;
        return;
    }
    busy.Release();
    if (noTick != 1) {
        control_.TimerUpdate_Timer();
    }
}
