// Keyboard control through the window's key preview: page keys, stop, the
// cue, the button keys with their two tables, and held keys with the window
// system's auto-repeat in between.
#include "GridFixture.h"

#include "foundation/ButtonKeys.h"
#include "platform/DetectableAutoRepeat.h"
#include "playback/Keyboard.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>

#include <gmock/gmock.h>

#include <optional>

namespace {

using playbacktest::GridFixture;

class Keys : public GridFixture {
protected:
    // One key event delivered to the main window, as the desktop sends it.
    void Send(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool repeat = false)
    {
        QKeyEvent event(type, key, modifiers, QString(), repeat);
        // The desktop sends keys to the control that has the focus.
        QWidget* focus = QApplication::focusWidget();
        QWidget* target = focus != nullptr && focus->window() == window.get() ? focus : window.get();
        QCoreApplication::sendEvent(target, &event);
    }
    void Tap(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        Send(QEvent::KeyPress, key, modifiers);
        Send(QEvent::KeyRelease, key, modifiers);
    }
    void Target(int output) { control->Window().State.KeyTarget = output; }
};

TEST_F(Keys, FunctionKeysSwitchPagesOnTheReleaseWithoutModifiers)
{
    ASSERT_TRUE(Start());
    Target(0);
    Send(QEvent::KeyPress, Qt::Key_F3);
    EXPECT_EQ(State().CurrentPage[0], 0);
    Send(QEvent::KeyRelease, Qt::Key_F3);
    EXPECT_EQ(State().CurrentPage[0], 2);
    Tap(Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_EQ(State().CurrentPage[0], 2);
    Tap(Qt::Key_F11);
    Tap(Qt::Key_F12);
    EXPECT_EQ(State().CurrentPage[0], 2);
    Tap(Qt::Key_F10);
    EXPECT_EQ(State().CurrentPage[0], 9);

    // The page key is consumed.
    int code = Keyboard::KeyF1;
    grid->Keys.HandleKey(code, 0, 0);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(State().CurrentPage[0], 0);
}

TEST_F(Keys, KeypadPlusAndMinusWrapAroundThePages)
{
    ASSERT_TRUE(Start());
    Target(0);
    Tap(Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(State().CurrentPage[0], State().PageNum - 1);
    Tap(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(State().CurrentPage[0], 0);
    Tap(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(State().CurrentPage[0], 1);
}

TEST_F(Keys, WithoutATargetNoKeyActs)
{
    ASSERT_TRUE(Start());
    Assign(0, 0, 0, RampWave("one.wav", Rate));
    Target(-1);
    Tap(Qt::Key_1);
    Tap(Qt::Key_F2);
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_EQ(State().CurrentPage[0], 0);
}

TEST_F(Keys, ButtonKeysPlayEscStopsAndSpacePlaysTheCue)
{
    ASSERT_TRUE(Start());
    Assign(0, 0, 0, RampWave("one.wav", 4 * Rate));
    Assign(0, 0, 1, RampWave("two.wav", 4 * Rate));
    Target(0);
    Send(QEvent::KeyPress, Qt::Key_2);
    EXPECT_EQ(State().OutputState[0], 0);
    Send(QEvent::KeyRelease, Qt::Key_2);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(State().PlayingButton[0].second, 1);
    Tap(Qt::Key_Escape);
    EXPECT_EQ(State().StoppedByUser[0], 1);
    Run(300);
    EXPECT_EQ(State().OutputState[0], 0);

    State().STBYActive[0] = 1;
    Tap(Qt::Key_1);
    EXPECT_EQ(State().StandbySet[0], 1);
    EXPECT_EQ(State().OutputState[0], 0);
    Tap(Qt::Key_Space);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(State().PlayingButton[0].second, 0);
}

TEST_F(Keys, TheOutputsTableWinsOverTheKeypadTable)
{
    ASSERT_TRUE(Start());
    const int keypadOne = parms::NumpadKeyAssign[0];
    ASSERT_NE(keypadOne, 0);
    EXPECT_EQ(Keyboard::FindKeyButton(keypadOne, 0, 32), 0);
    const auto saved = parms::KeyAssign;
    parms::KeyAssign[0 + 4 * 5] = keypadOne;
    EXPECT_EQ(Keyboard::FindKeyButton(keypadOne, 0, 32), 5);
    // Another output's table does not count.
    EXPECT_EQ(Keyboard::FindKeyButton(keypadOne, 1, 32), 0);

    Assign(0, 0, 5, RampWave("five.wav", Rate));
    Target(0);
    Tap(Qt::Key_1, Qt::KeypadModifier);
    EXPECT_EQ(State().PlayingButton[0].second, 5);
    parms::KeyAssign = saved;
}

// Alt+B is the display switch, whose menu is off while a sound plays: B
// (button 29) is empty here, and an empty button's key stops the output.
TEST_F(Keys, KeysPressedWithAltOrCtrlNeitherStartNorStopButShiftStillPlays)
{
    ASSERT_TRUE(Start());
    State().BlankToStop = 1;
    Assign(0, 0, 0, RampWave("on-air.wav", 30 * Rate));
    Assign(0, 0, 1, RampWave("two.wav", 30 * Rate));
    Target(0);
    Tap(Qt::Key_1);
    ASSERT_EQ(State().OutputState[0], 1);
    const auto onAir = [this] {
        return State().OutputState[0] == 1 && State().StoppedByUser[0] == 0 && State().PlayingButton[0].second == 0;
    };
    for (const Qt::KeyboardModifiers held :
         {Qt::KeyboardModifiers(Qt::AltModifier), Qt::KeyboardModifiers(Qt::ControlModifier),
          Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier}) {
        for (const int key : {int(Qt::Key_B), int(Qt::Key_2), int(Qt::Key_Space)}) {
            Tap(key, held);
            Run(100);
            EXPECT_TRUE(onAir()) << "key " << key << ", modifiers " << held.toInt();
        }
    }
    // Alt let go before the key: still the shortcut it was pressed as.
    Send(QEvent::KeyPress, Qt::Key_B, Qt::AltModifier);
    Send(QEvent::KeyRelease, Qt::Key_B);
    Run(100);
    EXPECT_TRUE(onAir());
    // Page keys keep their own rule: no page with a modifier.
    Tap(Qt::Key_F2, Qt::ControlModifier);
    EXPECT_EQ(State().CurrentPage[0], 0);

    Tap(Qt::Key_2, Qt::ShiftModifier);
    EXPECT_EQ(State().PlayingButton[0].second, 1);
    Tap(Qt::Key_B, Qt::ShiftModifier);
    Run(300);
    EXPECT_EQ(State().OutputState[0], 0) << "the empty button's key stopped the output";
    Tap(Qt::Key_2, Qt::AltModifier);
    Run(100);
    EXPECT_EQ(State().OutputState[0], 0);
}

TEST_F(Keys, CtrlStartsNoMomentarySoundButTheHeldKeyStopsItsSoundWhateverIsHeldAtItsRelease)
{
    ASSERT_TRUE(Start());
    Assign(0, 0, 0, RampWave("held.wav", 4 * Rate), 1);
    Target(0);
    Send(QEvent::KeyPress, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(State().OutputState[0], 0);
    Send(QEvent::KeyRelease, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(State().OutputState[0], 0);

    Send(QEvent::KeyPress, Qt::Key_1);
    ASSERT_EQ(State().OutputState[0], 1);
    Send(QEvent::KeyRelease, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(State().StoppedByUser[0], 1);
}

TEST_F(Keys, AHeldMomentaryKeyPlaysUntilItsRealReleaseWhateverTheRepeats)
{
    ASSERT_TRUE(Start());
    // Shorter than the hold: a Momentary sound loops while it is held.
    Assign(0, 0, 0, RampWave("short.wav", Rate / 5), 1);
    Target(0);
    const auto starts = [this] { return ports.Log.Starting("SendRemoteCommand 0 3 0").size(); };
    const std::size_t before = starts();

    Send(QEvent::KeyPress, Qt::Key_1);
    EXPECT_EQ(State().OutputState[0], 1);
    for (int repeat = 0; repeat < 20; ++repeat) {
        Run(40);
        Send(QEvent::KeyRelease, Qt::Key_1, Qt::NoModifier, true);
        Send(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, true);
        ASSERT_EQ(State().OutputState[0], 1) << repeat;
    }
    // One start for the whole hold: no repeat stopped and restarted it.
    EXPECT_EQ(starts(), before + 1);
    EXPECT_EQ(State().StoppedByUser[0], 0);
    Send(QEvent::KeyRelease, Qt::Key_1);
    EXPECT_EQ(State().StoppedByUser[0], 1);
    Run(300);
    EXPECT_EQ(State().OutputState[0], 0);
}

TEST_F(Keys, TheKeyLabelChoosesTheTargetUnlessTheOutputIsLocked)
{
    ASSERT_TRUE(Start(2));
    Target(-1);
    grid->Keys.TextKey_MouseUD(1, 1, true, 0);
    EXPECT_EQ(State().KeyTarget, -1);
    grid->Keys.TextKey_MouseUD(1, 1, false, 0);
    EXPECT_EQ(State().KeyTarget, 1);
    grid->Keys.TextKey_MouseUD(1, 2, false, 0);
    EXPECT_EQ(State().KeyTarget, -1);
    State().OutputLocked[0] = 1;
    grid->Keys.TextKey_MouseUD(0, 1, false, 0);
    EXPECT_EQ(State().KeyTarget, -1);
    State().OutputLocked[0] = 0;
}

// The keyboard's auto-repeat as X11 delivers it: after the repeat delay, a
// release and a press at the same server time every 40 ms, sometimes split
// over two event batches (the press arriving a few milliseconds later); or,
// where the server granted detectable auto-repeat, presses alone.
class HeldKeys : public Keys, public testing::WithParamInterface<bool> {
protected:
    // The parameter: the server granted detectable auto-repeat.
    void SetUp() override
    {
        Keys::SetUp();
        platform::SetDetectableAutoRepeatOverride(PressesOnly());
    }
    void TearDown() override
    {
        platform::SetDetectableAutoRepeatOverride(std::nullopt);
        Keys::TearDown();
    }
    bool PressesOnly() const { return GetParam(); }
    // How long a real release may take to act: under detectable auto-repeat
    // it acts by itself, else it is told from a repeat within 30 ms.
    int ReleaseMs() const { return PressesOnly() ? 0 : 30; }
    void Key(QEvent::Type type, unsigned long serverMs, bool marked = false)
    {
        QKeyEvent event(type, Qt::Key_1, Qt::NoModifier, 10, 0, 0, "1", marked);
        event.setTimestamp(serverMs);
        QWidget* focus = QApplication::focusWidget();
        QCoreApplication::sendEvent(focus != nullptr && focus->window() == window.get() ? focus : window.get(), &event);
    }
    // Holds the key for holdMs from now, checking between events; returns the
    // server time of the real release, which is not yet sent.
    template <typename Check> unsigned long Hold(int holdMs, Check check)
    {
        unsigned long now = 100000;
        Key(QEvent::KeyPress, now);
        constexpr int Delay = 660;
        constexpr int Interval = 40;
        Run(Delay);
        now += Delay;
        int elapsed = Delay;
        for (int repeat = 0; elapsed + Interval <= holdMs; ++repeat) {
            check(elapsed);
            if (PressesOnly()) {
                Key(QEvent::KeyPress, now);
                Run(Interval);
            } else {
                Key(QEvent::KeyRelease, now);
                if (repeat % 3 == 1) {
                    // Split batches: the press comes later than the release.
                    Run(3);
                    Key(QEvent::KeyPress, now);
                    Run(Interval - 3);
                } else {
                    Key(QEvent::KeyPress, now, repeat % 3 == 2);
                    Run(Interval);
                }
            }
            now += Interval;
            elapsed += Interval;
        }
        Run(holdMs - elapsed);
        check(holdMs);
        return now + static_cast<unsigned long>(holdMs - elapsed);
    }
    std::size_t Starts() { return ports.Log.Starting("SendRemoteCommand 0 3 0").size(); }
};

INSTANTIATE_TEST_SUITE_P(Repeats, HeldKeys, testing::Values(false, true), [](const testing::TestParamInfo<bool>& mode) {
    return mode.param ? "PressesOnly" : "ReleaseAndPressPairs";
});

TEST_P(HeldKeys, AMomentaryKeyHeldOneAndAHalfSecondsPlaysThroughAndStopsOnTheRelease)
{
    ASSERT_TRUE(Start());
    Assign(0, 0, 0, RampWave("long.wav", 4 * Rate), 1);
    Target(0);
    const std::size_t before = Starts();
    Played(1);
    const unsigned long release = Hold(1500, [this](int elapsed) {
        ASSERT_EQ(State().OutputState[0], 1) << elapsed << " ms into the hold";
        ASSERT_EQ(State().StoppedByUser[0], 0) << elapsed << " ms into the hold";
    });
    // One start, and the sound ran on without a break for the whole hold.
    EXPECT_EQ(Starts(), before + 1);
    const std::vector<float> held = Played(1);
    ASSERT_GE(held.size(), static_cast<std::size_t>(Rate * 1.4));
    std::int64_t previous = -1;
    std::size_t sounding = 0;
    std::size_t breaks = 0;
    for (const float sample : held) {
        const std::int64_t frame = RampFrame(sample);
        if (frame < 0) {
            continue;
        }
        // The file's values count up and wrap every 30000 frames.
        if (previous >= 0 && frame != (previous + 1) % 30000) {
            ++breaks;
        }
        previous = frame;
        ++sounding;
    }
    EXPECT_EQ(breaks, 0U);
    EXPECT_GE(sounding, static_cast<std::size_t>(Rate * 145 / 100)) << "sounded for the whole hold";

    Key(QEvent::KeyRelease, release);
    Run(ReleaseMs());
    EXPECT_EQ(State().StoppedByUser[0], 1) << "stopped within " << ReleaseMs() << " ms of the release";
    Run(300);
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_EQ(Starts(), before + 1);
}

TEST_P(HeldKeys, ANormalKeyHeldOneAndAHalfSecondsFiresOnceOnTheRelease)
{
    ASSERT_TRUE(Start());
    Assign(0, 0, 0, RampWave("long.wav", 4 * Rate));
    Target(0);
    const std::size_t before = Starts();
    const unsigned long release = Hold(1500, [this, before](int elapsed) {
        ASSERT_EQ(State().OutputState[0], 0) << elapsed << " ms into the hold";
        ASSERT_EQ(Starts(), before) << elapsed << " ms into the hold";
    });
    Key(QEvent::KeyRelease, release);
    Run(ReleaseMs());
    EXPECT_EQ(State().OutputState[0], 1) << "fired within " << ReleaseMs() << " ms of the release";
    Run(500);
    EXPECT_EQ(Starts(), before + 1) << "fired once";
    EXPECT_EQ(State().OutputState[0], 1);
}

} // namespace
