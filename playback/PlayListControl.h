#pragma once

#include "mainwindow/ports/ControlEventsPort.h"
#include "mainwindow/ports/ItemCommandsPort.h"
#include "mainwindow/ports/ListEventsPort.h"
#include "mainwindow/ports/PlaybackPort.h"
#include "playback/ListCommands.h"
#include "playback/ListDrop.h"
#include "playback/PlayList.h"

class FrmMain;

// The play lists of the main window as the window's services: the list
// events, the list menu's commands, the right click and the tool buttons,
// and NewAssign. Members of the same ports that other parts carry out (the
// sound buttons, pages, the monitor window) are passed on to the Other*
// objects when they are set.
class PlayListControl final : public ListEventsPort,
                              public ItemCommandsPort,
                              public ControlEventsPort,
                              public PlaybackPort {
    // First, so that it is there before the parts.
    FrmMain& window_;

public:
    explicit PlayListControl(FrmMain& window);

    playback::PlayList Lists{window_};
    playback::ListDrop Drops{window_, Lists};
    playback::ListCommands Commands{window_, Lists};

    // Draws a stored list page into the output's view: the rows of the page,
    // the cursor reset, the current item while idle and the list tally.
    void LoadListPage(int output, int page);

    ItemCommandsPort* OtherItems = nullptr;
    ControlEventsPort* OtherEvents = nullptr;
    PlaybackPort* OtherPlayback = nullptr;

    // ---- ListEventsPort ----
    void LV_Clicked(int index, double x, double y) override;
    void LV_DblClicked(int index) override { Commands.LV_DblClicked(index); }
    void LV_OLEDragDrop(int index, platform::DragData& data, int& effect, int button, int shift, double x,
                        double y) override;
    void LV_OLEStartDrag(int index, platform::DragData& data, int& allowedEffects) override
    {
        Commands.LV_OLEStartDrag(index, data, allowedEffects);
    }
    void LV_OLECompleteDrag(int index, int effect) override { Commands.LV_OLECompleteDrag(index, effect); }

    // ---- ItemCommandsPort ----
    void RCListFCT(int command) override { Commands.RCListFCT(command); }
    void MonSound(int mode) override;
    void RCButtonFCT(int command) override;
    void MenuRCPage_Click(int index) override;

    // ---- ControlEventsPort ----
    void LV_RightClicked(int index, float x, float y) override;
    void CtrlButton_ButtonClicked(int index, int clickedIndex) override
    {
        Commands.CtrlButton_ButtonClicked(index, clickedIndex);
    }
    void TolvButton_MouseUD(int index, int buttonIndex, bool isDown, int buttonType) override;
    void PageButtons_RightClicked(int index, int clickedIndex) override;
    void PageButtons_ButtonClicked(int index, int clickedIndex) override;
    void TextPage_MouseUD(int index, int button, bool isDown, int pIndex) override;
    void SpeedSlider_Scrolled(int index, int nButton) override;

    // ---- PlaybackPort ----
    void NewAssign() override { Lists.NewAssign(); }
    void SetFadeParm() override;
    void DisarmTimer(int output) override;
    void DrawTimerLabel(int output) override;
    void UpdateCounter(int slot, int mode) override;
    void ChangePage(int output, int page, int all) override;
    void ShowPageTitle(int output) override;
    void DrawKeyAssign() override;
    void ShowCurrentItem(int output) override;
    void SetListCursor(int output, int row, int asNext, int keepSelection) override;
    void ClearOutput(int output) override;
    void StopOutput(int output) override;
};
