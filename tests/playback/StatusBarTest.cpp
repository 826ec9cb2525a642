#include "foundation/Language.h"
#include "foundation/ServerFolders.h"
#include "mainwindow/FrmMain.h"
#include "mainwindow/ports/RemotePort.h"
#include "playback/ObservationLine.h"
#include "playback/StatusBar.h"
#include "platform/base/Twips.h"
#include "support/ClockFixture.h"
#include "support/Gallery.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QMenuBar>

namespace {

class EnglishTexts : public testing::Test {
protected:
    void SetUp() override
    {
        saved_ = basic::LangMode;
        basic::LangMode = 1;
    }
    void TearDown() override { basic::LangMode = saved_; }

private:
    std::int32_t saved_ = 0;
};

StatusBar::Inputs Stamped()
{
    StatusBar::Inputs inputs;
    inputs.stamp = "2026/12/07 12:00:00";
    return inputs;
}

} // namespace

TEST_F(EnglishTexts, StatusTextShowsCacheFilesAndBoxes)
{
    StatusBar::Inputs inputs = Stamped();
    StatusBar::Line line = StatusBar::Compose(inputs);
    EXPECT_EQ(line.text, "2026/12/07 12:00:00 / Files Valid");
    EXPECT_FALSE(line.alert);

    inputs.showCache = true;
    inputs.allCached = 1;
    EXPECT_EQ(StatusBar::Compose(inputs).text, "2026/12/07 12:00:00 / All Chached / Files Valid");
    inputs.allCached = 0;
    line = StatusBar::Compose(inputs);
    EXPECT_EQ(line.text, "2026/12/07 12:00:00 / Not All Chached / Files Valid");
    EXPECT_TRUE(line.alert);

    inputs = Stamped();
    inputs.invalidIncluded = 1;
    line = StatusBar::Compose(inputs);
    EXPECT_EQ(line.text, "2026/12/07 12:00:00 / Invalid File Included");
    EXPECT_TRUE(line.alert);

    inputs = Stamped();
    inputs.boxes[0] = {0x1234, 1, 0.0F, 2.0F};
    inputs.boxes[2] = {0x1234, 0, 0.0F, 2.0F};
    line = StatusBar::Compose(inputs);
    EXPECT_EQ(line.text, "2026/12/07 12:00:00 / Files Valid / USB Controller1 OK / USB Controller3 Stopped");
    EXPECT_TRUE(line.alert);
}

TEST_F(EnglishTexts, AResettingBoxCountsDownWithOneDecimalInRed)
{
    StatusBar::Inputs inputs = Stamped();
    inputs.secondsOfDay = 43200.5;
    inputs.boxes[1] = {1, 1, 43200.0F, 2.0F};
    const StatusBar::Line line = StatusBar::Compose(inputs);
    EXPECT_EQ(line.text, "2026/12/07 12:00:00 / Files Valid / USB Controller2 Restarting...1.5");
    EXPECT_TRUE(line.alert);
    // A reset begun just before midnight, read after it.
    inputs.secondsOfDay = 0.2;
    inputs.boxes[1] = {1, 1, 86399.5F, 2.0F};
    EXPECT_NE(StatusBar::Compose(inputs).text.find("Restarting...1.3"), std::string::npos);
}

TEST(StatusBarTexts, JapaneseTexts)
{
    const std::int32_t saved = basic::LangMode;
    basic::LangMode = 0;
    StatusBar::Inputs inputs = Stamped();
    inputs.showCache = true;
    inputs.allCached = 0;
    inputs.boxes[0] = {1, 1, 100.0F, 2.0F};
    inputs.secondsOfDay = 101.0;
    EXPECT_EQ(StatusBar::Compose(inputs).text,
              "2026/12/07 12:00:00 / 未キャッシュ素材あり / 素材OK / USBリモコン1 リセット中…1.0");
    basic::LangMode = saved;
}

TEST(StatusBarTicker, CrossesTheWindowOncePerMinute)
{
    // At the full minute the text starts just off the right edge.
    EXPECT_EQ(StatusBar::TickerX(600, 200, 43200.0), 400);
    // Half a minute later it has moved half the width.
    EXPECT_EQ(StatusBar::TickerX(600, 200, 43230.0), 100);
    // A text wider than the window leaves on the left while it re-enters
    // on the right (the caller prints it again at x + width).
    EXPECT_EQ(StatusBar::TickerX(600, 900, 43259.5), -895);
}

namespace {

class DiagnosticStrips : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        SetNow(Date(2026, 12, 7), At(12, 0, 30));
        basic::TwipsPerPixel = 15;
        window.resize(640, 300);
        window.Form_Resize();
        // The background the strips are restored from: white on top, pale blue below.
        platform::Surface& grad = window.PictureGrad->Picture();
        grad.Resize(640, 40);
        grad.SetBackColor(0xFFFFFF);
        grad.Line(0, 300, 640 * 15, 599, 0xFFE0C0, platform::LineShape::FilledBox);
        window.Picture().SetBackColor(0x808080);
    }
    // Pixels in a strip of the window's picture whose colour is colour.
    int Count(int top, int height, unsigned rgb)
    {
        int count = 0;
        const QImage& image = window.Picture().Image();
        for (int y = top; y < top + height; ++y) {
            for (int x = 0; x < image.width(); ++x) {
                count += (image.pixel(x, y) & 0xFFFFFFU) == rgb ? 1 : 0;
            }
        }
        return count;
    }

    FrmMain window;
    StatusBar bar{window};
    ObservationLine observation{window};
};

} // namespace

TEST_F(DiagnosticStrips, NothingIsDrawnWithoutShowObservation)
{
    window.State.ShowObservation = 0;
    const QImage before = window.Picture().Image();
    bar.DrawStatusBar();
    observation.AddObservation("PonStart 3");
    EXPECT_EQ(window.Picture().Image(), before);
}

TEST_F(DiagnosticStrips, StatusBarInRedWithAnAlertAndTheObservationLineInGrey)
{
    window.State.ShowObservation = 1;
    window.State.InvalidIncluded = 1;
    bar.DrawStatusBar();
    const int top = window.MenuBar->height();
    EXPECT_GT(Count(top, StatusBar::StripHeight, 0xFF0000), 0) << "red text";
    EXPECT_GT(Count(top, StatusBar::StripHeight, 0xFFFFFF), 0) << "the restored background";

    observation.AddObservation("PonStart 3");
    const int bottom = window.Picture().PixelHeight() - ObservationLine::StripHeight;
    EXPECT_GT(Count(bottom, ObservationLine::StripHeight, 0x606060), 0) << "grey text";
    EXPECT_GT(Count(bottom, ObservationLine::StripHeight, 0xC0E0FF), 0) << "the lower half of the background";
    testsupport::SaveToGallery(window.Picture().Image(), "status_bar_and_observation_line");

    // At most five redraws a second: a draw 0.1 s later changes nothing.
    window.State.InvalidIncluded = 0;
    clock.Advance(100);
    bar.DrawStatusBar();
    EXPECT_GT(Count(top, StatusBar::StripHeight, 0xFF0000), 0);
    clock.Advance(150);
    bar.DrawStatusBar();
    EXPECT_EQ(Count(top, StatusBar::StripHeight, 0xFF0000), 0) << "all well: dark grey";
    EXPECT_GT(Count(top, StatusBar::StripHeight, 0x202020), 0);
}
