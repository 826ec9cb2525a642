#pragma once

#include "platform/Form.h"
#include "platform/Surface.h"

#include <string>
#include <string_view>

class UC_ListView;
class UC_PathText;
namespace controls {
class UC_Buttons;
}
namespace platform {
class DragData;
}

namespace cache {

// The material browser: a small tool window in which the operator walks
// through folders and drags sound files onto the buttons and play lists of
// the main window. The list shows the entries of one folder as a grid of
// NumSozaiColumn cells a row: the way up, sub-folders, shortcuts (".lnk",
// marked "■") and the sound files the player type plays. The close box only
// hides the window; it keeps its folder until the program ends, when the
// folder is kept as SozaiPath. The output number chooses which stored
// position ("Sozai" & output + 1) the window takes.
class FrmSozai final : public platform::Form {
public:
    explicit FrmSozai(QWidget* owner);
    ~FrmSozai() override;
    FrmSozai(const FrmSozai&) = delete;
    FrmSozai& operator=(const FrmSozai&) = delete;

    // Builds the window for output 0..3, lists SozaiPath and takes the
    // window's stored position; the browser is open afterwards.
    void Form_Load(int output);
    // From the end of the load until the unload.
    bool IsOpen() const { return open_; }
    int Output() const { return output_; }
    void SetOutput(int output) { output_ = output; }
    // "Sozai" & output + 1: where the window's position is stored.
    std::string PositionSuffix() const;
    int NumSozaiColumn() const { return numColumns_; }

    // Fills the list from the folder in the path box (a folder that does not
    // exist leaves the list as it was).
    void ListSozaiFolder();
    // The folder of the path box as the program writes it, with a trailing
    // separator.
    std::string CurrentFolder() const;

    UC_PathText& TextSozaiPath() { return *textSozaiPath_; }
    controls::UC_Buttons& FCTButtons() { return *fctButtons_; }
    UC_ListView& LVSozai() { return *lvSozai_; }
    // The window's painted background.
    const platform::Surface& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Form_QueryUnload(int& cancel, int unloadMode);
    void Form_Unload(int& cancel);
    void Form_Resize();
    void LVSozai_DblClicked();
    void LVSozai_OLEStartDrag(platform::DragData& offered, int& allowedEffects);

    UC_PathText* textSozaiPath_;
    controls::UC_Buttons* fctButtons_;
    UC_ListView* lvSozai_;
    platform::Surface picture_;
    int numColumns_ = 4;
    int output_ = 0;
    bool open_ = false;
};

} // namespace cache
