// A play list output of the assembled program: its menu's preview and start
// position open the monitor window with the row's file, edit and information
// open their windows, and the monitor's edit comes back to that row.
#include "AssembledInput.h"

#include "foundation/Parms.h"
#include "support/ArgumentPipe.h"
#include "support/HelperProcess.h"

#include <QMenu>

#include <gmock/gmock.h>

namespace {

using apptest::AssembledFixture;
using testing::ElementsAre;
using testing::HasSubstr;

class ListPaths : public AssembledFixture {
protected:
    bool StartList()
    {
        if (!Start(1, {1})) {
            return false;
        }
        for (const char* name : {"a", "b", "c"}) {
            files.push_back(RampWave(std::string(name) + ".wav", Rate / 2));
        }
        return DropFiles(List().ListArea(), files, QPoint(10, 5)) != platform::DropEffectNone &&
               List().ItemCount() == 3;
    }
    UC_ListView& List() { return *Window().LV(0); }
    // A left click on a row, then a right click there with the list menu's
    // entry chosen when the tick opens the menu.
    void ListCommand(int row, int command)
    {
        QWidget& rows = List().ListArea();
        const QPoint at(20, apptest::YOfRow(List(), row));
        Click(rows, Qt::LeftButton, at);
        QMenu* menu = Window().MenuRCListP;
        QAction* entry = Window().MenuRCList->At(command);
        ChooseInMenu = [menu, entry](QMenu& shown) -> QAction* { return &shown == menu ? entry : nullptr; };
        menus.clear();
        Click(rows, Qt::RightButton, at);
        Run(parms::TimerInt);
    }
    std::vector<std::string> files;
};

TEST_F(ListPaths, PreviewAndStartPositionOpenTheMonitorWithTheRowsFile)
{
    ASSERT_TRUE(StartList());
    ListCommand(1, 5);
    ASSERT_EQ(menus.size(), 1U);
    EXPECT_EQ(menus[0].menu, Window().MenuRCListP);
    ASSERT_TRUE(program->Monitor.IsVisible());
    EXPECT_EQ(program->Monitor.Window()->OpenedFile(), files[1]);
    const MonitorItem& item = program->Monitor.Window()->Item();
    EXPECT_TRUE(item.IsList);
    EXPECT_EQ(item.Output, 0);
    EXPECT_EQ(item.Page, 0);
    EXPECT_EQ(item.Row, 1);
    EXPECT_EQ(item.File, files[1]);

    program->Monitor.Window()->Cancel();
    ASSERT_FALSE(program->Monitor.IsVisible());
    ListCommand(2, 3);
    ASSERT_TRUE(program->Monitor.IsVisible());
    EXPECT_EQ(program->Monitor.Window()->OpenedFile(), files[2]);
    EXPECT_EQ(program->Monitor.Window()->Item().Row, 2);
}

TEST_F(ListPaths, EditStartsTheEditorWithTheRowsFileAndInformationShowsTheFile)
{
    // The menu shows Edit only when an editor was set at start-up.
    Store("EditApp", testsupport::HelperPath("tolv_test_argdump"));
    ASSERT_TRUE(StartList());
    testsupport::ArgumentPipe pipe;
    ListCommand(2, 4);
    EXPECT_EQ(pipe.Arguments(), std::vector<std::string>{files[2]});

    messages.clear();
    ListCommand(0, 6);
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_THAT(messages[0], testing::Not(HasSubstr("file not found")));
    EXPECT_THAT(messages[0], HasSubstr("48kHz"));
}

TEST_F(ListPaths, AMonitorEditComesBackToThatRow)
{
    ASSERT_TRUE(StartList());
    ListCommand(1, 3);
    ASSERT_TRUE(program->Monitor.IsVisible());
    // The operator selects another row meanwhile; the edit still goes to row 2.
    Click(List().ListArea(), Qt::LeftButton, QPoint(20, apptest::YOfRow(List(), 0)));
    FrmMon& monitor = *program->Monitor.Window();
    monitor.TextMonStartMS().SetText("0.25");
    monitor.OK();
    const ListPage& stored = State().ListTable[static_cast<std::size_t>(ListTableIndex(0, 0))];
    ASSERT_EQ(stored.Items.size(), 3U);
    EXPECT_EQ(stored.Items[1].StartMS, 250);
    EXPECT_EQ(stored.Items[0].StartMS, 0);
    EXPECT_EQ(List().Value(1, 3).Text(), "00'00.2");
    EXPECT_EQ(List().Value(0, 3).Text(), "");
}

// Without the list menu a right click hands the selected row straight to
// the monitor window; with no row selected nothing opens.
TEST_F(ListPaths, WithoutTheMenuARightClickOpensTheMonitorForTheSelectedRowOnly)
{
    Store("UseListRCMenu", "0");
    ASSERT_TRUE(StartList());
    List().UnSelectAll();
    List().SetSelectedItem(-1);
    Click(List().ListArea(), Qt::RightButton, QPoint(20, apptest::YOfRow(List(), 1)));
    Run(parms::TimerInt);
    EXPECT_FALSE(program->Monitor.IsLoaded() && program->Monitor.IsVisible());
    EXPECT_TRUE(menus.empty());

    const QPoint row(20, apptest::YOfRow(List(), 1));
    Click(List().ListArea(), Qt::LeftButton, row);
    Click(List().ListArea(), Qt::RightButton, row);
    ASSERT_TRUE(program->Monitor.IsVisible()) << "at once, without a menu";
    EXPECT_EQ(program->Monitor.Window()->OpenedFile(), files[1]);
    EXPECT_EQ(program->Monitor.Window()->Item().Row, 1);
}

} // namespace
