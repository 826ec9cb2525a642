#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

class FrmMain;
namespace platform {
class DragData;
}

namespace playback {

class PlayList;

// Files dropped on a play list: each passes the admission checks (allowed
// location, duplicate title, wave format) and becomes a row at the drop
// point; a file from the local cache folder is entered under its server path.
// The same procedure rebuilds a view from the stored page when a page is
// shown.
class ListDrop {
public:
    ListDrop(FrmMain& window, PlayList& list) : window_(window), list_(list) {}

    // Admits path and writes its row: at row, or appended with row -2.
    // fromTable 1: the row is rebuilt from the stored page, with lengthMS
    // and, when CheckCacheLite spares the check, the stored missing flag.
    // ok 1 when the row was written. Neither stores nor redraws the view.
    void AddFilesToList(int output, std::string_view path, int row, int fromTable, int lengthMS, int seq, int startMS,
                        int missing, int& ok);

    // The drop of a file list on LV(output) at y (twips): the files taken.
    int LV_OLEDragDrop(int output, const platform::DragData& data, double y);

private:
    // True when an earlier file of the same drop has the same name under
    // another path (they would share one cache copy); tells the operator.
    // File name -> path of the files a drop admitted so far.
    using AdmittedNames = std::unordered_multimap<std::string, std::string>;
    bool SameNameInDrop(std::string_view path, const AdmittedNames& admitted);

    FrmMain& window_;
    PlayList& list_;
};

} // namespace playback
