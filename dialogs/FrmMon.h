#pragma once

#include "audio/Player.h"
#include "mainwindow/ports/MonitorWindowPort.h"
#include "platform/Form.h"
#include "platform/Surface.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class MonitorWindowHost;
class QPlainTextEdit;
class UC_Check;
class UC_PathText;
namespace controls {
class SurfaceBox;
class UC_Bar;
class UC_Buttons;
class UC_TextPicture;
} // namespace controls
namespace platform {
class TextBox;
class WindowTimer;
} // namespace platform

// The monitor window: auditions the sound of one sound button or play-list
// row through a player of its own on the monitor device, shows the file's
// information and play range (the cue marks "BC$STANDBY" to "BC$END"), and
// edits the item's start point, play mode, colours, sequence mark or file.
// OK and Delete hand the edit back to the item the window was opened for;
// Cancel and the close box only stop the player and hide the window. The
// values travel in parms::MonitorExchange.
class FrmMon final : public platform::Form {
public:
    FrmMon(MonitorWindowHost& host, QWidget* owner);
    ~FrmMon() override;
    FrmMon(const FrmMon&) = delete;
    FrmMon& operator=(const FrmMon&) = delete;

    // Creates the player by PlayerType and lays out the controls; sets
    // MonitorOpen and starts the 100 ms timer.
    void Form_Load();
    // Prepares the window for item and loads its sound; plays it at once
    // with autoPlay non-zero. The caller shows the window afterwards.
    void StartMon(const MonitorItem& item, int autoPlay);
    // Stops the player and hides the window.
    void StopMon();

    // One timer step: feeds the player and shows its state and position.
    void UpdateNow();

    // Transport: 0 stop, 1 play, 2 pause.
    void PlayButtons_Clicked(int index);
    // "Set" (0) takes the bar position as the start point; "Play" (1) plays
    // from the start point.
    void MonButtons_Clicked(int index);
    void OK();
    void Delete();
    void Cancel();

    // The play range of the loaded file, ms from the file start.
    std::int32_t RangeStartMS() const { return rangeStartMS_; }
    std::int32_t RangeEndMS() const { return rangeEndMS_; }
    std::int32_t RangeLengthMS() const { return rangeLengthMS_; }
    const std::string& OpenedFile() const { return openedFile_; }
    // 1: the counter shows the elapsed time, 0 the remaining time.
    std::int32_t DispLapMon() const { return dispLapMon_; }
    const MonitorItem& Item() const { return item_; }
    std::string InfoText() const;
    // Lamp state last set on transport button 0..2 (0 unlit, 2 lit).
    int Lamp(int button) const { return lamps_.at(static_cast<std::size_t>(button)); }
    Player& MonPlayer() { return *player_; }

    controls::UC_TextPicture& PicCounter() { return *picCounter_; }
    controls::UC_Buttons& PlayButtons() { return *playButtons_; }
    controls::UC_Bar& ProgBar() { return *progBar_; }
    UC_PathText& TextFilename() { return *textFilename_; }
    controls::UC_Buttons& EditButton() { return *editButton_; }
    controls::UC_Buttons& MonButtons() { return *monButtons_; }
    platform::TextBox& TextMonStartMS() { return *textMonStartMS_; }
    UC_Check& CheckSeq() { return *checkSeq_; }
    controls::SurfaceBox& PictureColor(int index) { return *pictureColor_.at(static_cast<std::size_t>(index)); }
    std::int32_t ColorOf(int index) const { return colors_.at(static_cast<std::size_t>(index)); }
    controls::UC_Buttons& DefaultButtons() { return *defaultButtons_; }
    UC_Check& CheckButtonOption(int index) { return *options_.at(static_cast<std::size_t>(index)); }
    controls::UC_Buttons& DeleteButtons() { return *deleteButtons_; }
    controls::UC_Buttons& OKCancelButtons() { return *okCancel_; }
    const platform::Surface& Background() const { return picture_; }

    // Called at the end of the unload, when the position and counter mode
    // are saved.
    std::function<void()> AfterUnload;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    enum class Kind { None, Button, List };

    void CreatePlayer();
    void SetUpTransport();
    void SetUpCounter();
    void SetUpBar();
    void SetUpEditControls();
    void LayOut(Kind kind);
    void PrintCaptions(Kind kind);
    void LoadMonFile();
    void SetPlayButtons(int button, int state, bool noLamp);
    void ResetShownState();
    void UpdateCounter(bool fromBar);
    void PicCounter_Released();
    void ProgBar_Released();
    void PictureColor_Click(int index);
    void SetColorBox(int index, std::int32_t colour);
    void CheckButtonOption_Click(int index);
    void TextFilename_FileChosen();
    bool SinglePlayerBackEnd() const;
    bool SamplePositionBackEnd() const;
    bool HasPause() const;
    bool RefusesStartPoint(std::int32_t start) const;
    void Unloading();

    MonitorWindowHost& host_;
    platform::Surface picture_;
    std::unique_ptr<Player> player_;
    std::int32_t playerType_ = -1;
    MonitorItem item_;

    QPlainTextEdit* textInfo_;
    UC_PathText* textFilename_;
    controls::UC_Buttons* playButtons_;
    controls::UC_TextPicture* picCounter_;
    controls::UC_Bar* progBar_;
    controls::UC_Buttons* editButton_;
    controls::UC_Buttons* monButtons_;
    platform::TextBox* textMonStartMS_;
    UC_Check* checkSeq_;
    std::array<controls::SurfaceBox*, 2> pictureColor_{};
    std::array<std::int32_t, 2> colors_{0, 0};
    controls::UC_Buttons* defaultButtons_;
    std::array<UC_Check*, 4> options_{};
    controls::UC_Buttons* deleteButtons_;
    controls::UC_Buttons* okCancel_;
    platform::WindowTimer* timerUpdate_;

    std::int32_t rangeStartMS_ = 0;
    std::int32_t rangeEndMS_ = 0;
    std::int32_t rangeLengthMS_ = 0;
    std::string openedFile_;
    std::int32_t shownState_ = 0;
    std::array<int, 3> lamps_{};
    std::int32_t dispLapMon_ = 1;
    std::int32_t hasPlayed_ = 0;
    bool counterHasActiveSet_ = false;
    Kind layoutKind_ = Kind::None;
    // Top of the bottom row (Delete, OK/Cancel) for each kind, twips.
    std::int32_t listBottomTop_ = 0;
    std::int32_t buttonBottomTop_ = 0;
};
