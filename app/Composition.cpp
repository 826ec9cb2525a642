#include "Composition.h"

#include "foundation/DayLog.h"
#include "mainwindow/OutputPlayers.h"
#include "playback/CacheNames.h"

#include <QCoreApplication>

namespace {

template <class Hook> void Require(std::vector<std::string>& unset, const char* name, const Hook& hook)
{
    if (!hook) {
        unset.emplace_back(name);
    }
}

template <class Port> void RequirePort(std::vector<std::string>& unset, const char* name, const Port* port)
{
    if (port == nullptr) {
        unset.emplace_back(name);
    }
}

} // namespace

Composition::Composition()
{
    WireChain();
    WirePlayback();
    WireMonitor();
    WireRemoteAndCache();
    WirePorts();
    Grid.Attach();
    AfterEnd = [] { QCoreApplication::quit(); };
    Window.OnEnded = [this] {
        // The browser keeps its folder (SozaiPath) as the program ends.
        Browser.Unload();
        Monitor.Unload();
        AfterEnd();
    };
}

FrmMain::StartOutcome Composition::Start()
{
    const FrmMain::StartOutcome outcome = Window.Form_Load();
    if (outcome == FrmMain::StartOutcome::Running) {
        OutputPlayers::ReadyForFirstStart(Window.State.Players);
    }
    return outcome;
}

Composition::~Composition()
{
    // Nothing may call into the pieces while they are released (the window
    // goes last): its handlers do nothing while it is not Running, and its
    // timers stop.
    Window.OnEnded = nullptr;
    Window.State.Running = 0;
    Window.TimerUpdate.SetEnabled(false);
    Window.TimerRC.SetEnabled(false);
}

void Composition::WireChain()
{
    // Playback control carries out the strips and passes the rest to the
    // play lists, which pass what is not theirs on to the grid. The grid is
    // the end: what reaches its end unhandled is logged there.
    Playback.OtherPlayback = &Lists;
    Playback.OtherEvents = &Lists;
    Lists.OtherPlayback = &Grid;
    Lists.OtherEvents = &Grid;
    Lists.OtherItems = &Grid;
}

void Composition::WirePlayback()
{
    Grid.Page.LoadListPage = [this](int output, int page) { Lists.LoadListPage(output, page); };
    Playback.FadeLabel.ToggleFadeWindow = [this] { Fade.Toggle(&Window); };
    Playback.Timers.On.ShowTimerWindow = [this] { Timer.Show(&Window); };
    WindowCalls.TimerProc = [this] { Playback.Timers.SetTimerProc(); };
    // Right-click menus open from the engine tick while every output is
    // idle (and from TimerRC while one plays).
    Playback.Hooks.ShowPendingPopup = [this] { Window.ShowPendingPopup(); };
    // The list menu's edit and information commands are the button
    // commands' own, acting on the selected row of the list.
    Lists.Commands.Use.EditSound = [this] { Grid.Commands.EditSound(); };
    Lists.Commands.Use.ShowSoundInfo = [this](std::string_view path) { Grid.Commands.ShowSoundInfo(path); };
    Grid.Commands.ListItemFile = [this](int output) { return Lists.SelectedFile(output); };
    Grid.Commands.ListItemForMonitor = [this](int output, MonitorItem& item) {
        return Lists.SelectedItemForMonitor(output, item);
    };
}

void Composition::WireMonitor()
{
    Lists.Commands.Use.MonitorShown = [this] { return Monitor.IsVisible(); };
    Grid.Grid.MonitorVisible = [this] { return Monitor.IsVisible(); };
    MonitorCalls.AssignButtonFile = [this](int output, int page, int button, const std::string& path) {
        return Grid.Grid.AssignButtonOnPage(output, page, button, path);
    };
    MonitorCalls.ClearButtonFile = [this](int output, int page, int button) {
        Grid.Grid.ClearButton(output, page, button);
    };
}

void Composition::WireRemoteAndCache()
{
    // Remote boxes, serial ports and MIDI: polled by the engine tick, acting
    // through the playback control.
    RemoteTargets.ListClicked = [this](int output) { Lists.Commands.LV_Clicked(output); };
    Remote.Observe = [this](const std::string& text) { Playback.Observe(text); };
    Playback.Hooks.PollRemote = [this] { Remote.PollRemote(); };
    Cache.LocalFilename = [](std::string_view path) { return playback::GetLocalFilename(path); };
    Cache.SetOwner(&Window);
    Cache.SetPageCaptionColour([this](int output, int colourSet) {
        if (Window.TextPage.Exists(output)) {
            Window.TextPage(output)->SetColor(colourSet, 1);
        }
    });
}

void Composition::WirePorts()
{
    MainPorts& ports = Window.Ports;
    ports.Engine = &Playback;
    ports.Playback = &Playback;
    ports.AssignFile = &Assignments;
    ports.ItemCommands = &Lists;
    ports.ListEvents = &Lists;
    ports.ControlEvents = &Playback;
    ports.StatusLabels = &Playback;
    ports.Remote = &Remote;
    ports.RemoteDevices = &Remote;
    ports.ConfigDialog = &Config;
    ports.FadeWindow = &Fade;
    ports.MonitorWindow = &Monitor;
    ports.SplashWindow = &Splash;
    ports.FileTransfer = &FileTransfer;
    ports.Cache = &Cache;
    ports.MaterialBrowser = &Browser;
}

