// Held keys under the keyboard's auto-repeat: X11 sends a repeat as a release
// and a press at the same server time, in one event batch or in two, unless
// the server granted detectable auto-repeat, which sends presses alone. The
// window's key preview must never take a repeat for a real release, and must
// still pass a real release on within 30 ms, or at once under detectable
// auto-repeat.
#include "platform/DetectableAutoRepeat.h"
#include "platform/Form.h"
#include "platform/HeldShortcuts.h"
#include "platform/KeyRepeatPairing.h"
#include "platform/base/Twips.h"
#include "support/ClockFixture.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using platform::KeyRepeatPairing;
using platform::KeyStroke;

TEST(KeyRepeatPairing, PairsAReleaseWithThePressOfTheSameKeyAtTheSameServerTime)
{
    KeyRepeatPairing pairing;
    std::optional<KeyStroke> first;
    EXPECT_EQ(pairing.OnPress({'A', 38, 1000, false}, first), KeyRepeatPairing::Press::Real);
    EXPECT_FALSE(first);
    // The repeat's release waits for what follows.
    EXPECT_EQ(pairing.OnRelease({'A', 38, 1660, false}, first), KeyRepeatPairing::Release::Later);
    EXPECT_EQ(pairing.OnPress({'A', 38, 1660, false}, first), KeyRepeatPairing::Press::Repeat);
    EXPECT_FALSE(first);
    EXPECT_FALSE(pairing.HasPending());

    // A release followed by a press at a later time was a real release: it
    // is handed back to be delivered before the new press.
    EXPECT_EQ(pairing.OnRelease({'A', 38, 2000, false}, first), KeyRepeatPairing::Release::Later);
    EXPECT_EQ(pairing.OnPress({'A', 38, 2090, false}, first), KeyRepeatPairing::Press::Real);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->timestamp, 2000U);

    // Another key's event at the same instant does not pair either.
    EXPECT_EQ(pairing.OnRelease({'A', 38, 3000, false}, first), KeyRepeatPairing::Release::Later);
    EXPECT_EQ(pairing.OnPress({'B', 56, 3000, false}, first), KeyRepeatPairing::Press::Real);
    EXPECT_TRUE(first);
}

TEST(KeyRepeatPairing, APressOfAKeyAlreadyHeldIsARepeatUntilTheWindowLosesTheKeyboard)
{
    KeyRepeatPairing pairing;
    std::optional<KeyStroke> first;
    // Detectable auto-repeat: presses only.
    EXPECT_EQ(pairing.OnPress({'A', 38, 1000, false}, first), KeyRepeatPairing::Press::Real);
    EXPECT_EQ(pairing.OnPress({'A', 38, 1660, false}, first), KeyRepeatPairing::Press::Repeat);
    EXPECT_EQ(pairing.OnPress({'A', 38, 1700, false}, first), KeyRepeatPairing::Press::Repeat);
    // Its release went to another window: the key must not stay dead.
    pairing.Forget();
    EXPECT_EQ(pairing.OnPress({'A', 38, 5000, false}, first), KeyRepeatPairing::Press::Real);
    // The toolkit's own repeat mark is believed.
    EXPECT_EQ(pairing.OnRelease({'A', 38, 5660, true}, first), KeyRepeatPairing::Release::Repeat);
    EXPECT_EQ(pairing.OnPress({'A', 38, 5660, true}, first), KeyRepeatPairing::Press::Repeat);
    // A release without the server's time cannot be paired: it acts at once.
    EXPECT_EQ(pairing.OnRelease({'A', 38, 0, false}, first), KeyRepeatPairing::Release::Now);
    EXPECT_EQ(pairing.OnPress({'A', 38, 0, false}, first), KeyRepeatPairing::Press::Real);
}

