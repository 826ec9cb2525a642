// The start-up of the program: the main window's load, step by step in the
// order every later part relies on.
#include "mainwindow/FrmMain.h"

#include "audio/DSDeviceList.h"
#include "audio/FilterGraphLength.h"
#include "foundation/Background.h"
#include "foundation/ColumnNames.h"
#include "foundation/CommandLine.h"
#include "foundation/ControlPlacement.h"
#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/Folders.h"
#include "foundation/Fonts.h"
#include "foundation/InterruptedSaves.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Paths.h"
#include "foundation/Registry.h"
#include "foundation/SessionValues.h"
#include "foundation/Settings.h"
#include "foundation/SharedConf.h"
#include "foundation/SubClass.h"
#include "foundation/TimeStamps.h"
#include "foundation/Waits.h"
#include "foundation/WindowPositions.h"
#include "mainwindow/Sessions.h"
#include "mainwindow/SettingReaders.h"
#include "platform/EventPump.h"
#include "platform/MessageBox.h"
#include "platform/ProcessPriority.h"
#include "platform/Screen.h"
#include "platform/base/AppIdentity.h"
#include "platform/base/LogSink.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <QMenu>

#include <chrono>
#include <filesystem>
#include <system_error>

namespace {

// Logs older than this are pruned at every start.
constexpr int LogKeepDays = 90;
constexpr int SplashWaitMs = 500;

// The day log's names and folder (steps 6 and 7) are set before the
// sessions are chosen: a second start that ends there logs too (a command
// line the running session did not take), and its lines belong in the same
// dated files of the same folder as every other line of the day.
void PlaceDayLog()
{
    basic::DailyLogNames = 1;
    const std::string debugLogPath = basic::RegRead("DebugLogPath", "", basic::SharedSection);
    basic::LogFolder = !debugLogPath.empty() ? basic::FixTrailingSeparator(debugLogPath, 0) : basic::AppPath() + "log/";
    platform::SetLogSink([](std::string_view text, int kind) { basic::WriteLog(text, kind, 0); });
}

std::string OutputKey(std::string_view key, int output)
{
    return std::string(key) + std::to_string(output + 1);
}

} // namespace

FrmMain::StartOutcome FrmMain::Form_Load()
{
    if (!Ports.Complete()) {
        basic::WriteLog("The main window was started without all of its services", 1, 1);
        return StartOutcome::PortsMissing;
    }
    platform::InstallQtEventPump();

    // 1. Screen scale and working folder.
    basic::TwipsPerPixel = platform::ScreenTwipsPerPixel();
    SetDesignSize();
    std::error_code ignored;
    std::filesystem::current_path(basic::AppPath(), ignored);

    // 2. The logged-on user, written by outside tools.
    basic::CurrentQuorUser = basic::RegRead("CurrentQuorUser", "", basic::SharedSection);
    basic::CurrentQuorUserGroup =
        numeric::ParseLong(basic::RegRead("CurrentQuorUserGroup", 0, basic::SharedSection)).value_or(0);

    // 3. Settings store: an INI file named after the program beside it, else the registry.
    const std::string programIni = basic::AppPath() + App::Title + ".ini";
    basic::SettingsIniPath = basic::FileExists(programIni) != 0 ? programIni : std::string();

    // 4. Which session this is.
    PlaceDayLog();
    basic::SessionIndex = -1;
    const bool multiSession = MainSettings::Flag("UseMultiSession", false, 1);
    const Sessions::Choice session = Sessions::ChooseSession(multiSession, basic::ProgramCommandLine());
    switch (session.Result) {
    case Sessions::Choice::Kind::Claimed:
        break;
    case Sessions::Choice::Kind::HandedOver:
        return StartOutcome::HandedOver;
    case Sessions::Choice::Kind::NotTaken:
        return StartOutcome::NotTaken;
    case Sessions::Choice::Kind::NoFreeSession:
        return StartOutcome::NoFreeSession;
    case Sessions::Choice::Kind::AlreadyRunning:
        return StartOutcome::AlreadyRunning;
    }
    basic::SessionIndex = session.Index;

    // 5. From here on every setting belongs to this session.
    basic::SettingsStoreName = Sessions::SessionName(session.Index);
    SetCaption(Sessions::SessionCaption(session.Index));
    const std::string sessionIni = basic::AppPath() + basic::SettingsStoreName + ".ini";
    if (basic::FileExists(sessionIni) != 0) {
        basic::SettingsIniPath = sessionIni;
    }

    const StartOutcome early = StartLoggingToLogOn();
    if (early != StartOutcome::Running) {
        return early;
    }

    // 11. Splash, while the rest of the start-up runs.
    const std::string splashPath = basic::AppPath() + App::Title + "_splash.bmp";
    const bool splashShown = basic::FileExists(splashPath) != 0;
    if (splashShown) {
        Ports.SplashWindow->Show(splashPath);
    }

    PrepareWindow(splashShown);

    // 27. Every other setting, the players and the window's elements; a
    // window without a stored size takes the size its layout needs, one with
    // a stored size grows where the layout needs more.
    ApplySettings(0);
    FitToLayout(sizeFromLayout_ ? Fit::Exact : Fit::Grow);
    // 28. The FADE, STBY and TIMER switches of the last run.
    RestoreOutputSwitches();
    // 29. The start-timer check begins now.
    State.LastTimerStamp = basic::FormatTimeStamp(FCT_Quind::HourAdjust, 0, 0, 0, 0, 0, 0);
    // 30. The engine tick and the pending-menu timer.
    TimerUpdate.SetInterval(parms::TimerInt);
    TimerRC.SetInterval(parms::TimerInt);
    // 31. Ready: the first layout runs when the window shows.
    State.Running = 1;
    loaded_ = true;
    show();
    Form_Resize();
    PictureAll->show();
    // 32. The program's own command line.
    if (!basic::ProgramCommandLine().empty()) {
        ApplyCommandLine("");
    }
    // 33, 34, 35.
    OpenStartupAssignFile();
    PlayStartupSound();
    basic::WriteLog("***正常起動***", 0, 0);
    return StartOutcome::Running;
}

