#include "mainwindow/SettingsApply.h"

#include "audio/DSDeviceList.h"
#include "audio/WaveDeviceList.h"
#include "foundation/Conversions.h"
#include "foundation/DayLog.h"
#include "foundation/Fonts.h"
#include "foundation/FormUtilities.h"
#include "foundation/Language.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Paths.h"
#include "foundation/ServerFolders.h"
#include "foundation/Settings.h"
#include "foundation/SharedConf.h"
#include "foundation/Waits.h"
#include "mainwindow/ApplyRules.h"
#include "mainwindow/ButtonGridSetup.h"
#include "mainwindow/FrmMain.h"
#include "mainwindow/ListAreaSetup.h"
#include "mainwindow/MainMenu.h"
#include "mainwindow/OutputPlayers.h"
#include "mainwindow/OutputStripSetup.h"
#include "mainwindow/PageSelector.h"
#include "mainwindow/PopupMenus.h"
#include "mainwindow/SettingReaders.h"
#include "mainwindow/StatusPanels.h"
#include "platform/base/AppIdentity.h"
#include "platform/base/Twips.h"

#include <QAction>
#include <QMenu>

#include <cstdlib>
#include <exception>
#include <string>

namespace {

std::string OutputKey(std::string_view key, int output)
{
    return std::string(key) + std::to_string(output + 1);
}

std::size_t Index(int i)
{
    return static_cast<std::size_t>(i);
}

// A device name of the settings as a device index; -1 for none.
std::int32_t WaveDevice(std::string_view key)
{
    const std::string name = MainSettings::Text(key);
    return name.empty() ? -1 : WaveMMIO::GetWaveDeviceID(0, name, 1);
}

} // namespace

SettingsApply::SettingsApply(FrmMain& window, bool firstRun) : window_(window), firstRun_(firstRun) {}

void SettingsApply::Run(int DisplayOnly)
{
    displayOnly_ = DisplayOnly;
    static constexpr Step steps[] = {
        {"list column layouts", Forms::Both, &SettingsApply::SaveListColumnLayouts},
        {"players and start timers", Forms::Both, &SettingsApply::ResetPlayersAndTimers},
        {"earlier build", Forms::FullOnly, &SettingsApply::UnloadEarlierBuild},
        {"general settings", Forms::FullOnly, &SettingsApply::ReadGeneralSettings},
        {"list and output settings", Forms::FullOnly, &SettingsApply::ReadListAndOutputSettings},
        {"menus", Forms::FullOnly, &SettingsApply::ApplyMenus},
        {"player type", Forms::FullOnly, &SettingsApply::ReadPlayerType},
        {"server configuration", Forms::FullOnly, &SettingsApply::LoadServerConfiguration},
        {"big display item", Forms::Both, &SettingsApply::ShowBigDisplayItem},
        {"back-end values", Forms::Both, &SettingsApply::DeriveBackEndValues},
        {"player features", Forms::FullOnly, &SettingsApply::ReadPlayerFeatures},
        {"output kinds", Forms::FullOnly, &SettingsApply::ReadOutputKinds},
        {"output devices", Forms::FullOnly, &SettingsApply::ReadOutputDevices},
        {"player tables", Forms::FullOnly, &SettingsApply::RecreatePlayerTables},
        {"tips and colours", Forms::FullOnly, &SettingsApply::ReadTipsAndColours},
        {"sizes", Forms::Both, &SettingsApply::ComputeSizes},
        {"page selectors", Forms::Both, &SettingsApply::BuildPageSelectors},
        {"status panels", Forms::Both, &SettingsApply::BuildStatusPanels},
        {"output strips", Forms::Both, &SettingsApply::LayOutOutputStrips},
        {"players", Forms::Both, &SettingsApply::BuildPlayers},
        {"list areas", Forms::Both, &SettingsApply::BuildListAreas},
        {"button grids", Forms::Both, &SettingsApply::BuildButtonGrids},
        {"output states", Forms::Both, &SettingsApply::ApplyOutputStates},
        {"cache and folder settings", Forms::FullOnly, &SettingsApply::ReadCacheAndFolderSettings},
        {"monitor window", Forms::FullOnly, &SettingsApply::LoadMonitorWindow},
        {"remote devices", Forms::FullOnly, &SettingsApply::OpenRemoteDevices},
        {"first pages", Forms::FullOnly, &SettingsApply::ShowFirstPages},
        {"keyboard target", Forms::Both, &SettingsApply::ShowKeyTarget},
    };
    for (const Step& step : steps) {
        if (step.forms == Forms::Both || displayOnly_ == 0) {
            RunGuarded(step);
        }
    }
}

