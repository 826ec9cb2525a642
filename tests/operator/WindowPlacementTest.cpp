// Where the window comes back, under a window manager that frames it (openbox)
// on the X server of the operator sessions, and without one: the frame's
// corner is what is stored and what comes back, over program starts and
// display switches, with the title bar on the screen; the display switches
// come from the keyboard, as an operator gives them, and leave the keyboard
// with the window. The X server's own view of the window (its position and
// the frame extents the window manager publishes) is read with xwininfo and
// xprop. Without them or openbox the check is skipped, with the reason.
#include "AnswerWhenShown.h"

#include "acceptance/SoakProgram.h"

#include "controls/UC_Bar.h"
#include "dialogs/ConfigDialog.h"
#include "dialogs/FrmConf.h"
#include "foundation/CommandLine.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Registry.h"
#include "foundation/SessionValues.h"
#include "mainwindow/FrmMain.h"
#include "mainwindow/OutputPlayers.h"
#include "platform/Form.h"
#include "platform/MessageBox.h"
#include "platform/PopupMenu.h"
#include "platform/ProcessStart.h"
#include "platform/ServerState.h"
#include "platform/SessionEndpoint.h"
#include "platform/audio/AudioSystem.h"
#include "platform/audio/NullSink.h"
#include "platform/base/Twips.h"
#include "support/ClockFixture.h"
#include "support/Gallery.h"
#include "support/ProcessUntil.h"
#include "support/ProgramGlobals.h"
#include "support/ProgramStart.h"
#include "support/ScratchFolder.h"
#include "support/ScreenManagers.h"
#include "support/StandInWindowManager.h"
#include "support/XTestInput.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMoveEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace {

using platform::audio::AudioSystem;

using testsupport::ProcessUntil;
using testsupport::YieldUntil;

std::string Output(const std::string& program, const QStringList& arguments)
{
    QProcess process;
    process.start(QString::fromStdString(platform::FindProgram(program)), arguments);
    process.waitForFinished(testsupport::RealWaitMs);
    return process.readAllStandardOutput().toStdString();
}

// The frame's corner as the X server has it: the inside's place on the
// screen less the frame the window manager says it drew, or the inside's
// place where no window manager runs; none while the window manager has not
// framed the window, or while it is not shown.
std::optional<QPoint> FrameCornerOnTheServer(const QWidget& window, bool managed = true)
{
    const QString id = QString::number(window.winId());
    const QString extents = QString::fromStdString(Output("xprop", {"-id", id, "_NET_FRAME_EXTENTS"}));
    const QRegularExpressionMatch frame = QRegularExpression(R"(=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+))").match(extents);
    const QString place = QString::fromStdString(Output("xwininfo", {"-id", id}));
    const QRegularExpressionMatch x = QRegularExpression(R"(Absolute upper-left X:\s*(-?\d+))").match(place);
    const QRegularExpressionMatch y = QRegularExpression(R"(Absolute upper-left Y:\s*(-?\d+))").match(place);
    if (!x.hasMatch() || !y.hasMatch() || !place.contains("IsViewable")) {
        return std::nullopt;
    }
    if (!managed) {
        return QPoint(x.captured(1).toInt(), y.captured(1).toInt());
    }
    if (!frame.hasMatch() || frame.captured(3).toInt() == 0) {
        return std::nullopt;
    }
    return QPoint(x.captured(1).toInt() - frame.captured(1).toInt(), y.captured(1).toInt() - frame.captured(3).toInt());
}

// The state of a process as /proc/<pid>/stat gives it (T when stopped by a
// signal), or 0 once it has ended.
char ProcessState(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return 0;
    }
    const std::size_t end = line.rfind(')');
    if (end == std::string::npos || end + 2 >= line.size()) {
        return 0;
    }
    return line[end + 2];
}

