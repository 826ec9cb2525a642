#pragma once

#include "cache/CacheService.h"
#include "cache/FileTransferService.h"
#include "foundation/DayLog.h"
#include "foundation/Drives.h"
#include "foundation/HostReachability.h"
#include "foundation/Language.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/ServerFolders.h"
#include "foundation/SharedConf.h"
#include "mainwindow/MainState.h"
#include "platform/MessageBox.h"
#include "platform/MountTable.h"
#include "platform/base/Hooks.h"
#include "playback/CacheNames.h"
#include "support/ClockFixture.h"
#include "support/FakeNetwork.h"
#include "support/ScratchFolder.h"
#include "support/TestFileLayer.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// The cache of a program with one output of four buttons on one page, on
// virtual time: the current server "//testhost/share/snd/" lies under a
// temporary unc root and answers; "//deadhost/share/" never answers; the
// cache folder is "cache/" of the test's folder; the machine has one fixed
// disk ("/") whose free space the test sets (half of 100 GB free unless it
// says otherwise), whatever the real disk has. Message boxes are recorded and answered with `answer`.
class LocalCacheFixture : public testsupport::ClockFixture {
protected:
    static constexpr const char* Server = "//testhost/share/snd/";

    LocalCacheFixture()
        : savedServers_(FCT_Quind::Servers), savedLocal_(FCT_Quind::LocalPath), savedIsList_(parms::IsList),
          savedGetTip_(parms::GetTip), savedDispIt_(parms::DispIt), savedDispItRef_(parms::DispItRef),
          savedHourAdjust_(FCT_Quind::HourAdjust), savedLangMode_(basic::LangMode), savedLogError_(basic::LogError),
          savedLogFolder_(basic::LogFolder), savedAppPath_(basic::AppPath())
    {
        SetNow(Date(2026, 12, 7), At(10, 0, 0));
        disk.diskSpace = platform::DiskSpace{50'000'000'000, 100'000'000'000, 50'000'000'000};
        setenv("TOLV_UNC_ROOT", scratch.Folder("unc").c_str(), 1);
        scratch.Folder("unc/testhost/share/snd");
        scratch.Folder("unc/deadhost/share");
        resolver.names["testhost"] = platform::Ipv4Address{192, 0, 2, 10};
        resolver.names["deadhost"] = platform::Ipv4Address{192, 0, 2, 20};
        transport.alive.insert(platform::Ipv4Address{192, 0, 2, 10});
        FCT_Ping::PingCache.clear();

        fakeMachine.Write("mounts", "/dev/sda1 / ext4 rw 0 0\n");
        fakeMachine.Write("sys/block/sda/removable", "0\n");
        fakeMachine.Folder("sys/block/sda/sda1");
        fakeMachine.Folder("labels");
        platform::SetDriveSources({fakeMachine / "mounts", fakeMachine / "sys", fakeMachine / "labels"});
        basic::DriveTable.clear();

        FCT_Quind::Servers = {};
        FCT_Quind::Servers[0].SrvPath = Server;
        FCT_Quind::Servers[0].SaveTip = 1;
        FCT_Quind::LocalPath = scratch.Folder("cache");
        FCT_Quind::HourAdjust = 18000;
        parms::IsList = {};
        parms::GetTip = 0;
        basic::LangMode = 1;
        basic::LogError = 1;
        basic::LogFolder = scratch.Folder("log");
        basic::SetAppPath(scratch.Folder("program"));

        state.NumOut = 1;
        state.PageNum = 1;
        state.ButtonsPerPage = {4, 0, 0, 0};
        state.AlertNoCache = 1;
        state.AllCached = 0;
        state.TlvTxtPath = scratch.Folder("tables");

        platform::SetMessageBoxAnswer([this](const platform::MessageBoxRequest& request) {
            boxes.push_back(request.text);
            return answer;
        });
        service.SetPageCaptionColour([this](int output, int set) { captionColours.emplace_back(output, set); });
        service.LocalFilename = [](std::string_view path) { return playback::GetLocalFilename(path); };
    }
    ~LocalCacheFixture() override
    {
        platform::SetMessageBoxAnswer(nullptr);
        platform::SetDriveSources({});
        platform::SetPumpHook(nullptr);
        basic::DriveTable.clear();
        FCT_Ping::PingCache.clear();
        unsetenv("TOLV_UNC_ROOT");
        FCT_Quind::Servers = savedServers_;
        FCT_Quind::LocalPath = savedLocal_;
        FCT_Quind::HourAdjust = savedHourAdjust_;
        parms::IsList = savedIsList_;
        parms::GetTip = savedGetTip_;
        parms::DispIt = savedDispIt_;
        parms::DispItRef = savedDispItRef_;
        basic::LangMode = savedLangMode_;
        basic::LogError = savedLogError_;
        basic::LogFolder = savedLogFolder_;
        basic::SetAppPath(savedAppPath_);
    }

    // Where a server path lies on this machine.
    std::string OnServer(const std::string& rest) const { return scratch / ("unc/testhost/share/snd/" + rest); }
    // Writes a sound on the server and returns its server path.
    std::string ServerSound(const std::string& rest, const std::string& bytes = "RIFF....WAVE") const
    {
        scratch.Write("unc/testhost/share/snd/" + rest, bytes);
        return Server + rest;
    }
    std::string Cached(const std::string& rest) const { return FCT_Quind::LocalPath + rest; }
    static bool Exists(const std::string& path) { return std::filesystem::exists(path); }

    void Assign(int button, const std::string& path)
    {
        state.ButtonTable[ButtonTableIndex(0, 0, button)].FileName = path;
    }
    AssignRecord& Button(int button) { return state.ButtonTable[ButtonTableIndex(0, 0, button)]; }

    // The log of the day so far.
    std::string DayLog() const
    {
        std::string all;
        for (const auto& entry : std::filesystem::directory_iterator(basic::LogFolder)) {
            all += testsupport::ReadText(entry.path().string());
        }
        return all;
    }

    // The file system as the program sees it, with the disk's free space.
    testsupport::TestFileLayer disk;
    testsupport::ScratchFolder scratch;
    testsupport::ScratchFolder fakeMachine;
    testsupport::FakeHostResolver resolver;
    testsupport::FakeEchoTransport transport;
    MainState state;
    cache::FileTransferService transfer;
    cache::CacheService service{state, transfer};
    CachePort& port = service;
    std::vector<std::string> boxes;
    int answer = platform::IdYes;
    std::vector<std::pair<int, int>> captionColours;

private:
    std::array<FCT_Quind::ServerFolder, FCT_Quind::ServerCount> savedServers_;
    std::string savedLocal_;
    std::array<std::int32_t, parms::OutputCount> savedIsList_;
    std::int32_t savedGetTip_;
    std::array<std::int32_t, parms::TipFieldSlots> savedDispIt_;
    std::vector<std::int32_t> savedDispItRef_;
    std::int32_t savedHourAdjust_;
    std::int32_t savedLangMode_;
    std::int32_t savedLogError_;
    std::string savedLogFolder_;
    std::string savedAppPath_;
};
