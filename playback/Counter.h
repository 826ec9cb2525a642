#pragma once

class PlaybackControl;

// The counter of a player slot: title, total length and the elapsed or the
// remaining time (DispLap), with the opposite time on the position bar when
// DispBarTime is on.
class Counter {
public:
    explicit Counter(PlaybackControl& control) : control_(control) {}

    // fromBar 1 takes the time from the position bar instead of the player.
    void UpdateCounter(int slot, int fromBar);

private:
    PlaybackControl& control_;
};