// Keeps a window manager stopped while in scope: it answers nothing then, as
// one slow to answer on a busy machine. It is stopped only where it does not
// hold the server grabbed (openbox grabs it while it takes a window on or
// lets one go): stopped there, it would stop every other client with it.
// Fails (fatally) where that cannot be had.
class WindowManagerStopped {
public:
    WindowManagerStopped(const QProcess& manager, testsupport::OwnXConnection& screen)
        : pid_(static_cast<pid_t>(manager.processId()))
    {
        Stop(screen);
    }
    ~WindowManagerStopped() { kill(pid_, SIGCONT); }
    WindowManagerStopped(const WindowManagerStopped&) = delete;
    WindowManagerStopped& operator=(const WindowManagerStopped&) = delete;

private:
    void Stop(testsupport::OwnXConnection& screen)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            kill(pid_, SIGSTOP);
            // The signal takes effect when the process next runs: the server
            // is asked once it has.
            if (!YieldUntil([this] { return Stopped(); }, testsupport::RealWaitMs)) {
                FAIL() << "the window manager did not stop within " << testsupport::RealWaitMs / 1000
                       << " s of SIGSTOP (state " << ProcessState(pid_) << " in /proc/" << pid_ << "/stat)";
            }
            if (screen.ServerAnswersWithin(500)) {
                return;
            }
            kill(pid_, SIGCONT);
            // Let go, it ends what it holds the server for.
            (void)screen.ServerAnswersWithin(testsupport::RealWaitMs);
        }
        FAIL() << "the window manager always held the server";
    }

    // Stopped by a signal, or ended.
    bool Stopped() const
    {
        const char state = ProcessState(pid_);
        return state == 'T' || state == 'Z' || state == 'X' || state == 0;
    }

    pid_t pid_;
};

// Counts the times a window is shown (once for each display switch), and
// runs onHide when it is hidden.
class ShowCount : public QObject {
public:
    explicit ShowCount(QWidget& window) { window.installEventFilter(this); }
    int shown = 0;
    std::function<void()> onHide;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            ++shown;
        } else if (event->type() == QEvent::Hide && onHide) {
            onHide();
        }
        return QObject::eventFilter(watched, event);
    }
};

// Notes when the window system tells a window it moved to a place.
class MoveHeard : public QObject {
public:
    MoveHeard(QWidget& window, QPoint place) : place_(place) { window.installEventFilter(this); }
    bool heard = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Move && event->spontaneous()) {
            heard = heard || static_cast<QMoveEvent*>(event)->pos() == place_;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPoint place_;
};

// Notes when a window the window system took off the screen is shown (as
// the toolkit has it) again.
class ShownAgain : public QObject {
public:
    explicit ShownAgain(QWindow& window) : window_(window) { window.installEventFilter(this); }
    bool shown = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose) {
            lost_ = lost_ || !window_.isExposed();
            shown = shown || (lost_ && window_.isExposed());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWindow& window_;
    bool lost_ = false;
};

// Runs the event loop for ms of real time: the pace of an operator's keys.
void KeepRunningFor(int ms)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

// Text on an idle position bar: its empty track changes only from top to
// bottom, so what in its middle differs from the track at its left end is
// the text.
int TextPixels(const controls::UC_Bar& bar)
{
    const QImage image = bar.Picture().Image();
    int text = 0;
    for (int y = 2; y < image.height() - 2; ++y) {
        const int track = qGray(image.pixel(3, y));
        for (int x = image.width() / 4; x < image.width() * 3 / 4; ++x) {
            text += std::abs(qGray(image.pixel(x, y)) - track) > 40 ? 1 : 0;
        }
    }
    return text;
}

