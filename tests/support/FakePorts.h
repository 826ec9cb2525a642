#pragma once

// Recording fakes of every service the main window uses (mainwindow/ports).
// Every call lands in one shared log in the order it was made, written as
// the member's name and its arguments ("SendRemoteCommand 0 11 0"), so tests
// can check what was asked and in which order.
#include "mainwindow/ports/MainPorts.h"

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

class CallLog {
public:
    void Add(std::string call) { calls_.push_back(std::move(call)); }
    const std::vector<std::string>& Calls() const { return calls_; }
    void Clear() { calls_.clear(); }
    // Calls that begin with prefix, in order.
    std::vector<std::string> Starting(std::string_view prefix) const
    {
        std::vector<std::string> found;
        for (const std::string& call : calls_) {
            if (call.rfind(prefix, 0) == 0) {
                found.push_back(call);
            }
        }
        return found;
    }
    // Position of the first call equal to call, -1 when none.
    int IndexOf(std::string_view call) const
    {
        const auto it = std::find(calls_.begin(), calls_.end(), call);
        return it == calls_.end() ? -1 : static_cast<int>(it - calls_.begin());
    }
    // Position of the last call that begins with prefix, -1 when none.
    int LastStarting(std::string_view prefix) const
    {
        for (int i = static_cast<int>(calls_.size()) - 1; i >= 0; --i) {
            if (calls_[static_cast<std::size_t>(i)].rfind(prefix, 0) == 0) {
                return i;
            }
        }
        return -1;
    }

private:
    std::vector<std::string> calls_;
};

inline std::string Call(std::string_view name)
{
    return std::string(name);
}
template <class... Args> std::string Call(std::string_view name, const Args&... args)
{
    std::string text(name);
    ((
         text += " ", text +=
                      [](const auto& a) {
                          if constexpr (std::is_convertible_v<decltype(a), std::string_view>) {
                              return std::string(std::string_view(a));
                          } else if constexpr (std::is_same_v<std::decay_t<decltype(a)>, bool>) {
                              return std::string(a ? "1" : "0");
                          } else {
                              return std::to_string(a);
                          }
                      }(args)),
     ...);
    return text;
}

class FakeEngine final : public EnginePort {
public:
    explicit FakeEngine(CallLog& log) : log_(log) {}
    void TimerUpdate_Timer() override { log_.Add(Call("TimerUpdate_Timer")); }

private:
    CallLog& log_;
};

class FakePlayback final : public PlaybackPort {
public:
    explicit FakePlayback(CallLog& log) : log_(log) {}
    void SetFadeParm() override { log_.Add(Call("SetFadeParm")); }
    void DisarmTimer(int output) override { log_.Add(Call("DisarmTimer", output)); }
    void DrawTimerLabel(int output) override { log_.Add(Call("DrawTimerLabel", output)); }
    void UpdateCounter(int slot, int mode) override { log_.Add(Call("UpdateCounter", slot, mode)); }
    void ChangePage(int output, int page, int all) override { log_.Add(Call("ChangePage", output, page, all)); }
    void ShowPageTitle(int output) override { log_.Add(Call("ShowPageTitle", output)); }
    void DrawKeyAssign() override { log_.Add(Call("DrawKeyAssign")); }
    void ShowCurrentItem(int output) override { log_.Add(Call("ShowCurrentItem", output)); }
    void SetListCursor(int output, int row, int asNext, int keepSelection) override
    {
        log_.Add(Call("SetListCursor", output, row, asNext, keepSelection));
    }
    void ClearOutput(int output) override { log_.Add(Call("ClearOutput", output)); }
    void StopOutput(int output) override { log_.Add(Call("StopOutput", output)); }
    void NewAssign() override { log_.Add(Call("NewAssign")); }

private:
    CallLog& log_;
};

class FakeAssignFile final : public AssignFilePort {
public:
    explicit FakeAssignFile(CallLog& log) : log_(log) {}
    void OpenSaveAssignFile(int save, std::string_view path, int& ok) override
    {
        log_.Add(Call("OpenSaveAssignFile", save, path));
        ok = save != 0 ? SaveOk : OpenOk;
    }
    void FindRemovableAssignFile() override { log_.Add(Call("FindRemovableAssignFile")); }
    void MenuFile_Click(int index) override { log_.Add(Call("MenuFile_Click", index)); }

