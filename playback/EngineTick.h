#pragma once

#include <array>

class PlaybackControl;

// The engine tick, the handler of the main window's timer TimerUpdate: it
// polls the remote inputs, checks the start timers, carries out parked play
// requests, runs the fades, feeds the sample-position players, reads every
// player back into the output states, meters, bars, counters and the ON AIR
// label, sends status output on every state change, advances the play lists
// and locks the window's menus while anything plays. Its timer is stopped
// while it runs and re-armed at its end with TimerInt minus the run's own
// duration, so it holds a steady period.
class EngineTick {
public:
    explicit EngineTick(PlaybackControl& control) : control_(control) {}

    void TimerUpdate_Timer();
    // Runs the tick at once (the mute tail of a waveOut player calls it).
    void UpdateNow() { TimerUpdate_Timer(); }

    // The next interval after a run that took elapsedMs: TimerInt minus it,
    // held to 1..TimerInt.
    static int NextInterval(int timerInt, long long elapsedMs);

private:
    using Busy = std::array<bool, 4>;
    // What reading a player found for its transport buttons.
    enum class Shown { Unchanged, Stopped, Started };
    Shown ReadPlayer(int slot);
    void OutputChanged(int output);
    void Rearm(double start);

    PlaybackControl& control_;
};
