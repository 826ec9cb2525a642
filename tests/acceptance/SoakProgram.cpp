#include "SoakProgram.h"

#include "app/MainWindowCalls.h"
#include "app/NullPorts.h"
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
#include "playback/CacheNames.h"
#include "playback/PlayListControl.h"
#include "playback/PlaybackControl.h"
#include "remote/PlaybackRemoteTargets.h"
#include "remote/RemoteControl.h"

namespace acceptance {

struct SoakProgram::Parts {
    FrmMain window;
    NullPlayback nullPlayback;
    AssignFile assignFile{window.State, window.Ports, &window};
    NullItemCommands itemCommands;
    MainWindowCalls mainWindowCalls{window};
    FadeWindow fadeWindow{mainWindowCalls};
    TimerWindow timerWindow{mainWindowCalls};
    PlaybackControl playback{window};
    ButtonGridPorts grid{playback};
    PlayListControl lists{window};
    PlaybackRemoteTargets remoteTargets{window, playback};
    RemoteControl remote{window, remoteTargets};
    MonitorHandBack monitorCalls{window};
    MonitorWindow monitorWindow{monitorCalls};
    ConfigDialog configDialog;
    cache::FileTransferService fileTransfer;
    cache::CacheService cacheService{window.State, fileTransfer};
    FrmSplash splash;
    cache::MaterialBrowser materialBrowser;

    Parts()
    {
        grid.NextPlayback = &nullPlayback;
        grid.NextEvents = &itemCommands;
        grid.NextCommands = &itemCommands;
        lists.OtherPlayback = &grid;
        lists.OtherEvents = &grid;
        lists.OtherItems = &grid;
        playback.OtherPlayback = &lists;
        grid.Page.LoadListPage = [this](int output, int page) { lists.LoadListPage(output, page); };
        playback.OtherEvents = &lists;
        playback.FadeLabel.ToggleFadeWindow = [this] { fadeWindow.Toggle(&window); };
        playback.Timers.On.ShowTimerWindow = [this] { timerWindow.Show(&window); };
        mainWindowCalls.TimerProc = [this] { playback.Timers.SetTimerProc(); };
        remoteTargets.ListClicked = [this](int output) { lists.Commands.LV_Clicked(output); };
        remote.Observe = [this](const std::string& text) { playback.Observe(text); };
        playback.Hooks.PollRemote = [this] { remote.PollRemote(); };
        lists.Commands.Use.MonitorShown = [this] { return monitorWindow.IsVisible(); };
        cacheService.LocalFilename = [](std::string_view path) { return playback::GetLocalFilename(path); };
        cacheService.SetOwner(&window);
        cacheService.SetPageCaptionColour([this](int output, int colourSet) {
            if (window.TextPage.Exists(output)) {
                window.TextPage(output)->SetColor(colourSet, 1);
            }
        });
        window.Ports.Engine = &playback;
        window.Ports.Playback = &playback;
        window.Ports.AssignFile = &assignFile;
        window.Ports.ItemCommands = &lists;
        window.Ports.ListEvents = &lists;
        window.Ports.ControlEvents = &playback;
        window.Ports.StatusLabels = &playback;
        window.Ports.Remote = &remote;
        window.Ports.RemoteDevices = &remote;
        window.Ports.ConfigDialog = &configDialog;
        window.Ports.FadeWindow = &fadeWindow;
        window.Ports.MonitorWindow = &monitorWindow;
        window.Ports.SplashWindow = &splash;
        window.Ports.FileTransfer = &fileTransfer;
        window.Ports.Cache = &cacheService;
        window.Ports.MaterialBrowser = &materialBrowser;
        grid.Grid.MonitorVisible = [this] { return monitorWindow.IsVisible(); };
        monitorCalls.AssignButtonFile = [this](int output, int page, int button, const std::string& path) {
            return grid.Grid.AssignButtonOnPage(output, page, button, path);
        };
        grid.Attach();
        window.OnEnded = [this] {
            materialBrowser.Unload();
            monitorWindow.Unload();
        };
    }
};

SoakProgram::SoakProgram() : parts_(std::make_unique<Parts>()) {}
SoakProgram::~SoakProgram() = default;

FrmMain& SoakProgram::Window()
{
    return parts_->window;
}
PlaybackControl& SoakProgram::Playback()
{
    return parts_->playback;
}
ButtonGridPorts& SoakProgram::Grid()
{
    return parts_->grid;
}
PlayListControl& SoakProgram::Lists()
{
    return parts_->lists;
}
RemoteControl& SoakProgram::Remote()
{
    return parts_->remote;
}
ConfigDialog& SoakProgram::Config()
{
    return parts_->configDialog;
}

} // namespace acceptance
