#pragma once

class PlaybackControl;

// The start timers of the outputs. Any play request on an output disarms its
// armed timer.
class StartTimers {
public:
    explicit StartTimers(PlaybackControl& control) : control_(control) {}

    // Disarms the armed timer of the output, or of every output for -1, as a
    // left release on its label does (which leaves a playing or locked
    // output's timer alone).
    void DisarmTimer(int output);

private:
    PlaybackControl& control_;
};
