// The command line: the display switch, the window's place and size, the
// file to open, and the hand-over from a second start.
#include "ShellFixture.h"

#include "foundation/SubClass.h"
#include "mainwindow/CommandLineOptions.h"
#include "platform/Screens.h"
#include "platform/base/Twips.h"
#include "support/HelperProcess.h"

#include <gmock/gmock.h>

namespace {

using shelltest::ShellFixture;
using testing::ElementsAre;
using Outcome = FrmMain::StartOutcome;

TEST(CommandLineOptions, OnlyPlainDecimalIntegers)
{
    EXPECT_EQ(CommandLineOptions::PlainInteger("100"), 100);
    EXPECT_EQ(CommandLineOptions::PlainInteger("-20"), -20);
    EXPECT_EQ(CommandLineOptions::PlainInteger("0"), 0);
    for (const char* text : {"", "-", "+5", " 5", "5 ", "1e10", "0x10", "1.5", "abc", "99999999999", "2147483648"}) {
        EXPECT_EQ(CommandLineOptions::PlainInteger(text), std::nullopt) << text;
    }
    EXPECT_EQ(CommandLineOptions::PlainInteger("2147483647"), 2147483647);
}

TEST(CommandLineOptions, EachOptionOnceAndOnTheDesktop)
{
    const QRect desktop(0, 0, 1920, 1080);
    const auto options = CommandLineOptions::ReadWindowOptions("/X=1919 Y=0 W=1920 /H=1080 B=0", desktop);
    EXPECT_EQ(options.Left, 1919);
    EXPECT_EQ(options.Top, 0);
    EXPECT_EQ(options.Width, 1920);
    EXPECT_EQ(options.Height, 1080);
    EXPECT_EQ(options.Big, 0);
    // Twice, off the desktop, too large, empty or not a number: left out.
    const auto bad = CommandLineOptions::ReadWindowOptions("X=100 X=200 Y=1080 W=0 H=1081 B=abc", desktop);
    EXPECT_FALSE(bad.Left || bad.Top || bad.Width || bad.Height || bad.Big);
    EXPECT_FALSE(CommandLineOptions::ReadWindowOptions("X=-1 b=1", desktop).Left);
    EXPECT_FALSE(CommandLineOptions::ReadWindowOptions("b=1", desktop).Big);
    EXPECT_FALSE(CommandLineOptions::ReadWindowOptions("B=1 /B=0", desktop).Big);
    // The display wanted is any number; one that is not the display shown switches it.
    EXPECT_EQ(CommandLineOptions::ReadWindowOptions("B=2", desktop).Big, 2);
    EXPECT_EQ(CommandLineOptions::ReadWindowOptions("/B=-1", desktop).Big, -1);
    // A second screen left of the first.
    EXPECT_EQ(CommandLineOptions::ReadWindowOptions("X=-1000", QRect(-1280, 0, 3200, 1080)).Left, -1000);
}

class CommandLineTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        platform::SetScreenExtentOverride(QSize(1920, 1080));
    }
    void TearDown() override
    {
        platform::SetScreenExtentOverride(std::nullopt);
        ShellFixture::TearDown();
    }
    // Started without a command line, at 15 twips per pixel.
    void StartPlain()
    {
        ASSERT_EQ(Start(), Outcome::Running);
        basic::TwipsPerPixel = 15;
        window->Move(3000, 3000, 9000, 6000);
        ports.Log.Clear();
    }
    std::vector<std::string> Opened() const { return ports.Log.Starting("OpenSaveAssignFile"); }
};

TEST_F(CommandLineTest, PlaceAndSizeInPixels)
{
    StartPlain();
    window->ApplyCommandLine("X=100 /Y=50");
    EXPECT_EQ(window->Left(), 1500);
    EXPECT_EQ(window->Top(), 750);
    EXPECT_EQ(window->Width(), 9000);
    window->ApplyCommandLine("W=700 H=500");
    EXPECT_EQ(window->Width(), 10500);
    EXPECT_EQ(window->Height(), 7500);
    EXPECT_TRUE(Opened().empty());
    // Two values of one option: no move.
    window->ApplyCommandLine("X=300 X=400");
    EXPECT_EQ(window->Left(), 1500);
}

