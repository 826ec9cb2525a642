#include "MainWindowCalls.h"

#include "mainwindow/FrmMain.h"

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
    if (TimerProc) {
        TimerProc();
    }
}
