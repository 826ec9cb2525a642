#pragma once

#include <array>
#include <cstdint>
#include <functional>

class FrmMain;
class PlaybackControl;

// The start timer of each output: at a time of day the output's cued button
// (button output) or selected row (list output) starts by itself, at that
// time (start mode) or early by its own length so that it ends then (end
// mode). The label arms and disarms it; the engine tick checks the armed
// timers once per clock second; any play request on the output disarms it.
// The timer values live in parms::StartTimer.
class StartTimers {
public:
    explicit StartTimers(FrmMain& window) : window_(window) {}
    // Timers that start through the play function and the standby of control.
    explicit StartTimers(PlaybackControl& control);

    // What a firing timer and the label's other buttons call.
    struct Calls {
        // The play function on a list output: Pon(output, 0, 0, offsetMs, 0).
        std::function<void(int output, int offsetMs)> PlayList;
        // Plays the output's cued button with the offset.
        std::function<void(int output, int offsetMs)> PlayStandby;
        // Shows the start-timer dialog for parms::TimerEditOutput.
        std::function<void()> ShowTimerWindow;
    };
    Calls On;

    // Checks the armed timers; does something once per clock second only.
    void CheckTimer();
    // Release of a mouse button on the output's timer label, while the output
    // is idle and not locked: the left button arms (with a cue or a selected
    // row) or disarms; the others open the start-timer dialog. During the
    // start-up (before Running) the left button arms the timer of the last
    // run even before anything is cued: its material is noted by the first
    // check that finds a cue or a selected row.
    void TextTimer_MouseUD(int index, int button, bool isDown, int pIndex);
    // After the dialog's OK: stores time and mode of parms::TimerEditOutput,
    // disarms its timer and redraws its label. Nothing after a cancel (-1).
    void SetTimerProc();
    // Disarms the output's timer, or every output's for -1, whatever the
    // output is doing: a play request must never leave a timer armed.
    void DisarmTimer(int output);
    // The label: the time with "s" or "e", or "Timer" without a time.
    void DrawTimerLabel(int output);

private:
    // Notes the material of the cue or the selected row; false when there is
    // nothing cued or selected.
    bool NoteMaterial(int output);
    void ShowArmed(int output);
    int CounterSlot(int output) const;

    FrmMain& window_;
    // Per output: armed at start-up, the material still to be noted.
    std::array<bool, 4> materialPending_{};
    // The clock's second (days and seconds since 1970, local) last checked.
    std::int64_t checkedSecond_ = -1;
};
