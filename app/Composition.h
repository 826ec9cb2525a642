#pragma once

// The program as assembled: the main window and every service behind its
// ports, wired once. The program and the tests of the whole program build
// this same object; nothing else wires services into the window.
#include "MainWindowCalls.h"
#include "cache/CacheService.h"
#include "cache/FileTransferService.h"
#include "cache/MaterialBrowser.h"
#include "dialogs/ConfigDialog.h"
#include "dialogs/FadeWindow.h"
#include "dialogs/FrmSplash.h"
#include "dialogs/MonitorHandBack.h"
#include "dialogs/MonitorWindow.h"
#include "dialogs/TimerWindow.h"
#include "mainwindow/FrmMain.h"
#include "playback/AssignFile.h"
#include "playback/ButtonGridPorts.h"
#include "playback/PlayListControl.h"
#include "playback/PlaybackControl.h"
#include "remote/PlaybackRemoteTargets.h"
#include "remote/RemoteControl.h"

#include <functional>
#include <string>
#include <vector>

class Composition {
public:
    // Builds every service and wires every port and hook. Needs the
    // application object; starts nothing (see Start).
    Composition();
    ~Composition();
    Composition(const Composition&) = delete;
    Composition& operator=(const Composition&) = delete;

    // The window's start-up (Form_Load); then the players' sound cards are
    // opened, so that the first press does not wait for its card to open.
    FrmMain::StartOutcome Start();

    // The hooks, callbacks and ports that are still empty, by name; empty
    // when the composition is whole. Hooks that are absent on purpose are
    // not listed here but in DeliberatelyAbsent.
    std::vector<std::string> UnsetHooks() const;
    // The hooks left empty on purpose, each with why; calling one of them
    // writes a log line.
    static const std::vector<std::pair<std::string, std::string>>& DeliberatelyAbsent();

    // Called once after the window has unloaded (the program's end). The
    // program quits its event loop here.
    std::function<void()> AfterEnd;

    // ---- The pieces, in the order they are built (and in reverse, released) ----
    FrmMain Window;
    AssignFile Assignments{Window.State, Window.Ports, &Window};
    MainWindowCalls WindowCalls{Window};
    FadeWindow Fade{WindowCalls};
    TimerWindow Timer{WindowCalls};
    // Playback control first in the chain: the strips, then the play lists,
    // then the grid, its commands, pages and keys.
    PlaybackControl Playback{Window};
    ButtonGridPorts Grid{Playback};
    PlayListControl Lists{Window};
    PlaybackRemoteTargets RemoteTargets{Window, Playback};
    RemoteControl Remote{Window, RemoteTargets};
    MonitorHandBack MonitorCalls{Window};
    MonitorWindow Monitor{MonitorCalls};
    ConfigDialog Config;
    cache::FileTransferService FileTransfer;
    cache::CacheService Cache{Window.State, FileTransfer};
    FrmSplash Splash;
    cache::MaterialBrowser Browser;

private:
    void WireChain();
    void WirePlayback();
    void WireMonitor();
    void WireRemoteAndCache();
    void WirePorts();
};
