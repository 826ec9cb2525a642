#pragma once

// What a test sets up before it starts the whole program: the program's
// folder, every question answered yes, no popup menu chosen, and four null
// output devices on the virtual clock.
#include "foundation/CommandLine.h"
#include "foundation/ModuleValues.h"
#include "platform/MessageBox.h"
#include "platform/PopupMenu.h"
#include "support/NullOutputs.h"

#include <string>

namespace testsupport {

inline void PrepareProgramStart(const std::string& appPath, int rate)
{
    basic::SetAppPath(appPath);
    basic::SetProgramCommandLine("");
    platform::SetMessageBoxAnswer([](const platform::MessageBoxRequest&) { return platform::IdYes; });
    platform::SetPopupMenuAnswer([](QMenu&) -> QAction* { return nullptr; });
    InstallNullOutputs(4, rate, 10);
}

} // namespace testsupport
