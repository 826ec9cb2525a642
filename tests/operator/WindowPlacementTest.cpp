// Where the window comes back, under a window manager that frames it (openbox)
// on the X server of the operator sessions: the frame's corner is what is
// stored and what comes back, over program starts and display switches,
// with the title bar on the screen. The X server's own view of the window
// (its position and the frame extents the window manager publishes) is read
// with xwininfo and xprop. Without them or openbox the check is skipped, with
// the reason.
#include "acceptance/SoakProgram.h"

#include "foundation/CommandLine.h"
#include "foundation/ModuleValues.h"
#include "foundation/Registry.h"
#include "foundation/SessionValues.h"
#include "mainwindow/FrmMain.h"
#include "mainwindow/OutputPlayers.h"
#include "platform/MessageBox.h"
#include "platform/PopupMenu.h"
#include "platform/ProcessStart.h"
#include "platform/SessionEndpoint.h"
#include "platform/audio/AudioSystem.h"
#include "platform/audio/NullSink.h"
#include "support/ClockFixture.h"
#include "support/ProcessUntil.h"
#include "support/ProgramGlobals.h"
#include "support/ProgramStart.h"
#include "support/ScratchFolder.h"

#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>

namespace {

using platform::audio::AudioSystem;

using testsupport::ProcessUntil;

std::string Output(const std::string& program, const QStringList& arguments)
{
    QProcess process;
    process.start(QString::fromStdString(platform::FindProgram(program)), arguments);
    process.waitForFinished(10000);
    return process.readAllStandardOutput().toStdString();
}

// The frame's corner as the X server has it: the inside's place on the
// screen less the frame the window manager says it drew; none while the
// window manager has not framed the window.
std::optional<QPoint> FrameCornerOnTheServer(const QWidget& window)
{
    const QString id = QString::number(window.winId());
    const QString extents = QString::fromStdString(Output("xprop", {"-id", id, "_NET_FRAME_EXTENTS"}));
    const QRegularExpressionMatch frame = QRegularExpression(R"(=\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+))").match(extents);
    const QString place = QString::fromStdString(Output("xwininfo", {"-id", id}));
    const QRegularExpressionMatch x = QRegularExpression(R"(Absolute upper-left X:\s*(-?\d+))").match(place);
    const QRegularExpressionMatch y = QRegularExpression(R"(Absolute upper-left Y:\s*(-?\d+))").match(place);
    if (!frame.hasMatch() || !x.hasMatch() || !y.hasMatch() || frame.captured(3).toInt() == 0) {
        return std::nullopt;
    }
    return QPoint(x.captured(1).toInt() - frame.captured(1).toInt(), y.captured(1).toInt() - frame.captured(3).toInt());
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
        manager_.start(QString::fromStdString(platform::FindProgram("openbox")), {});
        ASSERT_TRUE(manager_.waitForStarted(10000));
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
        if (manager_.state() != QProcess::NotRunning) {
            manager_.terminate();
            manager_.waitForFinished(10000);
        }
        testsupport::ResetProgramGlobals();
    }

    static void Store(const std::string& key, const std::string& value) { basic::RegWrite(key, value, "tolv"); }
    static std::string Stored(const std::string& key) { return basic::RegRead(key, "(missing)", "tolv"); }

    // Starts the program and waits until the window manager has framed its
    // window and the frame stands where the server says it is.
    FrmMain& StartAndFrame()
    {
        // The session of the run before has ended.
        program_.reset();
        platform::ReleaseProcessSession();
        program_ = std::make_unique<acceptance::SoakProgram>();
        FrmMain& window = program_->Window();
        EXPECT_EQ(window.Form_Load(), FrmMain::StartOutcome::Running);
        WaitForTheFrame(window);
        return window;
    }

    static void WaitForTheFrame(FrmMain& window)
    {
        EXPECT_TRUE(ProcessUntil(
            [&window] {
                const std::optional<QPoint> server = FrameCornerOnTheServer(window);
                return window.isVisible() && server && *server == window.frameGeometry().topLeft();
            },
            10000))
            << "the window manager framed the window and the program knows where";
    }

    // The frame's corner comes to (x, y) pixels, as the server and the
    // program have it, with the title bar on the screen.
    static void ExpectFrameAt(const FrmMain& window, int x, int y, const std::string& when)
    {
        std::optional<QPoint> server;
        ProcessUntil(
            [&] {
                server = FrameCornerOnTheServer(window);
                return server == QPoint(x, y) && window.frameGeometry().topLeft() == QPoint(x, y) &&
                       window.geometry().top() > window.frameGeometry().top();
            },
            10000);
        EXPECT_EQ(server.value_or(QPoint(-9999, -9999)), QPoint(x, y)) << when << ", on the server";
        EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(x, y)) << when << ", in the program";
        EXPECT_GE(window.frameGeometry().top(), 0) << when << ": the title bar is on the screen";
        EXPECT_GT(window.geometry().top(), window.frameGeometry().top()) << when << ": the title bar is above";
    }

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
        const QSize small = window.frameGeometry().size();
        for (int round = 0; round < 4; ++round) {
            window.MenuDispBig->trigger();
            ExpectFrameAt(window, 0, 0, "large display at the corner");
            window.MenuDispBig->trigger();
            ExpectFrameAt(window, 0, 0, "small display at the corner");
            EXPECT_EQ(window.frameGeometry().size(), small) << "round " << round;
        }
        window.EndSession();
        EXPECT_EQ(Stored("WindowLeft"), "0");
        EXPECT_EQ(Stored("WindowTop"), "0");
    }
}

} // namespace
