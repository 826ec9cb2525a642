// The configuration menu item: the modal configuration dialog while the
// engine tick is off, and after an accepted dialog the rebuild of the window
// from the stored settings.
#include "controls/ListColumnLayout.h"
#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "platform/BusyCursor.h"
#include "platform/EventPump.h"

#include <QAction>

#include <string>

void FrmMain::MenuConf_Click()
{
    platform::DoEvents();
    MenuConf->setEnabled(false);
    TimerUpdate.SetEnabled(false);
    if (Ports.MaterialBrowser->IsLoaded()) {
        Ports.MaterialBrowser->Unload();
    }
    if (Ports.FadeWindow->IsOpen()) {
        Ports.FadeWindow->Unload();
    }
    platform::SetBusyCursor(true);
    Ports.ConfigDialog->ShowModal(*this);
    MenuConf->setEnabled(true);
    platform::DoEvents();
    if (parms::ConfigConfirmed == 1) {
        ReapplyConfiguration();
    }
    TimerUpdate.SetEnabled(true);
    platform::SetBusyCursor(false);
}

void FrmMain::ReapplyConfiguration()
{
    // Nothing acts on the window while its controls are rebuilt.
    const std::int32_t wasRunning = State.Running;
    State.Running = 0;
    PictureAll->hide();
    for (int output = 0; output < State.NumOut; ++output) {
        const auto o = static_cast<std::size_t>(output);
        State.StoppedByUser[o] = 1;
        if (parms::IsList[o] != 0 && LV.Exists(output)) {
            basic::SaveListColumnWidths(*LV(output), "LV" + std::to_string(output + 1) + "_", 0, State.SizeFactor);
        }
    }
    for (int slot = 0; slot < static_cast<int>(State.Players.size()); ++slot) {
        State.PlayerAt(slot).StopIO();
        State.ReleasePlayer(slot);
    }
    ApplySettings(0);
    State.Running = wasRunning;
    Form_Resize();
    PictureAll->show();
}
