#pragma once

#include "mainwindow/MainState.h"

#include <algorithm>
#include <cstddef>

// The index rules of the playback state: outputs 0..3, player slots output x
// PlayersPerOutput + k, sound-button controls output x ButtonsPerOutput +
// button.
namespace playback {

inline std::size_t At(int index)
{
    return static_cast<std::size_t>(index);
}

inline bool ValidOutput(const MainState& state, int output)
{
    return output >= 0 && output < std::min(state.NumOut, MainState::Outputs);
}

inline bool ValidSlot(const MainState& state, int slot)
{
    return slot >= 0 && slot < state.PlayerCount && At(slot) < state.Players.size() && At(slot) < state.FromMS.size();
}

inline int PlayersPerOutput(const MainState& state)
{
    return std::max(1, state.PlayersPerOutput);
}

inline int FirstSlot(const MainState& state, int output)
{
    return output * PlayersPerOutput(state);
}

inline int OutputOfSlot(const MainState& state, int slot)
{
    return slot / PlayersPerOutput(state);
}

} // namespace playback
