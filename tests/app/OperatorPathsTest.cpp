// The operator's paths through the assembled program, with real input events
// on the real widgets: right clicks whose menus open from the engine tick,
// files dropped on sound buttons, buttons dragged onto others, and the page
// menu's copy and paste.
#include "AssembledInput.h"

#include "foundation/Parms.h"
#include "platform/CommonDialogs.h"
#include "platform/DragData.h"
#include "platform/MessageBox.h"

#include <QMenu>

#include <gmock/gmock.h>

#include <fstream>
#include <sstream>

namespace {

using apptest::AssembledFixture;
using testing::Contains;
using testing::HasSubstr;

class OperatorPaths : public AssembledFixture {
protected:
    void TearDown() override
    {
        platform::SetFileDialogAnswer(nullptr);
        AssembledFixture::TearDown();
    }
    // Chooses entry of menu when it opens (other menus are dismissed).
    void Choose(QMenu* menu, QAction* entry)
    {
        ChooseInMenu = [menu, entry](QMenu& shown) -> QAction* { return &shown == menu ? entry : nullptr; };
    }
    static std::string ReadFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(OperatorPaths, ARightClickOnAnIdleButtonOpensItsMenuAtThePointerWithinOneTick)
{
    ASSERT_TRUE(Start());
    const std::string sound = RampWave("jingle.wav", Rate);
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 0, 2, sound));
    Choose(Window().MenuRCButtonP, Window().MenuRCButtonFCT->At(2));
    QWidget& face = Face(Button(0, 2));
    const QPoint at(face.width() * 3 / 4, face.height() * 2 / 3);
    const std::int64_t clicked = clock.MsOfDay();
    Click(face, Qt::RightButton, at);
    EXPECT_TRUE(menus.empty()) << "the menu opens from the engine tick, not inside the click";

    Run(parms::TimerInt);
    ASSERT_EQ(menus.size(), 1U) << "one TimerInt after the click, with nothing playing";
    EXPECT_EQ(menus[0].menu, Window().MenuRCButtonP);
    EXPECT_LE(menus[0].msOfDay - clicked, parms::TimerInt);
    EXPECT_EQ(menus[0].at, face.mapToGlobal(at)) << "at the pointer";

    // Preview: the monitor window shows that button's file.
    ASSERT_TRUE(program->Monitor.IsVisible());
    const FrmMon& monitor = *program->Monitor.Window();
    EXPECT_EQ(monitor.OpenedFile(), sound);
    EXPECT_FALSE(monitor.Item().IsList);
    EXPECT_EQ(monitor.Item().Output, 0);
    EXPECT_EQ(monitor.Item().Page, 0);
    EXPECT_EQ(monitor.Item().Button, 2);
}

TEST_F(OperatorPaths, WhileTheMonitorShowsARightClickOpensNoMenu)
{
    ASSERT_TRUE(Start());
    const std::string sound = RampWave("jingle.wav", Rate);
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 0, 2, sound));
    Choose(Window().MenuRCButtonP, Window().MenuRCButtonFCT->At(0));
    Click(Face(Button(0, 2)), Qt::RightButton);
    Run(parms::TimerInt);
    ASSERT_TRUE(program->Monitor.IsVisible());
    menus.clear();
    Click(Face(Button(0, 2)), Qt::RightButton);
    Run(3 * parms::TimerInt);
    EXPECT_TRUE(menus.empty());
}

TEST_F(OperatorPaths, ThePageMenuCopiesAPageAndPastesItOnAnother)
{
    ASSERT_TRUE(Start());
    const std::string first = RampWave("first.wav", Rate / 10);
    const std::string fifth = RampWave("fifth.wav", Rate / 10);
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 0, 0, first));
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 0, 4, fifth));
    controls::UC_Buttons& pages = *Window().PageButtons(0);
    QWidget& face = *pages.PictureWidget();
    const int pageOne = apptest::XOfButton(pages, 0);
    const int pageThree = apptest::XOfButton(pages, 2);
    ASSERT_GE(pageOne, 0);
    ASSERT_GT(pageThree, pageOne);

    Choose(Window().MenuRCPageP, Window().MenuRCPage->At(0));
    Click(face, Qt::RightButton, QPoint(pageOne, face.height() / 2));
    Run(parms::TimerInt);
    ASSERT_EQ(menus.size(), 1U);
    EXPECT_EQ(menus[0].menu, Window().MenuRCPageP);

    Choose(Window().MenuRCPageP, Window().MenuRCPage->At(1));
    Click(face, Qt::RightButton, QPoint(pageThree, face.height() / 2));
    Run(parms::TimerInt);
    ASSERT_EQ(menus.size(), 2U);
    EXPECT_THAT(messages, Contains(HasSubstr("To This Page.")));
    EXPECT_EQ(State().CurrentPage[0], 2) << "the paste shows the page pasted on";
    EXPECT_EQ(Record(0, 2, 0).FileName, first);
    EXPECT_EQ(Record(0, 2, 4).FileName, fifth);
    EXPECT_EQ(Record(0, 0, 0).FileName, first) << "the copied page keeps its sounds";
    EXPECT_EQ(Button(0, 4).Text(0), "fifth");
}

