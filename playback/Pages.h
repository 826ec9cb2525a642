#pragma once

#include "foundation/Drives.h"

#include <functional>
#include <string>
#include <vector>

class PlaybackControl;
class ButtonGrid;
class FrmMain;

// Pages of the outputs: switching and drawing a page, its title and name,
// the page menu's copy and paste, and the look for an assign table file on a
// removable drive that was inserted since the last page change.
class Pages {
public:
    Pages(PlaybackControl& control, ButtonGrid& grid) : control_(control), grid_(grid) {}

    // Shows page on the output, or on every output with all or BankSync.
    void ChangePage(int output, int page, int all);
    // Draws a page of one output and makes it current.
    void LoadPage(int output, int page);
    void ShowPageTitle(int output);

    void TextPage_MouseUD(int index, int button, bool isDown, int pIndex);
    void PageButtons_ButtonClicked(int index, int clickedIndex);
    void PageButtons_RightClicked(int index, int clickedIndex);
    // 0 copy, 1 paste the copied page onto the right-clicked one.
    void MenuRCPage_Click(int index);

    // 1 when a removable drive with a higher index than the last look's
    // appeared; the table read is kept.
    int RemovableChanged();

    // Draws a list page into the output's list view (the play list's part).
    std::function<void(int output, int page)> LoadListPage;
    // The drive table (the machine's, unless a test gives one).
    std::function<std::vector<basic::DriveEntry>()> Drives;
    // The first assign table file in a drive's root, "" when none.
    std::function<std::string(const basic::DriveEntry&)> FirstAssignFile;

private:
    FrmMain& Window();
    std::vector<basic::DriveEntry> DriveList();
    std::string& CaptionOf(int output, int page);

    PlaybackControl& control_;
    ButtonGrid& grid_;
};
