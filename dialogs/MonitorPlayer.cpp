#include "dialogs/MonitorPlayer.h"

#include "audio/C_DShow.h"
#include "audio/C_DSound.h"
#include "audio/C_FGraph.h"
#include "audio/C_MCI.h"
#include "audio/C_WaveOut.h"
#include "audio/DSDeviceList.h"
#include "audio/InertPlayer.h"
#include "audio/WaveDeviceList.h"
#include "foundation/DayLog.h"
#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "mainwindow/SettingReaders.h"

#include <exception>
#include <string>

namespace MonitorPlayer {

namespace {

std::unique_ptr<Player> Make(std::int32_t playerType, QWidget* window)
{
    const std::string waveDevice = basic::GetSetting("DeviceWaveMon", "");
    const std::string dsDevice = basic::GetSetting("DeviceDSMon", "");
    switch (playerType) {
    case 0: {
        auto player = std::make_unique<C_DSound>();
        if (player->InitDS(window, FCT_EnumDS::GetDSDeviceGUID(dsDevice)) == 0) {
            basic::WriteLog("Monitor player: InitDS on \"" + dsDevice + "\" failed", 1, 0);
        }
        player->SetVolMinLevel(-parms::MaxAtt);
        return player;
    }
    case 1: {
        auto player = std::make_unique<C_DShow>();
        player->SetVolMinLevel(-parms::MaxAtt);
        return player;
    }
    case 2:
        return std::make_unique<C_MCI>();
    case 3: {
        auto player = std::make_unique<C_WaveOut>();
        player->SetBufferPagemsec(150);
        player->SetNumBufferPages(60);
        player->SetNumDiskBufferPages(20);
        player->SetNumBufferToPlay(10);
        player->SetNoClose(MainSettings::Long("NoClose", 1));
        player->SetMuteMS(MainSettings::Long("MuteMS", 0));
        player->SetDelayMS(MainSettings::Long("DelayMS", 0));
        player->SetDeviceID(WaveMMIO::GetWaveDeviceID(0, waveDevice, 1));
        // The surround pairs play on the devices of outputs 2..4.
        for (int pair = 1; pair <= 3; ++pair) {
            player->SetExtDeviceID(pair, parms::WaveDeviceID.at(static_cast<std::size_t>(pair)));
        }
        player->SetUseExtensible(MainSettings::Long("UseExtensible", 0));
        player->Init();
        player->SetAttenuation(0);
        return player;
    }
    case 4: {
        auto player = std::make_unique<C_FGraph>();
        player->SetDevMode(0);
        player->SetDevName(waveDevice);
        player->Init();
        return player;
    }
    case 5: {
        auto player = std::make_unique<C_FGraph>();
        player->SetVolMinLevel(-parms::MaxAtt);
        player->SetDevMode(1);
        player->SetDevName(dsDevice);
        player->Init();
        return player;
    }
    default:
        return nullptr;
    }
}

} // namespace

std::unique_ptr<Player> Create(std::int32_t playerType, QWidget* window)
{
    std::unique_ptr<Player> player;
    try {
        player = Make(playerType, window);
    } catch (const std::exception& error) {
        basic::WriteLog(std::string("Monitor player: creating the player failed: ") + error.what(), 1, 0);
    }
    if (!player) {
        return std::make_unique<InertPlayer>();
    }
    return player;
}

} // namespace MonitorPlayer
