// The program itself, started as a process of its own: a second start handing
// its command line over, and starts on the offscreen platform and under Xvfb
// that leave a picture of the bare main window in the gallery.
#include "ProgramRun.h"
#include "ShellFixture.h"

#include "foundation/SubClass.h"
#include "mainwindow/Sessions.h"
#include "support/Gallery.h"
#include "support/HelperProcess.h"

#include <QImage>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <gmock/gmock.h>

#include <cstdlib>
#include <filesystem>

namespace {

using testing::HasSubstr;
using testsupport::HelperProcess;
using Outcome = FrmMain::StartOutcome;
using shelltest::Finished;
using shelltest::ProgramPath;
using shelltest::RunProgram;

class Program : public shelltest::ShellFixture {
protected:
    // The registry the program will use: this test's.
    QString Config() const { return QString::fromStdString(registry.Path() + "config"); }

    // Starts the program to take a picture of its main window, which it then
    // closes as at the end of a desktop session.
    void StartForPicture(const QString& launcher, const QStringList& arguments,
                         std::vector<std::pair<QString, QString>> environment, const std::string& picture)
    {
        environment.emplace_back("XDG_CONFIG_HOME", Config());
        environment.emplace_back("TOLV_AUDIO", "null");
        environment.emplace_back("TOLV_SCREENSHOT", QString::fromStdString(picture));
        const Finished finished = RunProgram(launcher, arguments, environment);
        ASSERT_EQ(finished.exitCode, 0) << finished.errors;
        const QImage image(QString::fromStdString(picture));
        ASSERT_FALSE(image.isNull());
        EXPECT_GE(image.width(), 400);
        EXPECT_GE(image.height(), 300);
        testsupport::SaveToGallery(image, std::filesystem::path(picture).stem().string());
        const std::vector<std::string> entries = DayLogEntries();
        ASSERT_GE(entries.size(), 2u);
        EXPECT_EQ(entries[entries.size() - 2], "***正常起動***");
        EXPECT_EQ(entries.back(), "***正常終了***");
        // The session end kept the window's place.
        EXPECT_NE(Stored("WindowWidth"), "(missing)");
    }
};

TEST_F(Program, ASecondStartNamingARunningSessionLeavesItsCommandLineAndEnds)
{
    Store("UseMultiSession", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    ASSERT_EQ(window->Caption(), Sessions::SessionCaption(0));

    const Finished second = RunProgram(QString::fromStdString(ProgramPath()), {"A", "C:\\shows\\night.txt"},
                                       {{"XDG_CONFIG_HOME", Config()}, {"TOLV_AUDIO", "null"}});
    EXPECT_EQ(second.exitCode, 0) << second.errors;
    EXPECT_EQ(FCT_SubClass::GetCopyDataText(window.get()), "A C:\\shows\\night.txt");
    EXPECT_EQ(FCT_SubClass::GetCopyDataText(window.get()), "");
    // The second start showed nothing and logged no start.
    const std::vector<std::string> entries = DayLogEntries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "***正常起動***"), 1);
}

TEST_F(Program, StartsOnTheOffscreenPlatform)
{
    StartForPicture(QString::fromStdString(ProgramPath()), {}, {{"QT_QPA_PLATFORM", "offscreen"}},
                    program / "main-window-offscreen.png");
}

TEST_F(Program, StartsUnderXvfb)
{
    const QString xvfbRun = QStandardPaths::findExecutable("xvfb-run");
    if (xvfbRun.isEmpty()) {
        GTEST_SKIP() << "xvfb-run is not installed";
    }
    // The program's window goes to the virtual X display, not offscreen. The
    // X keyboard library copies bounded strings that are not terminated,
    // which the sanitizer's strict string checks would take for an overflow.
    QString sanitizer = QProcessEnvironment::systemEnvironment().value("ASAN_OPTIONS");
    sanitizer.replace("strict_string_checks=1", "strict_string_checks=0");
    StartForPicture(xvfbRun,
                    {"-a", "-s", "-screen 0 1280x1024x24", "env", "-u", "QT_QPA_PLATFORM", "QT_QPA_PLATFORM=xcb",
                     QString::fromStdString(ProgramPath())},
                    {{"ASAN_OPTIONS", sanitizer}}, program / "main-window-xvfb.png");
}

TEST_F(Program, WithoutADisplayItSaysSoAndFails)
{
    const Finished finished = RunProgram(QString::fromStdString(ProgramPath()), {}, {{"XDG_CONFIG_HOME", Config()}},
                                         {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"});
    EXPECT_NE(finished.exitCode, 0);
    EXPECT_THAT(finished.errors, HasSubstr("no display"));
    EXPECT_TRUE(DayLog().empty());
}

} // namespace
