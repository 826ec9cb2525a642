#pragma once

#include "mainwindow/ports/ControlEventsPort.h"
#include "mainwindow/ports/ItemCommandsPort.h"
#include "mainwindow/ports/PlaybackPort.h"
#include "playback/ButtonCommands.h"
#include "playback/ButtonGrid.h"
#include "playback/Keyboard.h"
#include "playback/Pages.h"

class PlaybackControl;

// The operator's hands on the button outputs, as the window's services: the
// grid's mouse and drag rules, the button menu's commands, pages and their
// names, and the keyboard. Playback control passes the members it does not
// carry out here (OtherPlayback, OtherEvents); the window's ItemCommands port
// is this object. Members of the play list and of other parts go on to the
// Next* objects when set; the grid ends the program's chain, so there they
// are unset and what reaches them is logged as not available.
class ButtonGridPorts final : public PlaybackPort, public ControlEventsPort, public ItemCommandsPort {
public:
    explicit ButtonGridPorts(PlaybackControl& control);

    // Takes the window's keys, its KEY labels and the drags of its buttons.
    void Attach();

    ButtonGrid Grid;
    Pages Page;
    ButtonCommands Commands;
    Keyboard Keys;

    PlaybackPort* NextPlayback = nullptr;
    ControlEventsPort* NextEvents = nullptr;
    ItemCommandsPort* NextCommands = nullptr;

    // ---- PlaybackPort ----
    void ChangePage(int output, int page, int all) override { Page.ChangePage(output, page, all); }
    void ShowPageTitle(int output) override { Page.ShowPageTitle(output); }
    void DrawKeyAssign() override { Keys.DrawKeyAssign(); }
    void SetFadeParm() override;
    void DisarmTimer(int output) override;
    void DrawTimerLabel(int output) override;
    void UpdateCounter(int slot, int mode) override;
    void ShowCurrentItem(int output) override;
    void SetListCursor(int output, int row, int asNext, int keepSelection) override;
    void ClearOutput(int output) override;
    void StopOutput(int output) override;
    void NewAssign() override;

    // ---- ControlEventsPort ----
    void TolvButton_MouseUD(int index, int buttonIndex, bool isDown, int buttonType) override
    {
        Grid.TolvButton_MouseUD(index, buttonIndex, isDown, buttonType);
    }
    void TolvButton_OLEStartDrag(int index, platform::DragData& data, int& allowedEffects, int shift) override
    {
        Grid.TolvButton_OLEStartDrag(index, data, allowedEffects, shift);
    }
    void TolvButton_OLECompleteDrag(int index, int effect) override { Grid.TolvButton_OLECompleteDrag(index, effect); }
    void TolvButton_OLEDragOver(int index) override { Grid.TolvButton_OLEDragOver(index); }
    void TolvButton_OLEDropped(int index, platform::DragData& data) override
    {
        Grid.TolvButton_OLEDropped(index, data);
    }
    void PageButtons_RightClicked(int index, int clickedIndex) override
    {
        Page.PageButtons_RightClicked(index, clickedIndex);
    }
    void PageButtons_ButtonClicked(int index, int clickedIndex) override
    {
        Page.PageButtons_ButtonClicked(index, clickedIndex);
    }
    void TextPage_MouseUD(int index, int button, bool isDown, int pIndex) override
    {
        Page.TextPage_MouseUD(index, button, isDown, pIndex);
    }
    void LV_RightClicked(int index, float x, float y) override;
    void CtrlButton_ButtonClicked(int index, int clickedIndex) override;
    // The strips are playback control's; they reach the grid only when
    // nothing before it carried them out.
    void SpeedSlider_Scrolled(int index, int nButton) override;
    void PlayButtons_ButtonClicked(int index, int clickedIndex) override;
    void ProgBar_MouseUD(int index, bool isDown) override;
    void ProgBar_Scrolled(int index) override;
    void ProgBar_RightClicked(int index, bool isDown) override;
    void PanSlider_MouseUD(int index, bool isDown, int nButton) override;
    void PanSlider_Scrolled(int index, int nButton) override;
    void SpeedSlider_MouseUD(int index, bool isDown, int nButton) override;
    void VolSlider_LevelChanged(int index) override;
    void PicCounter_MouseUD(int index, int button, bool isDown, int pIndex) override;

    // ---- ItemCommandsPort ----
    void MonSound(int mode) override { Commands.MonSound(mode); }
    void RCButtonFCT(int command) override { Commands.RCButtonFCT(command); }
    void RCListFCT(int command) override;
    void MenuRCPage_Click(int index) override { Page.MenuRCPage_Click(index); }

private:
    // Runs call on NextEvents, or logs that member has nowhere to go.
    template <class Call> void PassEvent(const char* member, Call&& call);

    PlaybackControl& control_;
};
