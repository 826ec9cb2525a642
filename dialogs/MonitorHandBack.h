#pragma once

#include "dialogs/MonitorWindowHost.h"

#include <functional>
#include <string>

class FrmMain;
struct AssignRecord;

// What the monitor window does in the main window: the cache name of a
// file, the editor, and taking an edit back into the exact item the window
// was opened for, be its page shown or not. The edit is taken only while the
// item still holds the file it was opened for.
//
// A sound button: Delete clears it as the button menu's Remove does (lamp
// off and its off code to the boxes included); OK with another file
// re-assigns it first (through AssignButtonFile, which applies the admission
// rules and tells the operator of a refusal); then its start point, play
// mode and colours take the exchange values, on the old assignment when the
// new file was refused. A list row: Delete removes it
// (refused while it plays); OK sets its start point and, with UseListSeq,
// its sequence mark; its file stays.
class MonitorHandBack final : public MonitorWindowHost {
public:
    explicit MonitorHandBack(FrmMain& window) : window_(window) {}

    std::string GetLocalFilename(std::string_view path) override;
    void EditSound(const MonitorItem& item) override;
    void TakeBack(const MonitorItem& item, QWidget* owner) override;

    // Assigns path to the button (output, page, button) with the checks of a
    // drop; true when the button took it. Unset: no re-assignment happens.
    std::function<bool(int output, int page, int button, const std::string& path)> AssignButtonFile;
    // Empties the button (output, page, button) as the button menu's Remove
    // does: record, face, lamp and the cued button.
    std::function<void(int output, int page, int button)> ClearButtonFile;

private:
    bool ButtonShown(const MonitorItem& item) const;
    bool ListShown(const MonitorItem& item) const;
    void TakeBackButton(const MonitorItem& item, QWidget* owner);
    void ClearButton(const MonitorItem& item);
    void DrawButton(const MonitorItem& item, const AssignRecord& record);
    void TakeBackRow(const MonitorItem& item, QWidget* owner);
    void RemoveRow(const MonitorItem& item, QWidget* owner);
    void RefreshAssignments();

    FrmMain& window_;
};
