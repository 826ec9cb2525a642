// A window's keys from a real X server (the suite's own Xvfb), on virtual
// time: the server grants detectable auto-repeat on the toolkit's connection,
// so a held key repeats as presses alone and its release reaches the window's
// KeyUp at once. The clock never moves here, so a release held back to be
// told from a repeat would never arrive. The window the server gives the
// keyboard is the active one, unless a modal window blocks it.
#include "platform/DetectableAutoRepeat.h"
#include "platform/Form.h"
#include "platform/ProcessStart.h"
#include "platform/base/Twips.h"
#include "support/ClockFixture.h"
#include "support/ProcessUntil.h"
#include "support/XTestInput.h"

#include <QAbstractNativeEventFilter>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QProcess>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using testsupport::KeyArrivals;

class RealKeys : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        if (const char* why = std::getenv("TOLV_NO_X_SERVER"); why != nullptr) {
            GTEST_SKIP() << why;
        }
        if (!input.Ready()) {
            GTEST_SKIP() << input.Why();
        }
        basic::TwipsPerPixel = 15;
        form.Keys.KeyDown = [this](int& code, int) {
            log.push_back((form.KeyRepeats() ? "repeat " : "down ") + std::to_string(code));
        };
        form.Keys.KeyUp = [this](int& code, int) { log.push_back("up " + std::to_string(code)); };
        form.SetKeyPreview(true);
        form.resize(200, 100);
        form.show();
        form.activateWindow();
    }
    void TearDown() override { basic::TwipsPerPixel = 0; }

    // Runs the event loop until done holds; false once the bound of a wait
    // for the X server has passed.
    static bool WaitFor(const std::function<bool()>& done)
    {
        return testsupport::ProcessUntil(done, testsupport::RealWaitMs);
    }

    // A menu bar with the display switch's item, Alt+B, counting its runs.
    QAction* DisplaySwitchItem(int& ran)
    {
        auto* bar = new QMenuBar(&form);
        bar->setNativeMenuBar(false);
        QAction* item = bar->addAction("Large(&B)");
        QObject::connect(item, &QAction::triggered, &form, [&ran] { ++ran; });
        bar->show();
        return item;
    }

    std::size_t Count(const std::string& entry) const
    {
        return static_cast<std::size_t>(std::count(log.begin(), log.end(), entry));
    }

    testsupport::XTestInput input;
    platform::Form form;
    std::vector<std::string> log;
    std::vector<KeyArrivals::Arrival> arrivals;
    KeyArrivals watch{[this](const KeyArrivals::Arrival& arrival) { arrivals.push_back(arrival); }};
};

TEST_F(RealKeys, AHeldKeyRepeatsAsPressesAndItsReleaseReachesTheWindowAtOnce)
{
    ASSERT_TRUE(platform::RequestDetectableAutoRepeat()) << "the X server grants detectable auto-repeat";
    ASSERT_TRUE(WaitFor([this] { return form.isActiveWindow(); })) << "the window gets the keyboard";

    constexpr unsigned long KeyA = 0x61;
    input.SetAutoRepeat(100, 20);
    input.Key(KeyA, true);
    ASSERT_TRUE(WaitFor([this] { return Count("repeat 65") >= 3; })) << "the held key repeats";
    input.Key(KeyA, false);
    const auto released = [this] {
        return std::any_of(arrivals.begin(), arrivals.end(),
                           [](const KeyArrivals::Arrival& a) { return a.type == QEvent::KeyRelease; });
    };
    ASSERT_TRUE(WaitFor(released)) << "the release comes";

    // The server sent one release, the real one, with its time: a window
    // that pairs releases with presses would have held it back.
    ASSERT_EQ(std::count_if(arrivals.begin(), arrivals.end(),
                            [](const KeyArrivals::Arrival& a) { return a.type == QEvent::KeyRelease; }),
              1);
    EXPECT_NE(arrivals.back().serverMs, 0U);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "down 65");
    EXPECT_EQ(Count("down 65"), 1U);
    EXPECT_EQ(log.back(), "up 65") << "the release acted while the clock stood still";
    EXPECT_EQ(Count("repeat 65"), log.size() - 2);
}

// Counts the presses of one key as they are offered to the window, before
// the shortcuts are matched: a held key's repeats among them.
class PressesOffered : public QObject {
public:
    explicit PressesOffered(int key) : key_(key) { QCoreApplication::instance()->installEventFilter(this); }
    ~PressesOffered() override { QCoreApplication::instance()->removeEventFilter(this); }
    PressesOffered(const PressesOffered&) = delete;
    PressesOffered& operator=(const PressesOffered&) = delete;
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride && watched == QGuiApplication::focusObject() &&
            static_cast<QKeyEvent*>(event)->key() == key_) {
            ++count;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int key_;
};

// Holding a menu's Alt+letter runs its command once, however often the
// keyboard repeats it (a display switch per repeat flips the window back and
// forth); every new press runs it again.
TEST_F(RealKeys, AHeldMenuShortcutActsOncePerPress)
{
    ASSERT_TRUE(platform::RequestDetectableAutoRepeat()) << "the X server grants detectable auto-repeat";
    int ran = 0;
    DisplaySwitchItem(ran);
    ASSERT_TRUE(WaitFor([this] { return form.isActiveWindow(); })) << "the window gets the keyboard";

    constexpr unsigned long AltL = 0xFFE9;
    constexpr unsigned long KeyB = 0x62;
    PressesOffered presses(Qt::Key_B);
    input.SetAutoRepeat(100, 20);
    input.Key(AltL, true);
    input.Key(KeyB, true);
    ASSERT_TRUE(WaitFor([&presses] { return presses.count >= 4; })) << "the held keys repeat";
    input.Key(KeyB, false);
    input.Key(AltL, false);
    EXPECT_EQ(ran, 1) << "once for the whole hold";

    for (int press = 0; press < 2; ++press) {
        const int offered = presses.count;
        input.Key(AltL, true);
        input.Key(KeyB, true);
        input.Key(KeyB, false);
        input.Key(AltL, false);
        ASSERT_TRUE(WaitFor([&] { return presses.count > offered; }));
    }
    ASSERT_TRUE(WaitFor([&ran] { return ran == 3; })) << "each new press acts: " << ran;
}

