#include "controls/UC_PathText.h"
#include "SmallControlsMouse.h"
#include "controls/SurfaceBox.h"
#include "platform/CommonDialogs.h"
#include "platform/SysColors.h"
#include "platform/TextBox.h"
#include "platform/TwipsGeometry.h"
#include "support/Gallery.h"
#include "support/TwipsFixture.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using namespace smallcontrols;

// A path box 3000 twips wide (200 pixels) with the default 300-twip text
// height: its text box is 180 pixels wide, the button the 20-pixel square right
// of it.
class PathText : public testsupport::TwipsFixture {
protected:
    PathText()
    {
        platform::SetFileDialogAnswer([this](const platform::FileDialogRequest& request) {
            fileRequests.push_back(request);
            return fileAnswer;
        });
        platform::SetFolderDialogAnswer([this](const platform::FolderDialogRequest& request) {
            folderRequests.push_back(request);
            return folderAnswer;
        });
    }
    ~PathText() override
    {
        platform::SetFileDialogAnswer(nullptr);
        platform::SetFolderDialogAnswer(nullptr);
    }

    void Prepare(UC_PathText& box, int usage)
    {
        platform::MoveTwips(box, 0, 0, 3000, 600);
        box.SetUsage(usage);
        box.Init();
        box.TextChange = [this, &box] { events.push_back("change:" + box.Text()); };
        box.SelectButtonClicked = [this] { events.push_back("selected"); };
        box.TextDblClicked = [this] { events.push_back("dbl"); };
    }
    static controls::SurfaceBox& Surface(UC_PathText& box)
    {
        return *box.findChild<controls::SurfaceBox*>("PathTextSurface");
    }
    static platform::TextBox& TextPath(UC_PathText& box) { return *box.findChild<platform::TextBox*>("TextPath"); }
    static QImage Picture(UC_PathText& box) { return Surface(box).Picture().Image(); }
    static void ClickButton(UC_PathText& box) { Click(Surface(box), {190, 10}); }

    std::vector<platform::FileDialogRequest> fileRequests;
    std::vector<platform::FolderDialogRequest> folderRequests;
    std::string fileAnswer;
    std::string folderAnswer;
    std::vector<std::string> events;
};

TEST_F(PathText, LaysOutTheTextAndASquareButton)
{
    UC_PathText box;
    Prepare(box, 1);
    EXPECT_EQ(box.height(), 20) << "the control is as high as its text";
    EXPECT_EQ(TextPath(box).geometry(), QRect(0, 0, 180, 20));
    box.SetTextHeight(450.4f);
    box.Init();
    EXPECT_EQ(box.height(), 30);
    EXPECT_EQ(TextPath(box).width(), 170);
}

TEST_F(PathText, ExtensionIsStoredWithoutDotsAndBecomesTheFilter)
{
    UC_PathText box;
    Prepare(box, 1);
    box.SetExt(".txt");
    EXPECT_EQ(box.Ext(), "txt");
    box.SetExt("t.x.t");
    EXPECT_EQ(box.Ext(), "txt");

    fileAnswer = "/data/notes/day";
    ClickButton(box);
    ASSERT_EQ(fileRequests.size(), 1u);
    EXPECT_FALSE(fileRequests[0].save);
    const std::vector<std::pair<std::string, std::string>> filter{{"txtファイル", "*.txt"}};
    EXPECT_EQ(fileRequests[0].filters, filter);
    EXPECT_EQ(box.Text(), "/data/notes/day.txt") << "the chosen path gets the extension";
    EXPECT_EQ(events, (std::vector<std::string>{"change:/data/notes/day.txt", "selected"}));

    // A path that already ends with it, in any case, stays as it is.
    fileAnswer = "/data/notes/Old.TXT";
    box.SelectButtonClick();
    EXPECT_EQ(box.Text(), "/data/notes/Old.TXT");
}

TEST_F(PathText, OwnFilterWinsAndSaveDialogForUsage2)
{
    UC_PathText box;
    Prepare(box, 2);
    box.SetExt("wav");
    box.SetFilter("Wave|*.wav|All|*.*");
    fileAnswer = "/snd/jingle";
    box.SelectButtonClick();
    ASSERT_EQ(fileRequests.size(), 1u);
    EXPECT_TRUE(fileRequests[0].save);
    EXPECT_TRUE(fileRequests[0].overwritePrompt);
    const std::vector<std::pair<std::string, std::string>> filter{{"Wave", "*.wav"}, {"All", "*.*"}};
    EXPECT_EQ(fileRequests[0].filters, filter);
    EXPECT_EQ(box.Text(), "/snd/jingle.wav");

    // Without Ext and Filter the dialog has no filter and the name stays.
    UC_PathText plain;
    Prepare(plain, 1);
    fileAnswer = "/snd/jingle";
    plain.SelectButtonClick();
    EXPECT_TRUE(fileRequests.back().filters.empty());
    EXPECT_EQ(plain.Text(), "/snd/jingle");
}

