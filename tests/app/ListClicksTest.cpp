// A play list output of the assembled program clicked as an operator clicks
// it: plain, Ctrl and Shift clicks on the rows, the "Del" tool button and the
// transport's ▶, all as mouse events on the real widgets. What plays is read
// from the player and from the null device; what the operator sees from the
// selection, the list cursor, the current-item panel and the ▶ lamp.
#include "AssembledInput.h"

#include "controls/UC_TextPicture.h"
#include "foundation/Parms.h"

#include <QApplication>
#include <QMouseEvent>

#include <gmock/gmock.h>

#include <algorithm>
#include <functional>

namespace {

using apptest::AssembledFixture;
using testing::Each;
using testing::Not;

constexpr int Rows = 5;

class ListClicks : public AssembledFixture {
protected:
    // One list output of five rows, "item0" .. "item4", each lengthMs long.
    bool StartList(int lengthMs = 1000)
    {
        if (!Start(1, {1})) {
            return false;
        }
        for (int i = 0; i < Rows; ++i) {
            files.push_back(RampWave("item" + std::to_string(i) + ".wav", Rate * lengthMs / 1000));
        }
        return DropFiles(List().ListArea(), files, QPoint(10, 5)) != platform::DropEffectNone &&
               List().ItemCount() == Rows;
    }
    UC_ListView& List() { return *Window().LV(0); }

    void ClickRow(int row, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QWidget& rows = List().ListArea();
        const QPointF at(20, apptest::YOfRow(List(), row));
        const QPointF global = rows.mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, keys);
        QApplication::sendEvent(&rows, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, keys);
        QApplication::sendEvent(&rows, &release);
    }
    static void ClickButton(controls::UC_Buttons& row, int index)
    {
        Click(*row.PictureWidget(), Qt::LeftButton,
              QPoint(apptest::XOfButton(row, index), row.PictureWidget()->height() / 2));
    }
    void Del() { ClickButton(*Window().CtrlButton(0), 0); }
    void Play(int slot = 0) { ClickButton(*Window().PlayButtons(slot), 1); }

    std::vector<int> Selected()
    {
        std::vector<int> rows;
        for (int r = 0; r < List().ItemCount(); ++r) {
            if (List().IsSelected(r) != 0) {
                rows.push_back(r);
            }
        }
        return rows;
    }
    std::string Shown() { return Window().PictureCurrent(0)->TextMes(1); }
    // The slot of the output's player that plays, -1 for none.
    int PlayingSlot()
    {
        for (int slot = 0; slot < State().PlayersPerOutput; ++slot) {
            if (State().PlayerAt(slot).mode() == 3) {
                return slot;
            }
        }
        return -1;
    }
    std::string PlayingFile()
    {
        const int slot = PlayingSlot();
        return slot < 0 ? "" : State().PlayerAt(slot).FileName();
    }
    // Green cells of the ▶ icon as drawn: the lamp an operator reads.
    bool PlayLampLit(int slot)
    {
        controls::UC_Buttons& row = *Window().PlayButtons(slot);
        const int middle = apptest::XOfButton(row, 1);
        const QImage image = row.Picture().Image();
        const QRgb litGreen = qRgb(20, 190, 40);
        int green = 0;
        for (int x = std::max(middle - 12, 0); x < std::min(middle + 12, image.width()); ++x) {
            for (int y = 0; y < image.height(); ++y) {
                green += (image.pixel(x, y) & 0xFFFFFF) == (litGreen & 0xFFFFFF) ? 1 : 0;
            }
        }
        return green > 0;
    }

    // Runs the program on in ticks until done holds, for at most maxMs of
    // program time.
    bool RunUntil(const std::function<bool()>& done, int maxMs = 30000)
    {
        for (int ms = 0; ms < maxMs && !done(); ms += parms::TimerInt) {
            Run(parms::TimerInt);
        }
        return done();
    }

    std::vector<std::string> files;
};

