// Operator sessions with the real window on an X server, on virtual time:
// the test clicks the window's own button controls, advances the clock and
// reads what each null output device played, sample by sample.
#include "AnswerWhenShown.h"

#include "acceptance/SoakProgram.h"

#include "controls/SurfaceBox.h"
#include "controls/UC_TextPicture.h"
#include "controls/UC_TolvButton.h"
#include "dialogs/ConfigDialog.h"
#include "dialogs/FrmConf.h"
#include "dialogs/FrmTimer.h"
#include "foundation/CommandLine.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Registry.h"
#include "foundation/SessionValues.h"
#include "mainwindow/FrmMain.h"
#include "mainwindow/OutputPlayers.h"
#include "platform/MessageBox.h"
#include "platform/PopupMenu.h"
#include "platform/SessionEndpoint.h"
#include "platform/TextBox.h"
#include "platform/audio/AudioSystem.h"
#include "platform/audio/NullSink.h"
#include "platform/base/Hooks.h"
#include "playback/AssignFileFormat.h"
#include "playback/AssignRecords.h"
#include "support/ClockFixture.h"
#include "support/FaceClick.h"
#include "support/Gallery.h"
#include "support/ProgramGlobals.h"
#include "support/ProgramStart.h"
#include "support/RiffFileBuilder.h"
#include "support/ScratchFolder.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

