// Rows moved onto a play list that takes only some of them: only the rows it
// took leave their list.
#include "PlayListFixture.h"

#include <gmock/gmock.h>

namespace {

using testing::ElementsAre;

using PartialMoves = playbacktest::PlayListFixture;

TEST_F(PartialMoves, OnlyTheRowsTheTargetListTookLeaveTheirList)
{
    ASSERT_TRUE(StartLists({1, 2}, 2));
    Drop({ToneWave("a.wav", Rate / 10), ToneWave("cd.wav", Rate / 10, 1000, 44100), ToneWave("c.wav", Rate / 10)}, 1000,
         0);
    ASSERT_THAT(Titles(0), ElementsAre("a", "cd", "c"));
    State().CheckWavFmt = 1;
    State().SozaiFreq = Rate;
    View(0).SelectAll();

    platform::DragData data;
    int allowed = 0;
    lists->LV_OLEStartDrag(0, data, allowed);
    int effect = platform::DropEffectCopy;
    lists->LV_OLEDragDrop(1, data, effect, 1, 0, 0, 0);
    lists->LV_OLECompleteDrag(0, effect);

    EXPECT_THAT(Titles(1), ElementsAre("a")) << "the drop ends at the refused sound";
    EXPECT_THAT(Titles(0), ElementsAre("cd", "c"));
    EXPECT_THAT(StoredTitles(0), ElementsAre("cd", "c"));

    // A list that takes none of them says so, and every row stays.
    View(0).SelectAll();
    lists->LV_OLEStartDrag(0, data, allowed);
    platform::DragData refusedOnly;
    refusedOnly.AddFile(data.Files().front());
    effect = platform::DropEffectCopy;
    lists->LV_OLEDragDrop(1, refusedOnly, effect, 1, 0, 0, 0);
    EXPECT_EQ(effect, platform::DropEffectNone);
    lists->LV_OLECompleteDrag(0, effect);
    EXPECT_THAT(Titles(0), ElementsAre("cd", "c"));
}

} // namespace