class WindowPlacement : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        if (const char* why = std::getenv("TOLV_NO_X_SERVER"); why != nullptr) {
            GTEST_SKIP() << why;
        }
        if (platform::FindProgram("openbox").empty() || platform::FindProgram("xprop").empty() ||
            platform::FindProgram("xwininfo").empty()) {
            GTEST_SKIP() << "openbox, xprop and xwininfo are needed (scripts/install-deps installs them)";
        }
        if (!screen_.Ready()) {
            GTEST_SKIP() << screen_.Why();
        }
        ASSERT_NO_FATAL_FAILURE(StartTheWindowManager());
        SetNow(Date(2026, 3, 10), At(9, 0, 0));
        testsupport::PrepareProgramStart(program.Path(), 48000);
        // The sessions before leave their settings in the same store.
        Store("PlayerType", "3");
        Store("NumOut", "1");
        Store("IsList_1", "0");
        Store("DispBig", "0");
        Store("WindowWidth", "16500");
        Store("WindowHeight", "10500");
        Store("WindowWidth_Big", "");
        Store("WindowHeight_Big", "");
        Store("WindowLeft_Big", "");
        Store("WindowTop_Big", "");
        Store("DeviceWave_1", "Null 1");
        Store("DeviceWaveMon", "Null 4");
    }
    void TearDown() override
    {
        program_.reset();
        StopTheWindowManager();
        testsupport::ResetProgramGlobals();
    }

    // Starts openbox and waits until it owns the screen.
    void StartTheWindowManager()
    {
        manager_.start(QString::fromStdString(platform::FindProgram("openbox")), {});
        ASSERT_TRUE(manager_.waitForStarted(testsupport::RealWaitMs));
        ASSERT_TRUE(ProcessUntil(
            [this] { return manager_.state() != QProcess::Running || screen_.WindowManagerOwnsTheScreen(); },
            testsupport::RealWaitMs));
        ASSERT_EQ(manager_.state(), QProcess::Running) << "openbox took the screen";
        managed_ = true;
    }

    void StopTheWindowManager()
    {
        if (manager_.state() != QProcess::NotRunning) {
            manager_.terminate();
            manager_.waitForFinished(testsupport::RealWaitMs);
        }
        managed_ = false;
    }

    static void Store(const std::string& key, const std::string& value) { basic::RegWrite(key, value, "tolv"); }
    static std::string Stored(const std::string& key) { return basic::RegRead(key, "(missing)", "tolv"); }

    // Starts the program: its window is shown.
    FrmMain& Start()
    {
        // The session of the run before has ended.
        program_.reset();
        platform::ReleaseProcessSession();
        program_ = std::make_unique<acceptance::SoakProgram>();
        FrmMain& window = program_->Window();
        EXPECT_EQ(window.Form_Load(), FrmMain::StartOutcome::Running);
        return window;
    }

    // Starts the program and waits until the window manager has framed its
    // window and the frame stands where the server says it is.
    FrmMain& StartAndFrame()
    {
        FrmMain& window = Start();
        WaitForTheFrame(window);
        return window;
    }

    // The frame's corner as the program has it (what it stores), pixels.
    static QPoint Corner(const FrmMain& window) { return QPoint(window.Left(), window.Top()) / basic::TwipsPerPixel; }

    void WaitForTheFrame(FrmMain& window) const
    {
        EXPECT_TRUE(ProcessUntil(
            [&window, this] {
                const std::optional<QPoint> server = FrameCornerOnTheServer(window, managed_);
                return window.isVisible() && window.windowHandle()->isExposed() && server && *server == Corner(window);
            },
            testsupport::RealWaitMs))
            << "the window manager framed the window and the program knows where";
    }

    // The frame's corner comes to (x, y) pixels, as the server and the
    // program have it, with the title bar on the screen.
    void ExpectFrameAt(const FrmMain& window, int x, int y, const std::string& when) const
    {
        std::optional<QPoint> server;
        ProcessUntil(
            [&] {
                server = FrameCornerOnTheServer(window, managed_);
                return server == QPoint(x, y) && Corner(window) == QPoint(x, y) &&
                       (!managed_ || window.geometry().top() > Corner(window).y());
            },
            testsupport::RealWaitMs);
        EXPECT_EQ(server.value_or(QPoint(-9999, -9999)), QPoint(x, y)) << when << ", on the server";
        EXPECT_EQ(Corner(window), QPoint(x, y)) << when << ", in the program";
        EXPECT_GE(Corner(window).y(), 0) << when << ": the title bar is on the screen";
        if (managed_) {
            EXPECT_GT(window.geometry().top(), Corner(window).y()) << when << ": the title bar is above";
        }
    }

    // The configuration dialog, opened from its menu and closed with OK,
    // nothing changed in it: the window is rebuilt from the settings.
    void ConfirmTheConfiguration(FrmMain& window)
    {
        bool confirmed = false;
        // The OK comes from the dialog's own event loop once it shows.
        operatortest::AnswerWhenShown([this] { return program_->Config().Window(); },
                                      [&](QWidget& dialog) { confirmed = static_cast<FrmConf&>(dialog).OK(); },
                                      [&] { window.MenuConf->trigger(); });
        EXPECT_TRUE(confirmed) << "the dialog took the OK";
        EXPECT_EQ(parms::ConfigConfirmed, 1);
    }

    // Two outputs side by side that fit the screen, their position bars
    // showing the remaining time (the default).
    static void StoreTwoOutputs()
    {
        Store("NumOut", "2");
        Store("IsList_2", "0");
        Store("DeviceWave_2", "Null 2");
        for (const char* key : {"ModuleX_1", "ModuleX_2"}) {
            Store(key, "4");
        }
        for (const char* key : {"ModuleY_1", "ModuleY_2"}) {
            Store(key, "3");
        }
        Store("WindowLeft", "3000");
        Store("WindowTop", "1500");
        // A first start: the window takes the size its layout needs.
        Store("WindowWidth", "");
        Store("WindowHeight", "");
    }

    // Alt+B three times, apartMs from one press to the next (later only
    // where the window is not back yet: no key reaches a hidden window);
    // each press switches the display once, the frame's corner stays at
    // (200, 100) and the window keeps the keyboard.
    void SwitchThreeTimes(FrmMain& window, int apartMs, const std::string& how)
    {
        SCOPED_TRACE(how);
        constexpr unsigned long AltL = 0xFFE9;
        constexpr unsigned long KeyB = 0x62;
        ShowCount count(window);
        // The operator lets go of the keys while the window is hidden to be
        // rebuilt: their releases go to no window of the program.
        bool held = false;
        count.onHide = [&] {
            if (held) {
                keys.Key(KeyB, false);
                keys.Key(AltL, false);
                held = false;
            }
        };
        const bool big = window.State.DispBig != 0;
        for (int press = 1; press <= 3; ++press) {
            ASSERT_TRUE(ProcessUntil([&window] { return window.isVisible() && window.isActiveWindow(); },
                                     testsupport::RealWaitMs))
                << "the window has the keyboard before press " << press;
            keys.Key(AltL, true);
            keys.Key(KeyB, true);
            held = true;
            KeepRunningFor(apartMs);
            count.onHide();
            if (apartMs >= 1000) {
                ExpectFrameAt(window, 200, 100, how + ", switch " + std::to_string(press));
            }
        }
        ProcessUntil([&] { return count.shown >= 3 && window.isActiveWindow(); }, testsupport::RealWaitMs);
        ExpectFrameAt(window, 200, 100, how);
        EXPECT_EQ(count.shown, 3) << "each press switched once";
        EXPECT_NE(window.State.DispBig != 0, big);
        EXPECT_TRUE(window.isActiveWindow()) << "the keyboard stays with the window";
    }

    // Three switches 0.3 s apart and three 2 s apart, from the first
    // picture on: each strip's position bar shows its remaining time.
    void SwitchByKeys(const std::string& name)
    {
        if (!keys.Ready()) {
            GTEST_SKIP() << keys.Why();
        }
        StoreTwoOutputs();
        FrmMain& window = StartAndFrame();
        ExpectFrameAt(window, 200, 100, "first start");
        const auto expectTimesDrawn = [&window](const std::string& when) {
            for (int slot = 0; slot < 2; ++slot) {
                const controls::UC_Bar* bar = window.ProgBar.At(slot);
                ASSERT_NE(bar, nullptr);
                EXPECT_EQ(bar->TextToDisp().substr(0, 1), "-") << "output " << slot + 1 << ", " << when;
                EXPECT_GT(TextPixels(*bar), 20) << "output " << slot + 1 << "'s remaining time is drawn, " << when;
            }
        };
        expectTimesDrawn("first picture");
        testsupport::SaveToGallery(window.grab().toImage(), name);
        // Without a window manager, the operator's first click gives the
        // window the keyboard.
        window.activateWindow();
        SwitchThreeTimes(window, 300, "0.3 s apart");
        SwitchThreeTimes(window, 2000, "2 s apart");
        expectTimesDrawn("after the switches");
        window.EndSession();
    }

    testsupport::XTestInput keys;
    testsupport::OwnXConnection screen_;
    bool managed_ = true;

    testsupport::ScratchFolder program;
    std::unique_ptr<acceptance::SoakProgram> program_;
    QProcess manager_;
};

