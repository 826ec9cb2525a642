// The settings apply (its steps are in SettingsApply) and the command line.
#include "mainwindow/FrmMain.h"

#include "foundation/CommandLine.h"
#include "mainwindow/SettingsApply.h"

#include <string>
#include <vector>

void FrmMain::ApplySettings(int DisplayOnly)
{
    SettingsApply(*this, !applied_).Run(DisplayOnly);
    applied_ = true;
}

// Opens the assign table file a command line names; the window options
// (B=, X=, Y=, W=, H=) are carried out with the menus.
void FrmMain::ApplyCommandLine(std::string_view text)
{
    std::vector<std::string> files;
    if (basic::ParseCommandLine(files, "", text) > 0 && !files.front().empty()) {
        int ok = 0;
        Ports.AssignFile->OpenSaveAssignFile(0, files.front(), ok);
    }
}
