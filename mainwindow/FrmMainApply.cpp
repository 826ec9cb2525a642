// The settings apply; its steps are in SettingsApply.
#include "mainwindow/FrmMain.h"

#include "mainwindow/SettingsApply.h"

void FrmMain::ApplySettings(int DisplayOnly)
{
    SettingsApply(*this, !applied_).Run(DisplayOnly);
    applied_ = true;
}