TEST_F(WindowPlacement, TheFrameComesBackWhereItWasOverStartsAndDisplaySwitches)
{
    // 200, 100 pixels at 15 twips a pixel.
    Store("WindowLeft", "3000");
    Store("WindowTop", "1500");
    {
        FrmMain& window = StartAndFrame();
        ExpectFrameAt(window, 200, 100, "first start");
        window.EndSession();
        EXPECT_EQ(Stored("WindowLeft"), "3000");
        EXPECT_EQ(Stored("WindowTop"), "1500");
    }
    {
        FrmMain& window = StartAndFrame();
        ExpectFrameAt(window, 200, 100, "second start");

        // Large and back: no stored place for the large display, so it stays.
        window.MenuDispBig->trigger();
        ExpectFrameAt(window, 200, 100, "large display");
        window.MenuDispBig->trigger();
        ExpectFrameAt(window, 200, 100, "small display again");
        EXPECT_EQ(Stored("WindowLeft_Big"), "3000");
        EXPECT_EQ(Stored("WindowTop_Big"), "1500");
        window.EndSession();
        EXPECT_EQ(Stored("WindowLeft"), "3000");
        EXPECT_EQ(Stored("WindowTop"), "1500");
    }
    {
        // A window stored at the screen's corner keeps its title bar on it.
        Store("WindowLeft", "0");
        Store("WindowTop", "0");
        Store("WindowLeft_Big", "");
        Store("WindowTop_Big", "");
        FrmMain& window = StartAndFrame();
        ExpectFrameAt(window, 0, 0, "at the corner");
        // Switched back and forth there, the window may be exposed before its
        // frame is known again: it stays framed at the corner, at its size.
        const QSize small = QSize(window.Width(), window.Height()) / basic::TwipsPerPixel;
        for (int round = 0; round < 4; ++round) {
            window.MenuDispBig->trigger();
            ExpectFrameAt(window, 0, 0, "large display at the corner");
            window.MenuDispBig->trigger();
            ExpectFrameAt(window, 0, 0, "small display at the corner");
            EXPECT_EQ(QSize(window.Width(), window.Height()) / basic::TwipsPerPixel, small) << "round " << round;
        }
        window.EndSession();
        EXPECT_EQ(Stored("WindowLeft"), "0");
        EXPECT_EQ(Stored("WindowTop"), "0");
    }
}

