#include "MainWindowCalls.h"

#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "mainwindow/FrmMain.h"

#include <string>

void MainWindowCalls::SetFadeParm()
{
    if (window_.Ports.Playback != nullptr) {
        window_.Ports.Playback->SetFadeParm();
    }
}

void MainWindowCalls::Form_KeyUp(int& keyCode, int shift)
{
    if (window_.Keys.KeyUp) {
        window_.Keys.KeyUp(keyCode, shift);
    }
}

void MainWindowCalls::SetTimerProc()
{
    const int output = parms::TimerEditOutput;
    if (output < 0 || output >= parms::OutputCount) {
        return;
    }
    const parms::StartTimerRecord& timer = parms::StartTimer.at(static_cast<std::size_t>(output));
    const std::string n = std::to_string(output + 1);
    basic::SaveSetting("TimerTime_" + n, timer.TimerTime);
    basic::SaveSetting("TimerMode_" + n, timer.TimerMode);
    if (window_.Ports.Playback != nullptr) {
        window_.Ports.Playback->DisarmTimer(output);
        window_.Ports.Playback->DrawTimerLabel(output);
    }
}
