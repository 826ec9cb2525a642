#include "NullPorts.h"

#include "foundation/DayLog.h"
#include "platform/Form.h"

#include <string>

namespace {

void NotAvailable(std::string_view what)
{
    basic::WriteLog(std::string(what) + ": not available in this build", 0, 0);
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

