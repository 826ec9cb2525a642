// Play lists and standby on real players: the cursor that moves on when a
// row ends, the sequence marks that start the next row by itself, and the
// cued button that play commands start.
#include "PlaybackFixture.h"

#include "foundation/Parms.h"

#include <gmock/gmock.h>

namespace {

using playbacktest::PlaybackFixture;

class ListAdvance : public PlaybackFixture {
protected:
    // Output 0 shows a play list of the given rows: (file, sequence mark).
    void StartWithList(const std::vector<std::pair<std::string, bool>>& rows, int seqItemType = 0)
    {
        Store("IsList_1", "1");
        Store("SeqItemType", std::to_string(seqItemType));
        ASSERT_TRUE(Start());
        ASSERT_EQ(parms::IsList[0], 1);
        State().SeqItemType = seqItemType;
        parms::UseListSeq = 1;
        UC_ListView& list = *window->LV(0);
        list.SetNumData(4);
        list.SetNumAux(4);
        list.AddItem(static_cast<int>(rows.size()));
        for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
            list.SetValue(r, 1, rows[static_cast<std::size_t>(r)].first);
            list.SetValue(r, 2, rows[static_cast<std::size_t>(r)].second ? "▲" : "");
            list.SetAuxID(r, 0, sounds / (rows[static_cast<std::size_t>(r)].first + ".wav"));
            list.SetAuxID(r, 1, 1);
            RampWave(rows[static_cast<std::size_t>(r)].first + ".wav", Rate / 2);
        }
        control->SetListCursor(0, 0, 1, 0);
    }
    std::string Title() { return State().PlayerTitle[0]; }
};

TEST_F(ListAdvance, AMarkOnTheNextRowStartsItWhenTheRowBeforeEnds)
{
    StartWithList({{"A", false}, {"B", true}, {"C", false}});
    control->Pon(0, 0, 0, 0, 0);
    EXPECT_EQ(Title(), "A");
    Run(700);
    EXPECT_EQ(Title(), "B") << "B followed A in the same run";
    EXPECT_EQ(State().ListItem[0], 1);
    Run(700);
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_EQ(State().ListItem[0], 2) << "the cursor rests on C";
    EXPECT_EQ(window->LV(0)->DispColor(2), parms::StateColor[2]);
}

TEST_F(ListAdvance, TheTickTracesTheSequenceStartBetweenTheSwitchAndTheStandbyTally)
{
    StartWithList({{"A", false}, {"B", true}});
    control->Pon(0, 0, 0, 0, 0);
    Run(100);
    window->TimerUpdate.SetEnabled(false);
    clock.Advance(600);
    EXPECT_THAT(ObservedTick(), testing::ElementsAre("Timer=", "TimerRemote", "CheckTimer", "ProgPlay", "Play Stopped",
                                                     "tSW", "Seq Play PonStart", "PonStart 0", "StbyTallyOut",
                                                     "Interval="));
    EXPECT_EQ(Title(), "B");
}

TEST_F(ListAdvance, WithSeqItemTypeOneTheMarkOnTheEndedRowStartsTheNext)
{
    StartWithList({{"A", true}, {"B", false}, {"C", false}}, 1);
    control->Pon(0, 0, 0, 0, 0);
    Run(700);
    EXPECT_EQ(Title(), "B");
    Run(700);
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_EQ(State().ListItem[0], 2);
}

TEST_F(ListAdvance, AfterAStopByTheOperatorTheCursorMovesOnButNothingStarts)
{
    StartWithList({{"A", false}, {"B", true}, {"C", false}});
    control->Pon(0, 0, 0, 0, 0);
    Run(100);
    control->StopOutput(0);
    Run(200);
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_EQ(State().ListItem[0], 1);
    EXPECT_EQ(State().SomethingPlays, 0);
}