TEST_F(ListClicks, OnAnIdleListTheClickAfterCtrlClicksAndDelSelectsItsRowAndPlayPlaysIt)
{
    ASSERT_TRUE(StartList());
    ClickRow(0);
    ClickRow(1, Qt::ControlModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1}));
    Del();
    ASSERT_EQ(List().ItemCount(), 3);
    EXPECT_EQ(List().Value(0, 1).Text(), "item2");

    ClickRow(1);
    EXPECT_EQ(Selected(), (std::vector<int>{1}));
    EXPECT_EQ(State().ListItem[0], 1) << "the clicked row plays next";
    EXPECT_EQ(Shown(), "item3");

    // A Shift range, then a plain click inside it: that row alone.
    ClickRow(2, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2}));
    ClickRow(1);
    EXPECT_EQ(Selected(), (std::vector<int>{1}));
    EXPECT_EQ(State().ListItem[0], 1);

    Played(1);
    Play();
    Run(200);
    EXPECT_EQ(PlayingFile(), files[3]);
    EXPECT_THAT(Played(1), Not(Each(0.0F))) << "heard on the output's device";
    EXPECT_EQ(Shown(), "item3");
}

TEST_F(ListClicks, OnAPlayingListTheClickAfterCtrlClicksAndDelPicksTheNextRow)
{
    // Play Next: ▶ on a playing list starts the row that plays next.
    Store("ListWhilePlay", "0");
    ASSERT_TRUE(StartList(5000));
    ClickRow(0);
    Play();
    Run(200);
    ASSERT_EQ(PlayingFile(), files[0]);

    ClickRow(2);
    ClickRow(3, Qt::ControlModifier);
    Del();
    ASSERT_EQ(List().ItemCount(), 3) << "item2 and item3 removed while item0 plays";
    EXPECT_EQ(State().ListItem[0], 0) << "the cursor stays on the row that plays";

    ClickRow(2);
    EXPECT_EQ(Selected(), (std::vector<int>{2}));
    EXPECT_EQ(State().ListItem[0], 0);
    ClickRow(1, Qt::ControlModifier);
    ClickRow(1);
    EXPECT_EQ(Selected(), (std::vector<int>{1})) << "a click on a Ctrl-selected row selects it alone";
    ClickRow(2);
    EXPECT_EQ(Selected(), (std::vector<int>{2}));

    Play();
    Run(200);
    EXPECT_EQ(PlayingFile(), files[4]);
    EXPECT_EQ(Shown(), "item4");
}

// With ListWhilePlay 2 a ▶ on a playing list is ignored, and its lamp stays
// lit for as long as the item plays, on every back-end; it goes dark when the
// item ends.
class ListPlayLamp : public ListClicks, public testing::WithParamInterface<int> {};

TEST_P(ListPlayLamp, StaysLitThroughAnIgnoredClickUntilTheItemEnds)
{
    Store("PlayerType", std::to_string(GetParam()));
    Store("ListWhilePlay", "2");
    ASSERT_TRUE(StartList(1000));
    ASSERT_EQ(parms::PlayerType, GetParam());
    ClickRow(1);
    Play(0);
    ASSERT_TRUE(RunUntil([this] { return State().OutputState[0] == 1; }));
    const int slot = PlayingSlot();
    ASSERT_GE(slot, 0);
    ASSERT_EQ(State().PlayerAt(slot).FileName(), files[1]);
    ASSERT_TRUE(PlayLampLit(slot));

    Play(slot);
    EXPECT_TRUE(PlayLampLit(slot)) << "at once";
    Run(300);
    EXPECT_TRUE(PlayLampLit(slot)) << "and on the following ticks";
    EXPECT_EQ(PlayingSlot(), slot);
    EXPECT_EQ(State().PlayerAt(slot).FileName(), files[1]);
    EXPECT_EQ(State().ListItem[0], 1) << "the click changed nothing";

    ASSERT_TRUE(RunUntil([this] { return State().OutputState[0] == 0; }));
    EXPECT_FALSE(PlayLampLit(slot)) << "dark once the item ended";
}

INSTANTIATE_TEST_SUITE_P(BackEnds, ListPlayLamp, testing::Range(0, 6), [](const testing::TestParamInfo<int>& param) {
    return "PlayerType" + std::to_string(param.param);
});

} // namespace
