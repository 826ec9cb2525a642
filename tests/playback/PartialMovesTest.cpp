// Rows moved onto a play list that takes only some of them: only the rows it
// took leave their list; a list that takes none says so, and every row stays.
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
    State().CheckWavFmt = 1;
    State().SozaiFreq = Rate;
    // All three rows, then the refused one alone.
    for (const bool all : {true, false}) {
        View(0).SelectAll();
        platform::DragData data;
        int allowed = 0;
        lists->LV_OLEStartDrag(0, data, allowed);
        platform::DragData dropped;
        for (std::size_t f = 0; f < (all ? data.Files().size() : 1); ++f) {
            dropped.AddFile(data.Files()[f]);
        }
        int effect = platform::DropEffectCopy;
        lists->LV_OLEDragDrop(1, dropped, effect, 1, 0, 0, 0);
        lists->LV_OLECompleteDrag(0, effect);
        ASSERT_THAT(StoredTitles(0), ElementsAre("cd", "c")) << (all ? "all three" : "the refused one");
    }
    EXPECT_THAT(Titles(1), ElementsAre("a")) << "the drop ends at the refused sound";
}

} // namespace
