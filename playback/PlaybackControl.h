#pragma once

#include "mainwindow/ports/ControlEventsPort.h"
#include "mainwindow/ports/EnginePort.h"
#include "mainwindow/ports/PlaybackPort.h"
#include "mainwindow/ports/StatusLabelsPort.h"
#include "playback/ButtonLamps.h"
#include "playback/Counter.h"
#include "playback/EngineHooks.h"
#include "playback/EngineTick.h"
#include "playback/FadeLabels.h"
#include "playback/Fades.h"
#include "playback/ListCursor.h"
#include "playback/ObservationLine.h"
#include "playback/PlayFunction.h"
#include "playback/Standby.h"
#include "playback/StartTimers.h"
#include "playback/StatusBar.h"
#include "playback/StripControls.h"
#include "playback/Transport.h"
#include "playback/WindowFaders.h"

#include <string_view>

class FrmMain;

// Playback control of the main window: the play function, the engine tick,
// stop and transport, standby and the list cursor, the button lamps, the
// counters, the strip controls, fades, start timers, the status bar and the
// observation line, all working on the window's state. One object per window;
// the program wires it in as the window's engine, its playback procedures,
// the strip's control events and the FADE, STBY and TIMER labels.
//
// Members of the ports that other parts of playback control carry out (pages,
// keys, the grid and the list commands) are passed on to the Others* objects
// when they are set; otherwise they do nothing and log that they are not
// available in this build.
//
// While it lives it is the platform's refill hook: every wait of the program
// feeds the sample-position players of every output that no play request
// holds.
class PlaybackControl final : public EnginePort,
                              public PlaybackPort,
                              public ControlEventsPort,
                              public StatusLabelsPort {
    // First, so that it is there before the parts.
    FrmMain& window_;

public:
    explicit PlaybackControl(FrmMain& window);
    ~PlaybackControl() override;
    PlaybackControl(const PlaybackControl&) = delete;
    PlaybackControl& operator=(const PlaybackControl&) = delete;

    FrmMain& Window() { return window_; }
    static MainState& StateOf(FrmMain& window);

    // Steps of the tick provided by other parts (remote, menus); the fades,
    // the timers, the status bar and the observation line fill theirs.
    EngineHooks Hooks;
    // Where the members this class does not carry out go.
    PlaybackPort* OtherPlayback = nullptr;
    ControlEventsPort* OtherEvents = nullptr;

    // ---- The parts ----
    PlayFunction Play{*this};
    EngineTick Tick{*this};
    Transport Transports{*this};
    Standby Standbys{*this};
    ListCursor Lists{*this};
    ButtonLamps Lamps{*this};
    Counter Counters{*this};
    StartTimers Timers{*this};
    WindowFaders Faders{window_};
    Fades Fading{StateOf(window_), Faders};
    FadeLabels FadeLabel{window_, Fading};
    StatusBar Status{window_};
    ObservationLine Observation{window_};
    StripControls Strips{*this};

    // ---- Entry points used across playback and remote control ----
    void Pon(int output, int button, int fromStandby, int startOffsetMs, int noTick)
    {
        Play.Pon(output, button, fromStandby, startOffsetMs, noTick);
    }
    void UpdateNow() { Tick.UpdateNow(); }
    void PlayStandby(int output, int startOffsetMs) { Standbys.PlayStandby(output, startOffsetMs); }
    void AdvanceListItem(int output, int& startNext) { Lists.AdvanceListItem(output, startNext); }
    void RefreshButtons(int output, int force) { Lamps.RefreshButtons(output, force); }
    void SetButtonState(int state, int index, int force) { Lamps.SetButtonState(state, index, force); }
    void SetPlayButtons(int slot, int button, int state, int skipButton)
    {
        Transports.SetPlayButtons(slot, button, state, skipButton);
    }
    void ShowPlayStatus(int slot, std::string_view text) { Transports.ShowPlayStatus(slot, text); }
    // Feeds every sample-position player whose output no play request holds.
    void RefillPlayers();
    // The observation line, when it is on; a caller that formats numbers for
    // it asks first, since the engine's tick would otherwise format them
    // many times a second for nothing.
    bool Observing() const;
    void Observe(std::string_view text);

    // ---- EnginePort ----
    void TimerUpdate_Timer() override { Tick.TimerUpdate_Timer(); }

    // ---- PlaybackPort ----
    void SetFadeParm() override { Fading.SetFadeParm(); }
    void DisarmTimer(int output) override { Timers.DisarmTimer(output); }
    void DrawTimerLabel(int output) override { Timers.DrawTimerLabel(output); }
    void UpdateCounter(int slot, int mode) override { Counters.UpdateCounter(slot, mode); }
    void ChangePage(int output, int page, int all) override;
    void ShowPageTitle(int output) override;
    void DrawKeyAssign() override;
    void ShowCurrentItem(int output) override { Lists.ShowCurrentItem(output); }
    void SetListCursor(int output, int row, int asNext, int keepSelection) override
    {
        Lists.SetListCursor(output, row, asNext, keepSelection);
    }
    void ClearOutput(int output) override { Transports.ClearOutput(output); }
    void StopOutput(int output) override { Transports.StopOutput(output); }
    void NewAssign() override;

    // ---- ControlEventsPort: the strip controls ----
    void PlayButtons_ButtonClicked(int index, int clickedIndex) override
    {
        Transports.PlayButtons_ButtonClicked(index, clickedIndex);
    }
    void ProgBar_MouseUD(int index, bool isDown) override { Strips.ProgBar_MouseUD(index, isDown); }
    void ProgBar_Scrolled(int index) override { Strips.ProgBar_Scrolled(index); }
    void ProgBar_RightClicked(int index, bool isDown) override { Strips.ProgBar_RightClicked(index, isDown); }
    void PanSlider_MouseUD(int index, bool isDown, int nButton) override
    {
        Strips.PanSlider_MouseUD(index, isDown, nButton);
    }
    void PanSlider_Scrolled(int index, int nButton) override { Strips.PanSlider_Scrolled(index, nButton); }
    void SpeedSlider_MouseUD(int index, bool isDown, int nButton) override
    {
        Strips.SpeedSlider_MouseUD(index, isDown, nButton);
    }
    void SpeedSlider_Scrolled(int index, int nButton) override { Strips.SpeedSlider_Scrolled(index, nButton); }
    void VolSlider_LevelChanged(int index) override { Strips.VolSlider_LevelChanged(index); }
    void PicCounter_MouseUD(int index, int button, bool isDown, int pIndex) override
    {
        Strips.PicCounter_MouseUD(index, button, isDown, pIndex);
    }
    // ---- ControlEventsPort: the grid, pages and lists (passed on) ----
    void TolvButton_MouseUD(int index, int buttonIndex, bool isDown, int buttonType) override;
    void TolvButton_OLEStartDrag(int index, platform::DragData& data, int& allowedEffects, int shift) override;
    void TolvButton_OLECompleteDrag(int index, int effect) override;
    void TolvButton_OLEDragOver(int index) override;
    void TolvButton_OLEDropped(int index, platform::DragData& data) override;
    void LV_RightClicked(int index, float x, float y) override;
    void PageButtons_RightClicked(int index, int clickedIndex) override;
    void PageButtons_ButtonClicked(int index, int clickedIndex) override;
    void TextPage_MouseUD(int index, int button, bool isDown, int pIndex) override;
    void CtrlButton_ButtonClicked(int index, int clickedIndex) override;

    // ---- StatusLabelsPort ----
    void TextFade_MouseUD(int index, int button, bool isDown, int pIndex) override
    {
        FadeLabel.TextFade_MouseUD(index, button, isDown, pIndex);
    }
    void TextSTBY_MouseUD(int index, int button, bool isDown, int pIndex) override
    {
        Standbys.TextSTBY_MouseUD(index, button, isDown, pIndex);
    }
    void TextTimer_MouseUD(int index, int button, bool isDown, int pIndex) override
    {
        Timers.TextTimer_MouseUD(index, button, isDown, pIndex);
    }
};
