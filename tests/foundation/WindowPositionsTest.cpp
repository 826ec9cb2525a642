#include "foundation/WindowPositions.h"
#include "foundation/MessageBoxes.h"
#include "foundation/ModuleValues.h"
#include "foundation/Settings.h"
#include "platform/Form.h"
#include "platform/Screens.h"
#include "platform/base/Twips.h"
#include "support/ScratchFolder.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <string>

namespace {

// Positions go to this session's INI file beside the program.
class WindowPositions : public testing::Test {
protected:
    void SetUp() override
    {
        basic::TwipsPerPixel = 15;
        basic::SetAppPath(program.Path());
        basic::SettingsStoreName = "tolv";
        basic::SettingsIniPath = program.Write("tolv.ini", "[conf]\n");
        platform::SetScreenExtentOverride(QSize(1920, 1080)); // 28800 x 16200 twips
        basic::ForgetMonitorExtent();
    }
    void TearDown() override
    {
        basic::TwipsPerPixel = 0;
        basic::SetAppPath("");
        basic::SettingsStoreName.clear();
        basic::SettingsIniPath.clear();
        platform::SetScreenExtentOverride(std::nullopt);
        basic::ForgetMonitorExtent();
    }

    testsupport::ScratchFolder program;
};

TEST_F(WindowPositions, AWindowComesBackWhereItWas)
{
    platform::Form saved;
    saved.Move(3000, 1500, 9000, 6000);
    basic::SaveWindowPos(saved, "Mon", false, false);
    EXPECT_EQ(basic::GetSetting("WindowLeftMon"), "3000");
    EXPECT_EQ(basic::GetSetting("WindowStateMon"), "0");

    platform::Form restored;
    restored.Move(0, 0, 1500, 1500);
    basic::RestoreWindowPos(restored, "Mon", false, false, false);
    EXPECT_EQ(restored.Left(), 3000);
    EXPECT_EQ(restored.Top(), 1500);
    EXPECT_EQ(restored.Width(), 9000);
    EXPECT_EQ(restored.Height(), 6000);
}

TEST_F(WindowPositions, AWindowBeyondTodaysScreensComesBackToTheEdge)
{
    basic::SaveSetting("WindowLeft", 28800 - 599);
    basic::SaveSetting("WindowTop", -15);
    platform::Form form;
    basic::RestoreWindowPos(form, "", true, true, false);
    EXPECT_EQ(form.Left(), 0);
    EXPECT_EQ(form.Top(), 0);
    basic::SaveSetting("WindowLeft", 28800 - 600);
    basic::SaveSetting("WindowTop", 16200 - 900);
    basic::RestoreWindowPos(form, "", true, true, false);
    EXPECT_EQ(form.Left(), 28200);
    EXPECT_EQ(form.Top(), 15300);
}

TEST_F(WindowPositions, AMaximisedWindowKeepsItsNormalPlacement)
{
    platform::Form form;
    form.Move(1500, 1500, 6000, 6000);
    basic::SaveWindowPos(form, "_Big", false, false);
    form.show();
    form.SetWindowState(platform::StateMaximized);
    basic::SaveWindowPos(form, "_Big", false, false);
    EXPECT_EQ(basic::GetSetting("WindowLeft_Big"), "1500");
    EXPECT_EQ(basic::GetSetting("WindowState_Big"), "2");

    basic::SaveSetting("WindowLeft_Big", 4500);
    basic::SaveSetting("WindowState_Big", 0);
    basic::RestoreWindowPos(form, "_Big", false, false, false);
    EXPECT_EQ(form.WindowState(), platform::StateNormal) << "the state comes back";
    EXPECT_NE(form.Left(), 4500) << "a maximised window is not moved";
}

TEST_F(WindowPositions, ValuesThatAreNotNumbersLeaveTheWindowAsItIs)
{
    basic::SaveSetting("WindowLeftFade", "left");
    basic::SaveSetting("WindowWidthFade", "-3000");
    basic::SaveSetting("WindowStateFade", "7");
    platform::Form form;
    form.Move(1500, 1500, 6000, 6000);
    basic::RestoreWindowPos(form, "Fade", false, false, false);
    EXPECT_EQ(form.Left(), 1500);
    EXPECT_EQ(form.Width(), 6000);
    EXPECT_EQ(form.WindowState(), platform::StateNormal);
}

// Saved, put back on a new window that is then shown, and saved again: the
// same place and size, on every start, for the main window in either
// display and for the other windows.
TEST_F(WindowPositions, ASavedPlacementComesBackTheSameOnEveryStart)
{
    for (const std::string suffix : {"", "_Big", "Mon", "Sozai1"}) {
        basic::SaveSetting("WindowLeft" + suffix, 3000);
        basic::SaveSetting("WindowTop" + suffix, 1500);
        basic::SaveSetting("WindowWidth" + suffix, 9000);
        basic::SaveSetting("WindowHeight" + suffix, 6000);
        for (int start = 1; start <= 3; ++start) {
            platform::Form form;
            basic::RestoreWindowPos(form, suffix, false, true, false);
            form.show();
            QApplication::processEvents();
            EXPECT_EQ(form.frameGeometry(), QRect(200, 100, 600, 400)) << suffix << ", start " << start;
            basic::SaveWindowPos(form, suffix, false, true);
            EXPECT_EQ(basic::GetSetting("WindowLeft" + suffix), "3000") << suffix << ", start " << start;
            EXPECT_EQ(basic::GetSetting("WindowTop" + suffix), "1500") << suffix << ", start " << start;
            EXPECT_EQ(basic::GetSetting("WindowWidth" + suffix), "9000") << suffix << ", start " << start;
            EXPECT_EQ(basic::GetSetting("WindowHeight" + suffix), "6000") << suffix << ", start " << start;
        }
    }
}

TEST_F(WindowPositions, AWindowMovedAndSizedWhileShownComesBackThere)
{
    platform::Form first;
    first.show();
    QApplication::processEvents();
    first.setGeometry(first.geometry().translated(40, 20).adjusted(0, 0, 50, 30)); // as the operator drags
    QApplication::processEvents();
    const QRect placed = first.frameGeometry();
    basic::SaveWindowPos(first, "Fade", false, true);

    platform::Form next;
    basic::RestoreWindowPos(next, "Fade", false, true, false);
    next.show();
    QApplication::processEvents();
    EXPECT_EQ(next.frameGeometry(), placed);
    EXPECT_EQ(next.size(), first.size());
}

} // namespace
