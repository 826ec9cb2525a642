#pragma once

#include "platform/DragData.h"

// Handlers of events of the controls the shell builds, which playback control
// carries out. Index is the control's index in its array (output, player
// slot or button control index). Every member is required: a handler in a
// chain passes on what it does not carry out, so no event ends in nothing.
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

    // Drag and drop of sound buttons (index = button control index): a drag
    // out fills data and the allowed effects (shift: 0 none, 1 Shift, 2 Ctrl);
    // its end reports the effect the drop had (none when nobody took it).
    virtual void TolvButton_OLEStartDrag(int index, platform::DragData& data, int& allowedEffects, int shift) = 0;
    virtual void TolvButton_OLECompleteDrag(int index, int effect) = 0;
    virtual void TolvButton_OLEDragOver(int index) = 0;
    virtual void TolvButton_OLEDropped(int index, platform::DragData& data) = 0;

    // The output strip of a player slot (index = slot): transport row,
    // position bar, pan, speed and volume, counter.
    virtual void PlayButtons_ButtonClicked(int index, int clickedIndex) = 0;
    virtual void ProgBar_MouseUD(int index, bool isDown) = 0;
    virtual void ProgBar_Scrolled(int index) = 0;
    virtual void ProgBar_RightClicked(int index, bool isDown) = 0;
    virtual void PanSlider_MouseUD(int index, bool isDown, int nButton) = 0;
    virtual void PanSlider_Scrolled(int index, int nButton) = 0;
    virtual void SpeedSlider_MouseUD(int index, bool isDown, int nButton) = 0;
    virtual void VolSlider_LevelChanged(int index) = 0;
    virtual void PicCounter_MouseUD(int index, int button, bool isDown, int pIndex) = 0;
};
