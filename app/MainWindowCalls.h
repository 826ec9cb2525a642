#pragma once

// What the fade window and the start-timer dialog call of the main window.
#include "dialogs/FadeWindowHost.h"
#include "dialogs/TimerWindowHost.h"

#include <functional>

class FrmMain;

class MainWindowCalls final : public FadeWindowHost, public TimerWindowHost {
public:
    explicit MainWindowCalls(FrmMain& window) : window_(window) {}

    void SetFadeParm() override;
    void Form_KeyUp(int& keyCode, int shift) override;
    // The start timers' own SetTimerProc.
    void SetTimerProc() override;

    std::function<void()> TimerProc;

private:
    FrmMain& window_;
};
