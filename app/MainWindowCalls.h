#pragma once

// What the fade window and the start-timer dialog call of the main window.
#include "dialogs/FadeWindowHost.h"
#include "dialogs/TimerWindowHost.h"

class FrmMain;

class MainWindowCalls final : public FadeWindowHost, public TimerWindowHost {
public:
    explicit MainWindowCalls(FrmMain& window) : window_(window) {}

    void SetFadeParm() override;
    void Form_KeyUp(int& keyCode, int shift) override;
    // Keeps the edited timer's time and mode, then disarms and redraws it.
    void SetTimerProc() override;

private:
    FrmMain& window_;
};