TEST_F(WindowPlacement, AFirstStartPutsTheFrameWhereAskedWithTheWindowManagerSlowToAnswer)
{
    struct Case {
        const char* commandLine;
        QPoint corner;
    };
    // Nothing stored of the window: the screen's corner, or the place the
    // command line gives.
    for (const Case& start : {Case{"", QPoint(0, 0)}, Case{"X=200 Y=150", QPoint(200, 150)}}) {
        SCOPED_TRACE(start.commandLine);
        for (const char* key : {"WindowLeft", "WindowTop", "WindowWidth", "WindowHeight"}) {
            Store(key, "");
        }
        basic::SetProgramCommandLine(start.commandLine);
        FrmMain* started = nullptr;
        {
            std::optional<WindowManagerStopped> slow;
            ASSERT_NO_FATAL_FAILURE(slow.emplace(manager_, screen_));
            started = &Start();
            ASSERT_EQ(platform::ServerWindowTaken(*started), false) << "the window waits for the window manager";
        }
        FrmMain& window = *started;
        WaitForTheFrame(window);
        ExpectFrameAt(window, start.corner.x(), start.corner.y(), "first start");
        window.MenuDispBig->trigger();
        ExpectFrameAt(window, start.corner.x(), start.corner.y(), "first display switch");
        ConfirmTheConfiguration(window);
        ExpectFrameAt(window, start.corner.x(), start.corner.y(), "the configuration dialog's OK");
        window.EndSession();
    }
    basic::SetProgramCommandLine("");
}

