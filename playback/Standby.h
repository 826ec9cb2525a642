#pragma once

class PlaybackControl;

// Standby ("STBY") of a button output: while it is on, a press only cues the
// button, and play commands (transport, keys, remote, start timer) play the
// cue, as often as they come.
class Standby {
public:
    explicit Standby(PlaybackControl& control) : control_(control) {}

    // Plays the cued button, on its own page.
    void PlayStandby(int output, int startOffsetMs);
    // The "STBY" label: a left release switches standby while the output is
    // idle, unlocked and its label is in use.
    void TextSTBY_MouseUD(int index, int button, bool isDown, int pIndex);

private:
    PlaybackControl& control_;
};