// Steps 6 to 10: logging, error mode, language, font and the log-on rule.
FrmMain::StartOutcome FrmMain::StartLoggingToLogOn()
{
    // 6. Logging and error mode; "ec.txt" beside the program switches the
    // error mode on for debugging.
    MainSettings::ReadLong("LogError", 1, basic::LogError);
    MainSettings::ReadLong("ErrorCatch", 0, basic::ErrorCatch);
    if (basic::ErrorCatch == 0 && basic::FileExists(basic::AppPath() + "ec.txt") != 0) {
        basic::ErrorCatch = 1;
    }
    // Daily names, the log folder and the platform layer's failures into
    // the day log were set before the sessions (PlaceDayLog).

    // 7. Old day logs go; nothing else in the folder is touched, whatever
    // folder the log was pointed at.
    basic::DeleteFolderContents(basic::LogFolder, 1, LogKeepDays, "log", 1);
    basic::DeleteFolderContents(basic::LogFolder, 1, LogKeepDays, "err", 1);
    // Saves killed before their rename left temporary files; old ones go now
    // that the log can say so, and the settings store is this session's.
    basic::RemoveInterruptedSaves(
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count());

    // 8. Language.
    basic::InitLanguage();

    // 9. Font of the interface.
    if (MainSettings::Long("AltFont") == 1) {
        basic::UIFontFace = "メイリオ";
    }
    basic::SetControlFont(this, -2, nullptr, 0, false, false, "");

    // 10. Log-on requirement.
    if (MainSettings::Long("NeedLogOn") == 1 && basic::CurrentQuorUser.empty()) {
        basic::ShowMessage("ログオンしてください", platform::IconStop, "", this);
        return StartOutcome::LogOnRequired;
    }
    return StartOutcome::Running;
}

