#pragma once

#include "mainwindow/AssignTables.h"

class FrmMain;
class UC_ListView;

// The play list of a list output: the view LV(output) shows the list of the
// output's current page and is the list that plays; ListTable keeps the lists
// of every page. Every edit of a view ends by storing it into its page, so
// the table, the assign table file and a page switch see what the operator
// sees.
namespace playback {

// The page a view holds: one record per row (file, missing flag, start offset,
// the length of the time text) with its sequence mark; an empty view gives
// the one empty record of an empty list.
ListPage PageFromView(const UC_ListView& view);

class PlayList {
public:
    explicit PlayList(FrmMain& window) : window_(window) {}

    // Copies the rows of LV(output) into the page shown on the output.
    void StoreListFromView(int output);
    // Switches the sequence mark of the selected row and stores the list.
    void ToggleListSeq(int output);
    // Empties every page name, list page and button record of every output
    // and page.
    void ClearAllAssign();
    // ClearAllAssign, then blank views and page 1 shown everywhere.
    void NewAssign();

private:
    FrmMain& window_;
};

} // namespace playback
