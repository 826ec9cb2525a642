#pragma once

#include "mainwindow/ControlTypes.h"
#include "mainwindow/MainState.h"
#include "mainwindow/MenuArray.h"
#include "mainwindow/PicturePanel.h"
#include "mainwindow/ports/MainPorts.h"
#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/WindowTimer.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QMenu;
class QMenuBar;
namespace platform {
class DropTarget;
}

// Why a close happens beyond the window's own reasons (platform/Form.h): the
// desktop session ends (also SIGTERM and SIGINT), or a task manager ends the
// program. Both close at once, without a question and without saving.
inline constexpr int UnloadBySessionEnd = 2;
inline constexpr int UnloadByTaskManager = 3;

// The main window: its start-up is the start of the program and its unload
// the end. It holds the window's controls in their design nesting (element 0
// of every control array; the settings apply loads the others) and the one
// state block of the window. The services of playback, remote control, the
// dialogs and the cache reach it through Ports, which must be complete before
// Form_Load.
class FrmMain final : public platform::Form {
public:
    FrmMain();
    ~FrmMain() override;
    FrmMain(const FrmMain&) = delete;
    FrmMain& operator=(const FrmMain&) = delete;

    MainState State;
    MainPorts Ports;
    // Called once when the unload has finished: the program ends.
    std::function<void()> OnEnded;

    // ---- Start-up ----
    enum class StartOutcome {
        Running,          // the window runs
        HandedOver,       // the named session runs; it got the command line
        NoFreeSession,    // all four sessions run
        AlreadyRunning,   // sessions off and another instance runs
        LogOnRequired,    // NeedLogOn and nobody logged on
        PortsMissing,     // the program was wired incompletely
    };
    // The whole start-up. Anything but Running means the program ends now,
    // without saving anything.
    StartOutcome Form_Load();

    // ---- Close and shutdown ----
    void Form_QueryUnload(int& cancel, int unloadMode);
    void Form_Unload(int& cancel);
    // Closes as at the end of the desktop session: no question, no save.
    void EndSession();
    bool Ended() const { return ended_; }

    // ---- Settings, command line, layout ----
    void ApplySettings(int DisplayOnly);
    // Carries out a command line ("" = the program's own).
    void ApplyCommandLine(std::string_view text);
    void Form_Resize();

    // ---- Dynamic control elements ----
    // Loads element index of the array as a copy of element 0 into container
    // and shows it; false when it exists already.
    template <class T> bool LoadControlInto(platform::ControlArray<T>& array, int index, QWidget& container)
    {
        T* element = array.Load(index);
        if (element == nullptr) {
            return false;
        }
        element->setParent(&container);
        element->setGeometry(array.At(0)->geometry());
        element->show();
        return true;
    }
    // Removes a loaded element: 1 when removed, 0 otherwise (element 0 stays).
    template <class T> int UnloadControl(platform::ControlArray<T>& array, int index)
    {
        if (index == 0 || !array.Exists(index)) {
            return 0;
        }
        array.Unload(index);
        return 1;
    }
    // Removes every element that the settings apply loaded.
    void UnloadDynamicControls();

    // The window's own picture (its background).
    platform::Surface& Picture() { return picture_; }