void SettingsApply::RunGuarded(const Step& step)
{
    try {
        (this->*step.run)();
    } catch (const std::exception& error) {
        basic::WriteLog(std::string("ApplySettings: the step \"") + step.name + "\" failed: " + error.what(), 1, 0);
        if (basic::ErrorCatch != 0) {
            std::abort();
        }
    }
}

// Before a rebuild: the operator's column widths and order of every list,
// which the rebuilt lists read back.
void SettingsApply::SaveListColumnLayouts()
{
    if (!firstRun_) {
        ListAreaSetup::SaveColumnLayouts(window_);
    }
}

// Step 2.
void SettingsApply::ResetPlayersAndTimers()
{
    MainState& state = window_.State;
    state.CurrentPlayer.fill(0);
    if (!firstRun_) {
        window_.Ports.Playback->DisarmTimer(-1);
    }
}

// Step 4.
void SettingsApply::UnloadEarlierBuild()
{
    window_.UnloadDynamicControls();
    if (window_.Ports.MonitorWindow->IsLoaded()) {
        window_.Ports.MonitorWindow->Unload();
    }
}

// Step 5, from AltFont to BlankToStop.
void SettingsApply::ReadGeneralSettings()
{
    MainState& state = window_.State;
    basic::UIFontFace = MainSettings::Long("AltFont") == 1 ? "メイリオ" : "";
    basic::SetControlFont(&window_, -2, nullptr, 0, false, false, "");
    if (MainSettings::Long("CloseButtonAction") == 2) {
        FCT_DisableClose::DisableClose(&window_);
    }
    parms::EditApp = MainSettings::Text("EditApp");
    state.TlvExtention = MainSettings::Text("TlvExtention", 1);
    state.UseLineOutLock = MainSettings::Long("UseLineOutLock");
    state.UseTlvUser = MainSettings::Long("UseTlvUser");
    state.NoPlayMS = MainSettings::Long("NoPlayMS");
    parms::TimerInt = MainSettings::UsableLong("TimerInt", ApplyRules::TimerInt);
    parms::FITime = MainSettings::Long("FITime");
    parms::FOTime = MainSettings::Long("FOTime");
    parms::FIOffset = MainSettings::Long("FIOffset");
    state.CheckWavFmt = MainSettings::Long("CheckWavFmt");
    state.SozaiFreq = MainSettings::Long("SozaiFreq");
    state.SozaiMode = MainSettings::Long("SozaiMode");
    std::vector<std::string> drives;
    state.SoundDriveCount = basic::SplitQuoted(drives, MainSettings::Text("SoundDrive"), "|", 0);
    if (drives.empty()) {
        drives.emplace_back();
    }
    state.SoundDriveList = std::move(drives);
    state.TallySTBYWhilePlay = MainSettings::Long("TallySTBYWhilePlay");
    state.TallyInvert = MainSettings::Long("TallyInvert");
    state.BankSync = MainSettings::Long("BankSync");
    parms::DispBarTime = MainSettings::Long("DispBarTime");
    state.PressToPlay = MainSettings::Long("PressToPlay");
    state.SwitchLR = MainSettings::Long("SwitchLR");
    parms::DispButtonOption = MainSettings::Long("DispButtonOption");
    state.DefaultButtonOption = MainSettings::Long("DefaultButtonOption");
    state.UseButtonRCMenu = MainSettings::Long("UseButtonRCMenu");
    state.ShowFmtTolv = MainSettings::Long("ShowFmtTolv");
    state.BlankToStop = MainSettings::Long("BlankToStop");
    parms::ModeCaption[0][1] = basic::LangText("ノーマル", "Normal");
    parms::ModeCaption[1][1] = basic::LangText("モメンタリー", "Momentary");
    parms::ModeCaption[2][1] = basic::LangText("ラッチ", "Latch");
    parms::ModeCaption[3][1] = basic::LangText("トグル", "Toggle");
}