TEST_F(ListAdvance, WithCheckProgARowStoppedBeforeItAdvancedStaysNext)
{
    StartWithList({{"A", false}, {"B", false}});
    State().CheckProg = 1;
    control->Pon(0, 0, 0, 0, 1);
    control->StopOutput(0);
    Run(200);
    EXPECT_EQ(State().ListItem[0], 0);
    // One that really played moves the cursor on.
    control->Pon(0, 0, 0, 0, 0);
    Run(700);
    EXPECT_EQ(State().ListItem[0], 1);
}

TEST_F(ListAdvance, TheEndOfALongerListLeavesNoCursorAndAOneRowListReturnsToIt)
{
    StartWithList({{"A", false}, {"B", false}});
    control->SetListCursor(0, 1, 1, 0);
    control->Pon(0, 0, 0, 0, 0);
    Run(700);
    EXPECT_EQ(State().ListItem[0], -1);

    window->LV(0)->DeleteItem(1);
    control->SetListCursor(0, 0, 1, 0);
    control->Pon(0, 0, 0, 0, 0);
    Run(700);
    EXPECT_EQ(State().ListItem[0], 0);
}

TEST_F(ListAdvance, AMissingFileShowsTheAlertColourExceptWhilePlaying)
{
    StartWithList({{"A", false}, {"B", false}});
    UC_ListView& list = *window->LV(0);
    list.SetAuxID(0, 1, 0);
    list.SetAuxID(1, 1, 0);
    control->SetListCursor(0, 0, 0, 0);
    EXPECT_EQ(list.DispColor(0), parms::StateColor[1]);
    EXPECT_EQ(list.DispColor(1), parms::StateColor[3]);
}

TEST_F(ListAdvance, TheCurrentItemPanelShowsTheSelectionWhileIdleAndTheCursorRowWhilePlaying)
{
    StartWithList({{"A", false}, {"B", false}, {"C", false}});
    controls::UC_TextPicture& panel = *window->PictureCurrent(0);
    panel.AddTextSpace(9, false, false, "", 0, 0);
    panel.AddTextSpace(9, false, false, "", 0, 0);
    UC_ListView& list = *window->LV(0);
    list.SetSelectedItem(2);
    ASSERT_EQ(list.SelectedItem(), 2);
    control->ShowCurrentItem(0);
    EXPECT_EQ(panel.TextMes(1), "C");

    list.UnSelectAll();
    control->Pon(0, 0, 0, 0, 0);
    list.SetSelectedItem(2);
    control->ShowCurrentItem(0);
    EXPECT_EQ(panel.TextMes(1), "A") << "the row that plays, not the selection";
}

class StandbyTest : public PlaybackFixture {};

TEST_F(StandbyTest, APressOnlyCuesAndEveryPlayCommandPlaysTheCue)
{
    ASSERT_TRUE(Start());
    Assign(0, 0, 3, RampWave("cue.wav", Rate / 2));
    control->TextSTBY_MouseUD(0, 1, false, 0);
    ASSERT_EQ(State().STBYActive[0], 1);
    EXPECT_EQ(ports.Log.IndexOf("SendRemoteCommand 0 17 0") >= 0, true);

    control->Pon(0, 3, 0, 0, 0);
    EXPECT_EQ(State().StandbySet[0], 1);
    EXPECT_EQ(State().StandbyButton[0], 3);
    EXPECT_EQ(State().OutputState[0], 0);

    control->PlayStandby(0, 0);
    EXPECT_EQ(State().OutputState[0], 1);
    Run(700);
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_EQ(State().StandbySet[0], 1) << "the cue stays";
    control->PlayStandby(0, 0);
    EXPECT_EQ(State().OutputState[0], 1);

    // The label ignores clicks while the output plays.
    control->TextSTBY_MouseUD(0, 1, false, 0);
    EXPECT_EQ(State().STBYActive[0], 1);
    Run(700);
    control->TextSTBY_MouseUD(0, 1, false, 0);
    EXPECT_EQ(State().STBYActive[0], 0);
    EXPECT_EQ(State().StandbySet[0], 0);
}

} // namespace