TEST_F(OperatorPaths, AWaveDroppedOnButtonThreeShowsItsTitlePlaysOnTheNextClickAndIsSaved)
{
    ASSERT_TRUE(Start());
    const std::string sound = RampWave("Morning Theme.wav", Rate);
    EXPECT_NE(DropFiles(Face(Button(0, 2)), {sound}), platform::DropEffectNone);
    EXPECT_EQ(Record(0, 0, 2).FileName, sound);
    EXPECT_EQ(Button(0, 2).Text(0), "Morning Theme");

    Played(1);
    Click(Face(Button(0, 2)), Qt::LeftButton);
    EXPECT_EQ(State().OutputState[0], 1);
    Run(300);
    const std::vector<float> played = Played(1);
    // The file's ramp, whatever the output's gain: past the start, every
    // sample is the previous one plus the same step.
    const auto start = std::find_if(played.begin(), played.end(), [](float s) { return s != 0.0F; });
    ASSERT_GT(played.end() - start, 4000);
    const std::size_t from = static_cast<std::size_t>(start - played.begin()) + 2000;
    const float step = played[from + 1] - played[from];
    EXPECT_GT(step, 0.0F);
    for (std::size_t i = from; i < from + 1000; ++i) {
        EXPECT_NEAR(played[i + 1] - played[i], step, step * 1e-3F) << i;
    }

    // File > Save As writes it into the assign table.
    const std::string table = sounds / ("show." + State().TlvExtention);
    platform::SetFileDialogAnswer(
        [&table](const platform::FileDialogRequest& request) { return request.save ? table : std::string(); });
    program->Playback.StopOutput(0);
    Run(300);
    Window().MenuFile->At(1)->trigger();
    const std::string saved = ReadFile(table);
    EXPECT_THAT(saved, HasSubstr("\"Button_01-003\",\"" + sound + "\""));
}

TEST_F(OperatorPaths, DraggingButtonThreeOntoButtonFiveMovesIt)
{
    ASSERT_TRUE(Start());
    const std::string sound = RampWave("moved.wav", Rate / 10);
    ASSERT_NE(DropFiles(Face(Button(0, 2)), {sound}), platform::DropEffectNone);
    DragOnto(Face(Button(0, 2)), Face(Button(0, 4)));
    EXPECT_EQ(Record(0, 0, 4).FileName, sound);
    EXPECT_EQ(Record(0, 0, 2).FileName, "");
    EXPECT_EQ(Button(0, 4).Text(0), "moved");
    EXPECT_EQ(Button(0, 2).Text(0), "");
}

// The monitor window's result goes back to the button it was opened for,
// also after a page switch, and a file the grid refuses changes nothing.
TEST_F(OperatorPaths, TheMonitorsResultAfterAPageSwitchChangesOnlyThatButton)
{
    ASSERT_TRUE(Start());
    const std::string onFirst = RampWave("first page.wav", Rate);
    const std::string onSecond = RampWave("second page.wav", Rate);
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 0, 3, onFirst));
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 1, 3, onSecond));
    Choose(Window().MenuRCButtonP, Window().MenuRCButtonFCT->At(0));
    Click(Face(Button(0, 3)), Qt::RightButton);
    Run(parms::TimerInt);
    ASSERT_TRUE(program->Monitor.IsVisible());
    program->Playback.ChangePage(0, 1, 0);
    ASSERT_EQ(State().CurrentPage[0], 1);

    FrmMon& monitor = *program->Monitor.Window();
    monitor.TextMonStartMS().SetText("0.5");
    monitor.OK();
    EXPECT_EQ(Record(0, 0, 3).StartMS, 500);
    EXPECT_EQ(Record(0, 1, 3).StartMS, 0);
    EXPECT_EQ(Record(0, 1, 3).FileName, onSecond);
}

} // namespace