const std::vector<std::pair<std::string, std::string>>& Composition::DeliberatelyAbsent()
{
    static const std::vector<std::pair<std::string, std::string>> absent{
        {"ButtonGridPorts.NextPlayback", "the grid ends the chain; playback control and the lists handle the rest"},
        {"ButtonGridPorts.NextEvents", "the grid ends the chain; the lists take their own right clicks and buttons"},
        {"ButtonGridPorts.NextCommands", "the grid ends the chain; the lists carry out their own menu"},
        {"Pages.Drives", "the machine's drive table (a seam for tests)"},
        {"Pages.FirstAssignFile", "the first assign table in a drive's root (a seam for tests)"},
    };
    return absent;
}

std::vector<std::string> Composition::UnsetHooks() const
{
    std::vector<std::string> unset;
    const MainPorts& ports = Window.Ports;
    RequirePort(unset, "Ports.Engine", ports.Engine);
    RequirePort(unset, "Ports.Playback", ports.Playback);
    RequirePort(unset, "Ports.AssignFile", ports.AssignFile);
    RequirePort(unset, "Ports.ItemCommands", ports.ItemCommands);
    RequirePort(unset, "Ports.ControlEvents", ports.ControlEvents);
    RequirePort(unset, "Ports.StatusLabels", ports.StatusLabels);
    RequirePort(unset, "Ports.Remote", ports.Remote);
    RequirePort(unset, "Ports.RemoteDevices", ports.RemoteDevices);
    RequirePort(unset, "Ports.ConfigDialog", ports.ConfigDialog);
    RequirePort(unset, "Ports.FadeWindow", ports.FadeWindow);
    RequirePort(unset, "Ports.MonitorWindow", ports.MonitorWindow);
    RequirePort(unset, "Ports.SplashWindow", ports.SplashWindow);
    RequirePort(unset, "Ports.FileTransfer", ports.FileTransfer);
    RequirePort(unset, "Ports.Cache", ports.Cache);
    RequirePort(unset, "Ports.MaterialBrowser", ports.MaterialBrowser);
    RequirePort(unset, "Ports.ListEvents", ports.ListEvents);
    Require(unset, "FrmMain.OnEnded", Window.OnEnded);
    Require(unset, "Composition.AfterEnd", AfterEnd);

    RequirePort(unset, "PlaybackControl.OtherPlayback", Playback.OtherPlayback);
    RequirePort(unset, "PlaybackControl.OtherEvents", Playback.OtherEvents);
    RequirePort(unset, "PlayListControl.OtherPlayback", Lists.OtherPlayback);
    RequirePort(unset, "PlayListControl.OtherEvents", Lists.OtherEvents);
    RequirePort(unset, "PlayListControl.OtherItems", Lists.OtherItems);

    const EngineHooks& hooks = Playback.Hooks;
    Require(unset, "EngineHooks.ShowPendingPopup", hooks.ShowPendingPopup);
    Require(unset, "EngineHooks.PollRemote", hooks.PollRemote);
    Require(unset, "EngineHooks.CheckTimer", hooks.CheckTimer);
    Require(unset, "EngineHooks.ProcessFade", hooks.ProcessFade);
    Require(unset, "EngineHooks.DrawStatusBar", hooks.DrawStatusBar);
    Require(unset, "EngineHooks.AddObservation", hooks.AddObservation);
    Require(unset, "FadeLabels.ToggleFadeWindow", Playback.FadeLabel.ToggleFadeWindow);
    Require(unset, "StartTimers.PlayList", Playback.Timers.On.PlayList);
    Require(unset, "StartTimers.PlayStandby", Playback.Timers.On.PlayStandby);
    Require(unset, "StartTimers.ShowTimerWindow", Playback.Timers.On.ShowTimerWindow);
    Require(unset, "MainWindowCalls.TimerProc", WindowCalls.TimerProc);

    Require(unset, "ButtonGrid.MonSound", Grid.Grid.MonSound);
    Require(unset, "ButtonGrid.RememberRightClick", Grid.Grid.RememberRightClick);
    Require(unset, "ButtonGrid.MonitorVisible", Grid.Grid.MonitorVisible);
    Require(unset, "ButtonGrid.BringToFront", Grid.Grid.BringToFront);
    Require(unset, "Pages.LoadListPage", Grid.Page.LoadListPage);
    Require(unset, "ButtonCommands.ListItemForMonitor", Grid.Commands.ListItemForMonitor);
    Require(unset, "ButtonCommands.ListItemFile", Grid.Commands.ListItemFile);

    const playback::ListCommands::Services& list = Lists.Commands.Use;
    Require(unset, "ListCommands.Use.MonSound", list.MonSound);
    Require(unset, "ListCommands.Use.EditSound", list.EditSound);
    Require(unset, "ListCommands.Use.ShowSoundInfo", list.ShowSoundInfo);
    Require(unset, "ListCommands.Use.MonitorShown", list.MonitorShown);

    Require(unset, "MonitorHandBack.AssignButtonFile", MonitorCalls.AssignButtonFile);
    Require(unset, "MonitorHandBack.ClearButtonFile", MonitorCalls.ClearButtonFile);
    Require(unset, "PlaybackRemoteTargets.ListClicked", RemoteTargets.ListClicked);
    Require(unset, "RemoteControl.Observe", Remote.Observe);
    Require(unset, "CacheService.LocalFilename", Cache.LocalFilename);
    Require(unset, "LocalCache.PageCaptionColour", Cache.Cache().PageCaptionColour);
    RequirePort(unset, "LocalCache.Owner", Cache.Cache().Owner);
    return unset;
}
