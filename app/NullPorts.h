#pragma once

// The services of playback, remote control, the dialogs and the cache that
// this build does not have yet. Each does nothing; one that the operator can
// invoke writes "not available in this build" to the day log.
#include "mainwindow/MainState.h"
#include "mainwindow/ports/MainPorts.h"

namespace platform {
class Form;
}

class NullPlayback final : public EnginePort, public PlaybackPort {
public:
    void TimerUpdate_Timer() override {}
    void SetFadeParm() override {}
    void DisarmTimer(int) override {}
    void DrawTimerLabel(int) override {}
    void UpdateCounter(int, int) override {}
    void ChangePage(int, int, int) override {}
    void ShowPageTitle(int) override {}
    void DrawKeyAssign() override {}
    void ShowCurrentItem(int) override {}
    void SetListCursor(int, int, int, int) override {}
    void ClearOutput(int) override {}
    void StopOutput(int) override {}
    void NewAssign() override {}
};

class NullItemCommands final : public ItemCommandsPort, public ControlEventsPort {
public:
    void MonSound(int mode) override;
    void RCButtonFCT(int command) override;
    void RCListFCT(int command) override;
    void MenuRCPage_Click(int index) override;
    void TolvButton_MouseUD(int index, int buttonIndex, bool isDown, int buttonType) override;
    void LV_RightClicked(int index, float x, float y) override;
    void PageButtons_RightClicked(int index, int clickedIndex) override;
    void PageButtons_ButtonClicked(int index, int clickedIndex) override;
    void TextPage_MouseUD(int index, int button, bool isDown, int pIndex) override;
    void CtrlButton_ButtonClicked(int index, int clickedIndex) override;
    void SpeedSlider_Scrolled(int, int) override {}
};

