#pragma once

#include "mainwindow/ports/ControlEventsPort.h"
#include "mainwindow/ports/ItemCommandsPort.h"
#include "mainwindow/ports/ListEventsPort.h"
#include "mainwindow/ports/MonitorWindowPort.h"
#include "mainwindow/ports/PlaybackPort.h"
#include "playback/ListCommands.h"
#include "playback/ListDrop.h"
#include "playback/PlayList.h"

class FrmMain;

// The play lists of the main window as the window's services: the list
// events, the list menu's commands, the right click and the tool buttons,
// and NewAssign. Members of the same ports that other parts carry out (the
// sound buttons, pages, the monitor window) are passed on to the Other*
// objects; every member the lists do not carry out is passed on, so no
// event of the grid or the strips stops here.
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

    // The selected row of a list output for the monitor window: fills
    // MonitorExchange (file, sequence mark, start point) and item (output,
    // page shown, row, file); false when no row is selected.
    bool SelectedItemForMonitor(int output, MonitorItem& item);
    // The selected row's file, "" when none is selected.
    std::string SelectedFile(int output);

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
    void TolvButton_OLEStartDrag(int index, platform::DragData& data, int& allowedEffects, int shift) override;
    void TolvButton_OLECompleteDrag(int index, int effect) override;
    void TolvButton_OLEDragOver(int index) override;
    void TolvButton_OLEDropped(int index, platform::DragData& data) override;
    void PlayButtons_ButtonClicked(int index, int clickedIndex) override;
    void ProgBar_MouseUD(int index, bool isDown) override;
    void ProgBar_Scrolled(int index) override;
    void ProgBar_RightClicked(int index, bool isDown) override;
    void PanSlider_MouseUD(int index, bool isDown, int nButton) override;
    void PanSlider_Scrolled(int index, int nButton) override;
    void SpeedSlider_MouseUD(int index, bool isDown, int nButton) override;
    void VolSlider_LevelChanged(int index) override;
    void PicCounter_MouseUD(int index, int button, bool isDown, int pIndex) override;

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

private:
    // Runs call on OtherEvents, or logs that member has nowhere to go.
    template <class Call> void PassEvent(const char* member, Call&& call);
};
