#pragma once

// Clicks on the FADE, STBY and TIMER labels of an output (index = output).
// The start-up restores the switches of the last run through them, as a
// release of the left button (button 1, isDown false, panel 0).
class StatusLabelsPort {
public:
    virtual ~StatusLabelsPort() = default;
    virtual void TextFade_MouseUD(int index, int button, bool isDown, int pIndex) = 0;
    virtual void TextSTBY_MouseUD(int index, int button, bool isDown, int pIndex) = 0;
    virtual void TextTimer_MouseUD(int index, int button, bool isDown, int pIndex) = 0;
};