TEST_F(WindowPlacement, AWindowAStartingWindowManagerDropsComesBackOnTheScreen)
{
    // A window manager that is starting takes the map request and answers
    // none that reach it then (openbox does so on a busy machine); it
    // answers the next one. Later it lets go of the window: it unmaps it and
    // keeps it no more.
    StopTheWindowManager();
    testsupport::OwnXConnection starting;
    ASSERT_TRUE(starting.Ready()) << starting.Why();
    ASSERT_TRUE(starting.RedirectTheScreen()) << "no other window manager has the screen";
    FrmMain& window = Start();
    const auto id = static_cast<std::uint32_t>(window.winId());
    ASSERT_TRUE(ProcessUntil([&] { return starting.MapRequestsFor(id) >= 1; }, testsupport::RealWaitMs))
        << "the map request reached the window manager";
    EXPECT_EQ(platform::ServerWindowTaken(window), false) << "the window is not on the screen";
    ASSERT_TRUE(ProcessUntil([&] { return starting.MapRequestsFor(id) >= 2; }, testsupport::RealWaitMs))
        << "the program asks again while its window is not on the screen";
    // The stand-in answers no configure request: the window's place is
    // the other checks' matter.
    const auto shown = [&window] {
        return FrameCornerOnTheServer(window, false).has_value() && window.windowHandle()->isExposed();
    };
    starting.Map(id);
    EXPECT_TRUE(ProcessUntil(shown, testsupport::RealWaitMs)) << "shown at the request answered";

    starting.Unmap(id);
    ASSERT_TRUE(ProcessUntil([&] { return starting.MapRequestsFor(id) >= 3; }, testsupport::RealWaitMs))
        << "the program asks again once the window manager let go of its window";
    starting.Map(id);
    EXPECT_TRUE(ProcessUntil(shown, testsupport::RealWaitMs)) << "shown again";
    window.EndSession();
}

// A session that starts the program and the window manager together may
// show the window before the window manager runs: the window manager then
// frames it where it stands. The whole window keeps its place and size, so
// that the next start does not find it a title bar higher and larger.
TEST_F(WindowPlacement, AWindowManagerStartedAfterTheWindowKeepsItsPlaceAndSizeOverStarts)
{
    StopTheWindowManager();
    Store("WindowLeft", "3000");
    Store("WindowTop", "2250");
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE("start " + std::to_string(start + 1));
        FrmMain& window = StartAndFrame();
        ExpectFrameAt(window, 200, 150, "no window manager");
        const QSize outer(window.Width(), window.Height());
        ASSERT_NO_FATAL_FAILURE(StartTheWindowManager());
        WaitForTheFrame(window);
        ExpectFrameAt(window, 200, 150, "framed by the window manager that started");
        EXPECT_TRUE(
            ProcessUntil([&] { return QSize(window.Width(), window.Height()) == outer; }, testsupport::RealWaitMs))
            << "the whole window keeps its size";
        window.EndSession();
        EXPECT_EQ(Stored("WindowLeft"), "3000");
        EXPECT_EQ(Stored("WindowTop"), "2250");
        EXPECT_EQ(Stored("WindowWidth"), std::to_string(outer.width()));
        EXPECT_EQ(Stored("WindowHeight"), std::to_string(outer.height()));
        StopTheWindowManager();
    }
}

TEST_F(WindowPlacement, AltBSwitchesOncePerPressAndTheCornerStaysWithAWindowManager)
{
    SwitchByKeys("first-picture-two-outputs-openbox");
}

TEST_F(WindowPlacement, AltBSwitchesOncePerPressAndTheCornerStaysWithoutAWindowManager)
{
    StopTheWindowManager();
    SwitchByKeys("first-picture-two-outputs-no-window-manager");
}

