#include "mainwindow/MainState.h"

#include "audio/InertPlayer.h"

#include <algorithm>

MainState::MainState() : ButtonTable(AssignOutputs * AssignPages * AssignButtons) {}

MainState::~MainState()
{
    // Players close their devices before the state that names them goes.
    for (auto& player : Players) {
        if (player) {
            player->CloseWave();
        }
    }
}

void MainState::ResizePlayers(int count)
{
    const auto size = static_cast<std::size_t>(std::max(0, count));
    for (std::size_t slot = size; slot < Players.size(); ++slot) {
        if (Players[slot]) {
            Players[slot]->CloseWave();
        }
    }
    Players.resize(size);
    for (auto& player : Players) {
        if (!player) {
            player = InertPlayer::Make();
        }
    }
    PlayerLevel.resize(size, 0);
    PlayerProgress.resize(size, 0);
    // No button until one starts: (0, 0) would be the first button, which a
    // sound that no button started (the start-up sound) would light.
    PlayingButton.resize(size, {-1, -1});
    FromMS.resize(size, 0);
    ToMS.resize(size, 0);
    SpanMS.resize(size, 0);
    PlayerShownState.resize(size, 0);
    LastPosition.resize(size, 0);
    PlayerTitle.resize(size);
    StopRequested.resize(size, 0);
    CounterTitle.resize(size, 0);
    // Counter modes outlive the slots: a slot that comes back keeps its mode.
    if (DispLap.size() < size) {
        DispLap.resize(size, -1);
    }
}

void MainState::ReleasePlayer(int slot)
{
    if (slot < 0 || static_cast<std::size_t>(slot) >= Players.size()) {
        return;
    }
    auto& player = Players[static_cast<std::size_t>(slot)];
    if (player) {
        player->CloseWave();
    }
    player = InertPlayer::Make();
}

Player& MainState::PlayerAt(int slot)
{
    if (slot >= 0 && static_cast<std::size_t>(slot) < Players.size() && Players[static_cast<std::size_t>(slot)]) {
        return *Players[static_cast<std::size_t>(slot)];
    }
    static InertPlayer none;
    return none;
}
