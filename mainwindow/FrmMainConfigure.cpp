// The rebuild of the window from the stored settings after the configuration
// dialog's OK.
#include "controls/ListColumnLayout.h"
#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"

#include <QMenuBar>

#include <string>

void FrmMain::ReapplyConfiguration()
{
    // Nothing acts on the window while its controls are rebuilt.
    const std::int32_t wasRunning = State.Running;
    State.Running = 0;
    MenuBar->setEnabled(false);
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
    // More outputs or larger parts: the window grows to show them.
    FitToLayout(Fit::Grow);
    State.Running = wasRunning;
    MenuBar->setEnabled(true);
    Form_Resize();
    PictureAll->show();
}
