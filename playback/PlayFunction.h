#pragma once

#include <string>

class PlaybackControl;

// Pon, the one way a sound starts on an output: the sound button of the
// output's current page, or on a play-list output the selected row or the
// row at the cursor. It applies the standby, Latch/Toggle, fade and player
// rules, takes the cache copy where the cache keeps one, sets the play range
// from the file's cue labels, starts the player and records what plays; then
// it runs one engine tick, so status output follows at once.
class PlayFunction {
public:
    explicit PlayFunction(PlaybackControl& control) : control_(control) {}

    // noTick 1: no tick at the end (the tick passes it when it starts a sound).
    void Pon(int output, int button, int fromStandby, int startOffsetMs, int noTick);

    // True when the cache folder would hold a copy of the file: a server
    // file, a file that is not on a fixed local disk, or any file with
    // CacheAll on. Only then may a file of the same name in the cache stand
    // in for it.
    static bool CacheWouldHold(const std::string& path, int cacheAll);

private:
    PlaybackControl& control_;
};
