#include "mainwindow/OutputPlayers.h"

#include "audio/C_DShow.h"
#include "audio/C_DSound.h"
#include "audio/C_FGraph.h"
#include "audio/C_MCI.h"
#include "audio/C_WaveOut.h"
#include "audio/DSDeviceList.h"
#include "audio/InertPlayer.h"
#include "audio/WaveDeviceList.h"
#include "foundation/DayLog.h"
#include "foundation/Drives.h"
#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "mainwindow/SettingReaders.h"

#include <exception>
#include <string>

namespace OutputPlayers {

namespace {

Maker& MakerInForce()
{
    static Maker maker;
    return maker;
}

std::unique_ptr<Player> MakeBackEnd(std::int32_t playerType)
{
    switch (playerType) {
    case 0:
        // The DirectX 8 player; the older interface (C_DSound5) served only
        // machines without it.
        return std::make_unique<C_DSound>();
    case 1:
        return std::make_unique<C_DShow>();
    case 2:
        return std::make_unique<C_MCI>();
    case 3:
        return std::make_unique<C_WaveOut>();
    case 4:
    case 5:
        return std::make_unique<C_FGraph>();
    default:
        return nullptr;
    }
}

std::size_t OutputIndex(int output)
{
    return static_cast<std::size_t>(output < 0 || output >= parms::OutputCount ? 0 : output);
}

void LogFailure(int slot, std::int32_t playerType, const std::string& call)
{
    basic::WriteLog("Player of slot " + std::to_string(slot) + " (PlayerType " + std::to_string(playerType) +
                        "): " + call + " failed; the slot holds a player that plays nothing",
                    1, 0);
}

// The calls of each back-end after its creation. Returns the failing call,
// or "" when every call went through.
std::string Configure(Player& player, const Context& context, int output)
{
    const std::size_t o = OutputIndex(output);
    switch (context.PlayerType) {
    case 0: {
        const std::int32_t device = parms::DSDeviceIndex[o];
        if (player.InitDS(context.Window, device) == 0) {
            return "InitDS " + std::to_string(device);
        }
        player.SetVolMinLevel(-context.MaxAtt);
        return "";
    }
    case 1:
        player.SetVolMinLevel(-context.MaxAtt);
        return "";
    case 3:
        ConfigureWaveOut(player, context, output);
        return "";
    case 4:
        player.SetVolMinLevel(-context.MaxAtt);
        player.SetDevMode(0);
        player.SetDevName(WaveMMIO::GetWaveDeviceName(0, parms::WaveDeviceID[o]));
        player.Init();
        return "";
    case 5:
        player.SetVolMinLevel(-context.MaxAtt);
        player.SetDevMode(1);
        player.SetDevName(FCT_EnumDS::GetDSDeviceName(parms::DSDeviceIndex[o]));
        player.Init();
        return "";
    default:
        return "";
    }
}

} // namespace

void SetMaker(Maker maker)
{
    MakerInForce() = std::move(maker);
}

void ConfigureWaveOut(Player& player, const Context& context, int output)
{
    if (context.UseVol != 0 && MainSettings::Long("UseMixer") == 1) {
        player.SetUseMixer(1);
        player.SetBufferPagemsec(150);
        player.SetNumBufferPages(60);
        player.SetNumDiskBufferPages(20);
    } else if (context.UseVol != 0) {
        player.SetBufferPagemsec(70);
        player.SetNumBufferPages(3);
        player.SetNumDiskBufferPages(50);
    } else {
        player.SetBufferPagemsec(150);
        player.SetNumBufferPages(60);
        player.SetNumDiskBufferPages(20);
    }
    player.SetNumBufferToPlay(10);
    player.SetNoClose(MainSettings::Long("NoClose"));
    player.SetMuteMS(MainSettings::Long("MuteMS"));
    player.SetDelayMS(MainSettings::Long("DelayMS"));
    player.SetUsePeakVol(1);
    player.SetVolMinLevel(-context.MaxAtt);
    player.SetDeviceID(parms::WaveDeviceID[OutputIndex(output)]);
    for (int pair = 1; pair <= 3; ++pair) {
        const std::string key =
            "DeviceWave_" + std::to_string(output + 1) + "_" + std::to_string(pair + 1);
        const std::string name = basic::GetSetting(key, "");
        // An empty name is no extra device (-1), not the default device.
        player.SetExtDeviceID(pair, name.empty() ? -1 : WaveMMIO::GetWaveDeviceID(0, name, 1));
    }
    player.SetUseExtensible(MainSettings::Long("UseExtensible"));
    player.Init();
    player.SetAttenuation(0);
}

std::unique_ptr<Player> CreateSlotPlayer(const Context& context, int slot, int output)
{
    std::string failedCall;
    try {
        const Maker& maker = MakerInForce();
        std::unique_ptr<Player> player = maker ? maker(context.PlayerType) : MakeBackEnd(context.PlayerType);
        if (!player) {
            failedCall = "creating the player";
        } else {
            failedCall = Configure(*player, context, output);
            if (failedCall.empty()) {
                return player;
            }
            player->CloseWave();
        }
    } catch (const std::exception& error) {
        failedCall = std::string("creating or setting up the player (") + error.what() + ")";
    }
    LogFailure(slot, context.PlayerType, failedCall);
    return InertPlayer::Make();
}

void PrepareDriveTable()
{
    if (basic::DriveTable.empty()) {
        basic::BuildDriveTable();
    }
}

} // namespace OutputPlayers
