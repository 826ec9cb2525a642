// Pages: switching, BankSync, titles and names, copy and paste, the look for
// an assign table file on removable drives, and the start-up's file chain.
#include "GridFixture.h"

#include "foundation/Language.h"
#include "platform/CommonDialogs.h"
#include "playback/PagesRules.h"

#include <gmock/gmock.h>

namespace {

using playbacktest::GridFixture;
using testing::ElementsAre;

class Pages : public GridFixture {
protected:
    std::vector<std::string> PageCalls(int output)
    {
        std::vector<std::string> calls;
        for (const std::string& call : Remote(output)) {
            if (call.rfind("1 ", 0) == 0 || call.rfind("2 ", 0) == 0) {
                calls.push_back(call);
            }
        }
        return calls;
    }
};

TEST_F(Pages, APageOutsideTheOutputsPagesDoesNothingAndReselectingSendsOnlyPageOn)
{
    ASSERT_TRUE(Start());
    ports.Log.Clear();
    control->ChangePage(0, State().PageNum, 0);
    EXPECT_TRUE(PageCalls(0).empty());
    EXPECT_EQ(State().CurrentPage[0], 0);

    control->ChangePage(0, 0, 0);
    EXPECT_THAT(PageCalls(0), ElementsAre("1 0"));
    ports.Log.Clear();
    control->ChangePage(0, 4, 0);
    EXPECT_THAT(PageCalls(0), ElementsAre("2 0", "1 4"));
    EXPECT_EQ(State().CurrentPage[0], 4);
    EXPECT_EQ(window->PageButtons(0)->SelectedButton(), 4);
}

TEST_F(Pages, WithBankSyncAPageButtonOfOneOutputSwitchesEveryOutput)
{
    Store("BankSync", "1");
    ASSERT_TRUE(Start(3));
    control->PageButtons_ButtonClicked(1, 3);
    EXPECT_EQ(State().CurrentPage[0], 3);
    EXPECT_EQ(State().CurrentPage[1], 3);
    EXPECT_EQ(State().CurrentPage[2], 3);
}

TEST_F(Pages, WithoutBankSyncOnlyTheClickedOutputSwitches)
{
    ASSERT_TRUE(Start(2));
    control->PageButtons_ButtonClicked(1, 3);
    EXPECT_EQ(State().CurrentPage[0], 0);
    EXPECT_EQ(State().CurrentPage[1], 3);
}

TEST_F(Pages, TheTitleNamesTheFileAndThePageAndTheOperatorRenamesIt)
{
    EXPECT_EQ(playback::PageTitle("show", "Morning"), "[show] Morning");
    EXPECT_EQ(playback::PageTitle("", "Morning"), "Morning");
    ASSERT_TRUE(Start());
    State().CurrentFileTitle = "show";
    State().BankName[PageNameIndex(0, 2)] = "Morning";
    control->ChangePage(0, 2, 0);
    EXPECT_EQ(window->TextPage(0)->TextMes(0), "[show] Morning");

    std::string preset;
    std::optional<std::string> answer = "Jingles";
    platform::SetInputBoxAnswer([&](const platform::InputBoxRequest& request) {
        preset = request.defaultText;
        return answer;
    });
    control->TextPage_MouseUD(0, 1, true, 0);
    EXPECT_EQ(preset, "");
    control->TextPage_MouseUD(0, 1, false, 0);
    EXPECT_EQ(preset, "Morning");
    EXPECT_EQ(State().BankName[PageNameIndex(0, 2)], "Jingles");
    EXPECT_EQ(window->TextPage(0)->TextMes(0), "[show] Jingles");

    answer = std::string();
    control->TextPage_MouseUD(0, 2, false, 0);
    answer.reset();
    control->TextPage_MouseUD(0, 2, false, 0);
    EXPECT_EQ(State().BankName[PageNameIndex(0, 2)], "Jingles");
    platform::SetInputBoxAnswer(nullptr);
}

TEST_F(Pages, PasteIsRefusedAcrossKindsAndCopiesRecordsButNoCaptionOtherwise)
{
    Store("IsList_2", "1");
    ASSERT_TRUE(Start(3));
    basic::LangMode = 0;
    const std::string path = RampWave("copied.wav", Rate);
    Assign(0, 1, 0, path, 2, 400);
    State().BankName[PageNameIndex(0, 1)] = "";
    State().BankName[PageNameIndex(2, 5)] = "Target";

    control->PageButtons_RightClicked(0, 1);
    EXPECT_EQ(State().PendingPageMenu, 1);
    grid->MenuRCPage_Click(0);
    EXPECT_EQ(State().CopiedPage, (std::pair{0, 1}));

    // Onto the list output: refused with its message.
    control->PageButtons_RightClicked(1, 2);
    grid->MenuRCPage_Click(1);
    EXPECT_THAT(messages, ElementsAre("ここに貼り付けはできません"));
    EXPECT_EQ(State().CurrentPage[1], 0);

    // Onto a button page of another output: asked first; No changes nothing.
    messages.clear();
    messageAnswer = 7;
    control->PageButtons_RightClicked(2, 5);
    grid->MenuRCPage_Click(1);
    EXPECT_THAT(messages, ElementsAre("[ページ2]をこのページに貼り付けます"));
    EXPECT_EQ(Record(2, 5, 0).FileName, "");
    EXPECT_EQ(State().CurrentPage[2], 5);

    messageAnswer = 6;
    grid->MenuRCPage_Click(1);
    EXPECT_EQ(Record(2, 5, 0).FileName, path);
    EXPECT_EQ(Record(2, 5, 0).PlayMode, 2);
    EXPECT_EQ(Record(2, 5, 0).StartMS, 400);
    EXPECT_EQ(State().BankName[PageNameIndex(2, 5)], "Target");
    // The copy stays for further pastes.
    EXPECT_EQ(State().CopiedPage, (std::pair{0, 1}));
}

TEST_F(Pages, PageMenuActionsAreIgnoredWhileSomethingPlays)
{
    ASSERT_TRUE(Start());
    State().SomethingPlays = 1;
    control->PageButtons_RightClicked(0, 1);
    EXPECT_EQ(State().PendingPageMenu, 0);
    State().PendingPageOutput = 0;
    State().PendingPagePage = 1;
    grid->MenuRCPage_Click(0);
    EXPECT_EQ(State().CopiedPage, (std::pair{-1, -1}));
    State().SomethingPlays = 0;
}

TEST(PagesRules, TheRemovableScanLooksAtEveryRemovableDriveUntilOneHoldsAFile)
{
    const std::vector<basic::DriveEntry> drives = {
        {"/", "root", 3}, {"/media/a", "a", 2}, {"/srv", "srv", 3}, {"/media/b", "b", 2}, {"/media/c", "c", 2}};
    std::vector<std::string> looked;
    const playback::RemovableScan scan = playback::ScanRemovableDrives(drives, [&](const basic::DriveEntry& drive) {
        looked.push_back(drive.drive);
        return drive.drive == "/media/a" ? std::string("/media/a/show.txt") : std::string();
    });
    EXPECT_THAT(looked, ElementsAre("/media/c", "/media/b", "/media/a"));
    EXPECT_EQ(scan.removableDrive, 4);
    EXPECT_EQ(scan.found, "/media/a/show.txt");

    const playback::RemovableScan none =
        playback::ScanRemovableDrives({{"/", "root", 3}}, [](const basic::DriveEntry&) { return std::string("x"); });
    EXPECT_EQ(none.removableDrive, -1);
    EXPECT_EQ(none.found, "");
    EXPECT_EQ(playback::HighestRemovable(drives), 4);
}

TEST(PagesRules, KeypadStepsWrapAroundThePages)
{
    EXPECT_EQ(playback::SteppedPage(9, 1, 10), 0);
    EXPECT_EQ(playback::SteppedPage(0, -1, 10), 9);
    EXPECT_EQ(playback::SteppedPage(3, 1, 10), 4);
    EXPECT_EQ(playback::CopiedPageName("", 0, "Page"), "Page1");
    EXPECT_EQ(playback::CopiedPageName("Jingles", 0, "Page"), "Jingles");
}

TEST_F(Pages, ANewRemovableDriveOpensItsFileAtThePageChangeAndALowerOneDoesNot)
{
    Store("OpenRemovable", "1");
    ASSERT_TRUE(Start());
    std::vector<basic::DriveEntry> drives = {{"/", "root", 3}, {"/media/a", "a", 2}};
    grid->Page.Drives = [&drives] { return drives; };
    grid->Page.FirstAssignFile = [](const basic::DriveEntry& drive) { return drive.drive + "/show.txt"; };
    State().RemovableDrive = -1;
    State().CurrentFilePath = "/home/op/open.txt";
    ports.Log.Clear();

    control->ChangePage(0, 1, 0);
    EXPECT_EQ(ports.Log.Starting("OpenSaveAssignFile"),
              std::vector<std::string>{"OpenSaveAssignFile 0 /media/a/show.txt"});
    EXPECT_EQ(State().RemovableDrive, 1);

    ports.Log.Clear();
    control->ChangePage(0, 2, 0);
    EXPECT_TRUE(ports.Log.Starting("OpenSaveAssignFile").empty());

    // A drive with a lower index than the one seen is no change.
    drives = {{"/", "root", 3}, {"/media/0", "0", 2}, {"/srv", "srv", 3}};
    control->ChangePage(0, 3, 0);
    EXPECT_TRUE(ports.Log.Starting("OpenSaveAssignFile").empty());
    EXPECT_EQ(State().CurrentPage[0], 3);
}

TEST_F(Pages, TheStartUpTriesTheDialogThenTheRemovableDriveThenTheLastFile)
{
    Store("ShowDlg", "1");
    Store("OpenRemovable", "1");
    Store("OpenLast", "1");
    const std::string last = program.Write("last.txt", "");
    Store("LastTlvFilename", last);
    ASSERT_TRUE(Start());
    const int dialog = ports.Log.IndexOf("MenuFile_Click 0");
    const int removable = ports.Log.IndexOf("FindRemovableAssignFile");
    const int open = ports.Log.IndexOf("OpenSaveAssignFile 0 " + last);
    ASSERT_GE(dialog, 0);
    EXPECT_LT(dialog, removable);
    EXPECT_LT(removable, open);
}

TEST_F(Pages, WithoutALastFileTheStartUpOpensTheDefaultFile)
{
    Store("ShowDlg", "1");
    Store("OpenRemovable", "1");
    Store("OpenLast", "1");
    Store("LastTlvFilename", program / "missing.txt");
    ASSERT_TRUE(Start());
    // An empty path: the open takes the session's default file.
    EXPECT_EQ(ports.Log.Starting("OpenSaveAssignFile"), std::vector<std::string>{"OpenSaveAssignFile 0 "});
}

} // namespace
