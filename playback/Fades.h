#pragma once

#include "playback/SlotFaders.h"

#include <array>
#include <cstdint>

struct MainState;

// Cross-fades between the three players of an output: the player just started
// fades in (after the fade-in offset, when one is set) while every other
// playing player of the output fades out and is stopped once silent. One step
// per engine tick, on the outputs whose FADE switch is on.
class Fades {
public:
    Fades(MainState& state, SlotFaders& faders) : state_(state), faders_(faders) {}

    // Fade-in step and fade-out step (1/100 dB per tick, at least 1, so every
    // fade ends) and the fade-in offset in ticks, for a tick of timerInt ms
    // (never taken below 15 ms) and times in ms (0: at once).
    static std::array<std::int32_t, 3> ComputeFadeParm(std::int32_t timerInt, std::int32_t maxAtt,
                                                       std::int32_t fiTime, std::int32_t foTime,
                                                       std::int32_t fiOffset);

    // FadeParm from parms::TimerInt, MaxAtt, FITime, FOTime and FIOffset.
    void SetFadeParm();
    // One fade step of the output.
    void ProcessFade(int output);
    // Switches the output's fade mode; switching it off while a delayed
    // fade-in waits starts that player at once at full level, so the start is
    // never lost. Returns the new FadeOn.
    std::int32_t ToggleFade(int output);

private:
    int SlotOf(int output, int player) const;
    int CurrentSlot(int output) const;
    bool HasSlot(int slot) const;
    // The delayed start of the output's current player; not after a stop that
    // came while it waited.
    void StartDelayed(int output, bool fullLevel);
    void SetFullLevel(int slot);
    void StepPlayer(int output, int slot, bool current);

    MainState& state_;
    SlotFaders& faders_;
};
