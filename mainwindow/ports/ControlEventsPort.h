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

    // The output strip of a player slot (index = slot): transport row,
    // position bar, pan, speed and volume, counter. A build without playback
    // control ignores them.
    virtual void PlayButtons_ButtonClicked(int index, int clickedIndex)
    {
        (void)index;
        (void)clickedIndex;
    }
    virtual void ProgBar_MouseUD(int index, bool isDown)
    {
        (void)index;
        (void)isDown;
    }
    virtual void ProgBar_Scrolled(int index) { (void)index; }
    virtual void ProgBar_RightClicked(int index, bool isDown)
    {
        (void)index;
        (void)isDown;
    }
    virtual void PanSlider_MouseUD(int index, bool isDown, int nButton)
    {
        (void)index;
        (void)isDown;
        (void)nButton;
    }
    virtual void PanSlider_Scrolled(int index, int nButton)
    {
        (void)index;
        (void)nButton;
    }
    virtual void SpeedSlider_MouseUD(int index, bool isDown, int nButton)
    {
        (void)index;
        (void)isDown;
        (void)nButton;
    }
    virtual void VolSlider_LevelChanged(int index) { (void)index; }
    virtual void PicCounter_MouseUD(int index, int button, bool isDown, int pIndex)
    {
        (void)index;
        (void)button;
        (void)isDown;
        (void)pIndex;
    }
};