TEST(KeyRepeatPairing, UnderDetectableAutoRepeatEveryReleaseActsAtOnce)
{
    KeyRepeatPairing pairing;
    pairing.SetRepeatsArePressesOnly(true);
    std::optional<KeyStroke> first;
    EXPECT_EQ(pairing.OnPress({'A', 38, 1000, false}, first), KeyRepeatPairing::Press::Real);
    EXPECT_EQ(pairing.OnPress({'A', 38, 1660, false}, first), KeyRepeatPairing::Press::Repeat);
    EXPECT_EQ(pairing.OnRelease({'A', 38, 2000, false}, first), KeyRepeatPairing::Release::Now);
    EXPECT_FALSE(pairing.HasPending());
    // The key counts as let go: its next press is real.
    EXPECT_EQ(pairing.OnPress({'A', 38, 2000, false}, first), KeyRepeatPairing::Press::Real);
    EXPECT_FALSE(first);
}

// A window whose key handlers note what they were given, on a server that
// sends auto-repeat as release and press pairs unless a test says otherwise.
class HeldKeys : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        platform::SetDetectableAutoRepeatOverride(false);
        basic::TwipsPerPixel = 15;
        form.Keys.KeyDown = [this](int& code, int) {
            log.push_back((form.KeyRepeats() ? "repeat " : "down ") + std::to_string(code));
        };
        form.Keys.KeyUp = [this](int& code, int) { log.push_back("up " + std::to_string(code)); };
        form.SetKeyPreview(true);
        form.show();
    }
    void TearDown() override
    {
        basic::TwipsPerPixel = 0;
        platform::SetDetectableAutoRepeatOverride(std::nullopt);
    }

    void Send(QEvent::Type type, unsigned long serverMs, bool marked = false)
    {
        QKeyEvent event(type, Qt::Key_A, Qt::NoModifier, 38, 0, 0, "a", marked);
        event.setTimestamp(serverMs);
        QCoreApplication::sendEvent(&form, &event);
    }

    platform::Form form;
    std::vector<std::string> log;
};

TEST_F(HeldKeys, RepeatsInOneBatchOrInTwoNeverReleaseTheKey)
{
    Send(QEvent::KeyPress, 1000);
    clock.Advance(660);
    // One batch, not marked by the toolkit.
    Send(QEvent::KeyRelease, 1660);
    Send(QEvent::KeyPress, 1660);
    clock.Advance(40);
    // Two batches: the press comes a few milliseconds after the release.
    Send(QEvent::KeyRelease, 1700);
    clock.Advance(4);
    Send(QEvent::KeyPress, 1700);
    clock.Advance(36);
    // Marked by the toolkit.
    Send(QEvent::KeyRelease, 1740, true);
    Send(QEvent::KeyPress, 1740, true);
    clock.Advance(500);
    EXPECT_EQ(log, (std::vector<std::string>{"down 65", "repeat 65", "repeat 65", "repeat 65"}));

    // The real release acts within 30 ms, without any further key event.
    Send(QEvent::KeyRelease, 2240);
    EXPECT_EQ(log.size(), 4U);
    clock.Advance(30);
    ASSERT_EQ(log.size(), 5U);
    EXPECT_EQ(log.back(), "up 65");
    clock.Advance(1000);
    EXPECT_EQ(log.size(), 5U) << "released once";
}

TEST_F(HeldKeys, ARealReleaseFollowedByAnotherKeyActsBeforeIt)
{
    Send(QEvent::KeyPress, 1000);
    Send(QEvent::KeyRelease, 1100);
    QKeyEvent other(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, 56, 0, 0, "b");
    other.setTimestamp(1100);
    QCoreApplication::sendEvent(&form, &other);
    EXPECT_EQ(log, (std::vector<std::string>{"down 65", "up 65", "down 66"}));
}

