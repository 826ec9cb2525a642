#pragma once

#include "controls/UC_Bar.h"
#include "controls/UC_Buttons.h"
#include "controls/UC_Fader.h"
#include "controls/UC_ListView.h"
#include "controls/UC_Slider.h"
#include "controls/UC_TextPicture.h"
#include "controls/UC_TolvButton.h"
#include "controls/UC_VVU.h"
#include "mainwindow/MainState.h"
#include "mainwindow/MenuArray.h"
#include "mainwindow/PicturePanel.h"
#include "mainwindow/WindowLayout.h"
#include "mainwindow/ports/MainPorts.h"
#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/WindowTimer.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
        Running,        // the window runs
        HandedOver,     // the named session runs; it got the command line
        NotTaken,       // the named session runs; it did not take the command line
        NoFreeSession,  // all four sessions run
        AlreadyRunning, // sessions off and another instance runs
        LogOnRequired,  // NeedLogOn and nobody logged on
        PortsMissing,   // the program was wired incompletely
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
    // Carries out a command line ("" = the program's own): the display size
    // (B=), the window's place and size in pixels (X=, Y=, W=, H=) and the
    // assign table file to open.
    void ApplyCommandLine(std::string_view text);
    // Carries out the oldest command line a second start handed over; false
    // when none waits.
    bool ApplyHandedOverCommandLine();
    void Form_Resize();

    // ---- Menus, right-click menus and shell panels ----
    void MenuTool_Click(int index);
    // Switches between the normal and the big display on the same players.
    void MenuDispBig_Click();
    // The configuration dialog; its OK rebuilds the window on new players.
    void MenuConf_Click();
    // Stops and releases every player and rebuilds the window from the
    // stored settings, with Running 0 and the menu bar off meanwhile.
    void ReapplyConfiguration();
    void MenuEditor_Click();
    void MenuHelp_Click(int index);
    // The engine tick, after an output's state changed: the bar's eight
    // entries are enabled exactly when no output plays or is paused.
    void EnableMenuBar(bool enabled);
    // Shows at most one pending right-click menu: the button menu before the
    // page menu before the list menu.
    void ShowPendingPopup();
    void TimerRC_Timer();
    // Ticks the play-mode item of the button menu for playMode only.
    void CheckButtonModeItems(int playMode);
    // A click on an output's shell panel runs its shortcut command.
    void TextShell_MouseUD(int index, int button, bool isDown, int pIndex);
    // Places the buttons of an output's grid with its first button at (X, Y)
    // (twips inside PictureAll).
    void PlaceTolvButtons(int output, float X, float Y);

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
    // Clears the meter holder PictureVU(index) and copies the framed meter
    // background into it.
    void DrawVUGradient(int index);

    // The window's own picture (its background).
    platform::Surface& Picture() { return picture_; }

    // ---- The window's design ----
    // The panel that fills the window, and in it the per-output containers.
    PicturePanel* PictureAll = new PicturePanel(this);
    platform::ControlArray<PicturePanel> PicturePage{new PicturePanel(PictureAll)};
    platform::ControlArray<PicturePanel> PictureModule{new PicturePanel(PictureAll)};
    platform::ControlArray<PicturePanel> PictureLEDs{new PicturePanel(PictureAll)};
    // Page selector of an output.
    platform::ControlArray<controls::UC_TextPicture> TextPage{new controls::UC_TextPicture(PicturePage(0))};
    platform::ControlArray<controls::UC_Buttons> PageButtons{new controls::UC_Buttons(PicturePage(0))};
    // Output strip of a player slot.
    platform::ControlArray<PicturePanel> PictureVU{new PicturePanel(PictureModule(0))};
    platform::ControlArray<controls::UC_VVU> VUR{new controls::UC_VVU(PictureVU(0))};
    platform::ControlArray<controls::UC_VVU> VUL{new controls::UC_VVU(PictureVU(0))};
    platform::ControlArray<controls::UC_TextPicture> PicCounter{new controls::UC_TextPicture(PictureModule(0))};
    platform::ControlArray<UC_Fader> VolSlider{new UC_Fader(PictureModule(0))};
    platform::ControlArray<UC_Slider> PanSlider{new UC_Slider(PictureModule(0))};
    platform::ControlArray<UC_Slider> SpeedSlider{new UC_Slider(PictureModule(0))};
    platform::ControlArray<controls::UC_Bar> ProgBar{new controls::UC_Bar(PictureModule(0))};
    platform::ControlArray<controls::UC_Buttons> PlayButtons{new controls::UC_Buttons(PictureModule(0))};
    // Status panels of an output.
    platform::ControlArray<controls::UC_TextPicture> TextFade{new controls::UC_TextPicture(PictureLEDs(0))};
    platform::ControlArray<controls::UC_TextPicture> TextAir{new controls::UC_TextPicture(PictureLEDs(0))};
    platform::ControlArray<controls::UC_TextPicture> TextKey{new controls::UC_TextPicture(PictureLEDs(0))};
    platform::ControlArray<controls::UC_TextPicture> TextSTBY{new controls::UC_TextPicture(PictureLEDs(0))};
    platform::ControlArray<controls::UC_TextPicture> TextShell{new controls::UC_TextPicture(PictureLEDs(0))};
    platform::ControlArray<controls::UC_TextPicture> TextTimer{new controls::UC_TextPicture(PictureLEDs(0))};
    // List area of a play-list output, and the sound buttons.
    platform::ControlArray<controls::UC_TextPicture> PictureCurrent{new controls::UC_TextPicture(PictureAll)};
    platform::ControlArray<controls::UC_Buttons> CtrlButton{new controls::UC_Buttons(PictureAll)};
    platform::ControlArray<UC_ListView> LV{new UC_ListView(PictureAll)};
    platform::ControlArray<controls::UC_TolvButton> TolvButton{new controls::UC_TolvButton(PictureAll)};
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
    // A right-click kept during a press opens its menu before the keys and
    // clicks kept after it are carried out: they are the menu's.
    void KeptInputDone() override;

