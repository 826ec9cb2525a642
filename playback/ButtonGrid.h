#pragma once

#include "platform/DragData.h"

#include <functional>
#include <string>
#include <string_view>

class PlaybackControl;
class FrmMain;
struct AssignRecord;

// The sound-button grid of the button outputs: the mouse rules of a press and
// a release, dragging a sound out of a button and dropping files onto one,
// assigning a file to a button, and drawing a button from its record.
class ButtonGrid {
public:
    explicit ButtonGrid(PlaybackControl& control) : control_(control) {}

    void TolvButton_MouseUD(int index, int buttonIndex, bool isDown, int buttonType);

    // Drag out of a button: fills the data with the button's file. With no
    // key or Shift the drag moves the sound: the source is emptied at the end
    // only when the drop's target took it (OLECompleteDrag).
    void TolvButton_OLEStartDrag(int index, platform::DragData& data, int& allowedEffects, int shift);
    // The drag of a button ended with effect (none when nobody took it).
    void TolvButton_OLECompleteDrag(int index, int effect);
    void TolvButton_OLEDragOver(int index);
    // The first file of a drop goes to the button; the others are ignored.
    void TolvButton_OLEDropped(int index, platform::DragData& data);

    // Assigns a sound to a button of the output's current page; true when
    // assigned (a refusal has told the operator and changed nothing).
    bool AssignButtonFile(int index, std::string_view path);
    // The same for a button of any page; the control is drawn only when the
    // page is shown.
    bool AssignButtonOnPage(int output, int page, int button, std::string_view path);
    // Empties a button's assignment, as "Remove" and a moved sound do.
    void ClearButton(int output, int page, int button);
    // Draws the control of a button from the record of a page (the page
    // being shown).
    // readCue 1 refreshes validity and length from the file first.
    void DrawButton(int output, int page, int button, int readCue);
    // The colour rule: both 0 is white text on the face picture.
    void ApplyColours(int output, int page, int button);

    // Hands the right-clicked button to the monitor window (mode 0) when
    // the right-click menu is switched off.
    std::function<void(int mode)> MonSound;
    // Records the right-clicked button (output, page, button) for the commands.
    std::function<void(int index)> RememberRightClick;
    // True while the monitor window is loaded and visible.
    std::function<bool()> MonitorVisible;
    // Brings the main window to the front while something is dragged over it.
    std::function<void()> BringToFront;

private:
    FrmMain& Window();
    AssignRecord& Record(int output, int page, int button);
    bool ShownPage(int output, int page);
    // The cued button of the output is this one: the cue is dropped.
    void DropCueOf(int output, int page, int button, bool disarm);
    std::string TitleOf(int output, const std::string& path, int& tipColour);

    PlaybackControl& control_;
    // The button a move-drag started from, and what it carried.
    struct DragSourceState {
        bool active = false;
        bool move = false;
        int output = -1;
        int page = -1;
        int button = -1;
        std::string path;
    };
    DragSourceState drag_;
};