// A press that a menu's shortcut takes, its item enabled or not, still
// reaches the window's KeyDown, with Alt, before its release reaches KeyUp:
// the window sees every key, and no release comes without its press.
TEST_F(RealKeys, APressAMenuShortcutTakesReachesKeyDownBeforeItsRelease)
{
    ASSERT_TRUE(platform::RequestDetectableAutoRepeat()) << "the X server grants detectable auto-repeat";
    std::vector<int> shifts;
    form.Keys.KeyDown = [this, &shifts](int& code, int shift) {
        log.push_back("down " + std::to_string(code));
        shifts.push_back(shift);
    };
    int ran = 0;
    QAction* large = DisplaySwitchItem(ran);
    ASSERT_TRUE(WaitFor([this] { return form.isActiveWindow(); })) << "the window gets the keyboard";

    constexpr unsigned long AltL = 0xFFE9;
    constexpr unsigned long KeyB = 0x62;
    for (const bool enabled : {true, false}) {
        SCOPED_TRACE(enabled ? "item enabled" : "item disabled");
        large->setEnabled(enabled);
        log.clear();
        shifts.clear();
        // Alt let go before B.
        input.Key(AltL, true);
        input.Key(KeyB, true);
        input.Key(AltL, false);
        input.Key(KeyB, false);
        ASSERT_TRUE(WaitFor([this] { return Count("up 66") == 1; })) << "B's release reaches KeyUp";
        ASSERT_EQ(Count("down 66"), 1U);
        EXPECT_LT(std::find(log.begin(), log.end(), "down 66"), std::find(log.begin(), log.end(), "up 66"));
        const auto press = std::find(log.begin(), log.end(), "down 66") - log.begin();
        EXPECT_EQ(shifts[static_cast<std::size_t>(press)], 4) << "pressed with Alt";
    }
    EXPECT_EQ(ran, 1) << "the enabled item acted, the disabled one not";
}

// Counts the X server's focus-in events of one window as they reach the
// program, before the toolkit handles them.
class FocusIns : public QAbstractNativeEventFilter {
public:
    explicit FocusIns(const QWidget& window) : window_(static_cast<std::uint32_t>(window.winId()))
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~FocusIns() override { QCoreApplication::instance()->removeNativeEventFilter(this); }
    FocusIns(const FocusIns&) = delete;
    FocusIns& operator=(const FocusIns&) = delete;
    int count = 0;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        // An X focus event: its type, the way the focus came, a sequence
        // number, then the window.
        constexpr std::uint8_t FocusIn = 9;
        std::uint8_t type = 0;
        std::uint32_t window = 0;
        if (eventType == "xcb_generic_event_t" && message != nullptr) {
            std::memcpy(&type, message, sizeof type);
            std::memcpy(&window, static_cast<const char*>(message) + 4, sizeof window);
            count += (type & 0x7FU) == FocusIn && window == window_ ? 1 : 0;
        }
        return false;
    }

private:
    std::uint32_t window_;
};

// The main window is rebuilt behind a modal window (hidden and shown again)
// and the X server gives it the keyboard: the modal window stays the active
// one, as the window it blocks must not take its keys and shortcuts.
TEST_F(RealKeys, AWindowShownAgainBehindAModalWindowLeavesTheModalWindowActive)
{
    if (platform::FindProgram("xdotool").empty()) {
        GTEST_SKIP() << "xdotool is needed (scripts/install-deps installs it)";
    }
    ASSERT_TRUE(WaitFor([this] { return form.isActiveWindow(); })) << "the window gets the keyboard";
    platform::Form dialog(&form);
    dialog.resize(150, 80);
    bool checked = false;
    QTimer::singleShot(0, &dialog, [&] {
        if (WaitFor([&dialog] { return dialog.isActiveWindow(); })) {
            form.hide();
            form.show();
            if (WaitFor([this] { return form.windowHandle()->isExposed(); })) {
                FocusIns focus(form);
                QProcess::execute(QString::fromStdString(platform::FindProgram("xdotool")),
                                  {"windowfocus", QString::number(form.winId())});
                // What the program does on the focus-in it does at once or
                // at the next turn of the loop: a turn after the one that
                // saw it.
                bool asked = false;
                const auto turned = std::make_shared<bool>(false);
                checked = WaitFor([&] {
                    if (focus.count > 0 && !asked) {
                        asked = true;
                        QTimer::singleShot(0, &dialog, [turned] { *turned = true; });
                    }
                    return *turned;
                });
                EXPECT_EQ(QApplication::activeWindow(), &dialog) << "the modal window stays active";
                EXPECT_FALSE(form.isActiveWindow()) << "the window it blocks takes no keys";
            }
        }
        dialog.hide();
    });
    dialog.ShowModal();
    EXPECT_TRUE(checked) << "the X server gave the shown window the keyboard";
}

} // namespace
