#pragma once

// What a start of the whole program leaves behind in the process (hooks,
// the session, the audio system, module values), put back to how a fresh
// process has it, so the next test starts clean. Header only: the support
// library is linked below the layers named here.
#include "foundation/CommandLine.h"
#include "foundation/DayLog.h"
#include "foundation/Fonts.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/SessionValues.h"
#include "mainwindow/OutputPlayers.h"
#include "platform/MessageBox.h"
#include "platform/PopupMenu.h"
#include "platform/SessionEndpoint.h"
#include "platform/audio/AudioSystem.h"
#include "platform/base/Hooks.h"
#include "platform/base/LogSink.h"

namespace testsupport {

inline void ResetProgramGlobals()
{
    platform::SetPumpHook(nullptr);
    platform::SetRefillHook(nullptr);
    platform::ReleaseProcessSession();
    platform::SetMessageBoxAnswer(nullptr);
    platform::SetPopupMenuAnswer(nullptr);
    platform::SetLogSink(nullptr);
    platform::audio::AudioSystem::Install(nullptr);
    OutputPlayers::SetMaker(nullptr);
    basic::SetProgramCommandLine("");
    basic::SetAppPath("");
    basic::SettingsIniPath.clear();
    basic::SettingsStoreName.clear();
    basic::ErrorCatch = 0;
    basic::LogError = 1;
    basic::LogFolder.clear();
    basic::DailyLogNames = 0;
    basic::SessionIndex = 0;
    basic::CurrentQuorUser.clear();
    basic::CurrentQuorUserGroup = 0;
    basic::UIFontFace.clear();
    basic::CueActive = {0, 0, 0};
    parms::IsList = {0, 0, 0, 0};
    parms::StartTimer = {};
    parms::PlayerType = 3;
    parms::UsePause = 0;
    parms::WaveDeviceID = {-1, -1, -1, -1};
    parms::DSDeviceIndex = {-1, -1, -1, -1};
}

} // namespace testsupport
