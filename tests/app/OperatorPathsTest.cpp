// The operator's paths through the assembled program, with real input events
// on the real widgets: right clicks whose menus open from the engine tick,
// files dropped on sound buttons, buttons dragged onto others, and the page
// menu's copy and paste.
#include "AssembledInput.h"

#include "cache/FrmSozai.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Parms.h"
#include "foundation/Registry.h"
#include "foundation/SubClass.h"
#include "platform/CommonDialogs.h"
#include "platform/DragData.h"
#include "platform/MessageBox.h"
#include "platform/Screens.h"
#include "platform/SessionEndpoint.h"

#include <QApplication>
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
        platform::SetScreenExtentOverride(std::nullopt);
        basic::ForgetMonitorExtent();
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

// Without the button menu a right click hands the button straight to the
// monitor window.
TEST_F(OperatorPaths, WithoutTheButtonMenuARightClickOpensTheMonitorAtOnce)
{
    Store("UseButtonRCMenu", "0");
    ASSERT_TRUE(Start());
    const std::string sound = RampWave("direct.wav", Rate);
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 0, 5, sound));
    Click(Face(Button(0, 5)), Qt::RightButton);
    EXPECT_TRUE(menus.empty());
    ASSERT_TRUE(program->Monitor.IsVisible());
    EXPECT_EQ(program->Monitor.Window()->OpenedFile(), sound);
    EXPECT_EQ(program->Monitor.Window()->Item().Button, 5);
}

// The material browser keeps a place of its own for each output: moved
// between outputs and back, and over the program's end and next start.
class BrowserPlaces : public OperatorPaths {
protected:
    void SetUp() override
    {
        OperatorPaths::SetUp();
        platform::SetScreenExtentOverride(QSize(1600, 1200));
        basic::ForgetMonitorExtent();
        for (const char* n : {"1", "2"}) {
            Store(std::string("ShellCommand_") + n, "sozai");
            Store(std::string("ShellName_") + n, "Sounds");
        }
    }
    // A click on the shell panel of output (0-based); the browser it shows.
    cache::FrmSozai& OpenFor(int output)
    {
        Click(Face(*Window().TextShell(output)), Qt::LeftButton);
        cache::FrmSozai* browser = program->Browser.Browser();
        EXPECT_NE(browser, nullptr);
        EXPECT_TRUE(browser != nullptr && browser->isVisible());
        EXPECT_EQ(program->Browser.Output(), output);
        return *browser;
    }
    std::string Place(int output) const
    {
        const std::string suffix = "Sozai" + std::to_string(output + 1);
        return basic::RegRead("WindowLeft" + suffix, "", "tolv") + "/" +
               basic::RegRead("WindowTop" + suffix, "", "tolv");
    }
    static std::string At(const cache::FrmSozai& browser)
    {
        return std::to_string(browser.Left()) + "/" + std::to_string(browser.Top());
    }
    // Ends the program as the operator does and starts it again.
    bool Restart()
    {
        if (!Window().Unload()) {
            return false;
        }
        program.reset();
        QApplication::processEvents();
        platform::ReleaseProcessSession();
        program = std::make_unique<Composition>();
        return Start(2);
    }
};

TEST_F(BrowserPlaces, EachOutputKeepsItsOwnPlaceOverMovesAndARestart)
{
    Store("WindowLeftSozai1", "1500");
    Store("WindowTopSozai1", "1500");
    Store("WindowLeftSozai2", "12000");
    Store("WindowTopSozai2", "7500");
    ASSERT_TRUE(Start(2));
    cache::FrmSozai& browser = OpenFor(0);
    EXPECT_EQ(At(browser), "1500/1500");

    OpenFor(1);
    EXPECT_EQ(At(browser), "12000/7500");
    EXPECT_EQ(Place(0), "1500/1500") << "output 1 keeps its place";
    // The operator moves it while it shows output 2, then goes 1 -> 2.
    browser.Move(9000, 6000);
    OpenFor(0);
    EXPECT_EQ(At(browser), "1500/1500");
    EXPECT_EQ(Place(1), "9000/6000");
    browser.Move(3000, 2250);
    OpenFor(1);
    EXPECT_EQ(At(browser), "9000/6000");
    EXPECT_EQ(Place(0), "3000/2250");
    EXPECT_EQ(Place(1), "9000/6000");

    ASSERT_TRUE(Restart());
    EXPECT_EQ(Place(0), "3000/2250");
    EXPECT_EQ(Place(1), "9000/6000");
    cache::FrmSozai& again = OpenFor(1);
    EXPECT_EQ(At(again), "9000/6000");
    OpenFor(0);
    EXPECT_EQ(At(again), "3000/2250");
    EXPECT_EQ(Place(1), "9000/6000");
}

// A sound moved out of a button, or a row dragged out of a play list, and let
// go over a control that does nothing with files stays where it was.
using UntakenDrops = BrowserPlaces;

TEST_F(UntakenDrops, ASoundOrARowLetGoOverAControlThatTakesNoFilesStaysWhereItWas)
{
    ASSERT_TRUE(Start(2, {2}));
    const std::string sound = RampWave("kept.wav", Rate / 10);
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(0, 0, 2, sound));
    UC_ListView& list = *Window().LV(1);
    ASSERT_NE(DropFiles(list.ListArea(), {RampWave("row.wav", Rate / 10)}), platform::DropEffectNone);
    const std::vector<std::pair<std::string, QWidget*>> untaken{
        {"KEY", &Face(*Window().TextKey(0))},
        {"ON AIR", &Face(*Window().TextAir(0))},
        {"STBY", &Face(*Window().TextSTBY(0))},
        {"own counter", &Face(*Window().PicCounter(0))},
        {"other counter", &Face(*Window().PicCounter(1))},
        {"Time/Title", &Face(*Window().PictureCurrent(1))},
        {"browser's list", &OpenFor(0).LVSozai().ListArea()},
    };
    for (const auto& [name, onto] : untaken) {
        SCOPED_TRACE(name);
        DragOnto(Face(Button(0, 2)), *onto);
        EXPECT_EQ(Record(0, 0, 2).FileName, sound);
        EXPECT_EQ(Button(0, 2).Text(0), "kept");
        DragOnto(list.ListArea(), *onto);
        EXPECT_EQ(list.ItemCount(), 1);
    }
}

} // namespace