namespace {

namespace fs = std::filesystem;
using platform::audio::AudioSystem;

constexpr int Rate = 48000;
constexpr int TickMs = 50;
constexpr int SoundFrames = Rate / 2;

// The value of frame f of a ramp sound, in the file and as the device plays it.
int RampValue(int frame)
{
    return frame % 30000 + 1;
}
float Ramp(std::int64_t frame)
{
    return static_cast<float>(frame % 30000 + 1) / 32768.0F;
}

class OperatorSession : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        if (const char* why = std::getenv("TOLV_NO_X_SERVER"); why != nullptr) {
            GTEST_SKIP() << why;
        }
        SetNow(Date(2026, 3, 10), At(9, 0, 0));
        testsupport::PrepareProgramStart(program.Path(), Rate);
    }
    void TearDown() override
    {
        program_.reset();
        testsupport::ResetProgramGlobals();
        parms::TimerEditOutput = -1;
    }

    static void Store(const std::string& key, const std::string& value) { basic::RegWrite(key, value, "tolv"); }

    // A stereo sound whose left and right frame f hold left(f) and right(f).
    std::string Sound(const std::string& name, int frames = SoundFrames,
                      const std::function<int(int)>& leftValue = RampValue,
                      const std::function<int(int)>& rightValue = RampValue)
    {
        testsupport::Bytes samples;
        for (int f = 0; f < frames; ++f) {
            for (const int value : {leftValue(f), rightValue(f)}) {
                const auto bits = static_cast<std::uint16_t>(value);
                samples.push_back(static_cast<std::uint8_t>(bits & 0xFF));
                samples.push_back(static_cast<std::uint8_t>(bits >> 8));
            }
        }
        testsupport::RiffFileBuilder builder;
        builder.Format(1, 2, Rate, 16).Data(samples);
        const std::string path = sounds / name;
        builder.WriteTo(path);
        return path;
    }

    void Run(int ms)
    {
        for (int done = 0; done < ms; done += 10) {
            clock.Advance(10);
            AudioSystem::Current().Sync();
            QApplication::processEvents();
        }
    }

    // One channel (0 left, 1 right) of what device (1..4) played since the
    // last call.
    std::vector<float> Played(int device, int channel = 0)
    {
        AudioSystem::Current().Sync();
        const std::vector<float> both = AudioSystem::Current().NullOutput(device)->TakePlayed();
        std::vector<float> one;
        for (std::size_t i = static_cast<std::size_t>(channel); i < both.size(); i += 2) {
            one.push_back(both[i]);
        }
        return one;
    }

    // The capture holds each range of frames of a test sound, in order, each
    // exact from its first frame, with only silence between and after.
    static std::string Runs(const std::vector<float>& left)
    {
        std::string text;
        for (std::size_t i = 0; i < left.size();) {
            if (left[i] == 0.0F) {
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < left.size() && left[end] != 0.0F) {
                ++end;
            }
            text += " [" + std::to_string(i) + ", " + std::to_string(end - i) + " frames, from " +
                    std::to_string(std::lround(left[i] * 32768.0F) - 1) + "]";
            i = end;
        }
        return text;
    }
    // One sound in the capture: held for heldMs, it lasts up to slackMs more
    // (a stop takes effect within a tick), or exactly the whole sound when
    // slackMs is 0.
    struct Range {
        int heldMs;
        int slackMs;
    };
    // The capture holds each sound in order, each exact from its first frame
    // up to the short fade that ends a stopped sound without a click, with
    // only silence between and after.
    static void ExpectRanges(const std::vector<float>& left, const std::vector<Range>& ranges)
    {
        SCOPED_TRACE("played:" + Runs(left));
        std::size_t at = 0;
        for (const Range& range : ranges) {
            while (at < left.size() && left[at] == 0.0F) {
                ++at;
            }
            std::size_t end = at;
            while (end < left.size() && left[end] != 0.0F) {
                ++end;
            }
            const auto length = static_cast<int>(end - at);
            // A start waits for the device's next period (256 frames).
            const int least = range.heldMs * Rate / 1000 - (range.slackMs == 0 ? 0 : 256);
            ASSERT_GE(length, least);
            ASSERT_LE(length, least + range.slackMs * Rate / 1000);
            const int exact = range.slackMs == 0 ? length : length - 64;
            for (int f = 0; f < exact; ++f) {
                ASSERT_EQ(left[at + static_cast<std::size_t>(f)], Ramp(f)) << "frame " << f;
            }
            at = end;
        }
        for (; at < left.size(); ++at) {
            ASSERT_EQ(left[at], 0.0F) << "sound after the last range at " << at;
        }
    }

    // A left click on a button control of the window, as the pointer gives it.
    void Click(int index, QEvent::Type type)
    {
        controls::UC_TolvButton* button = program_->Window().TolvButton.At(index);
        ASSERT_NE(button, nullptr);
        QWidget* surface = button->findChild<controls::SurfaceBox*>();
        QWidget& target = surface != nullptr ? *surface : static_cast<QWidget&>(*button);
        const QPointF at(target.width() * 0.75, target.height() * 0.7);
        QMouseEvent event(type, at, target.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&target, &event);
    }
    void Press(int index) { Click(index, QEvent::MouseButtonPress); }
    void Release(int index) { Click(index, QEvent::MouseButtonRelease); }

    // A press and release of one mouse button on a label of the window.
    static void ClickLabel(controls::UC_TextPicture* label, Qt::MouseButton button)
    {
        ASSERT_NE(label, nullptr);
        testsupport::ClickFace(*label, button);
    }

    // The open timer window of the main window, if any. The dialog classes
    // carry no meta-object of their own, so they are told apart by type.
    static FrmTimer* OpenTimerWindow(QWidget& window)
    {
        for (QWidget* child : window.findChildren<QWidget*>()) {
            if (auto* dialog = dynamic_cast<FrmTimer*>(child); dialog != nullptr && dialog->isVisible()) {
                return dialog;
            }
        }
        return nullptr;
    }

    // Keys typed into a widget, one press and release each.
    static void Type(QWidget& target, const std::string& keys)
    {
        for (const char c : keys) {
            const int key = c == '\r' ? Qt::Key_Return : static_cast<int>(c);
            const QString text = c == '\r' ? QString("\r") : QString(QChar(c));
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
            QApplication::sendEvent(&target, &press);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
            QApplication::sendEvent(&target, &release);
        }
    }

    testsupport::ScratchFolder program;
    testsupport::ScratchFolder sounds;
    std::unique_ptr<acceptance::SoakProgram> program_;
};