// Step 5, from ShowCtrl to PlayerColor_<n>.
void SettingsApply::ReadListAndOutputSettings()
{
    MainState& state = window_.State;
    state.ShowCtrl = MainSettings::Long("ShowCtrl");
    state.ShowCurrent = MainSettings::Long("ShowCurrent");
    state.ListWhilePlay = MainSettings::Long("ListWhilePlay");
    state.ListOrderHorizon = MainSettings::Long("ListOrderHorizon");
    parms::UseListStartMS = MainSettings::Long("UseListStartMS");
    parms::UseListSeq = MainSettings::Long("UseListSeq");
    state.UseListRCMenu = MainSettings::Long("UseListRCMenu");
    state.ShowFmtList = MainSettings::Long("ShowFmtList");
    state.SeqItemType = MainSettings::Long("SeqItemType");
    parms::SeqMarkText = basic::LangMode == 1 ? "S" : (state.SeqItemType == 0 ? "▲" : "▼");
    state.ListCtrl = MainSettings::Long("ListCtrl");
    state.LoopListCursor = MainSettings::Long("LoopListCursor");
    state.CheckProg = MainSettings::Long("CheckProg");
    parms::PreReadSound = MainSettings::Long("PreReadSound");
    state.ShowObservation = MainSettings::Long("ShowObservation");
    for (int n = 0; n < 3; ++n) {
        basic::CueActive[Index(n)] = MainSettings::Long(OutputKey("CueActive_", n));
    }
    for (int output = 0; output < MainState::Outputs; ++output) {
        const std::size_t o = Index(output);
        state.ShowPage[o] = MainSettings::Long(OutputKey("ShowPage_", output));
        state.StandbySet[o] = 0;
        state.CurrentPage[o] = 0;
        state.CacheAtDrop[o] = MainSettings::Long(OutputKey("CacheAtDrop_", output));
        state.PlayerColor[o] = MainSettings::Long(OutputKey("PlayerColor_", output));
    }
}

// Step 6: captions by language and what the settings show.
void SettingsApply::ApplyMenus()
{
    window_.State.SeqRC = MainSettings::Long("SeqRC", 0);
    MainMenu::ApplyCaptions(window_);
    MainMenu::ApplyVisibility(window_);
    PopupMenus::ApplyCaptions(window_);
    PopupMenus::ApplyVisibility(window_);
}

// Step 7.
void SettingsApply::ReadPlayerType()
{
    const std::int32_t stored = MainSettings::Long("PlayerType");
    parms::PlayerType = ApplyRules::ValidPlayerType(stored);
    if (parms::PlayerType != stored) {
        basic::WriteLog("PlayerType " + std::to_string(stored) + " is not 0..5; 3 (waveOut) is used", 1, 0);
    }
    window_.State.NumOut =
        MainSettings::UsableLong("NumOut", [](std::int32_t outputs) { return std::clamp(outputs, 1, 4); });
}

// Step 8.
void SettingsApply::LoadServerConfiguration()
{
    FCT_Quind::LoadSaveServerSettings(0, App::Title);
    if (!FCT_Quind::Servers[FCT_Quind::CurrentServer].SrvPath.empty()) {
        FCT_Quind::CreateLocalFolders();
        FCT_Quind::LoadSaveSharedConf(0);
    }
    FCT_Quind::TabVisible[4] = 0;
    if (FCT_Quind::LocalPath.empty()) {
        window_.MenuCacheP->menuAction()->setVisible(false);
    }
}

// Step 9.
void SettingsApply::ShowBigDisplayItem()
{
    const bool big = window_.State.DispBig != 0;
    window_.MenuDispBig->setText(
        QString::fromStdString((big ? basic::LangText("小さく", "Small") : basic::LangText("でかく", "Large")) + "(&B)"));
    window_.MenuDispBig->setVisible(MainSettings::Long("DispDispBig") == 1);
}

