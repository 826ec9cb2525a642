#pragma once

// The services of playback, remote control, the dialogs and the cache that
// this build does not have yet. Each does nothing; one that the operator can
// invoke writes "not available in this build" to the day log.
#include "mainwindow/MainState.h"
#include "mainwindow/ports/MainPorts.h"

class FadeWindow;
class TimerWindow;
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

// Keeps the switches the start-up restores, so a start and a close never
// lose them: a left release toggles FADE and STBY and arms the timer of an
// output whose label is in use and which is not locked. Other buttons open
// the fade window and the start-timer dialog.
class NullStatusLabels final : public StatusLabelsPort {
public:
    NullStatusLabels(MainState& state, platform::Form& owner, FadeWindow& fade, TimerWindow& timer)
        : state_(state), owner_(owner), fade_(fade), timer_(timer)
    {
    }
    void TextFade_MouseUD(int index, int button, bool isDown, int pIndex) override;
    void TextSTBY_MouseUD(int index, int button, bool isDown, int pIndex) override;
    void TextTimer_MouseUD(int index, int button, bool isDown, int pIndex) override;

private:
    MainState& state_;
    platform::Form& owner_;
    FadeWindow& fade_;
    TimerWindow& timer_;
};

class NullRemote final : public RemotePort, public RemoteDevicesPort {
public:
    void InitRemoteDevices() override {}
    void SendRemoteCommand(int, int, int) override {}
    void SendRemoteListStatus(int, int) override {}
    void SetOutputLock(int) override {}
    void PollRemote() override {}
    bool ComOpen(int) override { return false; }
    void CloseComm(int) override {}
    bool HidOpen(int) override { return false; }
    void HidClose(int) override {}
    bool MidiInOpen() override { return false; }
    void CloseMidiIn() override {}
};
