#pragma once

#include "mainwindow/ports/AssignFilePort.h"
#include "mainwindow/ports/CachePort.h"
#include "mainwindow/ports/ConfigDialogPort.h"
#include "mainwindow/ports/ControlEventsPort.h"
#include "mainwindow/ports/EnginePort.h"
#include "mainwindow/ports/FadeWindowPort.h"
#include "mainwindow/ports/FileTransferPort.h"
#include "mainwindow/ports/ItemCommandsPort.h"
#include "mainwindow/ports/ListEventsPort.h"
#include "mainwindow/ports/MaterialBrowserPort.h"
#include "mainwindow/ports/MonitorWindowPort.h"
#include "mainwindow/ports/PlaybackPort.h"
#include "mainwindow/ports/RemoteDevicesPort.h"
#include "mainwindow/ports/RemotePort.h"
#include "mainwindow/ports/SplashWindowPort.h"
#include "mainwindow/ports/StatusLabelsPort.h"

// Every service the main window uses of playback, remote control, the
// dialogs and the cache. The program wires the implementations in, tests
// their recording fakes; the main window starts only with every one set.
struct MainPorts {
    EnginePort* Engine = nullptr;
    PlaybackPort* Playback = nullptr;
    AssignFilePort* AssignFile = nullptr;
    ItemCommandsPort* ItemCommands = nullptr;
    ControlEventsPort* ControlEvents = nullptr;
    StatusLabelsPort* StatusLabels = nullptr;
    RemotePort* Remote = nullptr;
    RemoteDevicesPort* RemoteDevices = nullptr;
    ConfigDialogPort* ConfigDialog = nullptr;
    FadeWindowPort* FadeWindow = nullptr;
    MonitorWindowPort* MonitorWindow = nullptr;
    SplashWindowPort* SplashWindow = nullptr;
    FileTransferPort* FileTransfer = nullptr;
    CachePort* Cache = nullptr;
    MaterialBrowserPort* MaterialBrowser = nullptr;
    // The play lists' clicks and drags; optional (null: the lists take no
    // drops and start no drags).
    ListEventsPort* ListEvents = nullptr;

    bool Complete() const
    {
        return Engine != nullptr && Playback != nullptr && AssignFile != nullptr && ItemCommands != nullptr &&
               ControlEvents != nullptr && StatusLabels != nullptr && Remote != nullptr && RemoteDevices != nullptr &&
               ConfigDialog != nullptr && FadeWindow != nullptr && MonitorWindow != nullptr &&
               SplashWindow != nullptr && FileTransfer != nullptr && Cache != nullptr && MaterialBrowser != nullptr;
    }
};
