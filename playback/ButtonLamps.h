#pragma once

class PlaybackControl;

// The lamps of the sound buttons: idle, playing or standby (cued, or
// assigned when AssignSTBY is on), drawn as a lamp cell and reported to the
// remote boxes as BUTTON_OFF, BUTTON_ON or BUTTON_STBY.
class ButtonLamps {
public:
    // Lamp states.
    static constexpr int Idle = 0;
    static constexpr int Playing = 1;
    static constexpr int Cued = 2;

    explicit ButtonLamps(PlaybackControl& control) : control_(control) {}

    // Recomputes the lamps of the current page of a button output; force
    // redraws and reports even unchanged lamps.
    void RefreshButtons(int output, int force);
    // Sets the lamp of one button control (output x ButtonsPerOutput + button).
    void SetButtonState(int state, int index, int force);

private:
    PlaybackControl& control_;
};
