// The program: the main window, the services wired into it, and the event
// loop. The program ends when the window unloads, or at SIGTERM or SIGINT,
// which close it as the end of the desktop session does (no question, no
// save) once every nested event loop has returned.
//
// TOLV_SCREENSHOT=<file.png> is for the tests: once started, the program
// writes a picture of its main window there and ends the same way.
#include "MainWindowCalls.h"
#include "NullPorts.h"
#include "cache/CacheService.h"
#include "cache/FileTransferService.h"
#include "cache/MaterialBrowser.h"
#include "dialogs/ConfigDialog.h"
#include "dialogs/FadeWindow.h"
#include "dialogs/FrmSplash.h"
#include "dialogs/MonitorHandBack.h"
#include "dialogs/MonitorWindow.h"
#include "dialogs/TimerWindow.h"
#include "foundation/CommandLine.h"
#include "mainwindow/FrmMain.h"
#include "playback/AssignFile.h"
#include "playback/ButtonGridPorts.h"
#include "playback/CacheNames.h"
#include "playback/PlayListControl.h"
#include "playback/PlaybackControl.h"
#include "platform/TerminationSignals.h"
#include "remote/PlaybackRemoteTargets.h"
#include "remote/RemoteControl.h"
#include "platform/base/AppIdentity.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool HasDisplay()
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char** argv)
{
    if (!HasDisplay()) {
        std::fprintf(stderr, "%s: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n",
                     App::Title);
        return 2;
    }
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(App::Title);
    QCoreApplication::setOrganizationName(App::CompanyName);
    // The main window's unload ends the program, not the last closed window.
    QApplication::setQuitOnLastWindowClosed(false);

    bool terminating = false;
    platform::TerminationSignals termination;
    termination.OnSignal = [&terminating](int) {
        terminating = true;
        // Every event loop returns, nested ones first; the window closes
        // after the main loop.
        QCoreApplication::exit(0);
    };

    FrmMain window;
    NullPlayback playback;
    AssignFile assignFile(window.State, window.Ports, &window);
    NullItemCommands itemCommands;
    MainWindowCalls mainWindowCalls(window);
    FadeWindow fadeWindow(mainWindowCalls);
    TimerWindow timerWindow(mainWindowCalls);
    // Playback control: the engine tick, the play function, transport,
    // strips, fades and start timers; the play lists and the grid, its
    // commands, pages and keys are chained behind it.
    PlaybackControl playbackControl(window);
    ButtonGridPorts gridPorts(playbackControl);
    gridPorts.NextPlayback = &playback;
    gridPorts.NextEvents = &itemCommands;
    gridPorts.NextCommands = &itemCommands;
    // The play lists: their events, menu commands, tool buttons and
    // NewAssign; the rest passes on to the grid's ports.
    PlayListControl playLists(window);
    playLists.OtherPlayback = &gridPorts;
    playLists.OtherEvents = &gridPorts;
    playLists.OtherItems = &gridPorts;
    playbackControl.OtherPlayback = &playLists;
    gridPorts.Page.LoadListPage = [&playLists](int output, int page) { playLists.LoadListPage(output, page); };
    playbackControl.OtherEvents = &playLists;
    playbackControl.FadeLabel.ToggleFadeWindow = [&fadeWindow, &window] { fadeWindow.Toggle(&window); };
    playbackControl.Timers.On.ShowTimerWindow = [&timerWindow, &window] { timerWindow.Show(&window); };
    mainWindowCalls.TimerProc = [&playbackControl] { playbackControl.Timers.SetTimerProc(); };
    // Remote boxes, serial ports and MIDI: polled by the engine tick, acting
    // through the playback control.
    PlaybackRemoteTargets remoteTargets(window, playbackControl);
    remoteTargets.ListClicked = [&playLists](int output) { playLists.Commands.LV_Clicked(output); };
    RemoteControl remote(window, remoteTargets);
    remote.Observe = [&playbackControl](const std::string& text) { playbackControl.Observe(text); };
    playbackControl.Hooks.PollRemote = [&remote] { remote.PollRemote(); };
    MonitorHandBack monitorCalls(window);
    MonitorWindow monitorWindow(monitorCalls);
    playLists.Commands.Use.MonitorShown = [&monitorWindow] { return monitorWindow.IsVisible(); };
    ConfigDialog configDialog;
    cache::FileTransferService fileTransfer;
    cache::CacheService cacheService(window.State, fileTransfer);
    cacheService.LocalFilename = [](std::string_view path) { return playback::GetLocalFilename(path); };
    cacheService.SetOwner(&window);
    cacheService.SetPageCaptionColour([&window](int output, int colourSet) {
        if (window.TextPage.Exists(output)) {
            window.TextPage(output)->SetColor(colourSet, 1);
        }
    });
    FrmSplash splash;
    cache::MaterialBrowser materialBrowser;
    window.Ports.Engine = &playbackControl;
    window.Ports.Playback = &playbackControl;
    window.Ports.AssignFile = &assignFile;
    window.Ports.ItemCommands = &playLists;
    window.Ports.ListEvents = &playLists;
    window.Ports.ControlEvents = &playbackControl;
    window.Ports.StatusLabels = &playbackControl;
    window.Ports.Remote = &remote;
    window.Ports.RemoteDevices = &remote;
    window.Ports.ConfigDialog = &configDialog;
    window.Ports.FadeWindow = &fadeWindow;
    window.Ports.MonitorWindow = &monitorWindow;
    window.Ports.SplashWindow = &splash;
    window.Ports.FileTransfer = &fileTransfer;
    window.Ports.Cache = &cacheService;
    window.Ports.MaterialBrowser = &materialBrowser;
    gridPorts.Grid.MonitorVisible = [&monitorWindow] { return monitorWindow.IsVisible(); };
    monitorCalls.AssignButtonFile = [&gridPorts](int output, int page, int button, const std::string& path) {
        return gridPorts.Grid.AssignButtonOnPage(output, page, button, path);
    };
    gridPorts.Attach();
    window.OnEnded = [&materialBrowser, &monitorWindow] {
        // The browser keeps its folder (SozaiPath) as the program ends.
        materialBrowser.Unload();
        monitorWindow.Unload();
        QCoreApplication::quit();
    };

    if (window.Form_Load() != FrmMain::StartOutcome::Running) {
        return 0;
    }
    if (const char* screenshot = std::getenv("TOLV_SCREENSHOT"); screenshot != nullptr && *screenshot != '\0') {
        const std::string path = screenshot;
        QTimer::singleShot(0, &window, [&window, &terminating, path] {
            window.grab().save(QString::fromStdString(path));
            terminating = true;
            QCoreApplication::exit(0);
        });
    }
    if (!terminating) {
        QApplication::exec();
    }
    window.EndSession();
    return 0;
}
