// The frame of the settings apply and the command line. The full apply (every
// setting, the players of each back-end, the panels, strips, lists and grids,
// the remote devices and their first status output) is built on this frame;
// here it reads what the start-up, the window and the shutdown need.
#include "mainwindow/FrmMain.h"

#include "foundation/CommandLine.h"
#include "foundation/DayLog.h"
#include "foundation/Parms.h"
#include "mainwindow/SettingReaders.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string OutputKey(std::string_view key, int output)
{
    return std::string(key) + std::to_string(output + 1);
}

struct BackEnd {
    int playersPerOutput;
    int singlePlayer;
    int useSamplePos;
    bool oneOutput;
    int maxAtt;
};

// Per PlayerType 0..5.
constexpr BackEnd BackEnds[] = {
    {3, 0, 1, true, 10000}, {3, 0, 0, true, 10000},  {1, 1, 0, true, 4000},
    {1, 1, 1, false, 4000}, {1, 1, 0, false, 10000}, {3, 0, 0, true, 10000},
};

} // namespace

void FrmMain::ApplySettings(int DisplayOnly)
{
    State.CurrentPlayer.fill(0);
    if (applied_) {
        Ports.Playback->DisarmTimer(-1);
    }
    if (DisplayOnly == 0) {
        UnloadDynamicControls();
        if (Ports.MonitorWindow->IsLoaded()) {
            Ports.MonitorWindow->Unload();
        }
        std::int32_t playerType = MainSettings::Long("PlayerType", 3);
        if (playerType < 0 || playerType > 5) {
            basic::WriteLog("PlayerType " + std::to_string(playerType) + " is not 0..5; 3 is used", 1, 0);
            playerType = 3;
        }
        parms::PlayerType = playerType;
        State.NumOut = std::clamp(MainSettings::Long("NumOut", 1), 1, 4);
    }
    const BackEnd& backEnd = BackEnds[std::clamp(parms::PlayerType, 0, 5)];
    if (backEnd.oneOutput) {
        State.NumOut = 1;
    }
    State.PlayersPerOutput = backEnd.playersPerOutput;
    parms::SinglePlayer = backEnd.singlePlayer;
    parms::UseSamplePos = backEnd.useSamplePos;
    parms::MaxAtt = backEnd.maxAtt;
    State.PlayerCount = State.NumOut * State.PlayersPerOutput;
    if (DisplayOnly == 0) {
        parms::TimerInt = std::clamp(MainSettings::Long("TimerInt", 50), 1, 500);
        State.PageNum = std::clamp(MainSettings::Long("PageNum", 10), 1, 20);
        State.UseVol = parms::PlayerType == 3 ? MainSettings::Long("UseVol", 0) : (parms::PlayerType == 2 ? 0 : 1);
        for (int output = 0; output < MainState::Outputs; ++output) {
            const auto o = static_cast<std::size_t>(output);
            if (output < State.NumOut) {
                MainSettings::ReadLong(OutputKey("IsList_", output), 0, parms::IsList[o]);
            }
            State.DispONAIR[o] = MainSettings::Long(OutputKey("DispONAIR_", output), 1);
            State.DispKEY[o] = MainSettings::Long(OutputKey("DispKEY_", output), 1);
            State.DispFADE[o] = parms::SinglePlayer == 1 || State.UseVol == 0
                                    ? 0
                                    : MainSettings::Long(OutputKey("DispFADE_", output), 1);
            State.DispSTBY[o] = parms::IsList[o] != 0 ? 0 : MainSettings::Long(OutputKey("DispSTBY_", output), 1);
            parms::StartTimer[o].TimerEnabled = MainSettings::Long(OutputKey("DispTimer_", output), 0);
            State.CurrentPage[o] = 0;
            State.StandbySet[o] = 0;
        }
        // Players of each back-end are made by the full apply; until then
        // every slot holds an inert player.
        for (int slot = 0; slot < static_cast<int>(State.Players.size()); ++slot) {
            State.ReleasePlayer(slot);
        }
        State.ResizePlayers(State.PlayerCount);
        parms::SizeRate[0] = MainSettings::Single("SizeRate_1", 1.0F);
        parms::SizeRate[1] = MainSettings::Single("SizeRate_2", 1.3F);
    }
    Ports.Playback->SetFadeParm();
    State.SizeFactor = parms::SizeRate[State.DispBig != 0 ? 1 : 0];
    const int twips = std::max(1, basic::TwipsPerPixel);
    const auto unit = numeric::RoundToInt64(90.0 * State.SizeFactor);
    State.UnitHeight = static_cast<std::int32_t>(unit - unit % twips);
    State.UnitGap = 2 * twips;
    State.FadeOn.fill(0);
    if (DisplayOnly == 0) {
        MainSettings::ReadLong("OpenRemovable", 0, State.OpenRemovable);
    }
    applied_ = true;
}

// Opens the assign table file a command line names; the window options
// (B=, X=, Y=, W=, H=) are carried out with the menus.
void FrmMain::ApplyCommandLine(std::string_view text)
{
    std::vector<std::string> files;
    if (basic::ParseCommandLine(files, "", text) > 0 && !files.front().empty()) {
        int ok = 0;
        Ports.AssignFile->OpenSaveAssignFile(0, files.front(), ok);
    }
}