TEST_F(HeldKeys, UnderDetectableAutoRepeatARealReleaseActsAtOnceAndRepeatsNeverReleaseTheKey)
{
    platform::SetDetectableAutoRepeatOverride(true);
    Send(QEvent::KeyPress, 1000);
    // The server's repeats: presses alone.
    for (unsigned long at = 1660; at < 2240; at += 40) {
        clock.Advance(40);
        Send(QEvent::KeyPress, at);
    }
    std::vector<std::string> held(16, "repeat 65");
    held.front() = "down 65";
    ASSERT_EQ(log, held);

    // The release acts while the clock stands still.
    Send(QEvent::KeyRelease, 2240);
    ASSERT_EQ(log.size(), 17U);
    EXPECT_EQ(log.back(), "up 65");
    clock.Advance(1000);
    EXPECT_EQ(log.size(), 17U) << "released once";

    // The next press is a new one.
    Send(QEvent::KeyPress, 3240);
    EXPECT_EQ(log.back(), "down 65");
}

// A held shortcut acts once; the X server's times are whole milliseconds, so
// its last repeat, its key's release and a new press can share one. The new
// press acts, also when the press before it was the same key at that time.
class HeldShortcutPresses : public QObject {
public:
    HeldShortcutPresses() { platform::HeldShortcuts::Install(); }
    // The key event as the X server sends it, seen as it is read.
    static void FromServer(std::uint8_t type, std::uint8_t code, std::uint32_t time)
    {
        std::array<std::uint8_t, 32> event{};
        event[0] = type;
        event[1] = code;
        std::memcpy(event.data() + 4, &time, sizeof time);
        qintptr result = 0;
        QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", event.data(), &result);
    }
    // The press offered to a control and up to its window, then matched;
    // true when its shortcut acts.
    bool Offered(std::uint8_t code, std::uint32_t time)
    {
        for (int level = 0; level < 2; ++level) {
            QKeyEvent offer(QEvent::ShortcutOverride, Qt::Key_B, Qt::AltModifier, code, 0, 0);
            offer.setTimestamp(time);
            QCoreApplication::sendEvent(this, &offer);
        }
        QShortcutEvent shortcut(QKeySequence(Qt::ALT | Qt::Key_B), 1);
        return !QCoreApplication::sendEvent(this, &shortcut);
    }
    // A modifier's press: offered, no shortcut takes it, the control gets it.
    void ModifierOffered(std::uint8_t code, std::uint32_t time)
    {
        QKeyEvent offer(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::AltModifier, code, 0, 0);
        offer.setTimestamp(time);
        QCoreApplication::sendEvent(this, &offer);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier, code, 0, 0);
        key.setTimestamp(time);
        QCoreApplication::sendEvent(this, &key);
    }
};

TEST(HeldShortcuts, AHeldShortcutActsOnceAndANewPressInItsLastRepeatsMillisecondActs)
{
    constexpr std::uint8_t press = 2;
    constexpr std::uint8_t release = 3;
    constexpr std::uint8_t keyB = 56;
    constexpr std::uint8_t altL = 64;
    HeldShortcutPresses keys;
    HeldShortcutPresses::FromServer(press, keyB, 5000);
    EXPECT_TRUE(keys.Offered(keyB, 5000));
    HeldShortcutPresses::FromServer(press, keyB, 5100);
    EXPECT_FALSE(keys.Offered(keyB, 5100)) << "a repeat";
    // The last repeat, the releases and the next presses, read in one batch.
    HeldShortcutPresses::FromServer(press, keyB, 5120);
    HeldShortcutPresses::FromServer(release, keyB, 5120);
    HeldShortcutPresses::FromServer(release, altL, 5120);
    HeldShortcutPresses::FromServer(press, altL, 5120);
    HeldShortcutPresses::FromServer(press, keyB, 5120);
    HeldShortcutPresses::FromServer(release, keyB, 5120);
    EXPECT_FALSE(keys.Offered(keyB, 5120)) << "the last repeat";
    keys.ModifierOffered(altL, 5120);
    EXPECT_TRUE(keys.Offered(keyB, 5120)) << "the new press";
    HeldShortcutPresses::FromServer(press, keyB, 5121);
    HeldShortcutPresses::FromServer(release, keyB, 5121);
    EXPECT_TRUE(keys.Offered(keyB, 5121)) << "and the next";
}

} // namespace
