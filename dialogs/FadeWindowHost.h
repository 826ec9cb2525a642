#pragma once

// What the fade settings window calls of the main window.
class FadeWindowHost {
public:
    virtual ~FadeWindowHost() = default;
    // Turns the fade times into the per-tick fade steps.
    virtual void SetFadeParm() = 0;
    // The main window's key release handler, so that the keyboard keeps
    // playing while the fade window has the focus.
    virtual void Form_KeyUp(int& keyCode, int shift) = 0;
};