// Step 10.
void SettingsApply::DeriveBackEndValues()
{
    MainState& state = window_.State;
    const ApplyRules::BackEndValues values = ApplyRules::ForPlayerType(parms::PlayerType);
    state.PlayersPerOutput = values.PlayersPerOutput;
    parms::SinglePlayer = values.SinglePlayer;
    parms::UseSamplePos = values.UseSamplePos;
    parms::MaxAtt = values.MaxAtt;
    state.NumOut = ApplyRules::NumOut(state.NumOut, parms::PlayerType);
    if (displayOnly_ == 0) {
        state.UseVol = values.ForcedUseVol >= 0 ? values.ForcedUseVol : MainSettings::Long("UseVol");
    }
    state.PlayerCount = state.NumOut * state.PlayersPerOutput;
    window_.Ports.Playback->SetFadeParm();
}

// Step 11.
void SettingsApply::ReadPlayerFeatures()
{
    MainState& state = window_.State;
    if (parms::SinglePlayer == 1) {
        parms::UsePause = MainSettings::Long("UsePause");
        state.UseSpeed = 0;
        state.UsePan = 0;
    } else {
        parms::UsePause = 0;
        state.UseSpeed = MainSettings::Long("UseSpeed");
        state.UsePan = MainSettings::Long("UsePan");
    }
    state.CopiedPage = {-1, -1};
    state.AnyListOutput = 0;
    state.AllListOutputs = 1;
    state.LayoutType = 0;
    state.ListOutputCount = 0;
    state.PageNum = MainSettings::UsableLong("PageNum", ApplyRules::PageNum);
    const bool modeMenu = parms::DispButtonOption > 0 && parms::PlayerType == 3;
    window_.MenuRCButtonModeP->menuAction()->setVisible(modeMenu);
    window_.MenuRCButtonB2->setVisible(modeMenu);
}

// Step 12.
void SettingsApply::ReadOutputKinds()
{
    MainState& state = window_.State;
    for (int output = 0; output < state.NumOut; ++output) {
        std::int32_t& isList = parms::IsList[Index(output)];
        MainSettings::ReadLong(OutputKey("IsList_", output), isList);
        if (isList != 0) {
            state.AnyListOutput = 1;
            ++state.ListOutputCount;
        } else {
            state.AllListOutputs = 0;
        }
    }
}

// Step 13: read for all four outputs, whatever NumOut is.
void SettingsApply::ReadOutputDevices()
{
    for (int output = 0; output < MainState::Outputs; ++output) {
        parms::WaveDeviceID[Index(output)] = WaveDevice(OutputKey("DeviceWave_", output));
        parms::DSDeviceIndex[Index(output)] =
            FCT_EnumDS::GetDSDeviceGUID(MainSettings::Text(OutputKey("DeviceDS_", output)));
    }
}

// Step 14, first part: the players of the earlier run close now; every
// per-player value starts afresh (the counter modes are kept).
void SettingsApply::RecreatePlayerTables()
{
    MainState& state = window_.State;
    for (int slot = 0; slot < static_cast<int>(state.Players.size()); ++slot) {
        state.ReleasePlayer(slot);
    }
    state.ResizePlayers(0);
    state.ResizePlayers(state.PlayerCount);
}

