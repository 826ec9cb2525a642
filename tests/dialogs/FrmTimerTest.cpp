#include "dialogs/FrmTimer.h"

#include "DialogInput.h"
#include "controls/SurfaceBox.h"
#include "controls/UC_Buttons.h"
#include "controls/UC_Check.h"
#include "dialogs/TimerWindow.h"
#include "dialogs/TimerWindowHost.h"
#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "foundation/SharedConf.h"
#include "platform/MessageBox.h"
#include "platform/TextBox.h"
#include "support/Gallery.h"
#include "support/TwipsFixture.h"

#include <gmock/gmock.h>

#include <string>
#include <vector>

namespace {

// SetTimerProc as the main window does it: a confirmed edit disarms the
// output's timer, a cancelled one (-1) changes nothing.
class RecordingTimerHost final : public TimerWindowHost {
public:
    void SetTimerProc() override
    {
        calls.push_back(parms::TimerEditOutput);
        if (parms::TimerEditOutput >= 0) {
            parms::StartTimer.at(static_cast<std::size_t>(parms::TimerEditOutput)).TimerArmed = 0;
        }
    }
    std::vector<int> calls;
};

class TimerDialog : public testsupport::TwipsFixture {
protected:
    TimerDialog()
    {
        basic::LangMode = 0;
        FCT_Quind::HourAdjust = 18000;
        parms::StartTimer = {};
        parms::TimerEditOutput = -1;
        platform::SetMessageBoxAnswer([this](const platform::MessageBoxRequest& request) {
            messages.push_back(request.text);
            EXPECT_EQ(request.title, "");
            return platform::IdOk;
        });
    }
    ~TimerDialog() override
    {
        windows.Unload();
        platform::SetMessageBoxAnswer(nullptr);
    }

    FrmTimer& OpenFor(int output)
    {
        parms::TimerEditOutput = output;
        windows.Show(nullptr);
        return *windows.Window();
    }
    // Types the text into a fresh dialog of output 0 and presses OK: true
    // when the dialog took it.
    bool Accepts(const std::string& text)
    {
        FrmTimer& dialog = OpenFor(0);
        dialog.TextTimer().SetText(text);
        const auto refusals = messages.size();
        dialog.OK();
        const bool accepted = !windows.IsOpen();
        EXPECT_EQ(accepted, messages.size() == refusals) << text;
        windows.Unload();
        return accepted;
    }
    static void Type(FrmTimer& dialog, const char* keys)
    {
        dialog.TextTimer().clear();
        dialoginput::Type(dialog.TextTimer(), QString::fromLatin1(keys));
    }