    int SaveOk = 1;
    int OpenOk = 1;

private:
    CallLog& log_;
};

class FakeItemCommands final : public ItemCommandsPort {
public:
    explicit FakeItemCommands(CallLog& log) : log_(log) {}
    void MonSound(int mode) override { log_.Add(Call("MonSound", mode)); }
    void RCButtonFCT(int command) override { log_.Add(Call("RCButtonFCT", command)); }
    void RCListFCT(int command) override { log_.Add(Call("RCListFCT", command)); }
    void MenuRCPage_Click(int index) override { log_.Add(Call("MenuRCPage_Click", index)); }

private:
    CallLog& log_;
};

class FakeControlEvents final : public ControlEventsPort {
public:
    explicit FakeControlEvents(CallLog& log) : log_(log) {}
    void TolvButton_MouseUD(int index, int buttonIndex, bool isDown, int buttonType) override
    {
        log_.Add(Call("TolvButton_MouseUD", index, buttonIndex, isDown, buttonType));
        if (OnButtonMouse) {
            OnButtonMouse(index, buttonIndex, isDown);
        }
    }
    // What the button grid does with a button's click, where a test needs it.
    std::function<void(int index, int buttonIndex, bool isDown)> OnButtonMouse;
    void LV_RightClicked(int index, float, float) override { log_.Add(Call("LV_RightClicked", index)); }
    void PageButtons_RightClicked(int index, int clickedIndex) override
    {
        log_.Add(Call("PageButtons_RightClicked", index, clickedIndex));
    }
    void PageButtons_ButtonClicked(int index, int clickedIndex) override
    {
        log_.Add(Call("PageButtons_ButtonClicked", index, clickedIndex));
    }
    void TextPage_MouseUD(int index, int button, bool isDown, int pIndex) override
    {
        log_.Add(Call("TextPage_MouseUD", index, button, isDown, pIndex));
    }
    void CtrlButton_ButtonClicked(int index, int clickedIndex) override
    {
        log_.Add(Call("CtrlButton_ButtonClicked", index, clickedIndex));
    }
    void SpeedSlider_Scrolled(int index, int nButton) override
    {
        log_.Add(Call("SpeedSlider_Scrolled", index, nButton));
    }
    void PlayButtons_ButtonClicked(int index, int clickedIndex) override
    {
        log_.Add(Call("PlayButtons_ButtonClicked", index, clickedIndex));
    }
    void ProgBar_MouseUD(int index, bool isDown) override { log_.Add(Call("ProgBar_MouseUD", index, isDown)); }
    void ProgBar_Scrolled(int index) override { log_.Add(Call("ProgBar_Scrolled", index)); }
    void ProgBar_RightClicked(int index, bool isDown) override
    {
        log_.Add(Call("ProgBar_RightClicked", index, isDown));
    }
    void PanSlider_MouseUD(int index, bool isDown, int nButton) override
    {
        log_.Add(Call("PanSlider_MouseUD", index, isDown, nButton));
    }
    void PanSlider_Scrolled(int index, int nButton) override { log_.Add(Call("PanSlider_Scrolled", index, nButton)); }
    void SpeedSlider_MouseUD(int index, bool isDown, int nButton) override
    {
        log_.Add(Call("SpeedSlider_MouseUD", index, isDown, nButton));
    }
    void VolSlider_LevelChanged(int index) override { log_.Add(Call("VolSlider_LevelChanged", index)); }
    void PicCounter_MouseUD(int index, int button, bool isDown, int pIndex) override
    {
        log_.Add(Call("PicCounter_MouseUD", index, button, isDown, pIndex));
    }
    void TolvButton_OLEStartDrag(int index, platform::DragData& data, int& allowedEffects, int shift) override
    {
        data.Clear();
        allowedEffects = platform::DropEffectNone;
        log_.Add(Call("TolvButton_OLEStartDrag", index, shift));
    }
    void TolvButton_OLECompleteDrag(int index, int effect) override
    {
        log_.Add(Call("TolvButton_OLECompleteDrag", index, effect));
    }
    void TolvButton_OLEDragOver(int index) override { log_.Add(Call("TolvButton_OLEDragOver", index)); }
    void TolvButton_OLEDropped(int index, platform::DragData& data) override
    {
        log_.Add(Call("TolvButton_OLEDropped", index, data.FileCount()));
    }

private:
    CallLog& log_;
};

