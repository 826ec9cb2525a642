#pragma once

#include <array>
#include <cstdint>

class RemoteTargets;
struct MainState;

// The one place every remote source ends in: serial ports, USB boxes, MIDI
// notes and contact inputs. It turns a remote code into the actions the mouse
// and the keyboard cause on an output.
//
// Codes: 1..100 play a button (on a list output: the next item), 201..220
// select a page, 241 stop, 242/243 next/previous page, 244 play the cued
// button or the next item, 245 standby mode, 246 pause, 255 release a
// Momentary sound, 257/258 lock/unlock, 259/260 list cursor up/down; every
// other code is ignored.
class RemoteDispatcher {
public:
    static constexpr int CodeStop = 241;
    static constexpr int CodePlay = 244;
    static constexpr int CodeRelease = 255;
    // Contact inputs 1..ContactInputs exist (see ContactInput).
    static constexpr int ContactInputs = 8;

    // Whether the code is one of those above, which some output acts on.
    static constexpr bool IsRemoteCode(int code)
    {
        return (code >= 1 && code <= 100) || (code >= 201 && code <= 220) || (code >= CodeStop && code <= 246) ||
               code == CodeRelease || (code >= 257 && code <= 260);
    }

    RemoteDispatcher(MainState& state, RemoteTargets& targets);

    // sourceKey: the HID channel 0..3 that sent the code, -1 for every other
    // source. A release from a channel acts on the output its last play
    // started.
    void ExecRemoteCommand(int output, int code, int sourceKey);

    // Contact inputs 1..4 start outputs 1..4 (after FSInt ms when set),
    // inputs 5..8 stop them; both refused while the output's start timer is
    // armed.
    void ContactInput(int number);
    // Counts the delayed starts down by one tick; first in every remote poll.
    void TickDelayedStarts();

    // The contact start delay in ms (setting FSInt, below 1 none).
    void SetStartDelay(std::int32_t ms) { startDelayMs_ = ms; }
    std::int32_t DelayedStart(int output) const { return delayedStart_[static_cast<std::size_t>(output)]; }

private:
    bool IsListOutput(int output) const;
    void PlayButtonCode(int output, int code, int sourceKey);
    void PlayNextItem(int output, int sourceKey);
    void StepPage(int output, int step);
    void Release(int output, int sourceKey);
    void MoveListCursor(int output, int step);

    MainState& state_;
    RemoteTargets& targets_;
    std::int32_t startDelayMs_ = 0;
    std::array<std::int32_t, 4> delayedStart_{};
};
