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
    } else {
        NotAvailable("SetFadeParm");
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
    } else {
        NotAvailable("DrawTimerLabel");
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
    } else {
        NotAvailable("The play list menu");
    }
}

void ButtonGridPorts::CtrlButton_ButtonClicked(int index, int clickedIndex)
{
    if (NextEvents != nullptr) {
        NextEvents->CtrlButton_ButtonClicked(index, clickedIndex);
    } else {
        NotAvailable("The play list buttons");
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

template <class Call> void ButtonGridPorts::PassEvent(const char* member, Call&& call)
{
    if (NextEvents != nullptr) {
        call(*NextEvents);
    } else {
        NotAvailable(member);
    }
}

void ButtonGridPorts::SpeedSlider_Scrolled(int index, int nButton)
{
    PassEvent("SpeedSlider_Scrolled", [&](ControlEventsPort& next) { next.SpeedSlider_Scrolled(index, nButton); });
}

void ButtonGridPorts::PlayButtons_ButtonClicked(int index, int clickedIndex)
{
    PassEvent("PlayButtons_ButtonClicked",
              [&](ControlEventsPort& next) { next.PlayButtons_ButtonClicked(index, clickedIndex); });
}

void ButtonGridPorts::ProgBar_MouseUD(int index, bool isDown)
{
    PassEvent("ProgBar_MouseUD", [&](ControlEventsPort& next) { next.ProgBar_MouseUD(index, isDown); });
}

void ButtonGridPorts::ProgBar_Scrolled(int index)
{
    PassEvent("ProgBar_Scrolled", [&](ControlEventsPort& next) { next.ProgBar_Scrolled(index); });
}

void ButtonGridPorts::ProgBar_RightClicked(int index, bool isDown)
{
    PassEvent("ProgBar_RightClicked", [&](ControlEventsPort& next) { next.ProgBar_RightClicked(index, isDown); });
}

void ButtonGridPorts::PanSlider_MouseUD(int index, bool isDown, int nButton)
{
    PassEvent("PanSlider_MouseUD", [&](ControlEventsPort& next) { next.PanSlider_MouseUD(index, isDown, nButton); });
}

void ButtonGridPorts::PanSlider_Scrolled(int index, int nButton)
{
    PassEvent("PanSlider_Scrolled", [&](ControlEventsPort& next) { next.PanSlider_Scrolled(index, nButton); });
}

void ButtonGridPorts::SpeedSlider_MouseUD(int index, bool isDown, int nButton)
{
    PassEvent("SpeedSlider_MouseUD",
              [&](ControlEventsPort& next) { next.SpeedSlider_MouseUD(index, isDown, nButton); });
}

void ButtonGridPorts::VolSlider_LevelChanged(int index)
{
    PassEvent("VolSlider_LevelChanged", [&](ControlEventsPort& next) { next.VolSlider_LevelChanged(index); });
}

void ButtonGridPorts::PicCounter_MouseUD(int index, int button, bool isDown, int pIndex)
{
    PassEvent("PicCounter_MouseUD",
              [&](ControlEventsPort& next) { next.PicCounter_MouseUD(index, button, isDown, pIndex); });
}
