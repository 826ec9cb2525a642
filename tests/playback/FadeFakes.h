#pragma once

#include "audio/Player.h"
#include "mainwindow/MainState.h"
#include "playback/SlotFaders.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace fadetest {

// A player whose mode the test sets; it records starts, stops and levels.
class ScriptedPlayer final : public Player {
public:
    std::int32_t Play() override
    {
        ++plays;
        if (refusePlay) {
            return 0;
        }
        state = 3;
        return 1;
    }
    void StopIO(std::int32_t) override
    {
        ++stops;
        state = 1;
    }
    std::int32_t mode() override { return state; }
    std::int32_t Attenuation() override { return attenuation; }
    void SetAttenuation(std::int32_t level) override
    {
        attenuation = level;
        levels.push_back(level);
    }
    std::string FileName() override { return "sound.wav"; }

    std::int32_t state = 1;
    std::int32_t attenuation = 0;
    int plays = 0;
    int stops = 0;
    bool refusePlay = false;
    std::vector<std::int32_t> levels;
};

// Faders that hold any level exactly, with full level at 0.
class ExactFaders final : public SlotFaders {
public:
    std::int32_t Level(int slot) override { return levels[slot]; }
    void SetLevel(int slot, std::int32_t level) override { levels[slot] = level; }
    std::int32_t Top(int) override { return 0; }
    std::map<int, std::int32_t> levels;
};

// One output with three scripted players (the back-ends that cross-fade).
inline std::vector<ScriptedPlayer*> ThreePlayers(MainState& state)
{
    state.NumOut = 1;
    state.PlayersPerOutput = 3;
    state.PlayerCount = 3;
    state.ResizePlayers(3);
    std::vector<ScriptedPlayer*> players;
    for (auto& slot : state.Players) {
        auto player = std::make_unique<ScriptedPlayer>();
        players.push_back(player.get());
        slot = std::move(player);
    }
    return players;
}

} // namespace fadetest