    RecordingTimerHost host;
    TimerWindow windows{host};
    std::vector<std::string> messages;
};

TEST_F(TimerDialog, TimesOfTheBroadcastDay)
{
    EXPECT_TRUE(Accepts("05:00:00"));
    EXPECT_EQ(parms::StartTimer[0].TimerTime, "05:00:00");
    EXPECT_FALSE(Accepts("04:59:59"));
    EXPECT_EQ(messages.back(), "時刻が不正です");
    EXPECT_TRUE(Accepts("25:30:00"));
    EXPECT_TRUE(Accepts("28:59:59.999"));
    EXPECT_FALSE(Accepts("29:00:00"));
    EXPECT_FALSE(Accepts("12:60:00"));
    EXPECT_FALSE(Accepts("12:00:60"));
    EXPECT_FALSE(Accepts("5:00:00"));
    EXPECT_FALSE(Accepts("05:00"));
    EXPECT_FALSE(Accepts(""));
    EXPECT_FALSE(Accepts("ab:cd:ef"));
}

TEST_F(TimerDialog, AFractionOfASecondIsMillisecondsAndIsStoredAsTyped)
{
    EXPECT_TRUE(Accepts("12:00:00.5"));
    EXPECT_EQ(parms::StartTimer[0].TimerTime, "12:00:00.5");
    // 12:00:00.5 is 43,200,500 ms: inside a day from 12:00:00, before one
    // from 12:00:01 (read as 12:00:05 it would lie in both).
    FCT_Quind::HourAdjust = 43200;
    EXPECT_TRUE(Accepts("12:00:00.5"));
    FCT_Quind::HourAdjust = 43201;
    EXPECT_FALSE(Accepts("12:00:00.5"));
}

TEST_F(TimerDialog, WithoutABroadcastDayAnyTwoDigitHourPasses)
{
    FCT_Quind::HourAdjust = 0;
    EXPECT_TRUE(Accepts("99:59:59"));
    EXPECT_TRUE(Accepts("00:00:00"));
    EXPECT_FALSE(Accepts("99:59:60"));
}

TEST_F(TimerDialog, SixTypedDigitsOfATimeGetTheirColons)
{
    FrmTimer& dialog = OpenFor(0);
    Type(dialog, "123456");
    EXPECT_EQ(dialog.TextTimer().Text(), "12:34:56");
    Type(dialog, "126000");
    EXPECT_EQ(dialog.TextTimer().Text(), "126000");
    Type(dialog, "040000"); // before the broadcast day
    EXPECT_EQ(dialog.TextTimer().Text(), "040000");
}

TEST_F(TimerDialog, OkStoresTextAndModeOfTheOutputAndEnterActsAsOk)
{
    parms::StartTimer[2].TimerArmed = 1;
    FrmTimer& dialog = OpenFor(2);
    EXPECT_EQ(dialog.CheckTimerMode(0).Value(), 1);
    dialog.TextTimer().SetText("06:30:00");
    dialoginput::Click(*dialog.CheckTimerMode(1).findChild<controls::SurfaceBox*>(), 60, 60);
    EXPECT_EQ(dialog.CheckTimerMode(0).Value(), 0);
    EXPECT_EQ(dialog.CheckTimerMode(1).Value(), 1);
    testsupport::SaveToGallery(dialog.grab().toImage(), "timer-dialog");
    dialoginput::Key(dialog.TextTimer(), QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");

    EXPECT_FALSE(windows.IsOpen());
    EXPECT_EQ(parms::StartTimer[2].TimerTime, "06:30:00");
    EXPECT_EQ(parms::StartTimer[2].TimerMode, 1);
    EXPECT_EQ(host.calls, std::vector<int>{2});
    EXPECT_EQ(parms::StartTimer[2].TimerArmed, 0);
}

TEST_F(TimerDialog, ARefusedTimeKeepsTheDialogOpenAndTheTimerUnchanged)
{
    parms::StartTimer[0].TimerTime = "06:00:00";
    FrmTimer& dialog = OpenFor(0);
    dialog.TextTimer().SetText("30:00:00");
    int ok = 1;
    dialog.OKCancelButtons().ButtonClicked(ok);
    EXPECT_TRUE(windows.IsOpen());
    EXPECT_EQ(messages, std::vector<std::string>{"時刻が不正です"});
    EXPECT_EQ(parms::StartTimer[0].TimerTime, "06:00:00");
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(TimerDialog, CancelAndTheCloseBoxLeaveAnArmedTimerAsItWas)
{
    parms::StartTimer[1].TimerTime = "06:00:00";
    parms::StartTimer[1].TimerArmed = 1;

    FrmTimer& first = OpenFor(1);
    first.TextTimer().SetText("07:00:00");
    int cancel = 0;
    first.OKCancelButtons().ButtonClicked(cancel);
    EXPECT_FALSE(windows.IsOpen());

    FrmTimer& second = OpenFor(1);
    EXPECT_EQ(second.TextTimer().Text(), "06:00:00");
    second.TextTimer().SetText("08:00:00");
    second.close(); // the close box
    EXPECT_FALSE(windows.IsOpen());

    EXPECT_EQ(host.calls, (std::vector<int>{-1, -1}));
    EXPECT_EQ(parms::TimerEditOutput, -1);
    EXPECT_EQ(parms::StartTimer[1].TimerTime, "06:00:00");
    EXPECT_EQ(parms::StartTimer[1].TimerArmed, 1);
}

TEST_F(TimerDialog, RetargetingKeepsEachOutputsOwnTime)
{
    parms::StartTimer[0].TimerTime = "06:00:00";
    parms::StartTimer[1].TimerTime = "07:00:00";
    parms::StartTimer[1].TimerMode = 1;

    FrmTimer& dialog = OpenFor(0);
    EXPECT_EQ(dialog.TextTimer().Text(), "06:00:00");
    dialog.TextTimer().SetText("06:15:00");
    // The timer label of output 1 is right-clicked while the dialog is open.
    FrmTimer& same = OpenFor(1);
    ASSERT_EQ(&same, &dialog);
    EXPECT_EQ(dialog.Output(), 1);
    EXPECT_EQ(dialog.TextTimer().Text(), "07:00:00");
    EXPECT_EQ(dialog.CheckTimerMode(1).Value(), 1);
    EXPECT_EQ(dialog.CheckTimerMode(0).Value(), 0);
    dialog.TextTimer().SetText("08:00:00");
    dialog.OK();

    EXPECT_EQ(parms::StartTimer[1].TimerTime, "08:00:00");
    EXPECT_EQ(parms::StartTimer[0].TimerTime, "06:00:00");
    EXPECT_EQ(host.calls, std::vector<int>{1});

    // The dialog edits the output it was opened for, whatever changed the
    // shared edit target since.
    FrmTimer& again = OpenFor(0);
    parms::TimerEditOutput = 3;
    again.TextTimer().SetText("09:00:00");
    again.OK();
    EXPECT_EQ(parms::StartTimer[0].TimerTime, "09:00:00");
    EXPECT_EQ(parms::StartTimer[3].TimerTime, "");
    EXPECT_EQ(host.calls, (std::vector<int>{1, 0}));
}

TEST_F(TimerDialog, AnOutputOutsideTheFourOpensNothing)
{
    parms::TimerEditOutput = -1;
    windows.Show(nullptr);
    EXPECT_FALSE(windows.IsOpen());
    parms::TimerEditOutput = 4;
    windows.Show(nullptr);
    EXPECT_FALSE(windows.IsOpen());
}

TEST_F(TimerDialog, EnglishCaptions)
{
    basic::LangMode = 1;
    FrmTimer& dialog = OpenFor(0);
    EXPECT_EQ(dialog.Caption(), "Timer");
    EXPECT_EQ(dialog.CheckTimerMode(0).Caption(), "Start");
    EXPECT_EQ(dialog.CheckTimerMode(1).Caption(), "End");
    testsupport::SaveToGallery(dialog.grab().toImage(), "timer-dialog-english");
    dialog.TextTimer().SetText("4");
    dialog.OK();
    EXPECT_EQ(messages.back(), "Invalid Time.");
}

} // namespace
