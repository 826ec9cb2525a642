#include "playback/StartTimers.h"

#include "audio/CueMarkerPositions.h"
#include "foundation/FileAccess.h"
#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "foundation/SharedConf.h"
#include "foundation/TimeStamps.h"
#include "mainwindow/FrmMain.h"
#include "platform/base/Clock.h"
#include "playback/CacheNames.h"
#include "playback/PlaybackControl.h"
#include "playback/TimerSchedule.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace {

constexpr int LeftButton = 1;
constexpr int CountdownField = 2;

std::size_t At(int index)
{
    return static_cast<std::size_t>(index);
}

bool IsOutput(int output)
{
    return output >= 0 && output < parms::OutputCount;
}

} // namespace

StartTimers::StartTimers(PlaybackControl& control) : window_(control.Window())
{
    On.PlayList = [&control](int output, int offsetMs) { control.Pon(output, 0, 0, offsetMs, 0); };
    On.PlayStandby = [&control](int output, int offsetMs) { control.PlayStandby(output, offsetMs); };
}

int StartTimers::CounterSlot(int output) const
{
    const MainState& state = window_.State;
    if (state.PlayersPerOutput <= 1) {
        return output;
    }
    return output * state.PlayersPerOutput + state.CurrentPlayer[At(output)];
}

void StartTimers::CheckTimer()
{
    MainState& state = window_.State;
    // The stamp counts whole seconds, and the engine's tick comes twenty times
    // a second: within the second last checked it cannot have changed.
    const platform::LocalTime clock = platform::CurrentClock().Now();
    const std::int64_t second = static_cast<std::int64_t>(clock.date.time_since_epoch().count()) * 86400 +
                                static_cast<std::int64_t>(std::floor(clock.secondsOfDay));
    if (second == checkedSecond_) {
        return;
    }
    checkedSecond_ = second;
    const std::string now = basic::FormatTimeStamp(FCT_Quind::HourAdjust, 0, 0, 0, 0, 0, 0);
    if (now == state.LastTimerStamp) {
        return;
    }
    state.LastTimerStamp = now;
    for (int output = 0; output < state.NumOut && output < parms::OutputCount; ++output) {
        const parms::StartTimerRecord& timer = parms::StartTimer[At(output)];
        if (timer.TimerEnabled == 0 || timer.TimerArmed == 0 || timer.TimerTime.empty()) {
            continue;
        }
        if (materialPending_[At(output)] && NoteMaterial(output)) {
            materialPending_[At(output)] = false;
        }
        const TimerSchedule::Decision decision = TimerSchedule::Evaluate(
            now, FCT_Quind::HourAdjust, timer.TimerTime, timer.TimerMode, timer.TimerFromMS, timer.TimerToMS);
        if (!decision.valid) {
            continue;
        }
        const int slot = CounterSlot(output);
        if (window_.PicCounter.Exists(slot)) {
            window_.PicCounter(slot)->DispMes(CountdownField, TimerSchedule::Countdown(decision.remaining), 0);
        }
        if (!decision.start) {
            continue;
        }
        // The play request disarms the timer.
        if (parms::IsList[At(output)] != 0) {
            if (On.PlayList) {
                On.PlayList(output, decision.offsetMs);
            }
        } else if (On.PlayStandby) {
            On.PlayStandby(output, decision.offsetMs);
        }
    }
}

void StartTimers::TextTimer_MouseUD(int index, int button, bool isDown, int)
{
    MainState& state = window_.State;
    if (isDown || !IsOutput(index) || state.OutputState[At(index)] != 0 || state.OutputLocked[At(index)] != 0) {
        return;
    }
    if (button != LeftButton) {
        parms::TimerEditOutput = index;
        if (On.ShowTimerWindow) {
            On.ShowTimerWindow();
        }
        return;
    }
    parms::StartTimerRecord& timer = parms::StartTimer[At(index)];
    if (timer.TimerEnabled == 0) {
        return;
    }
    if (timer.TimerArmed == 0) {
        if (NoteMaterial(index)) {
            timer.TimerArmed = 1;
        } else if (state.Running == 0) {
            timer.TimerFromMS = 0;
            timer.TimerToMS = 0;
            timer.TimerArmed = 1;
            materialPending_[At(index)] = true;
        }
    } else {
        timer.TimerArmed = 0;
        materialPending_[At(index)] = false;
    }
    ShowArmed(index);
}

