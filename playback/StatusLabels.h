#pragma once

#include "mainwindow/ports/StatusLabelsPort.h"

#include <functional>

class FrmMain;
class Fades;
class StartTimers;

// The FADE, STBY and TIMER labels of each output. FADE: the left button
// switches the output's fade mode, the others open or close the fade window.
// TIMER: see StartTimers. STBY belongs to the standby of the output.
class StatusLabels final : public StatusLabelsPort {
public:
    StatusLabels(FrmMain& window, Fades& fades, StartTimers& timers)
        : window_(window), fades_(fades), timers_(timers)
    {
    }

    // Opens the fade window, or closes it when it is open.
    std::function<void()> ToggleFadeWindow;
    // The standby label's handler.
    std::function<void(int index, int button, bool isDown, int pIndex)> StandbyLabel;

    void TextFade_MouseUD(int index, int button, bool isDown, int pIndex) override;
    void TextSTBY_MouseUD(int index, int button, bool isDown, int pIndex) override;
    void TextTimer_MouseUD(int index, int button, bool isDown, int pIndex) override;

private:
    FrmMain& window_;
    Fades& fades_;
    StartTimers& timers_;
};