TEST_F(OperatorSession, FourOutputsButtonsOfEveryPlayModeAndAPageSwitch)
{
    const std::string normal = Sound("normal.wav");
    const std::string latch = Sound("latch.wav");
    const std::string toggle = Sound("toggle.wav");
    const std::string momentary = Sound("momentary.wav");
    const std::string other = Sound("other.wav");
    const std::string timed = Sound("timed.wav");
    const std::string table = program / "show.txt";
    std::ofstream(table, std::ios::binary)
        << "\"BankName_01\",\"Opening\"\r\n"
        << "\"Button_01-001\",\"" << normal << "\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n"
        << "\"Button_01-002\",\"" << latch << "\",\"2\",\"0\",\"&H0\",\"&H0\"\r\n"
        << "\"Button_01-003\",\"" << toggle << "\",\"3\",\"0\",\"&H0\",\"&H0\"\r\n"
        << "\"Button_01-004\",\"" << momentary << "\",\"1\",\"0\",\"&H0\",\"&H0\"\r\n"
        << "\"Button_01-005\",\"" << timed << "\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n"
        << "\"Button2_02-001\",\"" << other
        << "\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n"
        // List 3: the second and third rows carry the sequence mark.
        << "\"List3_01-001\",\"" << Sound("row1.wav") << "\",\"0\",\"0\"\r\n"
        << "\"List3_01-002\",\"" << Sound("row2.wav") << "\",\"1\",\"0\"\r\n"
        << "\"List3_01-003\",\"" << Sound("row3.wav") << "\",\"1\",\"0\"\r\n"
        << "\"List3_01-004\",\"" << Sound("row4.wav") << "\",\"0\",\"0\"\r\n";
    Store("PlayerType", "3");
    Store("NumOut", "4");
    Store("TimerInt", std::to_string(TickMs));
    Store("OpenLast", "1");
    Store("LastTlvFilename", table);
    Store("SaveEnd", "1");
    // Output 1 shows its STBY and timer labels.
    Store("DispSTBY_1", "1");
    Store("DispTimer_1", "1");
    for (int n = 1; n <= 4; ++n) {
        Store("DeviceWave_" + std::to_string(n), "Null " + std::to_string(n));
        Store("IsList_" + std::to_string(n), n >= 3 ? "1" : "0");
    }
    program_ = std::make_unique<acceptance::SoakProgram>();
    FrmMain& window = program_->Window();
    ASSERT_EQ(window.Form_Load(), FrmMain::StartOutcome::Running);
    window.show();
    QApplication::processEvents();
    ASSERT_EQ(window.State.CurrentFileTitle, "show");
    ASSERT_EQ(window.State.ButtonsPerPage[0], 32);
    testsupport::SaveToGallery(window.grab().toImage(), "operator-session-four-outputs");
    Played(1);

    // Normal: the whole sound.
    Press(0);
    Release(0);
    Run(1000);
    // Latch, pressed twice: the second press stops it.
    Press(1);
    Release(1);
    Run(200);
    Press(1);
    Release(1);
    Run(300);
    // Toggle, the same.
    Press(2);
    Release(2);
    Run(200);
    Press(2);
    Release(2);
    Run(300);
    const std::vector<float> first = Played(1);
    ExpectRanges(first, {{500, 0}, {200, 2 * TickMs + 10}, {200, 2 * TickMs + 10}});
    EXPECT_EQ(window.State.OutputState[0], 0);

    // Momentary: sounds while held.
    Press(3);
    Run(200);
    EXPECT_EQ(window.State.OutputState[0], 1);
    Release(3);
    Run(300);
    EXPECT_EQ(window.State.OutputState[0], 0);
    ExpectRanges(Played(1), {{200, 2 * TickMs + 10}});

    // Page 2 of output 2, and its first button.
    window.Ports.ControlEvents->PageButtons_ButtonClicked(1, 1);
    QApplication::processEvents();
    EXPECT_EQ(window.State.CurrentPage[1], 1);
    Played(2);
    Press(window.State.ButtonsPerOutput);
    Release(window.State.ButtonsPerOutput);
    Run(1000);
    ExpectRanges(Played(2), {{500, 0}});
    EXPECT_TRUE(Played(3).empty() || *std::max_element(Played(3).begin(), Played(3).end()) == 0.0F);

    // List 3: Space plays its first row; the marked rows after it follow by
    // themselves, and the unmarked fourth waits.
    window.State.KeyTarget = 2;
    Played(3);
    int space = 32;
    window.Keys.KeyDown(space, 0);
    space = 32;
    window.Keys.KeyUp(space, 0);
    Run(2500);
    ExpectRanges(Played(3), {{500, 0}, {500, 0}, {500, 0}});
    EXPECT_EQ(window.State.OutputState[2], 0);

    // A start timer on output 1, set as an operator does: STBY on, a click
    // cues the fifth button, a right click on the timer label opens the timer
    // window, the time three seconds ahead is typed as six digits and Enter
    // takes it; a left click on the label arms the timer.
    ClickLabel(window.TextSTBY.At(0), Qt::LeftButton);
    ASSERT_EQ(window.State.STBYActive[0], 1);
    Press(4);
    Release(4);
    Run(100);
    ASSERT_EQ(window.State.StandbySet[0], 1);
    ASSERT_EQ(window.State.OutputState[0], 0);
    ClickLabel(window.TextTimer.At(0), Qt::RightButton);
    QApplication::processEvents();
    auto* timerWindow = OpenTimerWindow(window);
    ASSERT_NE(timerWindow, nullptr);
    ASSERT_TRUE(timerWindow->isVisible());
    EXPECT_EQ(timerWindow->Output(), 0);
    const std::int64_t dueMs = (clock.MsOfDay() / 1000 + 3) * 1000;
    const auto two = [](std::int64_t value) { return std::string(value < 10 ? "0" : "") + std::to_string(value); };
    const std::string due = two(dueMs / 3600000) + ":" + two(dueMs / 60000 % 60) + ":" + two(dueMs / 1000 % 60);
    timerWindow->TextTimer().selectAll();
    Type(timerWindow->TextTimer(), due.substr(0, 2) + due.substr(3, 2) + due.substr(6, 2));
    EXPECT_EQ(timerWindow->TextTimer().Text(), due);
    Type(timerWindow->TextTimer(), "\r");
    QApplication::processEvents();
    EXPECT_EQ(OpenTimerWindow(window), nullptr) << "OK closes the timer window";
    EXPECT_EQ(parms::StartTimer[0].TimerTime, due);
    EXPECT_EQ(parms::StartTimer[0].TimerMode, 0);
    EXPECT_EQ(window.TextTimer.At(0)->TextMes(0), due + "s");
    ClickLabel(window.TextTimer.At(0), Qt::LeftButton);
    ASSERT_EQ(parms::StartTimer[0].TimerArmed, 1);

    // Nothing sounds before the time; at it the cued sound plays whole, from
    // its first frame, and the timer is disarmed.
    Played(1);
    const std::int64_t drainedMs = clock.MsOfDay();
    Run(static_cast<int>(dueMs - drainedMs) - 100);
    EXPECT_EQ(window.State.OutputState[0], 0);
    EXPECT_EQ(parms::StartTimer[0].TimerArmed, 1);
    Run(1000);
    EXPECT_EQ(parms::StartTimer[0].TimerArmed, 0);
    EXPECT_EQ(window.State.OutputState[0], 0);
    const std::vector<float> timedPlay = Played(1);
    ExpectRanges(timedPlay, {{500, 0}});
    const auto firstSound = std::find_if(timedPlay.begin(), timedPlay.end(), [](float v) { return v != 0.0F; });
    const auto startFrame = static_cast<std::int64_t>(firstSound - timedPlay.begin());
    const std::int64_t dueFrame = (dueMs - drainedMs) * Rate / 1000;
    // Checked on the first tick of the due second; a start waits for the
    // device's next period.
    EXPECT_GE(startFrame, dueFrame);
    EXPECT_LE(startFrame, dueFrame + (TickMs + 10) * Rate / 1000 + 256);
    // STBY off again: buttons play at once.
    ClickLabel(window.TextSTBY.At(0), Qt::LeftButton);
    EXPECT_EQ(window.State.STBYActive[0], 0);

    // The configuration dialog, opened from its menu and cancelled: nothing
    // is applied and the window goes on as it was.
    // The cancel comes from the dialog's own event loop once it shows.
    const bool shown = operatortest::AnswerWhenShown([this] { return program_->Config().Window(); },
                                                     [](QWidget& dialog) { static_cast<FrmConf&>(dialog).Cancel(); },
                                                     [&] { window.MenuConf->trigger(); });
    EXPECT_TRUE(shown);
    EXPECT_EQ(program_->Config().Window(), nullptr);
    EXPECT_EQ(parms::ConfigConfirmed, 0);
    EXPECT_EQ(window.State.Running, 1);
    EXPECT_EQ(window.State.CurrentFileTitle, "show");

    // The close with SaveEnd 1 saves the table as it is.
    int cancel = 0;
    window.Form_QueryUnload(cancel, platform::UnloadByUser);
    ASSERT_EQ(cancel, 0);
    window.Form_Unload(cancel);
    std::ifstream in(table, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    AssignTableSet saved = playback::FreshTablesForRead(window.State);
    ASSERT_EQ(playback::ParseAssignFile(bytes, table, {}, saved).BadLine, 0);
    EXPECT_EQ(saved.ButtonTable[static_cast<std::size_t>(ButtonTableIndex(0, 0, 1))].FileName, latch);
    EXPECT_EQ(saved.ButtonTable[static_cast<std::size_t>(ButtonTableIndex(0, 0, 1))].PlayMode, 2);
    EXPECT_EQ(saved.ButtonTable[static_cast<std::size_t>(ButtonTableIndex(1, 1, 0))].FileName, other);
}

// One output with three DirectSound players and FADE on: the second button
// cross-fades. The outgoing sound is on the left channel only, the incoming
// one on the right, so the capture shows each apart.
TEST_F(OperatorSession, OneOutputCrossFadesTwoButtonsInARow)
{
    constexpr int Level = 8192; // the outgoing sound's constant value
    const std::string outgoing = Sound(
        "out.wav", 4 * Rate, [](int) { return Level; }, [](int) { return 0; });
    const std::string incoming = Sound(
        "in.wav", SoundFrames, [](int) { return 0; }, RampValue);
    const std::string table = program / "fade.txt";
    std::ofstream(table, std::ios::binary)
        << "\"Button_01-001\",\"" << outgoing << "\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n"
        << "\"Button_01-002\",\"" << incoming << "\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n";
    Store("PlayerType", "0");
    Store("NumOut", "1");
    Store("TimerInt", std::to_string(TickMs));
    Store("OpenLast", "1");
    Store("LastTlvFilename", table);
    Store("SaveEnd", "1");
    Store("DeviceDS_1", "Null 1");
    Store("DispSTBY_1", "0");
    Store("DispTimer_1", "0");
    Store("IsList_1", "0");
    Store("UseVol", "1");
    Store("DispFADE_1", "1");
    Store("FadeOn_1", "1");
    Store("FOTime", "500");
    Store("FITime", "0");
    Store("FIOffset", "0");
    program_ = std::make_unique<acceptance::SoakProgram>();
    FrmMain& window = program_->Window();
    ASSERT_EQ(window.Form_Load(), FrmMain::StartOutcome::Running);
    window.show();
    QApplication::processEvents();
    ASSERT_EQ(window.State.PlayersPerOutput, 3);
    ASSERT_EQ(window.State.FadeOn[0], 1);
    testsupport::SaveToGallery(window.grab().toImage(), "operator-session-cross-fade");
    Played(1);

    Press(0);
    Release(0);
    Run(300);
    Press(1);
    Release(1);
    Run(1500);
    AudioSystem::Current().Sync();
    const std::vector<float> both = AudioSystem::Current().NullOutput(1)->TakePlayed();
    std::vector<float> left;
    std::vector<float> right;
    for (std::size_t i = 0; i + 1 < both.size(); i += 2) {
        left.push_back(both[i]);
        right.push_back(both[i + 1]);
    }
    // The incoming sound: whole and exact from its first frame.
    ExpectRanges(right, {{500, 0}});

    // The outgoing sound: at its level from its first frame until the
    // second button, then falling, never rising, to silence.
    const auto first = std::find_if(left.begin(), left.end(), [](float v) { return v != 0.0F; });
    ASSERT_NE(first, left.end());
    const auto start = static_cast<std::size_t>(first - left.begin());
    const auto incomingStart = static_cast<std::size_t>(
        std::find_if(right.begin(), right.end(), [](float v) { return v != 0.0F; }) - right.begin());
    ASSERT_GT(incomingStart, start);
    const float level = static_cast<float>(Level) / 32768.0F;
    for (std::size_t i = start; i < incomingStart; ++i) {
        ASSERT_EQ(left[i], level) << "frame " << i - start;
    }
    for (std::size_t i = incomingStart + 1; i < left.size(); ++i) {
        ASSERT_LE(left[i], left[i - 1]) << "the outgoing sound rises at frame " << i - start;
    }
    // A fade of 0.5 s, not a cut: still sounding, and lower, half-way.
    const float halfWay = left[incomingStart + Rate / 4];
    EXPECT_GT(halfWay, 0.0F);
    EXPECT_LT(halfWay, left[incomingStart + Rate / 10]);
    EXPECT_LT(left[incomingStart + Rate / 10], level) << "the fade has begun 0.1 s after the second start";
    EXPECT_EQ(left[incomingStart + Rate], 0.0F) << "silent 1 s after the second start";
    EXPECT_EQ(left.back(), 0.0F) << "silent at the end of the fade";
    EXPECT_EQ(window.State.PlayerAt(0).mode() == 3 && window.State.PlayerAt(1).mode() == 3, false);
}

} // namespace
