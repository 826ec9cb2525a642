#pragma once

#include "audio/Player.h"

#include <memory>

// What a player slot holds when no back-end could be created for it, or after
// its player was released: a player with nothing loaded that never starts
// (mode 1, Play 0, Length 0), so a slot is never empty and every caller's
// "not playing" path simply runs.
class InertPlayer final : public Player {
public:
    static std::unique_ptr<Player> Make() { return std::make_unique<InertPlayer>(); }
};
