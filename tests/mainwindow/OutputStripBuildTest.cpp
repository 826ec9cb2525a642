#include "ApplyFixture.h"

#include "foundation/Parms.h"
#include "mainwindow/OutputStripSetup.h"
#include "platform/TwipsGeometry.h"
#include "support/Gallery.h"

#include <gmock/gmock.h>

#include <string>

namespace {

using Outcome = FrmMain::StartOutcome;
using platform::HeightTwips;
using platform::LeftTwips;
using platform::TopTwips;
using platform::WidthTwips;

class OutputStripBuildTest : public shelltest::ApplyFixture {
protected:
    void TearDown() override
    {
        parms::DispBarTime = 1;
        parms::HiColor = 0;
        ApplyFixture::TearDown();
    }

    // Until the window layout places the outputs, the status strip and page
    // selector of each further output stand beside its strip panel here, as
    // the layout puts outputs one below the other.
    void StackOutputs()
    {
        FrmMain& w = *window;
        for (int output = 1; output < w.State.NumOut; ++output) {
            const int strip = output * w.State.PlayersPerOutput;
            const int top = TopTwips(*w.PictureModule(strip));
            for (QWidget* part : std::initializer_list<QWidget*>{w.PictureLEDs(output), w.PicturePage(output)}) {
                if (part != nullptr) {
                    platform::SetTopTwips(*part, top);
                }
            }
            if (w.PictureLEDs(output) != nullptr) {
                platform::SetLeftTwips(*w.PictureLEDs(output), LeftTwips(*w.PictureLEDs(0)));
            }
            if (w.PicturePage(output) != nullptr) {
                platform::SetLeftTwips(*w.PicturePage(output), LeftTwips(*w.PicturePage(0)));
            }
        }
    }

    // Texts playback writes while sound plays, so that the picture shows them.
    void ShowSampleTexts(const std::string& title, const std::string& pageName)
    {
        FrmMain& w = *window;
        for (int strip = 0; strip < w.State.PlayerCount; ++strip) {
            controls::UC_TextPicture& counter = *w.PicCounter(strip);
            counter.DispMes(0, title, 1);
            counter.DispMes(1, "Total/03'25.4", 1);
            counter.DispMes(2, strip == 0 ? " 01'12.5" : "-00'00.0", 1);
            counter.SetColor(strip == 0 ? 1 : 0, 1);
            w.ProgBar(strip)->SetValue(strip == 0 ? 350 : 0);
        }
        for (int output = 0; output < w.State.NumOut; ++output) {
            w.TextPage(output)->DispMes(0, "[" + std::to_string(output + 1) + "] " + pageName, 0);
            w.PageButtons(output)->SetSelectedButton(0);
        }
        w.TextAir(0)->SetColor(1, 1);
        if (w.TextKey.Exists(1)) {
            w.TextKey(1)->SetColor(1, 1);
        }
    }

