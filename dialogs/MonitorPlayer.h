#pragma once

#include "audio/Player.h"

#include <cstdint>
#include <memory>

class QWidget;

// The monitor window's own player: a player of back-end playerType on the
// monitor device (DeviceWaveMon, DeviceDSMon), set up as each back-end
// expects. Never null: a type outside 0..5 gets a player that plays nothing.
namespace MonitorPlayer {

std::unique_ptr<Player> Create(std::int32_t playerType, QWidget* window);

} // namespace MonitorPlayer
