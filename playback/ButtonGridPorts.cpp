#include "playback/ButtonGridPorts.h"

#include "foundation/DayLog.h"
#include "mainwindow/FrmMain.h"
#include "playback/PlaybackControl.h"

#include <string>

namespace {

void NotAvailable(std::string_view what)
{
    basic::WriteLog(std::string(what) + ": not available in this build", 0, 0);
}

} // namespace

ButtonGridPorts::ButtonGridPorts(PlaybackControl& control)
    : Grid(control), Page(control, Grid), Commands(control, Grid), Keys(control, Page), control_(control)
{
    Grid.RememberRightClick = [this](int index) { Commands.RememberRightClick(index); };
    Grid.MonSound = [this](int mode) { Commands.MonSound(mode); };
    Grid.BringToFront = [this] {
        FrmMain& window = control_.Window();
        if (!window.isActiveWindow()) {
            window.raise();
            window.activateWindow();
        }
    };
}

void ButtonGridPorts::Attach()
{
    Keys.Attach();
}

void ButtonGridPorts::SetFadeParm()
{
    if (NextPlayback != nullptr) {
        NextPlayback->SetFadeParm();
    }
}

void ButtonGridPorts::DisarmTimer(int output)
{
    control_.DisarmTimer(output);
}

void ButtonGridPorts::DrawTimerLabel(int output)
{
    if (NextPlayback != nullptr) {
        NextPlayback->DrawTimerLabel(output);
    }
}

void ButtonGridPorts::UpdateCounter(int slot, int mode)
{
    control_.UpdateCounter(slot, mode);
}

void ButtonGridPorts::ShowCurrentItem(int output)
{
    control_.ShowCurrentItem(output);
}

void ButtonGridPorts::SetListCursor(int output, int row, int asNext, int keepSelection)
{
    control_.SetListCursor(output, row, asNext, keepSelection);
}

void ButtonGridPorts::ClearOutput(int output)
{
    control_.ClearOutput(output);
}

void ButtonGridPorts::StopOutput(int output)
{
    control_.StopOutput(output);
}

void ButtonGridPorts::NewAssign()
{
    if (NextPlayback != nullptr) {
        NextPlayback->NewAssign();
    } else {
        NotAvailable("Clearing every assignment");
    }
}

void ButtonGridPorts::LV_RightClicked(int index, float x, float y)
{
    if (NextEvents != nullptr) {
        NextEvents->LV_RightClicked(index, x, y);
    }
}

void ButtonGridPorts::CtrlButton_ButtonClicked(int index, int clickedIndex)
{
    if (NextEvents != nullptr) {
        NextEvents->CtrlButton_ButtonClicked(index, clickedIndex);
    }
}

void ButtonGridPorts::RCListFCT(int command)
{
    if (NextCommands != nullptr) {
        NextCommands->RCListFCT(command);
    } else {
        NotAvailable("The play list menu");
    }
}
