// What OK and Delete of the monitor window change in the main window: the
// item the window was opened for, whatever page is shown by then, and only
// while it still holds its file.
#include "dialogs/MonitorHandBack.h"

#include "controls/UC_ListView.h"
#include "controls/UC_TolvButton.h"
#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "platform/MessageBox.h"
#include "support/FakePorts.h"
#include "support/TwipsFixture.h"

#include <gmock/gmock.h>

#include <string>
#include <vector>

namespace {

using testing::ElementsAre;

class MonitorHandBackTest : public testsupport::TwipsFixture {
protected:
    MonitorHandBackTest()
    {
        basic::LangMode = 1;
        parms::IsList = {0, 1, 0, 0};
        parms::UseListSeq = 1;
        parms::SeqMarkText = "S";
        parms::MonitorExchange = {};
        window.Ports = ports.Wire();
        MainState& state = window.State;
        state.NumOut = 2;
        state.ButtonsPerOutput = 20;
        state.ButtonsPerPage = {20, 0, 0, 0};
        state.CheckCacheLite = 1;
        state.DefaultButtonOption = 1;
        platform::SetMessageBoxAnswer([this](const platform::MessageBoxRequest& request) {
            messages.push_back(request.text);
            EXPECT_EQ(request.style & 0x70, platform::IconStop);
            return platform::IdOk;
        });
    }
    ~MonitorHandBackTest() override
    {
        platform::SetMessageBoxAnswer(nullptr);
        parms::IsList = {0, 0, 0, 0};
    }

    AssignRecord& Button(int page, int button)
    {
        return window.State.ButtonTable.at(static_cast<std::size_t>(ButtonTableIndex(0, page, button)));
    }
    ListPage& List(int page) { return window.State.ListTable.at(static_cast<std::size_t>(ListTableIndex(1, page))); }
    void FillList(int page, const std::vector<std::string>& files)
    {
        ListPage& list = List(page);
        list.Items.clear();
        list.Seq.clear();
        for (const std::string& file : files) {
            AssignRecord record;
            record.FileName = file;
            list.Items.push_back(record);
            list.Seq.push_back(0);
        }
    }
    static MonitorItem ButtonItem(int page, int button, const std::string& file)
    {
        MonitorItem item;
        item.Output = 0;
        item.Page = page;
        item.Button = button;
        item.File = file;
        return item;
    }
    static MonitorItem RowItem(int page, int row, const std::string& file)
    {
        MonitorItem item;
        item.IsList = true;
        item.Output = 1;
        item.Page = page;
        item.Row = row;
        item.File = file;
        return item;
    }
    void Exchange(const std::string& file, std::int32_t start, std::int32_t mode, std::int32_t seq = 0)
    {
        parms::MonitorExchange.MonitorFile = file;
        parms::MonitorExchange.MonitorStartMS = start;
        parms::MonitorExchange.MonitorPlayMode = mode;
        parms::MonitorExchange.MonitorColors = {0x112233, 0x445566};
        parms::MonitorExchange.MonitorSeq = seq;
    }

