#pragma once

#include "mainwindow/ports/MonitorWindowPort.h"

#include <functional>
#include <string>
#include <string_view>

class PlaybackControl;
class ButtonGrid;
class FrmMain;
struct AssignRecord;

// The commands of a sound button's right-click menu, and the hand-over of a
// button or list row to the monitor window. They act on the button that was
// right-clicked: its output, page and button are remembered at the click, so
// a command that comes later never lands on another button. The monitor
// window's result comes back through its own hand-back (MonitorHandBack),
// which knows the exact item it was opened for.
class ButtonCommands {
public:
    ButtonCommands(PlaybackControl& control, ButtonGrid& grid) : control_(control), grid_(grid) {}

    // Remembers the right-clicked button (its control index on the page shown).
    void RememberRightClick(int index);

    // 0 assign (dialog), 1 clear, 2 start position and 4 preview in the
    // monitor window, 3 edit, 5 file information, 6..9 play mode, 10 text
    // colour, 11 background colour, 12 default colours. Others do nothing.
    void RCButtonFCT(int command);
    // Hands the right-clicked item (button or list row) to the monitor window.
    void MonSound(int mode);
    // Opens the right-clicked item's file in the external editor.
    void EditSound();
    void ShowSoundInfo(std::string_view path);

    // The play list's part: fill MonitorExchange and item (output, page,
    // row, file) from the selected row of a list output (false when none is
    // selected); the selected row's file ("" when none).
    std::function<bool(int output, MonitorItem& item)> ListItemForMonitor;
    std::function<std::string(int output)> ListItemFile;

private:
    struct Target {
        int output = 0;
        int page = 0;
        int button = 0;
    };
    FrmMain& Window();
    Target CurrentTarget();
    AssignRecord& RecordOf(const Target& target);
    void ShowOnButton(const Target& target, int textSlot, const std::string& text);
    void ApplyColoursAndDraw(const Target& target);
    void AssignFromDialog(const Target& target);
    void Clear(const Target& target);

    PlaybackControl& control_;
    ButtonGrid& grid_;
    bool remembered_ = false;
    Target target_;
};
