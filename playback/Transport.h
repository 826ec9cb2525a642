#pragma once

#include <string_view>

class PlaybackControl;

// Stop and clear of an output, the transport rows of the player slots (0
// stop, 1 play, 2 pause or, with three players per output, select), the
// choice of the active player and the play function's progress texts.
class Transport {
public:
    static constexpr int StopButton = 0;
    static constexpr int PlayButton = 1;
    static constexpr int PauseOrSelectButton = 2;
    // Button states.
    static constexpr int Off = 0;
    static constexpr int Lit = 2;

    explicit Transport(PlaybackControl& control) : control_(control) {}

    // Stops every player of the output as the operator does; the next tick
    // sees the state change.
    void StopOutput(int output);
    // Empties the output's players, titles, counters and position bars.
    void ClearOutput(int output);
    void SetPlayButtons(int slot, int button, int state, int skipButton);
    void PlayButtons_ButtonClicked(int index, int clickedIndex);
    void SelectPlayerButton(int output, int slot);
    void ShowPlayStatus(int slot, std::string_view text);

private:
    PlaybackControl& control_;
};