// A window manager that does not publish its frame may take over a shown
// window in steps: the window goes into a frame made unseen, the frame grows
// around it, and is shown last. Until then the frame is not known: the
// whole window keeps its place and size when the frame comes.
TEST_F(WindowPlacement, AWindowManagerBuildingItsFrameUnseenTakesTheWindowOverWhereItStood)
{
    StopTheWindowManager();
    Store("WindowLeft", "3000");
    Store("WindowTop", "2250");
    FrmMain& window = StartAndFrame();
    ExpectFrameAt(window, 200, 150, "no window manager");
    const QSize outer = QSize(window.Width(), window.Height()) / basic::TwipsPerPixel;
    const testsupport::StandInWindowManager::Sides sides{3, 21, 5, 4};
    testsupport::StandInWindowManager manager(sides);
    ASSERT_TRUE(manager.Ready()) << manager.Why();
    const auto id = static_cast<std::uint32_t>(window.winId());

    // A while later (the window's own checks of its place are over).
    clock.Advance(2000);
    ShownAgain reparented(*window.windowHandle());
    manager.Reparent(id);
    ASSERT_TRUE(ProcessUntil([&] { return reparented.shown; }, testsupport::RealWaitMs))
        << "the window heard it was put in the frame being built";
    MoveHeard grown(window, QPoint(200 - sides.left, 150 - sides.top));
    manager.GrowFrame(id);
    ASSERT_TRUE(ProcessUntil(
        [&] {
            manager.Serve();
            return grown.heard;
        },
        testsupport::RealWaitMs))
        << "the window heard where the frame being built put it";
    manager.ShowFrame(id);
    const testsupport::StandInWindowManager::Rect whole{200, 150, outer.width(), outer.height()};
    std::optional<testsupport::StandInWindowManager::Rect> frame;
    ProcessUntil(
        [&] {
            manager.Serve();
            frame = manager.FrameOf(id);
            return frame == whole && Corner(window) == QPoint(200, 150) &&
                   QSize(window.Width(), window.Height()) / basic::TwipsPerPixel == outer;
        },
        testsupport::RealWaitMs);
    EXPECT_EQ(frame, whole) << "the frame stands where the window stood, as large, on the server";
    EXPECT_EQ(Corner(window), QPoint(200, 150)) << "in the program";
    EXPECT_EQ(QSize(window.Width(), window.Height()) / basic::TwipsPerPixel, outer) << "in the program";
    window.EndSession();
    EXPECT_EQ(Stored("WindowLeft"), "3000");
    EXPECT_EQ(Stored("WindowTop"), "2250");
}

// A window of the program shown the first time is mapped with its inside
// beside the frame the program's window framed last got: a window manager
// that keeps the inside where asked shows its frame where asked at once.
TEST_F(WindowPlacement, AWindowShownTheFirstTimeIsMappedWithItsFrameWhereAsked)
{
    StopTheWindowManager();
    const testsupport::StandInWindowManager::Sides sides{2, 19, 6, 3};
    testsupport::StandInWindowManager manager(sides);
    ASSERT_TRUE(manager.Ready()) << manager.Why();
    manager.FrameWhenMapped();
    Store("WindowLeft", "3000");
    Store("WindowTop", "2250");
    FrmMain& window = Start();
    const auto mainId = static_cast<std::uint32_t>(window.winId());
    ASSERT_TRUE(ProcessUntil(
        [&] {
            manager.Serve();
            const auto frame = manager.FrameOf(mainId);
            return frame && QPoint(frame->x, frame->y) == QPoint(200, 150) && Corner(window) == QPoint(200, 150) &&
                   window.windowHandle()->isExposed();
        },
        testsupport::RealWaitMs))
        << "the main window is framed where stored";

    platform::Form other;
    other.resize(320, 240);
    other.Move(600 * basic::TwipsPerPixel, 300 * basic::TwipsPerPixel);
    other.show();
    const auto otherId = static_cast<std::uint32_t>(other.winId());
    std::optional<testsupport::StandInWindowManager::Rect> first;
    ASSERT_TRUE(ProcessUntil(
        [&] {
            manager.Serve();
            first = manager.FirstFrameOf(otherId);
            return first.has_value();
        },
        testsupport::RealWaitMs))
        << "the window manager framed the window";
    EXPECT_EQ(QPoint(first->x, first->y), QPoint(600, 300)) << "the frame first shown where asked";
    EXPECT_TRUE(ProcessUntil(
        [&] {
            manager.Serve();
            const auto frame = manager.FrameOf(otherId);
            return frame && QPoint(frame->x, frame->y) == QPoint(600, 300) &&
                   QPoint(other.Left(), other.Top()) == QPoint(600, 300) * basic::TwipsPerPixel;
        },
        testsupport::RealWaitMs))
        << "and stays there";
    other.hide();
    window.EndSession();
}

} // namespace
