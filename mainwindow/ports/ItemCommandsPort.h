#pragma once

// The commands of the right-click menus of sound buttons, play lists and page
// buttons, and the hand-over of an item to the monitor window.
class ItemCommandsPort {
public:
    virtual ~ItemCommandsPort() = default;

    // Hands the right-clicked item to the monitor window: 0 start position, 1 preview.
    virtual void MonSound(int mode) = 0;
    // A command on the right-clicked sound button (0..12).
    virtual void RCButtonFCT(int command) = 0;
    // A command on the selected rows of the right-clicked play list (0..6).
    virtual void RCListFCT(int command) = 0;
    // The page menu: 0 copy, 1 paste.
    virtual void MenuRCPage_Click(int index) = 0;
};