// Steps 12 to 26: the window's fixed parts before the settings apply.
void FrmMain::PrepareWindow(bool splashShown)
{
    // 12. The panel of everything gets the interface font.
    basic::SetControlFont(PictureAll, -2, nullptr, 0, false, false, "");

    // 13. The button pictures 1..4, below each other.
    for (int i = 1; i <= 4; ++i) {
        basic::ApplyFormFont(PictureTolv, i, 0, false, 0, -1);
    }

    // 14. The further items of the menu arrays.
    const auto loadItems = [](MenuArray& array, int last) {
        for (int i = 1; i <= last; ++i) {
            array.Load(i);
            array.At(i)->setVisible(true);
        }
    };
    loadItems(*MenuFile, 2);
    loadItems(*MenuTool, 1);
    loadItems(*MenuCache, 2);
    loadItems(*MenuHelp, 2);
    loadItems(*MenuRCList, 6);
    loadItems(*MenuRCPage, 1);

    // 15. A user of group 0 may not change the program.
    if (MainSettings::Long("NeedLogOn") == 1 && basic::CurrentQuorUserGroup == 0) {
        MenuHelp->At(1)->setVisible(false);
        MenuConf->setVisible(false);
        MenuCache->At(2)->setVisible(false);
    }

    // 16. Priority.
    if (MainSettings::Long("PriorityHigh", 1) == 1) {
        platform::RaiseProcessPriority();
    }

    // 17. Subclassing: wheel, caption lock and the hand-over from a second
    // start; not in the error mode.
    State.Subclassed = basic::ErrorCatch == 0 ? 1 : 0;
    if (State.Subclassed == 1) {
        FCT_SubClass::SubclassWindow(this);
    }

    // 18. The file-transfer control.
    FH1 = Ports.FileTransfer->Control();
    if (FH1 != nullptr) {
        FH1->setParent(PictureAll);
    }
    Ports.FileTransfer->Init(1);
    Ports.FileTransfer->SetDispFN(2);

    // 19. The DirectSound device list; and the filter-graph player that
    // measures, for the information texts, the lengths only a decoder knows.
    FCT_EnumDS::EnumDSDevices();
    FilterGraphLength::Install();

    // 20. Short marks of the play modes.
    parms::ModeCaption[1][0] = "M";
    parms::ModeCaption[2][0] = "L";
    parms::ModeCaption[3][0] = "T";

    // 21. Column captions and the tip fields' captions among them.
    FCT_Quind::InitDefaultColumnNames();
    parms::TipFieldNameIndex = {1, 3, 5, 6, 7};

    // 22. List or buttons per output, and an empty list on every page.
    for (int output = 0; output < parms::OutputCount; ++output) {
        MainSettings::ReadLong(OutputKey("IsList_", output), 0, parms::IsList[static_cast<std::size_t>(output)]);
        for (int page = 0; page < AssignPages; ++page) {
            State.ListTable[static_cast<std::size_t>(ListTableIndex(output, page))] = ListPage{};
        }
    }

    // 23. Counter modes are read with the players.
    State.DispLap = {-1};

    // 24. Keyboard target, display size and where the window was.
    MainSettings::ReadLong("KeyPage", -1, State.KeyTarget);
    MainSettings::ReadLong("DispBig", 0, State.DispBig);
    const char* suffix = State.DispBig != 0 ? "_Big" : "";
    sizeFromLayout_ = !basic::HasStoredWindowSize(suffix);
    basic::RestoreWindowPos(*this, suffix, false, true, false);

    // 25. Plain backgrounds.
    basic::PaintBackground(picture_, -2, -1, -1, -1);
    for (PicturePanel* panel : {PictureAll, PictureLEDs(0), PicturePage(0), PictureModule(0)}) {
        basic::PaintBackground(panel->Picture(), -2, -1, -1, -1);
    }

    // 26. The splash stays a moment, with events running.
    if (splashShown) {
        basic::WaitMs(SplashWaitMs, 0);
        Ports.SplashWindow->Unload();
    }
}

// Step 28: each output's switches of the last run, through the labels'
// own click handlers, as a release of the left button.
void FrmMain::RestoreOutputSwitches()
{
    for (int output = 0; output < State.NumOut; ++output) {
        const auto o = static_cast<std::size_t>(output);
        if (State.DispFADE[o] != 0 && MainSettings::Long(OutputKey("FadeOn_", output), 0) == 1) {
            Ports.StatusLabels->TextFade_MouseUD(output, 1, false, 0);
        }
        if (parms::IsList[o] == 0 && MainSettings::Long(OutputKey("STBYActive_", output), 0) == 1 &&
            State.DispSTBY[o] != 0) {
            Ports.StatusLabels->TextSTBY_MouseUD(output, 1, false, 0);
        }
        if (MainSettings::Long(OutputKey("TimerActive_", output), 0) == 1 && parms::StartTimer[o].TimerEnabled != 0) {
            Ports.StatusLabels->TextTimer_MouseUD(output, 1, false, 0);
        }
    }
}

// Step 33: an assign table file, unless the command line opened one.
void FrmMain::OpenStartupAssignFile()
{
    if (!State.CurrentFileTitle.empty()) {
        return;
    }
    if (MainSettings::Long("ShowDlg") == 1) {
        Ports.AssignFile->MenuFile_Click(0);
        if (!State.CurrentFilePath.empty()) {
            return;
        }
    }
    if (State.CurrentFilePath.empty() && State.OpenRemovable == 1) {
        State.RemovableDrive = -1;
        Ports.AssignFile->FindRemovableAssignFile();
    }
    if (State.CurrentFilePath.empty() && MainSettings::Long("OpenLast") == 1) {
        const std::string last = basic::GetSetting("LastTlvFilename", "");
        if (basic::FileExists(last) != 0) {
            State.CurrentFilePath = last;
        }
    }
    int ok = 0;
    Ports.AssignFile->OpenSaveAssignFile(0, State.CurrentFilePath, ok);
}

// Step 34: "startup.wav" beside the program, once on every player.
void FrmMain::PlayStartupSound()
{
    const std::string sound = basic::AppPath() + "startup.wav";
    if (basic::FileExists(sound) == 0) {
        return;
    }
    for (int slot = 0; slot < State.PlayerCount; ++slot) {
        Player& player = State.PlayerAt(slot);
        player.SetFileName(sound);
        player.Play();
    }
}
