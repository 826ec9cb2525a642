#pragma once

#include <cstdint>

// What the remote dispatcher does to the outputs: the same procedures the
// mouse and the keyboard reach. Playback control implements it for the
// program; tests record the calls.
class RemoteTargets {
public:
    virtual ~RemoteTargets() = default;

    // The play function: button of the output's current page (a list output
    // chooses its row itself).
    virtual void Pon(int output, int button, int fromStandby, std::int32_t startMs, int noTick) = 0;
    virtual void StopOutput(int output) = 0;
    // A click on a transport button of the output's first strip (2 = pause).
    virtual void PlayButtonsClicked(int output, int button) = 0;
    // Plays the cued button of the output.
    virtual void PlayStandby(int output, int fromTimer) = 0;
    virtual void ChangePage(int output, int page, int all) = 0;
    // As the release of a left click on the output's STBY label.
    virtual void StbyLabelClicked(int output) = 0;
    // Applies OutputLocked of the output to its controls and lamps.
    virtual void SetOutputLock(int output) = 0;
    // The start timer of the output is switched on and armed.
    virtual bool TimerArmed(int output) = 0;

    // The list view of a list output.
    virtual int ListItemCount(int output) = 0;
    virtual int ListSelectedItem(int output) = 0;
    // Selects only row, scrolls it into view, and runs the list's click
    // handler as a mouse click on that row does.
    virtual void ListSelectAndClick(int output, int row) = 0;
    // Selects only row and scrolls it into view; nothing else happens.
    virtual void ListSelect(int output, int row) = 0;
    // Redraws the output's sound buttons (all 1: also those not playing).
    virtual void RefreshButtons(int output, int all) = 0;
};
