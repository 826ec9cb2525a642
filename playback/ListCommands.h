#pragma once

#include <functional>
#include <string_view>

class FrmMain;
namespace platform {
class DragData;
}

namespace playback {

class PlayList;

// What the operator does to a play list besides dropping files: clicks, the
// right-click menu and its commands, the tool buttons, and dragging rows out.
class ListCommands {
public:
    ListCommands(FrmMain& window, PlayList& list) : window_(window), list_(list) {}

    // Services of the sound-button commands and the monitor window.
    struct Services {
        std::function<void(int mode)> MonSound;
        std::function<void()> EditSound;
        std::function<void(std::string_view path)> ShowSoundInfo;
        // The monitor window is loaded and shown (right clicks are ignored).
        std::function<bool()> MonitorShown;
    };
    Services Use;

    void LV_Clicked(int output);
    void LV_DblClicked(int output);
    void LV_RightClicked(int output);
    void LV_OLEStartDrag(int output, platform::DragData& data, int& allowedEffects);
    void LV_OLECompleteDrag(int output, int effect);
    void CtrlButton_ButtonClicked(int output, int clickedIndex);
    // A command on the selected rows of LV(MonitorOutput): 0 remove, 1 clear,
    // 2 sequence mark, 3 start point, 4 editor, 5 preview, 6 file
    // information. The monitor window's result comes back through its own
    // hand-back, to the row it was opened for.
    void RCListFCT(int command);

private:
    // Steps after rows were removed or the list cleared.
    void AfterRemoval(int output, int newCursor);
    // Puts the cursor on row, as the row that plays next while the output is
    // idle; without playback control only the stored cursor moves.
    void PlaceCursor(int output, int row);
    // The row moves of the tool buttons; the cursor moves with its row.
    void MoveSelectedRow(int output, int delta);
    // The cursor once the selected rows are gone: -1 when it is among them.
    int CursorAfterRemoval(int output) const;
    void RefusePlayingRow();

    FrmMain& window_;
    PlayList& list_;
};

} // namespace playback
