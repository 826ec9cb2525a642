// The two commands that rebuild the window: the switch between the normal
// and the big display (same players, same pages) and the configuration
// dialog's OK (new players, new controls).
//
// While either rebuilds, Running is 0 and the menu bar is disabled, so no
// tick, handler or menu command acts on a half-built window.
#include "controls/ListColumnLayout.h"
#include "foundation/Parms.h"
#include "foundation/Waits.h"
#include "foundation/WindowPositions.h"
#include "mainwindow/FrmMain.h"
#include "platform/EventPump.h"

#include <QMenuBar>

#include <array>
#include <string>

namespace {

constexpr int DisplaySwitchWaitMs = 5;

std::string ListColumnPrefix(int output)
{
    return "LV" + std::to_string(output + 1) + "_";
}

const char* PositionSuffix(std::int32_t dispBig)
{
    return dispBig == 1 ? "_Big" : "";
}

} // namespace

void FrmMain::MenuDispBig_Click()
{
    if (State.Running == 0) {
        return;
    }
    platform::DoEvents();
    State.Running = 0;
    MenuBar->setEnabled(false);
    TimerUpdate.SetEnabled(false);
    hide();
    basic::WaitMs(DisplaySwitchWaitMs, 0);

    // What each output shows: its page and, on a list, the selected row (or
    // else the cursor row).
    std::array<int, MainState::Outputs> pages{};
    std::array<int, MainState::Outputs> rows{-1, -1, -1, -1};
    for (int output = 0; output < State.NumOut; ++output) {
        const auto o = static_cast<std::size_t>(output);
        State.StoppedByUser[o] = 1;
        pages[o] = State.CurrentPage[o];
        if (parms::IsList[o] == 0) {
            continue;
        }
        if (LV.Exists(output)) {
            basic::SaveListColumnWidths(*LV(output), ListColumnPrefix(output), 0, State.SizeFactor);
            rows[o] = LV(output)->SelectedItem();
        }
        if (rows[o] == -1) {
            rows[o] = State.ListItem[o];
        }
    }
    // The players stay loaded, only silent.
    for (int slot = 0; slot < State.PlayerCount; ++slot) {
        State.PlayerAt(slot).StopIO();
    }
    basic::SaveWindowPos(*this, PositionSuffix(State.DispBig), false, true);
    State.DispBig = State.DispBig == 1 ? 0 : 1;
    ApplySettings(1);
    // The other display keeps its own place and size, grown where its layout
    // needs more; without a stored size it takes what its layout needs.
    const bool sizeStored = basic::HasStoredWindowSize(PositionSuffix(State.DispBig));
    basic::RestoreWindowPos(*this, PositionSuffix(State.DispBig), false, true, false);
    FitToLayout(sizeStored ? Fit::Grow : Fit::Exact);

    for (int output = 0; output < State.NumOut; ++output) {
        const auto o = static_cast<std::size_t>(output);
        Ports.Playback->ChangePage(output, pages[o], 0);
        if (rows[o] != -1 && parms::IsList[o] != 0) {
            if (LV.Exists(output)) {
                LV(output)->SetSelectedItem(rows[o]);
            }
            Ports.Playback->ShowCurrentItem(output);
            Ports.Remote->SendRemoteListStatus(output, 0);
        }
    }
    State.Running = 1;
    MenuBar->setEnabled(true);
    Form_Resize();
    show();
    TimerUpdate.SetEnabled(true);
}

void FrmMain::MenuConf_Click()
{
    if (State.Running == 0) {
        return;
    }
    platform::DoEvents();
    MenuConf->setEnabled(false);
    TimerUpdate.SetEnabled(false);
    if (Ports.MaterialBrowser->IsLoaded()) {
        Ports.MaterialBrowser->Unload();
    }
    if (Ports.FadeWindow->IsOpen()) {
        Ports.FadeWindow->Unload();
    }
    setCursor(Qt::WaitCursor);
    // The dialog sets the flag on its OK; nothing earlier may count as one.
    parms::ConfigConfirmed = 0;
    Ports.ConfigDialog->ShowModal(*this);
    MenuConf->setEnabled(true);
    platform::DoEvents();

    if (parms::ConfigConfirmed == 1) {
        ReapplyConfiguration();
    }
    TimerUpdate.SetEnabled(true);
    unsetCursor();
}
