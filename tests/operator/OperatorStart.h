#pragma once

// What an operator test sets up before it starts the whole program: the
// program's folder, every question answered yes, no popup menu chosen, and
// four null output devices on the virtual clock.
#include "foundation/CommandLine.h"
#include "foundation/ModuleValues.h"
#include "platform/MessageBox.h"
#include "platform/PopupMenu.h"
#include "platform/audio/AudioSystem.h"
#include "platform/audio/NullSink.h"

#include <string>

namespace operatortest {

inline void PrepareProgramStart(const std::string& appPath, int rate)
{
    basic::SetAppPath(appPath);
    basic::SetProgramCommandLine("");
    platform::SetMessageBoxAnswer([](const platform::MessageBoxRequest&) { return platform::IdYes; });
    platform::SetPopupMenuAnswer([](QMenu&) -> QAction* { return nullptr; });
    platform::audio::DeviceOptions options;
    options.rate = rate;
    options.channels = 2;
    options.periodFrames = 256;
    platform::audio::AudioSystem::Install(platform::audio::AudioSystem::WithNullDevices(
        4, platform::audio::NullTiming::VirtualClock, options, 10));
}

} // namespace operatortest