class FakeStatusLabels final : public StatusLabelsPort {
public:
    explicit FakeStatusLabels(CallLog& log) : log_(log) {}
    void TextFade_MouseUD(int index, int button, bool isDown, int pIndex) override
    {
        log_.Add(Call("TextFade_MouseUD", index, button, isDown, pIndex));
    }
    void TextSTBY_MouseUD(int index, int button, bool isDown, int pIndex) override
    {
        log_.Add(Call("TextSTBY_MouseUD", index, button, isDown, pIndex));
    }
    void TextTimer_MouseUD(int index, int button, bool isDown, int pIndex) override
    {
        log_.Add(Call("TextTimer_MouseUD", index, button, isDown, pIndex));
    }

private:
    CallLog& log_;
};

class FakeRemote final : public RemotePort {
public:
    explicit FakeRemote(CallLog& log) : log_(log) {}
    void InitRemoteDevices() override { log_.Add(Call("InitRemoteDevices")); }
    void SendRemoteCommand(int output, int function, int index) override
    {
        log_.Add(Call("SendRemoteCommand", output, function, index));
    }
    void SendRemoteListStatus(int output, int force) override { log_.Add(Call("SendRemoteListStatus", output, force)); }
    void SetOutputLock(int output) override { log_.Add(Call("SetOutputLock", output)); }

private:
    CallLog& log_;
};

class FakeRemoteDevices final : public RemoteDevicesPort {
public:
    explicit FakeRemoteDevices(CallLog& log) : log_(log) {}
    bool ComOpen(int channel) override { return comOpen[static_cast<std::size_t>(channel)]; }
    void CloseComm(int channel) override
    {
        log_.Add(Call("CloseComm", channel));
        comOpen[static_cast<std::size_t>(channel)] = false;
    }
    bool HidOpen(int channel) override { return hidOpen[static_cast<std::size_t>(channel)]; }
    void HidClose(int channel) override
    {
        log_.Add(Call("HidClose", channel));
        hidOpen[static_cast<std::size_t>(channel)] = false;
    }
    bool MidiInOpen() override { return midiOpen; }
    void CloseMidiIn() override
    {
        log_.Add(Call("CloseMidiIn"));
        midiOpen = false;
    }

    std::array<bool, 4> comOpen{};
    std::array<bool, 4> hidOpen{};
    bool midiOpen = false;

private:
    CallLog& log_;
};

class FakeConfigDialog final : public ConfigDialogPort {
public:
    explicit FakeConfigDialog(CallLog& log) : log_(log) {}
    void ShowModal(platform::Form&) override { log_.Add(Call("ConfigDialog.ShowModal")); }

private:
    CallLog& log_;
};

class FakeFadeWindow final : public FadeWindowPort {
public:
    explicit FakeFadeWindow(CallLog& log) : log_(log) {}
    bool IsOpen() override { return open; }
    void Unload() override
    {
        log_.Add(Call("FadeWindow.Unload"));
        open = false;
    }
    bool open = false;

private:
    CallLog& log_;
};

class FakeMonitorWindow final : public MonitorWindowPort {
public:
    explicit FakeMonitorWindow(CallLog& log) : log_(log) {}
    bool IsLoaded() override { return loaded; }
    void Unload() override
    {
        log_.Add(Call("MonitorWindow.Unload"));
        loaded = false;
    }
    void LoadHidden(platform::Form&) override
    {
        log_.Add(Call("MonitorWindow.LoadHidden"));
        loaded = true;
    }
    bool IsVisible() override { return loaded && visible; }
    void StartMon(platform::Form&, const MonitorItem& item, int autoPlay) override
    {
        log_.Add(Call("MonitorWindow.StartMon", item.IsList ? 1 : 0, item.Output, item.Page,
                      item.IsList ? item.Row : item.Button, autoPlay));
        lastItem = item;
        loaded = true;
        visible = true;
    }
    bool loaded = false;
    bool visible = false;
    MonitorItem lastItem;

private:
    CallLog& log_;
};