// Step 14, second part.
void SettingsApply::ReadTipsAndColours()
{
    MainState& state = window_.State;
    parms::SizeRate[0] = MainSettings::SizeFactor("SizeRate_1", 1.0F);
    parms::SizeRate[1] = MainSettings::SizeFactor("SizeRate_2", 1.3F);
    parms::GetTip = MainSettings::Long("GetTip");
    parms::ApplyTipColor = MainSettings::Long("ApplyTipColor");
    // The tip fields are check boxes, so their count stays within the
    // columns a list can show: five fields and the reference fields.
    parms::TipFieldCount = 0;
    for (int output = 0; output < MainState::Outputs; ++output) {
        parms::DispTip[Index(output)] = MainSettings::CheckBox(OutputKey("DispTip_", output));
    }
    for (int field = 0; field < parms::TipFieldSlots; ++field) {
        parms::DispIt[Index(field)] = MainSettings::CheckBox(OutputKey("DispIt_", field));
        parms::TipFieldCount += parms::DispIt[Index(field)];
    }
    if (FCT_Quind::NumRef <= 0) {
        parms::DispItRef.assign(1, 0);
    } else {
        parms::DispItRef.assign(Index(FCT_Quind::NumRef), 0);
        for (int field = 0; field < FCT_Quind::NumRef; ++field) {
            parms::DispItRef[Index(field)] = MainSettings::CheckBox(OutputKey("DispItRef_", field));
            parms::TipFieldCount += parms::DispItRef[Index(field)];
        }
    }
    for (int n = 1; n <= 3; ++n) {
        const std::int32_t value = MainSettings::Long("PlayColor_" + std::to_string(n));
        const std::int32_t colour = ApplyRules::PlayColor(value);
        if (colour < 0) {
            continue;
        }
        parms::StateColor[Index(n)] = colour;
        if (n <= 2) {
            state.StateColorSet[Index(n)] = value + 1;
        }
    }
}

// Step 15.
void SettingsApply::ComputeSizes()
{
    MainState& state = window_.State;
    parms::HiColor = MainSettings::Long("HiColor");
    state.SizeFactor = parms::SizeRate[state.DispBig != 0 ? 1 : 0];
    state.UnitHeight = ApplyRules::UnitHeight(state.SizeFactor, basic::TwipsPerPixel);
    state.UnitGap = 2 * basic::TwipsPerPixel;
    state.PageButtonWidth = MainSettings::UsableLong("PageButtonWidth", ApplyRules::PageButtonWidth);
}

// Step 16.
void SettingsApply::BuildPageSelectors()
{
    PageSelector::Build(window_, displayOnly_);
}

// Step 17.
void SettingsApply::BuildStatusPanels()
{
    StatusPanels::Build(window_, displayOnly_);
}

// Step 18, before the slots: the strips' geometry and the first output's row.
void SettingsApply::LayOutOutputStrips()
{
    OutputStrips::LayOut(window_, displayOnly_);
}

// Step 18: per player slot, its strip, the player (full form) and its
// counter.
void SettingsApply::BuildPlayers()
{
    MainState& state = window_.State;
    OutputPlayers::Context context;
    context.PlayerType = parms::PlayerType;
    context.MaxAtt = parms::MaxAtt;
    context.UseVol = state.UseVol;
    context.Window = &window_;
    for (int slot = 0; slot < state.PlayerCount; ++slot) {
        if (displayOnly_ == 0) {
            OutputStrips::CreateStrip(window_, slot);
        }
        OutputStrips::SetUpStrip(window_, slot);
        if (displayOnly_ == 0) {
            const int output = slot / std::max(1, state.PlayersPerOutput);
            state.ReleasePlayer(slot);
            std::unique_ptr<Player> player = OutputPlayers::CreateSlotPlayer(context, slot, output);
            // The mute tail of a waveOut stop runs the engine tick, so the
            // other outputs keep being fed meanwhile.
            FrmMain* window = &window_;
            player->MutingProc = [window] {
                if (window->State.Running != 0) {
                    window->Ports.Engine->TimerUpdate_Timer();
                }
            };
            state.Players[Index(slot)] = std::move(player);
            if (state.DispLap.size() <= Index(slot)) {
                state.DispLap.resize(Index(slot) + 1, -1);
            }
            if (state.DispLap[Index(slot)] == -1) {
                state.DispLap[Index(slot)] = MainSettings::Long(OutputKey("DispLap_", slot));
            }
        }
        window_.Ports.Playback->UpdateCounter(slot, 0);
    }
    // Players rebuilt with the window up (the configuration dialog's OK) are
    // made ready as at the program's start, which does so for the first ones.
    if (displayOnly_ == 0 && !firstRun_) {
        OutputPlayers::ReadyForFirstStart(state.Players);
    }
}

// Step 19.
void SettingsApply::BuildListAreas()
{
    ListAreaSetup(window_, displayOnly_).Run();
}

// Step 20.
void SettingsApply::BuildButtonGrids()
{
    ButtonGridSetup(window_, displayOnly_).Run();
}

