#pragma once

#include "platform/Form.h"
#include "platform/Surface.h"

#include <array>
#include <functional>

class TimerWindowHost;
class UC_Check;
namespace controls {
class UC_Buttons;
}
namespace platform {
class TextBox;
}

// The start-timer dialog: time of day and mode (start or end) of one output's
// start timer. The dialog edits the output it was opened (or last retargeted)
// for; OK stores the text as typed and the mode in parms::StartTimer, Cancel
// and the close box store nothing. Either way the main window's SetTimerProc
// runs once the dialog has unloaded.
class FrmTimer final : public platform::Form {
public:
    FrmTimer(TimerWindowHost& host, QWidget* owner);
    ~FrmTimer() override;
    FrmTimer(const FrmTimer&) = delete;
    FrmTimer& operator=(const FrmTimer&) = delete;

    // Builds the dialog for output 0..3 and fills it from its timer.
    void Form_Load(int output);
    // Edits another output's timer from now on: its text and mode replace
    // what the dialog shows.
    void Retarget(int output);
    int Output() const { return output_; }

    // OK: refuses an invalid time with a message and stays open.
    void OK();
    void Cancel();

    platform::TextBox& TextTimer() { return *textTimer_; }
    UC_Check& CheckTimerMode(int index) { return *modes_.at(static_cast<std::size_t>(index)); }
    controls::UC_Buttons& OKCancelButtons() { return *okCancel_; }

    // Called last in the unload, after SetTimerProc.
    std::function<void()> AfterUnload;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    enum class Closing { ByCloseBox, ByOk, ByCancel };

    void FillFromTimer();
    void TextTimer_Change();
    void CheckTimerMode_Click(int index);
    void Unloading();

    TimerWindowHost& host_;
    platform::Surface picture_;
    platform::TextBox* textTimer_;
    std::array<UC_Check*, 2> modes_{};
    controls::UC_Buttons* okCancel_;
    int output_ = 0;
    Closing closing_ = Closing::ByCloseBox;
};