    void Picture(const std::string& name)
    {
        window->resize(1100, 560);
        window->Form_Resize();
        StackOutputs();
        // The sound buttons and lists wait for the window layout; they are
        // not part of these pictures.
        for (QWidget* content : std::initializer_list<QWidget*>{window->TolvButton(0), window->LV(0),
                                                                window->PictureCurrent(0), window->CtrlButton(0)}) {
            content->hide();
        }
        testsupport::SaveToGallery(window->PictureAll->grab().toImage(), name);
    }
};

TEST_F(OutputStripBuildTest, FourWaveOutOutputsGetOneStripEachOneBelowTheOther)
{
    Store("PlayerType", "3");
    Store("NumOut", "4");
    Store("UseVol", "1");
    Store("IsList_3", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    FrmMain& w = *window;
    // The start-up's layout moved every output to its place; a rebuild of
    // the display shows what the strip set-up itself leaves.
    w.ApplySettings(1);
    ASSERT_EQ(w.State.PlayerCount, 4);
    EXPECT_EQ(w.PictureModule.UBound(), 3);
    EXPECT_EQ(w.PictureLEDs.UBound(), 3);
    EXPECT_EQ(w.PicturePage.UBound(), 3);
    // The first strip is one margin from the left, at the top.
    EXPECT_EQ(LeftTwips(*w.PictureModule(0)), 90);
    EXPECT_EQ(TopTwips(*w.PictureModule(0)), 0);
    const int height = HeightTwips(*w.PictureModule(0));
    EXPECT_EQ(height, 1065);
    for (int strip = 0; strip < 4; ++strip) {
        SCOPED_TRACE(strip);
        EXPECT_EQ(TopTwips(*w.PictureModule(strip)), strip * (height + 90));
        EXPECT_TRUE(w.PictureModule(strip)->isVisible());
        EXPECT_TRUE(w.PictureVU(strip)->isVisible());
        EXPECT_TRUE(w.VolSlider(strip)->isVisible());
        EXPECT_EQ(w.PlayButtons(strip)->NumButtons(), 2);
        // Created as copies: the same place inside each strip.
        EXPECT_EQ(LeftTwips(*w.PicCounter(strip)), 90 + 390 + 30);
        EXPECT_EQ(WidthTwips(*w.PicCounter(strip)), 2400);
        EXPECT_EQ(w.State.CounterTitle[static_cast<std::size_t>(strip)], 1);
    }
    // ON AIR, KEY and STBY by default; never FADE with one player per output;
    // the list output has no STBY.
    EXPECT_THAT(w.State.IndicatorCount, testing::ElementsAre(3, 3, 2, 3));
    EXPECT_THAT(w.State.DispFADE, testing::ElementsAre(0, 0, 0, 0));
    EXPECT_EQ(w.State.DispSTBY[2], 0);
    EXPECT_FALSE(w.TextFade(0)->isVisible());
    EXPECT_FALSE(w.TextSTBY.Exists(2));
    EXPECT_EQ(HeightTwips(*w.PictureLEDs(3)), HeightTwips(*w.PicturePage(0)));
    EXPECT_EQ(TopTwips(*w.TextSTBY(3)), 720);
    EXPECT_EQ(HeightTwips(*w.TextSTBY(3)), 330);
    // The row of the first output: strip, status panels, page selector.
    EXPECT_EQ(LeftTwips(*w.PictureLEDs(0)), 90 + WidthTwips(*w.PictureModule(0)) + 90);
    EXPECT_EQ(LeftTwips(*w.PicturePage(0)), LeftTwips(*w.PictureLEDs(0)) + 1020 + 120);
    EXPECT_EQ(w.State.ContentLeft, 90);
    EXPECT_EQ(WidthTwips(*w.PicturePage(0)), 5100);

    ShowSampleTexts("Morning news", "Morning");
    Picture("strips-waveout-4-outputs");
    testsupport::SaveToGallery(w.PictureLEDs(0)->grab().toImage(), "status-panels-three-onair-lit", 4);
    testsupport::SaveToGallery(w.PictureLEDs(2)->grab().toImage(), "status-panels-two", 4);
}

TEST_F(OutputStripBuildTest, ThreeDirectSoundStripsWithSpeedAndPan)
{
    Store("PlayerType", "0");
    Store("UseSpeed", "1");
    Store("UsePan", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    FrmMain& w = *window;
    ASSERT_EQ(w.State.PlayerCount, 3);
    EXPECT_EQ(w.PictureModule.UBound(), 2);
    EXPECT_EQ(w.PictureLEDs.UBound(), 0);
    for (int strip = 0; strip < 3; ++strip) {
        SCOPED_TRACE(strip);
        EXPECT_TRUE(w.SpeedSlider(strip)->isVisible());
        EXPECT_TRUE(w.PanSlider(strip)->isVisible());
        EXPECT_TRUE(w.VolSlider(strip)->isVisible());
        EXPECT_EQ(w.SpeedSlider(strip)->Value(), 100);
        EXPECT_EQ(w.PanSlider(strip)->Min(), -10000);
        EXPECT_EQ(w.VolSlider(strip)->Min(), -10000);
        EXPECT_EQ(w.PlayButtons(strip)->NumButtons(), 3);
        EXPECT_EQ(w.State.CounterTitle[static_cast<std::size_t>(strip)], 1);
        // The meters show the strip's frame, copied from the kept background.
        const QImage holder = w.PictureVU(strip)->Picture().Image();
        EXPECT_EQ(holder, w.PictureScreen->Picture().Image().copy(0, 0, holder.width(), holder.height()));
    }
    // The strips stand left of the output's content.
    EXPECT_EQ(w.State.ContentLeft, 90 + WidthTwips(*w.PictureModule(0)) + 90);
    // FADE shows on the three-player back-ends.
    EXPECT_EQ(w.State.DispFADE[0], 1);
    EXPECT_EQ(w.State.IndicatorCount[0], 4);

    ShowSampleTexts("Jingle 3", "Jingles");
    Picture("strips-directsound-speed-pan");
}

TEST_F(OutputStripBuildTest, TheStripsOfAThreePlayerListOutputAllFollowItsListFlag)
{
    Store("PlayerType", "5");
    Store("IsList_1", "1");
    Store("IsList_2", "0");
    Store("ShowFmtList", "0");
    ASSERT_EQ(Start(), Outcome::Running);
    FrmMain& w = *window;
    ASSERT_EQ(w.State.PlayerCount, 3);
    // Every strip hides its info lines and shows the time centred.
    EXPECT_THAT(w.State.CounterTitle, testing::ElementsAre(0, 0, 0));
    // STBY is never shown on a list output; no meters without sample positions.
    EXPECT_EQ(w.State.DispSTBY[0], 0);
    EXPECT_FALSE(w.PictureVU(0)->isVisible());
    EXPECT_TRUE(w.LV(0)->isVisibleTo(w.PictureAll));
    EXPECT_FALSE(w.TolvButton(0)->isVisibleTo(w.PictureAll));
}

TEST_F(OutputStripBuildTest, OnlySwitchesStoredAsOneShowTheirPanels)
{
    Store("DispONAIR_1", "2");
    Store("DispKEY_1", "0");
    Store("DispTimer_1", "1");
    Store("ShellName_1", "録音");
    ASSERT_EQ(Start(), Outcome::Running);
    FrmMain& w = *window;
    EXPECT_EQ(w.State.DispONAIR[0], 0);
    EXPECT_EQ(w.State.DispKEY[0], 0);
    EXPECT_EQ(parms::StartTimer[0].TimerEnabled, 1);
    EXPECT_EQ(w.State.IndicatorCount[0], 3); // STBY, timer, shell
    EXPECT_FALSE(w.TextAir(0)->isVisible());
    EXPECT_TRUE(w.TextTimer(0)->isVisible());
    EXPECT_EQ(TopTwips(*w.TextSTBY(0)), 0);
    EXPECT_EQ(TopTwips(*w.TextTimer(0)), 360);
    EXPECT_EQ(TopTwips(*w.TextShell(0)), 720);
    EXPECT_EQ(w.TextShell(0)->TextMes(0), "録音");
}

TEST_F(OutputStripBuildTest, AStandbyModeThatSurvivesARebuildShowsOnItsLabel)
{
    ASSERT_EQ(Start(), Outcome::Running);
    FrmMain& w = *window;
    const QImage unlit = w.TextSTBY(0)->Picture().Image();
    w.State.STBYActive[0] = 1;
    w.ApplySettings(0);
    const QImage lit = w.TextSTBY(0)->Picture().Image();
    EXPECT_NE(lit, unlit);
    w.State.STBYActive[0] = 0;
    w.ApplySettings(1);
    EXPECT_EQ(w.TextSTBY(0)->Picture().Image(), unlit);
}

TEST_F(OutputStripBuildTest, NoPanelLeavesTheStatusStripHidden)
{
    for (const char* key : {"DispONAIR_1", "DispKEY_1", "DispSTBY_1"}) {
        Store(key, "0");
    }
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(window->State.IndicatorCount[0], 0);
    EXPECT_FALSE(window->PictureLEDs(0)->isVisible());
}

TEST_F(OutputStripBuildTest, AHiddenFirstPageSelectorStillSetsTheStripHeights)
{
    Store("PlayerType", "3");
    Store("NumOut", "2");
    Store("ShowPage_1", "0");
    Store("ShowPage_2", "0");
    ASSERT_EQ(Start(), Outcome::Running);
    FrmMain& w = *window;
    EXPECT_FALSE(w.PicturePage(0)->isVisible());
    EXPECT_EQ(HeightTwips(*w.PicturePage(0)), 1065);
    EXPECT_FALSE(w.PicturePage.Exists(1));
    EXPECT_EQ(HeightTwips(*w.PictureLEDs(1)), 1065);
    EXPECT_EQ(HeightTwips(*w.PicCounter(1)), 390 + 465 + 30);
}

TEST_F(OutputStripBuildTest, TheBigDisplayRescalesTheStripsItHasAndARebuildDropsTheRest)
{
    Store("PlayerType", "3");
    Store("NumOut", "3");
    Store("UsePause", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    FrmMain& w = *window;
    EXPECT_EQ(w.PlayButtons(2)->NumButtons(), 3);
    QWidget* third = w.PictureModule(2);

    w.State.DispBig = 1;
    w.ApplySettings(1);
    EXPECT_EQ(w.PictureModule(2), third);
    for (int strip = 0; strip < 3; ++strip) {
        SCOPED_TRACE(strip);
        EXPECT_EQ(WidthTwips(*w.PicCounter(strip)), 3120);
        EXPECT_EQ(WidthTwips(*w.ProgBar(strip)), 2895);
        // The button row snaps to whole buttons within its width.
        EXPECT_LE(WidthTwips(*w.PlayButtons(strip)), 2895);
        EXPECT_GT(WidthTwips(*w.PlayButtons(strip)), 2895 - 3 * 15);
        EXPECT_EQ(HeightTwips(*w.PictureModule(strip)), 495 + 600 + 30 + 2 * 105);
    }
    EXPECT_EQ(TopTwips(*w.PictureModule(2)), 2 * (HeightTwips(*w.PictureModule(0)) + 105));
    EXPECT_EQ(WidthTwips(*w.PicturePage(1)), 6525);
    ShowSampleTexts("Morning news", "Morning");
    Picture("strips-waveout-big-display");

    Store("NumOut", "1");
    w.ApplySettings(0);
    EXPECT_EQ(w.PictureModule.UBound(), 0);
    EXPECT_EQ(w.PictureLEDs.UBound(), 0);
    EXPECT_EQ(w.PicturePage.UBound(), 0);
}

TEST_F(OutputStripBuildTest, NaturalSizesMatchWhatTheBuildMade)
{
    Store("PlayerType", "0");
    Store("UsePan", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    FrmMain& w = *window;
    const OutputStrips::AreaSizes sizes = OutputStrips::NaturalSizes(w.State);
    EXPECT_EQ(sizes.PageFrameWidth, WidthTwips(*w.PicturePage(0)));
    EXPECT_EQ(sizes.PageFrameHeight, HeightTwips(*w.PicturePage(0)));
    EXPECT_EQ(sizes.LedsWidth, WidthTwips(*w.PictureLEDs(0)));
    EXPECT_EQ(sizes.StripWidth, WidthTwips(*w.PictureModule(0)));
    EXPECT_EQ(sizes.StripHeight, HeightTwips(*w.PictureModule(0)));
    EXPECT_EQ(sizes.StripColumnHeight, TopTwips(*w.PictureModule(2)) + HeightTwips(*w.PictureModule(2)));
}

TEST_F(OutputStripBuildTest, CaptionsInJapaneseAndEnglish)
{
    Store("PlayerType", "3");
    Store("NumOut", "2");
    Store("DispBarTime", "0");
    Store("DispTimer_1", "1");
    Store("DispTimer_2", "1");
    Store("OutName_1", "スタジオＡ");
    Store("OutName_2", "第２スタジオ");
    Store("ShellName_1", "録音編集");
    Store("ShellName_2", "ｴﾃﾞｨﾀｰ");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(window->ProgBar(0)->TextToDisp(), "スタジオＡ");
    window->TextTimer(0)->DispMes(0, "10:30:00s", 0);
    ShowSampleTexts("朝のニュース", "朝の番組");
    Picture("strips-captions-japanese");

    Store("OutName_1", "Studio A");
    Store("OutName_2", "Studio 2");
    Store("ShellName_1", "Recorder");
    Store("ShellName_2", "Editor");
    Store("HiColor", "1");
    window->ApplySettings(0);
    EXPECT_EQ(window->ProgBar(1)->TextToDisp(), "Studio 2");
    window->TextTimer(1)->DispMes(0, "Timer", 0);
    ShowSampleTexts("Morning news", "Morning show");
    Picture("strips-captions-english-hicolor");
}

} // namespace
