#include "ApplyFixture.h"

#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "foundation/SharedConf.h"
#include "mainwindow/ListAreaRules.h"
#include "platform/TwipsGeometry.h"

#include <QAction>

#include <gmock/gmock.h>

namespace {

using ListAreaRules::PanelColorSet;
using shelltest::ApplyFixture;
using Outcome = FrmMain::StartOutcome;

TEST(ListAreaRules, ThePanelsPlayingColoursFollowCurrentColorHiColorAndThePlayingColour)
{
    using Sets = std::vector<PanelColorSet>;
    // Built-in set 4 at rest; the playing colour's built-in set.
    EXPECT_EQ(ListAreaRules::CurrentPanelColorSets(false, 0, 0x0000FF), (Sets{{4}, {2}}));
    EXPECT_EQ(ListAreaRules::CurrentPanelColorSets(false, 0, 0x20FF10), (Sets{{4}, {3}}));
    EXPECT_EQ(ListAreaRules::CurrentPanelColorSets(false, 0, 0x20A0F0), (Sets{{4}, {5}}));
    EXPECT_EQ(ListAreaRules::CurrentPanelColorSets(false, 0, 0xFF8080), (Sets{{4}, {1}}));
    // A grey of 128: white text (128 x 2.3 held to 255), 26 (25.6) and 128.
    EXPECT_EQ(ListAreaRules::CurrentPanelColorSets(false, 0x808080, 0x0000FF),
              (Sets{{4}, {-1, 0xFFFFFF, 0x1A1A1A, 0x808080}}));
    // Plain sets: white on black, black on the colour.
    EXPECT_EQ(ListAreaRules::CurrentPanelColorSets(true, 0x123456, 0x0000FF),
              (Sets{{-1, 0xFFFFFF, 0, 0}, {-1, 0, 0x123456, 0x123456}}));
    EXPECT_EQ(ListAreaRules::CurrentPanelColorSets(true, 0, 0x20A0F0),
              (Sets{{-1, 0xFFFFFF, 0, 0}, {-1, 0, 0xA0E0, 0xA0E0}}));
    EXPECT_EQ(ListAreaRules::CurrentPanelColorSets(true, 0, 0xFF8080),
              (Sets{{-1, 0xFFFFFF, 0, 0}, {-1, 0, 0xFF8060, 0xFF8060}}));
    // A playing colour none of the four: no playing set.
    EXPECT_EQ(ListAreaRules::CurrentPanelColorSets(false, 0, 0x123456), (Sets{{4}}));
    EXPECT_EQ(ListAreaRules::CurrentPanelColorSets(true, 0, 0x123456), (Sets{{-1, 0xFFFFFF, 0, 0}}));
}

TEST(ListAreaRules, TipColumnsTakeTheFieldsAndReferencesThatAreOn)
{
    const std::vector<std::string> names{"ドライブ", "フォルダ", "タイトル", "種別", "再生時間",
                                         "開始",     "終了",     "ユーザー", "更新日時"};
    const std::vector<std::int32_t> nameIndex{1, 3, 5, 6, 7};
    const std::vector<std::string> refs{"R1", "R2", "R3"};
    using Columns = std::vector<ListAreaRules::TipColumn>;
    EXPECT_EQ(ListAreaRules::TipColumns(std::vector<std::int32_t>{0, 0, 1, 1, 0}, nameIndex, names,
                                        std::vector<std::int32_t>{0, 1, 0}, refs, 3),
              (Columns{{"開始", 1}, {"終了", 1}, {"R2", -1}}));
    EXPECT_EQ(ListAreaRules::TipColumns(std::vector<std::int32_t>{1, 1, 0, 0, 1}, nameIndex, names,
                                        std::vector<std::int32_t>{0}, refs, 0),
              (Columns{{"フォルダ", 0}, {"種別", 0}, {"ユーザー", 0}}));
    EXPECT_TRUE(ListAreaRules::TipColumns(std::vector<std::int32_t>{0, 0, 0, 0, 0}, nameIndex, names,
                                          std::vector<std::int32_t>{0, 0, 0}, refs, 3)
                    .empty());
}

class ListAreaSetupTest : public ApplyFixture {
protected:
    void TearDown() override
    {
        basic::LangMode = 0;
        FCT_Quind::NumRef = 3;
        FCT_Quind::RefNames.clear();
        ApplyFixture::TearDown();
    }
};

TEST_F(ListAreaSetupTest, AListOutputShowsItsPanelToolsAndAnEmptyListOfFourColumns)
{
    Store("IsList_1", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    UC_ListView& list = *window->LV(0);
    EXPECT_FALSE(list.isHidden());
    EXPECT_FALSE(window->PictureCurrent(0)->isHidden());
    EXPECT_FALSE(window->CtrlButton(0)->isHidden());
    EXPECT_EQ(list.NumData(), 4);
    EXPECT_EQ(list.NumAux(), 4);
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_EQ(list.TabName(1), basic::LangText("タイトル", "Title"));
    EXPECT_EQ(list.TabName(3), "開始位置");
    EXPECT_EQ(list.TabHidden(2), 0);
    EXPECT_EQ(list.TabHidden(3), 0);
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(list.TabWidth(column), 1200) << column;
        EXPECT_EQ(list.TabOrder(column), column) << column;
    }
    EXPECT_EQ(window->PictureCurrent(0)->TextMes(2), "Time");
    EXPECT_EQ(window->PictureCurrent(0)->TextMes(3), "Title");
    // The panel is as high as the page selector; tools and list follow below.
    EXPECT_EQ(platform::HeightTwips(*window->PictureCurrent(0)), platform::HeightTwips(*window->PicturePage(0)));
    EXPECT_EQ(window->CtrlButton(0)->NumButtons(), 4);
}

TEST_F(ListAreaSetupTest, TheBigDisplayScalesToolButtonsAndColumnWidths)
{
    Store("IsList_1", "1");
    Store("DispBig", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    ASSERT_FLOAT_EQ(window->State.SizeFactor, 1.3F);
    // 5100 x 1.3 = 6630 (whole pixels); 330 x 1.3 = 429, cut down to 420.
    EXPECT_EQ(platform::WidthTwips(*window->CtrlButton(0)), 6630);
    EXPECT_EQ(platform::HeightTwips(*window->CtrlButton(0)), 420);
    EXPECT_EQ(window->LV(0)->TabWidth(0), 1560);
}

TEST_F(ListAreaSetupTest, EnglishToolButtonsAndLanguageFreePanelLabels)
{
    Store("IsList_1", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    basic::LangMode = 1;
    window->ApplySettings(0);
    const controls::UC_Buttons& tools = *window->CtrlButton(0);
    EXPECT_EQ(tools.GetButtonChar(0), "Del");
    EXPECT_EQ(tools.GetButtonChar(1), "Clear");
    EXPECT_EQ(tools.GetButtonChar(2), "Up");
    EXPECT_EQ(tools.GetButtonChar(3), "Down");
    EXPECT_EQ(window->PictureCurrent(0)->TextMes(2), "Time");
    EXPECT_EQ(window->LV(0)->TabName(0), "Time");
    basic::LangMode = 0;
    window->ApplySettings(0);
    EXPECT_EQ(tools.GetButtonChar(0), "削除");
    EXPECT_EQ(tools.GetButtonChar(2), "△");
    EXPECT_EQ(window->LV(0)->TabName(0), "再生時間");
}

TEST_F(ListAreaSetupTest, WithoutPanelOrToolsNoSuchElementsAreCreated)
{
    Store("NumOut", "2");
    Store("IsList_1", "1");
    Store("IsList_2", "1");
    Store("ShowCurrent", "0");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_FALSE(window->PictureCurrent.Exists(1));
    EXPECT_TRUE(window->PictureCurrent(0)->isHidden());
    EXPECT_TRUE(window->CtrlButton.Exists(1));
    EXPECT_TRUE(window->LV.Exists(1));

    Store("ShowCurrent", "1");
    Store("ShowCtrl", "0");
    window->ApplySettings(0);
    EXPECT_TRUE(window->PictureCurrent.Exists(1));
    EXPECT_FALSE(window->CtrlButton.Exists(1));
    EXPECT_TRUE(window->CtrlButton(0)->isHidden());
    // The list follows the panel two pixels below it.
    EXPECT_EQ(platform::TopTwips(*window->LV(1)) - platform::TopTwips(*window->PictureCurrent(1)) -
                  platform::HeightTwips(*window->PictureCurrent(1)),
              window->State.UnitGap);
}

TEST_F(ListAreaSetupTest, TipColumnsOnlyOnTheOutputThatShowsTips)
{
    Store("NumOut", "2");
    Store("IsList_1", "1");
    Store("IsList_2", "1");
    Store("DispTip_2", "1");
    Store("DispIt_1", "0");
    Store("DispIt_2", "0");
    Store("DispIt_5", "0");
    Store("DispItRef_1", "0");
    Store("DispItRef_3", "0");
    FCT_Quind::NumRef = 3;
    FCT_Quind::RefNames = {"Ref A", "Ref B", "Ref C"};
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(window->LV(0)->NumData(), 4);
    UC_ListView& tips = *window->LV(1);
    ASSERT_EQ(tips.NumData(), 7);
    EXPECT_EQ(tips.TabName(4), "開始");
    EXPECT_EQ(tips.TabAlign(4), 1);
    EXPECT_EQ(tips.TabName(5), "終了");
    EXPECT_EQ(tips.TabAlign(5), 1);
    EXPECT_EQ(tips.TabName(6), "Ref B");
}

TEST_F(ListAreaSetupTest, HiddenStartAndSequenceColumnsFollowTheirSwitches)
{
    Store("IsList_1", "1");
    Store("UseListStartMS", "0");
    Store("UseListSeq", "0");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(window->LV(0)->TabHidden(3), 1);
    EXPECT_EQ(window->LV(0)->TabHidden(2), 1);
    EXPECT_FALSE(window->MenuRCList->At(3)->isVisible());
    Store("UseListStartMS", "1");
    window->ApplySettings(0);
    EXPECT_EQ(window->LV(0)->TabHidden(3), 0);
    EXPECT_TRUE(window->MenuRCList->At(3)->isVisible());
}

TEST_F(ListAreaSetupTest, StoredWidthsAndOrderComeBackAndTooNarrowWidthsAreWidened)
{
    Store("IsList_1", "1");
    Store("TabWidth_LV1_2", "3000");
    Store("TabWidth_LV1_3", "100");
    // Time third, title first, sequence mark second.
    Store("TabOrder_LV1_1", "2");
    Store("TabOrder_LV1_2", "0");
    Store("TabOrder_LV1_3", "1");
    Store("TabOrder_LV1_4", "3");
    ASSERT_EQ(Start(), Outcome::Running);
    UC_ListView& list = *window->LV(0);
    EXPECT_EQ(list.TabWidth(1), 3000);
    EXPECT_EQ(list.TabWidth(2), 450);
    EXPECT_EQ(list.TabOrder(0), 2);
    EXPECT_EQ(list.TabOrder(1), 0);
    EXPECT_EQ(list.TabOrder(2), 1);
}

TEST_F(ListAreaSetupTest, ARebuildKeepsTheOperatorsColumnOrderAndWidths)
{
    Store("IsList_1", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    UC_ListView& list = *window->LV(0);
    // The operator drags the time column to the third place and widens the title.
    list.SetTabOrder(0, 2);
    list.SetTabWidth(1, 2700);
    const std::vector<int> order{list.TabOrder(0), list.TabOrder(1), list.TabOrder(2), list.TabOrder(3)};

    window->ApplySettings(0);
    EXPECT_EQ(window->LV(0)->TabWidth(1), 2700);
    EXPECT_EQ((std::vector<int>{window->LV(0)->TabOrder(0), window->LV(0)->TabOrder(1), window->LV(0)->TabOrder(2),
                                window->LV(0)->TabOrder(3)}),
              order);
    EXPECT_EQ(Stored("TabOrder_LV1_1"), "2");

    // Into the big display and back: widths are stored independent of it.
    window->State.DispBig = 1;
    window->ApplySettings(1);
    EXPECT_EQ(window->LV(0)->TabWidth(1), 3510);
    window->State.DispBig = 0;
    window->ApplySettings(1);
    EXPECT_EQ(window->LV(0)->TabWidth(1), 2700);
    EXPECT_EQ(window->LV(0)->TabOrder(0), 2);
}

TEST_F(ListAreaSetupTest, CreatedToolButtonsAndListsReportTheirOutput)
{
    Store("NumOut", "2");
    Store("IsList_2", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    ports.Log.Clear();
    int clicked = 2;
    window->CtrlButton(1)->ButtonClicked(clicked);
    double x = 10;
    double y = 20;
    window->LV(1)->RightClicked(x, y);
    EXPECT_THAT(ports.Log.Calls(), testing::ElementsAre("CtrlButton_ButtonClicked 1 2", "LV_RightClicked 1"));
}

} // namespace