// Step 21.
void SettingsApply::ApplyOutputStates()
{
    MainState& state = window_.State;
    parms::AutoSel = state.PlayersPerOutput > 1 ? MainSettings::Long("AutoSel") : 0;
    state.FadeOn.fill(0);
    // A label shows the state it stands for: lit (colour set 1) or not.
    const auto showState = [](controls::UC_TextPicture* label, std::int32_t on) {
        if (label != nullptr) {
            label->SetColor(on != 0 ? 1 : 0, 1);
        }
    };
    for (int output = 0; output < state.NumOut; ++output) {
        const std::size_t o = Index(output);
        if (state.DispFADE[o] != 0) {
            showState(window_.TextFade(output), state.FadeOn[o]);
        }
        if (parms::IsList[o] == 0 && state.DispSTBY[o] != 0) {
            showState(window_.TextSTBY(output), state.STBYActive[o]);
        }
        parms::StartTimerRecord& timer = parms::StartTimer[o];
        if (timer.TimerEnabled != 0) {
            timer.TimerTime = MainSettings::Text(OutputKey("TimerTime_", output));
            timer.TimerMode = MainSettings::Long(OutputKey("TimerMode_", output));
            window_.Ports.Playback->DrawTimerLabel(output);
            showState(window_.TextTimer(output), timer.TimerArmed);
        } else {
            timer.TimerArmed = 0;
        }
        window_.Ports.Remote->SetOutputLock(output);
    }
    if (window_.FH1 != nullptr) {
        window_.FH1->raise();
    }
}

// Step 23.
void SettingsApply::ReadCacheAndFolderSettings()
{
    MainState& state = window_.State;
    state.CacheAll = MainSettings::Long("CacheAll");
    state.AlertNoCache = MainSettings::Long("AlertNoCache");
    state.CheckCacheLite = MainSettings::Long("CheckCacheLite");
    state.TlvTxtPath = basic::FixTrailingSeparator(MainSettings::Text("TlvTxtPath"), 0);
    if (QAction* item = window_.MenuCache->At(1)) {
        item->setVisible(!state.TlvTxtPath.empty());
    }
    state.TlvBackupPath = basic::FixTrailingSeparator(MainSettings::Text("TlvBackupPath"), 0);
    state.OpenRemovable = MainSettings::Long("OpenRemovable");
    state.Abspath = MainSettings::Long("Abspath");
    state.SyncDrive = ApplyRules::SyncDrive(MainSettings::Text("SyncDrive"));
}

// Step 24.
void SettingsApply::LoadMonitorWindow()
{
    window_.Ports.MonitorWindow->LoadHidden(window_);
}

// Step 25: the remote devices and their first status output.
void SettingsApply::OpenRemoteDevices()
{
    MainState& state = window_.State;
    RemotePort& remote = *window_.Ports.Remote;
    remote.InitRemoteDevices();
    const auto wait = [] { basic::WaitMs(1, 0); };
    for (int output = 0; output < state.NumOut; ++output) {
        remote.SendRemoteCommand(output, RemotePort::StopOn, 0);
        wait();
        remote.SendRemoteCommand(output, RemotePort::PlayOff, 0);
        wait();
        remote.SendRemoteListStatus(output, 1);
        wait();
        if (parms::IsList[Index(output)] == 0) {
            for (int button = 0; button < state.ButtonsPerPage[Index(output)]; ++button) {
                wait();
                remote.SendRemoteCommand(output, RemotePort::ButtonOn, button);
                wait();
                remote.SendRemoteCommand(output, RemotePort::ButtonOff, button);
            }
        }
        wait();
        remote.SendRemoteCommand(output, RemotePort::EndOfLampTest, 1);
        wait();
    }
}

// Step 26.
void SettingsApply::ShowFirstPages()
{
    window_.Ports.Playback->ChangePage(0, 0, 1);
}

// The KEY labels were rebuilt unlit, also by a display switch, while the
// keyboard still plays its target: the target's label is lit again and its
// buttons show their keys.
void SettingsApply::ShowKeyTarget()
{
    window_.Ports.Playback->DrawKeyAssign();
}
