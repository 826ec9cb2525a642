#pragma once

// What a mouse press or release on a sound button does, as a pure decision
// over the settings and the output's state, so every combination can be
// checked without a window.
namespace playback {

enum class ButtonMouseAction {
    Nothing,
    Play,            // Pon (output, button)
    Stop,            // StopOutput (output)
    StopWhenStarted, // the tick stops the output once it plays
    Menu,            // the button menu (or the monitor window)
};

struct ButtonMouseInputs {
    int mouseButton = 1; // 1 left, 2 right, others possible
    bool isDown = false;
    int area = 0; // 0 text area, 1 lamp strip
    int switchLR = 0;
    int pressToPlay = 0;
    int playerType = 3;
    int standbyActive = 0;
    int blankToStop = 0;
    bool assigned = true;
    int playMode = 0;    // the button's PlayMode
    int playingMode = 0; // the output's PlayingMode
    int outputState = 0;
};

struct ButtonMouseDecision {
    ButtonMouseAction action = ButtonMouseAction::Nothing;
    // The output's armed start timer is disarmed (every edge on the play path).
    bool disarmTimer = false;
};

ButtonMouseDecision DecideButtonMouse(const ButtonMouseInputs& in);

} // namespace playback
