// The shell panel of an output: the material browser keyword, starting a
// command line as a program of its own, and which clicks count.
#include "ShellFixture.h"

#include "foundation/WindowPositions.h"
#include "mainwindow/ShellPanel.h"
#include "platform/Form.h"
#include "support/RealWait.h"

#include <gmock/gmock.h>

#include <chrono>
#include <filesystem>
#include <sched.h>
#include <unistd.h>

namespace {

using shelltest::ShellFixture;
using testing::ElementsAre;
using Outcome = FrmMain::StartOutcome;

TEST(ShellPanelCommand, TheKeywordInAnyLetterCase)
{
    EXPECT_TRUE(ShellPanel::OpensMaterialBrowser("sozai"));
    EXPECT_TRUE(ShellPanel::OpensMaterialBrowser("SOZAI"));
    EXPECT_TRUE(ShellPanel::OpensMaterialBrowser("Sozai"));
    EXPECT_FALSE(ShellPanel::OpensMaterialBrowser("sozai "));
    EXPECT_FALSE(ShellPanel::OpensMaterialBrowser("sozai.exe"));
}

TEST(ShellPanelCommand, TheWindowLookedForIsNamedAfterTheExeFile)
{
    EXPECT_EQ(ShellPanel::WindowTitleOfCommand("C:\\Tools\\Cue.exe /play 3"), "Cue");
    EXPECT_EQ(ShellPanel::WindowTitleOfCommand("\"C:\\Program Files\\Cue Pro.exe\" -x"), "Cue Pro");
    EXPECT_EQ(ShellPanel::WindowTitleOfCommand("wine /opt/cue/Cue.exe"), "Cue");
    // The extension is compared exactly: capitals start the program only.
    EXPECT_EQ(ShellPanel::WindowTitleOfCommand("C:\\Tools\\Cue.EXE"), "");
    EXPECT_EQ(ShellPanel::WindowTitleOfCommand("/usr/bin/audacity"), "");
}

TEST(ShellPanelCommand, ArgumentsKeepQuotedBlanks)
{
    EXPECT_THAT(ShellPanel::CommandArguments("/usr/bin/cue --show \"Morning Show\""),
                ElementsAre("/usr/bin/cue", "--show", "Morning Show"));
    EXPECT_TRUE(ShellPanel::CommandArguments("").empty());
}

class ShellPanelTest : public ShellFixture {
protected:
    void Click(int output, int button = 1, bool isDown = false)
    {
        window->TextShell_MouseUD(output, button, isDown, 0);
    }
    std::vector<std::string> BrowserCalls() const { return ports.Log.Starting("MaterialBrowser"); }
};

TEST_F(ShellPanelTest, ACommandLineStartsAProgramOfItsOwn)
{
    ASSERT_EQ(Start(), Outcome::Running);
    testsupport::ScratchFolder work;
    const std::string made = work / "started by the panel";
    // The program writes the id of its session into the file.
    Store("ShellCommand_2", "/bin/sh -c \"cut -d' ' -f6 /proc/$$/stat > '" + made + "'\"");
    Click(1);
    // The program runs apart from the window; it is done when its line is in
    // the file. Bounded, so a program that never started fails the test.
    const auto deadline = std::chrono::steady_clock::now() + testsupport::RealWait;
    std::string written;
    while ((written = testsupport::ReadText(made)).empty() || written.back() != '\n') {
        if (std::chrono::steady_clock::now() > deadline) {
            FAIL() << "the command did not write its line within " << testsupport::RealWaitMs / 1000 << " s";
        }
        sched_yield();
    }
    // Detached: a session of its own, apart from the program's.
    EXPECT_NE(written, std::to_string(getsid(0)) + "\n");
    EXPECT_TRUE(BrowserCalls().empty());
}

TEST_F(ShellPanelTest, OnlyTheReleaseOfTheLeftButtonOnAnUnlockedOutputCounts)
{
    ASSERT_EQ(Start(), Outcome::Running);
    Store("ShellCommand_1", "Sozai");
    Click(0, 2);
    Click(0, 1, true);
    window->State.OutputLocked[0] = 1;
    Click(0);
    EXPECT_TRUE(BrowserCalls().empty());
    window->State.OutputLocked[0] = 0;
    Click(0);
    EXPECT_THAT(BrowserCalls(), ElementsAre("MaterialBrowser.Show 0"));
    // An empty command leaves the panel inert.
    Click(3);
    EXPECT_THAT(BrowserCalls(), ElementsAre("MaterialBrowser.Show 0"));
}

TEST_F(ShellPanelTest, AClosedBrowserDoesNotOpenWhileSoundPlays)
{
    ASSERT_EQ(Start(), Outcome::Running);
    Store("ShellCommand_1", "SOZAI");
    window->State.SomethingPlays = 1;
    Click(0);
    EXPECT_TRUE(BrowserCalls().empty());
    window->State.SomethingPlays = 0;
    Click(0);
    EXPECT_THAT(BrowserCalls(), ElementsAre("MaterialBrowser.Show 0"));
}

TEST_F(ShellPanelTest, AnOpenBrowserMovesToTheClickedOutputAndItsPlace)
{
    ASSERT_EQ(Start(), Outcome::Running);
    platform::Form browser;
    browser.Move(1500, 750, 4500, 3000);
    ports.MaterialBrowser.window = &browser;
    ports.MaterialBrowser.loaded = true;
    ports.MaterialBrowser.output = 0;
    Store("ShellCommand_2", "sozai");
    Store("WindowLeftSozai2", "3000");
    Store("WindowTopSozai2", "1500");
    // Also while sound plays.
    window->State.SomethingPlays = 1;
    Click(1);
    EXPECT_THAT(BrowserCalls(), ElementsAre("MaterialBrowser.Show 1"));
    EXPECT_EQ(Stored("WindowLeftSozai1"), "1500");
    EXPECT_EQ(Stored("WindowTopSozai1"), "750");
    EXPECT_EQ(browser.Left(), 3000);
    EXPECT_EQ(browser.Top(), 1500);
}

} // namespace