TEST_F(PathText, ChoosersStartInInitDirElseTheTextsFolder)
{
    UC_PathText box;
    Prepare(box, 1);
    box.SetText("/srv/sounds/a.wav");
    fileAnswer = "";
    box.SelectButtonClick();
    ASSERT_EQ(fileRequests.size(), 1u);
    EXPECT_EQ(fileRequests[0].initialFolder, "/srv/sounds");
    EXPECT_EQ(fileRequests[0].fileName, "/srv/sounds/a.wav");

    box.SetInitDir("/home/op/");
    box.SelectButtonClick();
    EXPECT_EQ(fileRequests[1].initialFolder, "/home/op");

    UC_PathText folder;
    Prepare(folder, 0);
    folder.SetText("C:\\Sounds\\Morning\\x.wav");
    folderAnswer = "/mnt/music";
    ClickButton(folder);
    ASSERT_EQ(folderRequests.size(), 1u);
    EXPECT_EQ(folderRequests[0].startFolder, "C:\\Sounds\\Morning");
    EXPECT_EQ(folder.Text(), "/mnt/music/");
}

TEST_F(PathText, ACancelledChooserChangesNothing)
{
    UC_PathText box;
    Prepare(box, 1);
    box.SetExt("txt");
    box.SetText("/keep.txt");
    events.clear();
    fileAnswer = "";
    ClickButton(box);
    EXPECT_EQ(fileRequests.size(), 1u);
    EXPECT_EQ(box.Text(), "/keep.txt");
    EXPECT_TRUE(events.empty());

    UC_PathText folder;
    Prepare(folder, 0);
    folder.SelectButtonClick();
    EXPECT_EQ(folderRequests.size(), 1u);
    EXPECT_TRUE(events.empty());
}

TEST_F(PathText, UsageMinus1RaisesAtOnceWithoutDialog)
{
    UC_PathText box;
    Prepare(box, -1);
    ClickButton(box);
    EXPECT_EQ(events, (std::vector<std::string>{"selected"}));
    EXPECT_TRUE(fileRequests.empty());
    EXPECT_TRUE(folderRequests.empty());

    UC_PathText other;
    Prepare(other, 7);
    other.SelectButtonClick();
    EXPECT_TRUE(events.size() == 1 && fileRequests.empty() && folderRequests.empty());
}

TEST_F(PathText, TheButtonPressesAndRunsOnlyWhenAllowed)
{
    UC_PathText box;
    Prepare(box, 1);
    fileAnswer = "/a";
    const QImage released = Picture(box);
    Press(Surface(box), {190, 10});
    const QImage pressed = Picture(box);
    EXPECT_NE(pressed, released);
    testsupport::SaveToGallery(box.grab().toImage(), "pathtext-pressed", 3);
    // Letting go away from the button takes the press back.
    Release(Surface(box), {100, 40});
    EXPECT_EQ(Picture(box), released);
    EXPECT_TRUE(fileRequests.empty());
    // Other buttons do nothing.
    Click(Surface(box), {190, 10}, Qt::RightButton);
    EXPECT_TRUE(fileRequests.empty());

    box.SetButtonDisabled(1);
    Press(Surface(box), {190, 10});
    EXPECT_EQ(Picture(box), released);
    Release(Surface(box), {190, 10});
    EXPECT_TRUE(fileRequests.empty());

    box.SetButtonDisabled(0);
    box.SetEnabled(false);
    EXPECT_TRUE(TextPath(box).Locked());
    Press(Surface(box), {190, 10});
    EXPECT_EQ(Picture(box), released);
    Release(Surface(box), {190, 10});
    EXPECT_TRUE(fileRequests.empty());
    testsupport::SaveToGallery(box.grab().toImage(), "pathtext-disabled", 3);

    box.SetEnabled(true);
    EXPECT_FALSE(TextPath(box).Locked());
    DoubleClick(Surface(box), {190, 10}); // counts as a press
    Release(Surface(box), {190, 10});
    EXPECT_EQ(fileRequests.size(), 1u);
}

TEST_F(PathText, TextDisabledLocksOnlyAt1)
{
    UC_PathText box;
    Prepare(box, 1);
    const auto background = [&] { return TextPath(box).palette().color(QPalette::Base).rgb() & 0xFFFFFF; };
    const auto face = static_cast<unsigned>(platform::GetSysColor(platform::ColorBtnFace));
    const auto window = static_cast<unsigned>(platform::GetSysColor(platform::ColorWindow));
    const auto qtOrder = [](unsigned bgr) { return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF); };
    box.SetTextDisabled(2);
    EXPECT_FALSE(TextPath(box).Locked()) << "2 leaves the text editable";
    EXPECT_EQ(background(), qtOrder(face));
    box.SetTextDisabled(1);
    EXPECT_TRUE(TextPath(box).Locked());
    box.SetTextDisabled(0);
    EXPECT_FALSE(TextPath(box).Locked());
    EXPECT_EQ(background(), qtOrder(window));
}

TEST_F(PathText, TextEventsComeFromTheTextBox)
{
    UC_PathText box;
    Prepare(box, 1);
    box.SetText("/x");
    DoubleClick(TextPath(box), {20, 10});
    EXPECT_EQ(events, (std::vector<std::string>{"change:/x", "dbl"}));

    // Setting the text before Init sets the fonts up first.
    UC_PathText fresh;
    platform::MoveTwips(fresh, 0, 0, 3000, 600);
    fresh.SetText("/music/set list.tlv");
    EXPECT_EQ(fresh.height(), 20);
    testsupport::SaveToGallery(fresh.grab().toImage(), "pathtext-with-text", 3);
}

} // namespace
