#pragma once

// Handlers of events of the controls the shell builds, which playback control
// carries out. Index is the control's index in its array (output, player
// slot or button control index).
class ControlEventsPort {
public:
    virtual ~ControlEventsPort() = default;

    // Mouse button 1 left, 2 right; buttonType 0 text area, 1 lamp strip.
    virtual void TolvButton_MouseUD(int index, int buttonIndex, bool isDown, int buttonType) = 0;
    virtual void LV_RightClicked(int index, float x, float y) = 0;
    virtual void PageButtons_RightClicked(int index, int clickedIndex) = 0;
    virtual void PageButtons_ButtonClicked(int index, int clickedIndex) = 0;
    virtual void TextPage_MouseUD(int index, int button, bool isDown, int pIndex) = 0;
    virtual void CtrlButton_ButtonClicked(int index, int clickedIndex) = 0;
    virtual void SpeedSlider_Scrolled(int index, int nButton) = 0;
};
