#include "NullPorts.h"

#include "dialogs/FadeWindow.h"
#include "dialogs/TimerWindow.h"
#include "foundation/DayLog.h"
#include "foundation/Parms.h"
#include "platform/Form.h"

#include <string>

namespace {

void NotAvailable(std::string_view what)
{
    basic::WriteLog(std::string(what) + ": not available in this build", 0, 0);
}

bool LeftRelease(int button, bool isDown)
{
    return button == 1 && !isDown;
}

} // namespace

void NullItemCommands::MonSound(int)
{
    NotAvailable("The monitor window");
}

void NullItemCommands::RCButtonFCT(int)
{
    NotAvailable("The sound button menu");
}

void NullItemCommands::RCListFCT(int)
{
    NotAvailable("The play list menu");
}

void NullItemCommands::MenuRCPage_Click(int)
{
    NotAvailable("The page menu");
}

void NullItemCommands::TolvButton_MouseUD(int, int, bool isDown, int)
{
    if (!isDown) {
        NotAvailable("Playing a sound button");
    }
}

void NullItemCommands::LV_RightClicked(int, float, float)
{
    NotAvailable("The play list menu");
}

void NullItemCommands::PageButtons_RightClicked(int, int)
{
    NotAvailable("The page menu");
}

void NullItemCommands::PageButtons_ButtonClicked(int, int)
{
    NotAvailable("Changing pages");
}

void NullItemCommands::TextPage_MouseUD(int, int, bool isDown, int)
{
    if (!isDown) {
        NotAvailable("Naming a page");
    }
}

void NullItemCommands::CtrlButton_ButtonClicked(int, int)
{
    NotAvailable("The play list buttons");
}

void NullStatusLabels::TextFade_MouseUD(int index, int button, bool isDown, int)
{
    const auto o = static_cast<std::size_t>(index);
    if (o >= 4 || isDown || state_.DispFADE[o] == 0 || state_.OutputLocked[o] != 0) {
        return;
    }
    if (button == 1) {
        state_.FadeOn[o] = state_.FadeOn[o] != 0 ? 0 : 1;
    } else {
        fade_.Toggle(&owner_);
    }
}

void NullStatusLabels::TextSTBY_MouseUD(int index, int button, bool isDown, int)
{
    const auto o = static_cast<std::size_t>(index);
    if (o < 4 && LeftRelease(button, isDown) && state_.OutputState[o] == 0 && state_.OutputLocked[o] == 0 &&
        state_.DispSTBY[o] != 0) {
        state_.STBYActive[o] = state_.STBYActive[o] != 0 ? 0 : 1;
    }
}

void NullStatusLabels::TextTimer_MouseUD(int index, int button, bool isDown, int)
{
    const auto o = static_cast<std::size_t>(index);
    if (o >= 4 || isDown || state_.OutputState[o] != 0 || state_.OutputLocked[o] != 0) {
        return;
    }
    if (button != 1) {
        parms::TimerEditOutput = index;
        timer_.Show(&owner_);
    } else if (parms::StartTimer[o].TimerEnabled != 0) {
        parms::StartTimer[o].TimerArmed = parms::StartTimer[o].TimerArmed != 0 ? 0 : 1;
    }
}