bool StartTimers::NoteMaterial(int output)
{
    MainState& state = window_.State;
    const auto o = At(output);
    std::string path;
    std::int32_t startMS = 0;
    std::int32_t lengthMS = 0;
    if (parms::IsList[o] != 0) {
        const int row = window_.LV.Exists(output) ? window_.LV(output)->SelectedItem() : -1;
        if (row < 0) {
            return false;
        }
        path = window_.LV(output)->AuxID(row, 0).Text();
        const ListPage& page = state.ListTable[At(ListTableIndex(output, state.CurrentPage[o]))];
        if (At(row) < page.Items.size()) {
            startMS = page.Items[At(row)].StartMS;
            lengthMS = page.Items[At(row)].LengthMS;
        }
    } else {
        if (state.StandbySet[o] == 0) {
            return false;
        }
        const auto index = At(ButtonTableIndex(output, state.StandbyPage[o], state.StandbyButton[o]));
        if (index < state.ButtonTable.size()) {
            path = state.ButtonTable[index].FileName;
            startMS = state.ButtonTable[index].StartMS;
            lengthMS = state.ButtonTable[index].LengthMS;
        }
    }
    if (const std::string cached = playback::GetLocalFilename(path);
        !cached.empty() && basic::FileExists(cached) != 0) {
        path = cached;
    }
    parms::StartTimerRecord& timer = parms::StartTimer[o];
    timer.TimerFromMS = 0;
    timer.TimerToMS = 0;
    WaveInfoRecord info;
    std::int32_t startSample = 0;
    std::int32_t endSample = 0;
    std::int32_t fromMS = 0;
    std::int32_t toMS = 0;
    parms::GetCueMarkerPositions(path, 0, startMS, 0, info, startSample, endSample, fromMS, toMS);
    if (fromMS < toMS) {
        timer.TimerFromMS = fromMS;
        timer.TimerToMS = toMS;
    } else if (startMS >= 0 && startMS < lengthMS) {
        // Files that are not wave files have no cue positions; the length the
        // pre-read noted still lets an end-mode timer end on time.
        timer.TimerFromMS = startMS;
        timer.TimerToMS = lengthMS;
    }
    return true;
}

void StartTimers::ShowArmed(int output)
{
    if (window_.TextTimer.Exists(output)) {
        window_.TextTimer(output)->SetColor(parms::StartTimer[At(output)].TimerArmed != 0 ? 1 : 0, 1);
    }
}

void StartTimers::SetTimerProc()
{
    const int output = parms::TimerEditOutput;
    if (!IsOutput(output)) {
        return;
    }
    const parms::StartTimerRecord& timer = parms::StartTimer[At(output)];
    const std::string n = std::to_string(output + 1);
    basic::SaveSetting("TimerTime_" + n, timer.TimerTime);
    basic::SaveSetting("TimerMode_" + n, timer.TimerMode);
    DisarmTimer(output);
    DrawTimerLabel(output);
}

void StartTimers::DisarmTimer(int output)
{
    const int first = output == -1 ? 0 : output;
    const int last = output == -1 ? window_.State.NumOut - 1 : output;
    for (int o = first; o <= last; ++o) {
        if (!IsOutput(o) || parms::StartTimer[At(o)].TimerArmed == 0) {
            continue;
        }
        parms::StartTimer[At(o)].TimerArmed = 0;
        materialPending_[At(o)] = false;
        ShowArmed(o);
    }
}

void StartTimers::DrawTimerLabel(int output)
{
    if (!IsOutput(output)) {
        return;
    }
    const parms::StartTimerRecord& timer = parms::StartTimer[At(output)];
    if (timer.TimerEnabled == 0 || !window_.TextTimer.Exists(output)) {
        return;
    }
    window_.TextTimer(output)->DispMes(0, TimerSchedule::LabelText(timer.TimerTime, timer.TimerMode), 0);
}