TEST_F(CommandLineTest, BadOptionsAreIgnoredAndTheFileStillOpens)
{
    StartPlain();
    window->ApplyCommandLine("X=abc Y=60 W=1e10 C:\\shows\\night.txt");
    EXPECT_EQ(window->Left(), 3000);
    EXPECT_EQ(window->Top(), 900);
    EXPECT_EQ(window->Width(), 9000);
    EXPECT_THAT(Opened(), ElementsAre("OpenSaveAssignFile 0 C:\\shows\\night.txt"));
}

TEST_F(CommandLineTest, OnlyPathsAreOpenedAndTheFirstOne)
{
    StartPlain();
    window->ApplyCommandLine("\"/home/op/My Shows/night.txt\" /home/op/other.txt");
    EXPECT_THAT(Opened(), ElementsAre("OpenSaveAssignFile 0 /home/op/My Shows/night.txt"));
    ports.Log.Clear();
    window->ApplyCommandLine("night.txt /B");
    window->ApplyCommandLine("shows/night.txt");
    EXPECT_TRUE(Opened().empty());
}

TEST_F(CommandLineTest, TheDisplaySwitchesForEveryValueButTheOneShown)
{
    StartPlain();
    ASSERT_EQ(window->State.DispBig, 0);
    window->ApplyCommandLine("B=0");
    window->ApplyCommandLine("B=abc");
    EXPECT_EQ(window->State.DispBig, 0);
    EXPECT_TRUE(ports.Log.Starting("ChangePage").empty());
    window->ApplyCommandLine("B=1");
    EXPECT_EQ(window->State.DispBig, 1);
    ports.Log.Clear();
    // Already big: nothing at all.
    window->ApplyCommandLine("B=1");
    EXPECT_EQ(window->State.DispBig, 1);
    EXPECT_TRUE(ports.Log.Calls().empty());
    // Not while the menu entry is disabled (sound plays).
    window->EnableMenuBar(false);
    window->ApplyCommandLine("B=0");
    EXPECT_EQ(window->State.DispBig, 1);
    window->EnableMenuBar(true);
    // The place given wins over the stored place of the other display.
    window->ApplyCommandLine("B=0 X=10");
    EXPECT_EQ(window->State.DispBig, 0);
    EXPECT_EQ(window->Left(), 150);
    // A value that is neither display is not the one shown either: it
    // switches, whichever display is shown.
    window->ApplyCommandLine("B=2");
    EXPECT_EQ(window->State.DispBig, 1);
    window->ApplyCommandLine("B=2");
    EXPECT_EQ(window->State.DispBig, 0);
    window->ApplyCommandLine("/B=-1");
    EXPECT_EQ(window->State.DispBig, 1);
}

TEST_F(CommandLineTest, TheProgramsOwnCommandLineAtStart)
{
    ASSERT_EQ(Start("X=100 \"C:\\My Shows\\a.txt\""), Outcome::Running);
    EXPECT_EQ(window->Left(), 100 * basic::TwipsPerPixel);
    // Before the start-up looks for a file of its own.
    ASSERT_FALSE(Opened().empty());
    EXPECT_EQ(Opened().front(), "OpenSaveAssignFile 0 C:\\My Shows\\a.txt");
}

TEST_F(CommandLineTest, ACommandLineHandedOverBySecondStart)
{
    StartPlain();
    EXPECT_FALSE(window->ApplyHandedOverCommandLine());
    testsupport::HelperProcess second("tolv_test_session", {"send", "tolv", "A X=20 \"//host/share/a b.txt\""});
    ASSERT_EQ(second.Finish(), 1);
    EXPECT_TRUE(window->ApplyHandedOverCommandLine());
    EXPECT_EQ(window->Left(), 300);
    EXPECT_THAT(Opened(), ElementsAre("OpenSaveAssignFile 0 //host/share/a b.txt"));
    EXPECT_FALSE(window->ApplyHandedOverCommandLine());
}

} // namespace
