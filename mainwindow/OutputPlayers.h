#pragma once

#include "audio/Player.h"

#include <cstdint>
#include <functional>
#include <memory>

class QWidget;

// The players of each output: one player of the chosen back-end per slot,
// configured from the settings in the order the back-end expects. A slot
// never ends up without a player: when a back-end cannot be created or
// refuses its set-up, the slot gets an inert player and the day log names
// the call that failed.
namespace OutputPlayers {

// What the settings apply decided before the players are made.
struct Context {
    std::int32_t PlayerType = 3;
    std::int32_t MaxAtt = 4000;
    std::int32_t UseVol = 0;
    // Owner window for the DirectSound players.
    QWidget* Window = nullptr;
};

// Creates the bare player object of back-end playerType (0..5); null for a
// type outside 0..5.
using Maker = std::function<std::unique_ptr<Player>(std::int32_t playerType)>;

// Replaces the back-end classes (tests); an empty maker restores them.
void SetMaker(Maker maker);

// The player of slot, which belongs to output, created and configured; never null.
std::unique_ptr<Player> CreateSlotPlayer(const Context& context, int slot, int output);

// The waveOut property sequence on a new waveOut player of output. Reads
// UseMixer (only with UseVol on), NoClose, MuteMS, DelayMS, the extra
// channel-pair devices DeviceWave_<output+1>_<2..4> and UseExtensible.
void ConfigureWaveOut(Player& player, const Context& context, int output);

// Reads the drive table a start consults, where nothing has read it yet.
void PrepareDriveTable();

// Once the window is up: opens the players' sound cards and makes ready
// what a start needs (their buffers, the drive table a start consults), so
// that the first press is as quick as the next.
template <class Players> void ReadyForFirstStart(Players& players)
{
    PrepareDriveTable();
    for (const auto& player : players) {
        if (player) {
            player->OpenDeviceAhead();
        }
    }
}

} // namespace OutputPlayers