    // ---- The window's design ----
    // The panel that fills the window, and in it the per-output containers.
    PicturePanel* PictureAll = new PicturePanel(this);
    platform::ControlArray<PicturePanel> PicturePage{new PicturePanel(PictureAll)};
    platform::ControlArray<PicturePanel> PictureModule{new PicturePanel(PictureAll)};
    platform::ControlArray<PicturePanel> PictureLEDs{new PicturePanel(PictureAll)};
    // Page selector of an output.
    platform::ControlArray<TextPictureControl> TextPage{new TextPictureControl(PicturePage(0))};
    platform::ControlArray<ButtonsControl> PageButtons{new ButtonsControl(PicturePage(0))};
    // Output strip of a player slot.
    platform::ControlArray<PicturePanel> PictureVU{new PicturePanel(PictureModule(0))};
    platform::ControlArray<VuMeterControl> VUR{new VuMeterControl(PictureVU(0))};
    platform::ControlArray<VuMeterControl> VUL{new VuMeterControl(PictureVU(0))};
    platform::ControlArray<TextPictureControl> PicCounter{new TextPictureControl(PictureModule(0))};
    platform::ControlArray<FaderControl> VolSlider{new FaderControl(PictureModule(0))};
    platform::ControlArray<SliderControl> PanSlider{new SliderControl(PictureModule(0))};
    platform::ControlArray<SliderControl> SpeedSlider{new SliderControl(PictureModule(0))};
    platform::ControlArray<BarControl> ProgBar{new BarControl(PictureModule(0))};
    platform::ControlArray<ButtonsControl> PlayButtons{new ButtonsControl(PictureModule(0))};
    // Status panels of an output.
    platform::ControlArray<TextPictureControl> TextFade{new TextPictureControl(PictureLEDs(0))};
    platform::ControlArray<TextPictureControl> TextAir{new TextPictureControl(PictureLEDs(0))};
    platform::ControlArray<TextPictureControl> TextKey{new TextPictureControl(PictureLEDs(0))};
    platform::ControlArray<TextPictureControl> TextSTBY{new TextPictureControl(PictureLEDs(0))};
    platform::ControlArray<TextPictureControl> TextShell{new TextPictureControl(PictureLEDs(0))};
    platform::ControlArray<TextPictureControl> TextTimer{new TextPictureControl(PictureLEDs(0))};
    // List area of a play-list output, and the sound buttons.
    platform::ControlArray<TextPictureControl> PictureCurrent{new TextPictureControl(PictureAll)};
    platform::ControlArray<ButtonsControl> CtrlButton{new ButtonsControl(PictureAll)};
    platform::ControlArray<ListViewControl> LV{new ListViewControl(PictureAll)};
    platform::ControlArray<SoundButtonControl> TolvButton{new SoundButtonControl(PictureAll)};
    // The file-transfer control of the cache, placed in PictureAll at start-up.
    QPointer<QWidget> FH1;

    // Hidden pictures that controls copy from.
    PicturePanel* PictureGrad = new PicturePanel(this);
    platform::ControlArray<PicturePanel> PictureSel{new PicturePanel(this)};
    PicturePanel* PictureTolv2 = new PicturePanel(this);
    platform::ControlArray<PicturePanel> PictureTolv{new PicturePanel(this)};
    PicturePanel* PictureScreen = new PicturePanel(this);

    // The engine tick, and the timer that shows pending right-click menus
    // while sound plays.
    platform::WindowTimer TimerUpdate;
    platform::WindowTimer TimerRC;

    // Menu bar: drop-downs and commands.
    QMenuBar* MenuBar;
    QMenu* MenuFileP;
    std::unique_ptr<MenuArray> MenuFile;
    QMenu* MenuToolP;
    std::unique_ptr<MenuArray> MenuTool;
    QMenu* MenuCacheP;
    std::unique_ptr<MenuArray> MenuCache;
    QAction* MenuDispBig;
    QAction* MenuConf;
    QAction* MenuEditor;
    QMenu* MenuHelpP;
    std::unique_ptr<MenuArray> MenuHelp;
    QAction* MenuClose;
    // Right-click menus, never on the bar.
    QMenu* MenuRCListP;
    std::unique_ptr<MenuArray> MenuRCList;
    QMenu* MenuRCButtonP;
    std::unique_ptr<MenuArray> MenuRCButtonFile;
    QAction* MenuRCButtonB1;
    std::unique_ptr<MenuArray> MenuRCButtonFCT;
    QAction* MenuRCButtonB2;
    QMenu* MenuRCButtonModeP;
    std::unique_ptr<MenuArray> MenuRCButtonMode;
    QAction* MenuRCButtonB3;
    QMenu* MenuRCButtonColorP;
    std::unique_ptr<MenuArray> MenuRCButtonColor;
    QMenu* MenuRCPageP;
    std::unique_ptr<MenuArray> MenuRCPage;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildMenus();
    // The window's size before any stored placement applies.
    void SetDesignSize();
    void WireEvents();
    void BringToFrontOnDrag();
    // Start-up steps after the session is known.
    StartOutcome StartLoggingToLogOn();
    void PrepareWindow(bool splashShown);
    void RestoreOutputSwitches();
    void OpenStartupAssignFile();
    void PlayStartupSound();
    bool AskBeforeClose(int& cancel);

    platform::Surface picture_;
    std::unique_ptr<platform::DropTarget> windowDrop_;
    std::unique_ptr<platform::DropTarget> pictureAllDrop_;
    bool loaded_ = false;
    bool unloading_ = false;
    bool ended_ = false;
    bool sessionEnding_ = false;
    bool applied_ = false;
};