private:
    void BuildMenus();
    void WireMenuCommands();
    // Help > Uninstall: removes the program's settings and ends at once.
    void Uninstall();
    // The last status and lamp output of an output to the remote boxes.
    void SendFinalRemoteStatus(int output);
    // The window's size before any stored placement applies.
    void SetDesignSize();
    // The window's size once the layout is known (FrmMainWindowFit.cpp):
    // what the layout needs to show every output whole (exactly that with
    // Fit::Exact, at least that with Fit::Grow, never smaller than the
    // window is), within the work area, with the frame inside it.
    enum class Fit { Exact, Grow };
    void FitToLayout(Fit fit);
    void WireEvents();
    void WireControlEvents();
    void WireStripEvents();
    // Gives element 0 and every element loaded later the same handlers.
    template <class T> static void OnEveryElement(platform::ControlArray<T>& array, std::function<void(T&, int)> wire)
    {
        wire(*array.At(0), 0);
        array.SetLoadHandler([wire](T& element, int index) { wire(element, index); });
    }
    void BringToFrontOnDrag();
    // The window layout (FrmMainLayout.cpp).
    WindowLayout::Anchors LayoutAnchors() const;
    WindowLayout::Input LayoutInput() const;
    void PlaceOutput(int output, const WindowLayout::OutputPlace& place);
    void MoveTolvButtons(int output, const std::vector<WindowLayout::Point>& places);
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
    // No size was stored for the display the window starts in.
    bool sizeFromLayout_ = false;
    // The outputs whose parts the work area could not hold, across or below,
    // as logged ("output 1 across").
    std::vector<std::string> misfitsLogged_;
    bool unloading_ = false;
    bool ended_ = false;
    bool sessionEnding_ = false;
    bool applied_ = false;
};