    testsupport::FakePorts ports;
    FrmMain window;
    MonitorHandBack handBack{window};
    std::vector<std::string> messages;
};

TEST_F(MonitorHandBackTest, OkAfterAPageSwitchChangesTheOriginalButton)
{
    Button(2, 5).FileName = "/snd/a.wav";
    Button(0, 5).FileName = "/snd/b.wav";
    window.State.CurrentPage[0] = 0; // the operator went back to page 1
    Exchange("/snd/a.wav", 1500, 3);
    handBack.TakeBack(ButtonItem(2, 5, "/snd/a.wav"), nullptr);

    EXPECT_EQ(Button(2, 5).StartMS, 1500);
    EXPECT_EQ(Button(2, 5).PlayMode, 3);
    EXPECT_EQ(Button(2, 5).TextColor, 0x112233);
    EXPECT_EQ(Button(2, 5).BackColor, 0x445566);
    EXPECT_EQ(Button(0, 5).StartMS, 0) << "the button with the same number on the page shown";
    EXPECT_EQ(Button(0, 5).PlayMode, 0);
    EXPECT_TRUE(messages.empty());
    EXPECT_GE(ports.Log.IndexOf("DisarmTimer 0"), 0);
}

TEST_F(MonitorHandBackTest, AButtonThatChangedMeanwhileIsLeftAlone)
{
    Button(2, 5).FileName = "/snd/other.wav";
    Exchange("/snd/a.wav", 1500, 3);
    handBack.TakeBack(ButtonItem(2, 5, "/snd/a.wav"), nullptr);
    EXPECT_THAT(messages, ElementsAre("The item has changed. Nothing was applied."));
    EXPECT_EQ(Button(2, 5).StartMS, 0);
    EXPECT_EQ(Button(2, 5).FileName, "/snd/other.wav");

    Exchange("", 0, 0);
    handBack.TakeBack(ButtonItem(2, 5, "/snd/a.wav"), nullptr);
    EXPECT_EQ(Button(2, 5).FileName, "/snd/other.wav") << "Delete refused as well";
}

TEST_F(MonitorHandBackTest, AnotherFileIsAssignedFirstAndARefusalStillTakesTheEditOnTheOldFile)
{
    Button(2, 5).FileName = "/snd/a.wav";
    std::vector<std::string> assigned;
    bool accept = false;
    handBack.AssignButtonFile = [&](int output, int page, int button, const std::string& path) {
        assigned.push_back(std::to_string(output) + "," + std::to_string(page) + "," + std::to_string(button) + " " +
                           path);
        if (accept) {
            Button(page, button).FileName = path;
        }
        return accept;
    };
    Exchange("/snd/new.wav", 900, 2);
    handBack.TakeBack(ButtonItem(2, 5, "/snd/a.wav"), nullptr);
    EXPECT_THAT(assigned, ElementsAre("0,2,5 /snd/new.wav"));
    EXPECT_EQ(Button(2, 5).FileName, "/snd/a.wav") << "the refused file is not assigned";
    EXPECT_EQ(Button(2, 5).StartMS, 900) << "start, mode and colours go onto the old assignment";
    EXPECT_EQ(Button(2, 5).PlayMode, 2);
    EXPECT_EQ(Button(2, 5).TextColor, 0x112233);
    EXPECT_EQ(Button(2, 5).BackColor, 0x445566);

    Button(2, 5).StartMS = 0;
    accept = true;
    handBack.TakeBack(ButtonItem(2, 5, "/snd/a.wav"), nullptr);
    EXPECT_EQ(Button(2, 5).FileName, "/snd/new.wav");
    EXPECT_EQ(Button(2, 5).StartMS, 900);
}

TEST_F(MonitorHandBackTest, AButtonThatAnotherAssignmentTookMeanwhileIsNotEdited)
{
    Button(2, 5).FileName = "/snd/a.wav";
    // The assignment pumps events (its messages): meanwhile something else
    // lands on the button.
    handBack.AssignButtonFile = [&](int, int page, int button, const std::string&) {
        Button(page, button).FileName = "/snd/dropped meanwhile.wav";
        return false;
    };
    Exchange("/snd/new.wav", 900, 2);
    handBack.TakeBack(ButtonItem(2, 5, "/snd/a.wav"), nullptr);
    EXPECT_EQ(Button(2, 5).FileName, "/snd/dropped meanwhile.wav");
    EXPECT_EQ(Button(2, 5).StartMS, 0);
}

// What the clear does to record, face, lamp and cue is the button menu's
// Remove; the whole program's tests check it through the monitor window.
TEST_F(MonitorHandBackTest, DeleteClearsTheRecordedButtonThroughTheMenusRemove)
{
    Button(2, 3).FileName = "/snd/a.wav";
    Button(2, 4).FileName = "/snd/b.wav";
    std::vector<std::string> cleared;
    handBack.ClearButtonFile = [&](int output, int page, int button) {
        cleared.push_back(std::to_string(output) + "," + std::to_string(page) + "," + std::to_string(button));
    };
    Exchange("", 0, 0);
    handBack.TakeBack(ButtonItem(2, 3, "/snd/a.wav"), nullptr);
    EXPECT_THAT(cleared, ElementsAre("0,2,3"));
    EXPECT_EQ(Button(2, 4).FileName, "/snd/b.wav");
}

TEST_F(MonitorHandBackTest, AShownButtonIsRedrawnWithItsMarks)
{
    Button(0, 0).FileName = "/snd/a.wav";
    window.State.CurrentPage[0] = 0;
    Exchange("/snd/a.wav", 2500, 1);
    parms::MonitorExchange.MonitorColors = {0, 0};
    handBack.TakeBack(ButtonItem(0, 0, "/snd/a.wav"), nullptr);
    EXPECT_EQ(Button(0, 0).StartMS, 2500);
    EXPECT_EQ(Button(0, 0).TextColor, 0);
    EXPECT_EQ(Button(0, 0).BackColor, 0);
}

TEST_F(MonitorHandBackTest, ListOkAfterAPageSwitchChangesTheRecordedRow)
{
    FillList(3, {"/snd/x.wav", "/snd/y.wav", "/snd/z.wav"});
    FillList(0, {"/snd/p.wav", "/snd/q.wav"});
    window.State.CurrentPage[1] = 0; // another page is shown
    Exchange("/snd/chosen-in-window.wav", 4000, 0, 1);
    handBack.TakeBack(RowItem(3, 1, "/snd/y.wav"), nullptr);

    EXPECT_EQ(List(3).Items[1].StartMS, 4000);
    EXPECT_EQ(List(3).Seq[1], 1);
    EXPECT_EQ(List(3).Items[1].FileName, "/snd/y.wav") << "a list row keeps its file";
    EXPECT_EQ(List(3).Items[0].StartMS, 0);
    EXPECT_EQ(List(0).Items[1].StartMS, 0) << "not the row of the page shown";
    EXPECT_EQ(List(0).Seq[1], 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(MonitorHandBackTest, ListDeleteRemovesOnlyTheRecordedRow)
{
    FillList(3, {"/snd/x.wav", "/snd/y.wav", "/snd/z.wav"});
    Exchange("", 0, 0);
    handBack.TakeBack(RowItem(3, 1, "/snd/y.wav"), nullptr);
    ASSERT_EQ(List(3).Items.size(), 2U);
    EXPECT_EQ(List(3).Items[0].FileName, "/snd/x.wav");
    EXPECT_EQ(List(3).Items[1].FileName, "/snd/z.wav");
    EXPECT_EQ(List(3).Seq.size(), 2U);

    // The last row leaves the empty list of one blank record.
    FillList(4, {"/snd/only.wav"});
    handBack.TakeBack(RowItem(4, 0, "/snd/only.wav"), nullptr);
    ASSERT_EQ(List(4).Items.size(), 1U);
    EXPECT_EQ(List(4).Items[0].FileName, "");

    // A row that moved away is not touched.
    handBack.TakeBack(RowItem(3, 1, "/snd/y.wav"), nullptr);
    EXPECT_EQ(List(3).Items.size(), 2U);
    EXPECT_THAT(messages, ElementsAre("The item has changed. Nothing was applied."));
}

TEST_F(MonitorHandBackTest, ThePlayingRowOfTheShownListIsNotRemoved)
{
    // Output 1 shows a list on page 0 while its row 1 plays.
    parms::IsList = {1, 0, 0, 0};
    MainState& state = window.State;
    state.CurrentPage[0] = 0;
    state.ListItem[0] = 1;
    state.OutputState[0] = 1;
    ListPage& list = state.ListTable.at(static_cast<std::size_t>(ListTableIndex(0, 0)));
    list.Items = {AssignRecord{}, AssignRecord{}, AssignRecord{}};
    list.Items[0].FileName = "/snd/x.wav";
    list.Items[1].FileName = "/snd/y.wav";
    list.Items[2].FileName = "/snd/z.wav";
    list.Seq = {0, 0, 0};
    UC_ListView& view = *window.LV(0);
    view.SetNumData(6);
    view.SetNumAux(4);
    view.AddItem(3);
    view.SetAuxID(0, 0, "/snd/x.wav");
    view.SetAuxID(1, 0, "/snd/y.wav");
    view.SetAuxID(2, 0, "/snd/z.wav");

    MonitorItem item;
    item.IsList = true;
    item.Output = 0;
    item.Page = 0;
    item.Row = 1;
    item.File = "/snd/y.wav";
    Exchange("", 0, 0);
    handBack.TakeBack(item, nullptr);
    EXPECT_THAT(messages, ElementsAre("Cant Remove Playing Title."));
    EXPECT_EQ(list.Items.size(), 3U);
    EXPECT_EQ(view.ItemCount(), 3);

    // OK on the shown list writes the row's start and mark into the view.
    Exchange("/snd/y.wav", 1500, 0, 1);
    handBack.TakeBack(item, nullptr);
    EXPECT_EQ(list.Items[1].StartMS, 1500);
    EXPECT_EQ(view.Value(1, 3).Text(), "00'01.5");
    EXPECT_EQ(view.Value(1, 2).Text(), "S");
    EXPECT_EQ(view.AuxID(1, 2).Text(), "1500");

    // Once idle, Delete removes the row from view and table; the cursor row goes.
    state.OutputState[0] = 0;
    Exchange("", 0, 0);
    handBack.TakeBack(item, nullptr);
    EXPECT_EQ(list.Items.size(), 2U);
    EXPECT_EQ(view.ItemCount(), 2);
    EXPECT_EQ(view.AuxID(1, 0).Text(), "/snd/z.wav");
    EXPECT_GE(ports.Log.IndexOf("SetListCursor 0 -1 1 1"), 0);
}

} // namespace
