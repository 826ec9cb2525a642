#pragma once

// The procedures of playback control that the main window shell calls while
// it builds, re-applies and clears the window.
class PlaybackPort {
public:
    virtual ~PlaybackPort() = default;

    // Fade steps from FITime, FOTime, FIOffset, TimerInt and MaxAtt.
    virtual void SetFadeParm() = 0;
    // Disarms the armed start timer of the output, or of every output for -1.
    virtual void DisarmTimer(int output) = 0;
    virtual void DrawTimerLabel(int output) = 0;
    // Redraws the counter of a player slot (mode 0).
    virtual void UpdateCounter(int slot, int mode) = 0;
    // Shows a page on the output, or on every output with all 1.
    virtual void ChangePage(int output, int page, int all) = 0;
    virtual void ShowPageTitle(int output) = 0;
    // Marks the keyboard's output and writes the key captions on the buttons.
    virtual void DrawKeyAssign() = 0;
    virtual void ShowCurrentItem(int output) = 0;
    // Empties the output's players, titles, counter and position bar.
    virtual void ClearOutput(int output) = 0;
    // Stops every player of the output as the operator does.
    virtual void StopOutput(int output) = 0;
    // Empties every assignment and page name and shows the empty pages.
    virtual void NewAssign() = 0;
};