class FakeSplashWindow final : public SplashWindowPort {
public:
    explicit FakeSplashWindow(CallLog& log) : log_(log) {}
    void Show(std::string_view picturePath) override { log_.Add(Call("Splash.Show", picturePath)); }
    void Unload() override { log_.Add(Call("Splash.Unload")); }

private:
    CallLog& log_;
};

class FakeFileTransfer final : public FileTransferPort {
public:
    explicit FakeFileTransfer(CallLog& log) : log_(log) {}
    QWidget* Control() override { return nullptr; }
    void Init(int mode) override { log_.Add(Call("FH1.Init", mode)); }
    void SetDispFN(int mode) override { log_.Add(Call("FH1.DispFN", mode)); }
    int AdjustX() override { return 0; }
    int AdjustY() override { return 0; }

private:
    CallLog& log_;
};

class FakeCache final : public CachePort {
public:
    explicit FakeCache(CallLog& log) : log_(log) {}
    void MenuCache_Click(int index) override { log_.Add(Call("MenuCache_Click", index)); }
    void CacheAll(int mode) override { log_.Add(Call("CacheAll", mode)); }
    void ShowCacheProgress(std::string_view text, bool highlighted) override
    {
        log_.Add(Call("ShowCacheProgress", text, highlighted));
    }
    std::string IsCached(std::string_view path, int tipFlag) override
    {
        log_.Add(Call("IsCached", path, tipFlag));
        return isCachedResult;
    }
    std::string CacheFile(std::string_view path, int showFlag) override
    {
        log_.Add(Call("CacheFile", path, showFlag));
        return cacheFileResult;
    }
    std::string isCachedResult;
    std::string cacheFileResult;

private:
    CallLog& log_;
};

class FakeMaterialBrowser final : public MaterialBrowserPort {
public:
    explicit FakeMaterialBrowser(CallLog& log) : log_(log) {}
    bool IsLoaded() override { return loaded; }
    int Output() override { return output; }
    void Show(platform::Form&, int which) override
    {
        log_.Add(Call("MaterialBrowser.Show", which));
        loaded = true;
        output = which;
    }
    void Unload() override
    {
        log_.Add(Call("MaterialBrowser.Unload"));
        loaded = false;
    }
    platform::Form* Window() override { return window; }
    bool loaded = false;
    int output = 0;
    platform::Form* window = nullptr;

private:
    CallLog& log_;
};

// One fake of every service, all recording into Log.
struct FakePorts {
    CallLog Log;
    FakeEngine Engine{Log};
    FakePlayback Playback{Log};
    FakeAssignFile AssignFile{Log};
    FakeItemCommands ItemCommands{Log};
    FakeControlEvents ControlEvents{Log};
    FakeStatusLabels StatusLabels{Log};
    FakeRemote Remote{Log};
    FakeRemoteDevices RemoteDevices{Log};
    FakeConfigDialog ConfigDialog{Log};
    FakeFadeWindow FadeWindow{Log};
    FakeMonitorWindow MonitorWindow{Log};
    FakeSplashWindow SplashWindow{Log};
    FakeFileTransfer FileTransfer{Log};
    FakeCache Cache{Log};
    FakeMaterialBrowser MaterialBrowser{Log};

    MainPorts Wire()
    {
        MainPorts ports;
        ports.Engine = &Engine;
        ports.Playback = &Playback;
        ports.AssignFile = &AssignFile;
        ports.ItemCommands = &ItemCommands;
        ports.ControlEvents = &ControlEvents;
        ports.StatusLabels = &StatusLabels;
        ports.Remote = &Remote;
        ports.RemoteDevices = &RemoteDevices;
        ports.ConfigDialog = &ConfigDialog;
        ports.FadeWindow = &FadeWindow;
        ports.MonitorWindow = &MonitorWindow;
        ports.SplashWindow = &SplashWindow;
        ports.FileTransfer = &FileTransfer;
        ports.Cache = &Cache;
        ports.MaterialBrowser = &MaterialBrowser;
        return ports;
    }
};

} // namespace testsupport
