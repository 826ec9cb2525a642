// The first start, with no window size stored: the window opens at the size
// its layout needs, within the screen, in the normal and the big display,
// and shows every button of the default grid and every status panel whole.
#include "ApplyFixture.h"

#include "foundation/Parms.h"
#include "mainwindow/PanelLook.h"
#include "mainwindow/WindowFit.h"
#include "platform/Screens.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Twips.h"
#include "support/Gallery.h"
#include "support/ImageInk.h"

#include <QApplication>
#include <QMenuBar>
#include <QWidget>

#include <gmock/gmock.h>

#include <string>
#include <vector>

namespace {

using shelltest::ApplyFixture;
using Outcome = FrmMain::StartOutcome;

class FirstWindow : public ApplyFixture {
protected:
    void SetUp() override
    {
        ApplyFixture::SetUp();
        platform::SetScreenExtentOverride(QSize(1920, 1080));
    }
    void TearDown() override
    {
        platform::SetScreenExtentOverride(std::nullopt);
        ApplyFixture::TearDown();
    }

    // Captions on the buttons and rows in the lists, as a file would give.
    void Fill()
    {
        MainState& state = window->State;
        for (int output = 0; output < state.NumOut; ++output) {
            const auto o = static_cast<std::size_t>(output);
            if (parms::IsList[o] != 0) {
                UC_ListView& list = *window->LV(output);
                list.DeleteAll();
                list.AddItem(3);
                for (int row = 0; row < 3; ++row) {
                    list.SetValue(row, 0, "00:3" + std::to_string(row));
                    list.SetValue(row, 1, "Item " + std::to_string(row + 1));
                }
                list.Refresh();
                continue;
            }
            for (int b = 0; b < state.ButtonsPerPage[o]; ++b) {
                if (controls::UC_TolvButton* button = window->TolvButton.At(output * state.ButtonsPerOutput + b)) {
                    button->SetText(1, "Sound " + std::to_string(b + 1));
                    button->Draw(0);
                }
            }
        }
        QApplication::processEvents();
    }

    // True when the window's picture shows the control exactly as the
    // control draws itself: nothing of it is cut off or covered.
    static bool ShownWhole(const QImage& shot, const QWidget& window, const QWidget& control)
    {
        const QRect place(control.mapTo(&window, QPoint(0, 0)), control.size());
        if (!shot.rect().contains(place)) {
            return false;
        }
        const QImage own = const_cast<QWidget&>(control).grab().toImage().convertToFormat(QImage::Format_RGB32);
        return shot.copy(place).convertToFormat(QImage::Format_RGB32) == own;
    }

    // Every button of every grid and every status panel shown, whole.
    void ExpectEverythingWhole(const QImage& shot, const std::string& display)
    {
        const MainState& state = window->State;
        for (int output = 0; output < state.NumOut; ++output) {
            const auto o = static_cast<std::size_t>(output);
            if (parms::IsList[o] != 0) {
                const UC_ListView* list = window->LV.At(output);
                ASSERT_NE(list, nullptr);
                EXPECT_TRUE(list->isVisible()) << display << ": the list of output " << output + 1;
                // Its editors and bars lie over it, so its place is checked:
                // inside the window's picture and not clipped by its panel.
                const QRect place(list->mapTo(window.get(), QPoint(0, 0)), list->size());
                const QRect all(window->PictureAll->mapTo(window.get(), QPoint(0, 0)), window->PictureAll->size());
                EXPECT_TRUE(shot.rect().contains(place) && all.contains(place))
                    << display << ": the list of output " << output + 1;
                EXPECT_GE(list->height() * basic::TwipsPerPixel, WindowLayout::MinListHeight);
                continue;
            }
            for (int b = 0; b < state.ButtonsPerPage[o]; ++b) {
                const controls::UC_TolvButton* button = window->TolvButton.At(output * state.ButtonsPerOutput + b);
                ASSERT_NE(button, nullptr);
                EXPECT_TRUE(ShownWhole(shot, *window, *button))
                    << display << ": button " << b + 1 << " of output " << output + 1;
            }
        }
        int panels = 0;
        for (auto* array : {&window->TextAir, &window->TextKey, &window->TextFade, &window->TextSTBY,
                            &window->TextTimer, &window->TextShell}) {
            for (int output = 0; output < state.NumOut; ++output) {
                const controls::UC_TextPicture* panel = array->At(output);
                if (panel != nullptr && panel->isVisibleTo(window.get())) {
                    ++panels;
                    EXPECT_TRUE(ShownWhole(shot, *window, *panel))
                        << display << ": status panel " << panel->TextMes(0) << " of output " << output + 1;
                }
            }
        }
        // ON AIR and KEY at least on every output (a list has no STBY).
        EXPECT_GE(panels, 2 * state.NumOut) << display;
    }

    QImage Shot()
    {
        QApplication::processEvents();
        return window->grab().toImage();
    }
};

TEST_F(FirstWindow, OpensAtTheSizeTheDefaultGridNeedsInBothDisplays)
{
    ASSERT_EQ(Start(), Outcome::Running);
    ASSERT_EQ(window->State.ModuleX[0], 8);
    ASSERT_EQ(window->State.ModuleY[0], 4);
    Fill();
    const QSize normal = window->size();
    const QImage first = Shot();
    testsupport::SaveToGallery(first, "first-window-normal");
    ExpectEverythingWhole(first, "normal display");
    // No larger than it needs: one pixel narrower and the last column is cut.
    EXPECT_LE(window->TolvButton(7)->mapTo(window.get(), QPoint(0, 0)).x() + window->TolvButton(7)->width(),
              normal.width());
    EXPECT_GT(window->TolvButton(7)->mapTo(window.get(), QPoint(0, 0)).x() + window->TolvButton(7)->width(),
              normal.width() - 20);

    // The big display the first time: its own size is what its layout needs.
    window->MenuDispBig_Click();
    ASSERT_EQ(window->State.DispBig, 1);
    Fill();
    const QImage big = Shot();
    testsupport::SaveToGallery(big, "first-window-big");
    EXPECT_GT(window->width(), normal.width());
    EXPECT_GT(window->height(), normal.height());
    ExpectEverythingWhole(big, "big display");

    // Back to the normal display: the size it was left at comes back.
    window->MenuDispBig_Click();
    EXPECT_EQ(window->size(), normal);
}

TEST_F(FirstWindow, StartingInTheBigDisplayWithASecondOutputShowsItsListToo)
{
    // A screen that holds the big grid and a list below it.
    platform::SetScreenExtentOverride(QSize(2560, 1440));
    Store("DispBig", "1");
    Store("NumOut", "2");
    Store("IsList_2", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    Fill();
    const QImage shot = Shot();
    testsupport::SaveToGallery(shot, "first-window-big-grid-and-list");
    ExpectEverythingWhole(shot, "big display, grid and list");
    EXPECT_LT(window->height(), 1440) << "no taller than it needs";
}

TEST_F(FirstWindow, StaysWithinTheScreenAndKeepsAStoredSize)
{
    // A screen too small for the big grid: the window takes the screen.
    platform::SetScreenExtentOverride(QSize(1024, 768));
    Store("DispBig", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_LE(window->width(), 1024);
    EXPECT_LE(window->height(), 768);
    EXPECT_GE(window->width(), 1000);
}

TEST_F(FirstWindow, AStoredSizeWins)
{
    // Larger than the layout needs: the operator's size stays.
    Store("WindowWidth", "22500");
    Store("WindowHeight", "13500");
    ASSERT_EQ(Start(), Outcome::Running);
    QApplication::processEvents();
    // The stored size is the window's outer size, its frame included.
    EXPECT_EQ(window->frameGeometry().size(), QSize(1500, 900));
}

TEST_F(FirstWindow, AStoredSizeTooSmallForTheLayoutGrowsToIt)
{
    Store("WindowWidth", "9000");
    Store("WindowHeight", "6000");
    ASSERT_EQ(Start(), Outcome::Running);
    QApplication::processEvents();
    Fill();
    const QImage shot = Shot();
    ExpectEverythingWhole(shot, "grown from a stored size");
    EXPECT_GT(window->frameGeometry().width(), 600);
    EXPECT_GT(window->frameGeometry().height(), 400);
}

// A window started at a stored place and size stores the same at its end:
// it neither grows nor moves from one start to the next.
class StoredPlacement : public FirstWindow {
protected:
    void ExpectKeptOverAStart(const std::string& suffix)
    {
        Store("DispBig", suffix.empty() ? "0" : "1");
        Store("WindowLeft" + suffix, "3000");
        Store("WindowTop" + suffix, "1500");
        Store("WindowWidth" + suffix, "25500");
        Store("WindowHeight" + suffix, "14250");
        ASSERT_EQ(Start(), Outcome::Running);
        QApplication::processEvents();
        EXPECT_EQ(window->frameGeometry(), QRect(200, 100, 1700, 950));
        ASSERT_TRUE(window->Unload());
        EXPECT_EQ(Stored("WindowLeft" + suffix), "3000");
        EXPECT_EQ(Stored("WindowTop" + suffix), "1500");
        EXPECT_EQ(Stored("WindowWidth" + suffix), "25500");
        EXPECT_EQ(Stored("WindowHeight" + suffix), "14250");
    }
};

TEST_F(StoredPlacement, IsKeptOverAStartInTheNormalDisplay)
{
    ExpectKeptOverAStart("");
}

TEST_F(StoredPlacement, IsKeptOverAStartInTheBigDisplay)
{
    ExpectKeptOverAStart("_Big");
}

// Columns of a panel's picture that differ from the empty panel's.
int InkColumns(const QImage& drawn, const QImage& empty)
{
    int columns = 0;
    for (int x = 0; x < drawn.width(); ++x) {
        for (int y = 0; y < drawn.height(); ++y) {
            if (drawn.pixel(x, y) != empty.pixel(x, y)) {
                ++columns;
                break;
            }
        }
    }
    return columns;
}

TEST_F(FirstWindow, TheStatusCaptionsShowWholeOnEveryOutputInBothDisplays)
{
    // A list output shows two panels, whose captions are the largest.
    Store("NumOut", "2");
    Store("IsList_2", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    for (const int big : {0, 1}) {
        if (window->State.DispBig != big) {
            window->MenuDispBig_Click();
        }
        for (int output = 0; output < 2; ++output) {
            for (auto* array : {&window->TextAir, &window->TextKey}) {
                controls::UC_TextPicture* panel = array->At(output);
                ASSERT_NE(panel, nullptr);
                const std::string caption = panel->TextMes(0);
                ASSERT_FALSE(caption.empty());
                panel->DispMes(0, "", 0);
                const QImage empty = panel->Picture().Image().copy();
                panel->DispMes(0, caption, 0);
                const int whole = InkColumns(panel->Picture().Image(), empty);
                testsupport::SaveToGallery(panel->Picture().Image(),
                                           "status-" + (caption == "ON AIR" ? std::string("ONAIR") : caption) +
                                               "-output" + std::to_string(output + 1) + (big != 0 ? "-big" : ""),
                                           4);
                // Cut by one character, the caption draws less: so what was
                // drawn was the whole caption.
                panel->DispMes(0, caption.substr(0, caption.size() - 1), 0);
                EXPECT_GT(whole, InkColumns(panel->Picture().Image(), empty) + 1)
                    << caption << " of output " << output + 1 << (big != 0 ? ", big display" : "");
                panel->DispMes(0, caption, 0);
            }
        }
    }
}

// The counters' time at every size the builds give it: with its two info
// lines and alone (then larger), on a button and a list output, on the narrow
// counters of the three-player back-ends, in both displays.
struct CounterCase {
    int playerType = 3;
    int numOut = 1;
    int showFmtTolv = 1;
    int showFmtList = 1;
    const char* sizeRates = "1 1.3";
};

class CounterTime : public FirstWindow, public testing::WithParamInterface<CounterCase> {};

using testsupport::InkBetween;

TEST_P(CounterTime, ShowsWholeInBothDisplays)
{
    const CounterCase& c = GetParam();
    Store("PlayerType", std::to_string(c.playerType));
    Store("NumOut", std::to_string(c.numOut));
    Store("IsList_2", "1");
    Store("ShowFmtTolv", std::to_string(c.showFmtTolv));
    Store("ShowFmtList", std::to_string(c.showFmtList));
    const std::string rates = c.sizeRates;
    Store("SizeRate_1", rates.substr(0, rates.find(' ')));
    Store("SizeRate_2", rates.substr(rates.find(' ') + 1));
    ASSERT_EQ(Start(), Outcome::Running);
    for (const int big : {0, 1}) {
        if (window->State.DispBig != big) {
            window->MenuDispBig_Click();
        }
        for (int strip = 0; strip < window->State.PlayerCount; ++strip) {
            controls::UC_TextPicture& counter = *window->PicCounter(strip);
            const std::string info = std::to_string(window->State.CounterTitle[static_cast<std::size_t>(strip)]);
            const std::string where = "strip " + std::to_string(strip + 1) + " at size factor " +
                                      std::to_string(window->State.SizeFactor) + ", info lines " + info;
            // Playback writes the info lines only where they are in view.
            if (info == "1") {
                counter.DispMes(0, "Morning Theme", 1);
                counter.DispMes(1, "Total/03'25.4", 1);
            }
            counter.Draw(-1);
            // Elapsed, remaining, a start timer's countdown, and the times of
            // sounds of 100 minutes and more, up to the longest a counter
            // can be given (2^31 - 1 ms).
            for (const std::string time : {" 00'00.0", "-00'00.0", "-59'59.9", "-05:00", "-100'57.0", " 100'00.0",
                                           "-1440'00.0", "-35791'23.6"}) {
                counter.DispMes(2, "", 0);
                const QImage empty = counter.Picture().Image().copy();
                counter.DispMes(2, time, 0);
                const QImage drawn = counter.Picture().Image().copy();
                std::string kind = time.find(':') != std::string::npos ? "timer"
                                   : time[0] == ' '                    ? "elapsed"
                                                                       : "remaining";
                kind += std::to_string(time.find_first_of("':") - 1); // the minute digits
                testsupport::SaveToGallery(drawn,
                                           "counter-" + std::to_string(c.playerType) + "-" +
                                               std::to_string(window->State.SizeFactor).substr(0, 4) + "-strip" +
                                               std::to_string(strip + 1) + "-info" + info + "-" + kind,
                                           2);
                // The field's font is the last one the counter drew with.
                EXPECT_LE(counter.Picture().TextWidth(time),
                          controls::UC_TextPicture::CentredTextRoom(platform::WidthTwips(counter), 1, 0))
                    << time << ", " << where;
                const QRect ink = InkBetween(drawn, empty);
                const QRect inside = drawn.rect().adjusted(PanelLook::FrameLines, PanelLook::FrameLines,
                                                           -PanelLook::FrameLines, -PanelLook::FrameLines);
                EXPECT_TRUE(inside.contains(ink)) << time << ", " << where;
                // A remaining time stands in the middle, however many its
                // minute digits.
                if (kind.starts_with("remaining")) {
                    EXPECT_NEAR(ink.left() - inside.left(), inside.right() - ink.right(), ink.width() / 16 + 2)
                        << time << ", " << where;
                }
                // Cut by one character, the time draws less: so what was
                // drawn was the whole time.
                counter.DispMes(2, time.substr(0, time.size() - 1), 0);
                EXPECT_GT(ink.width(), InkBetween(counter.Picture().Image(), empty).width()) << time << ", " << where;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCounter, CounterTime,
                         testing::Values(CounterCase{3, 2, 0, 1}, CounterCase{3, 2, 1, 0},
                                         CounterCase{3, 2, 0, 0, "0.8 2"}, CounterCase{3, 1, 1, 1, "1.5 1.8"},
                                         CounterCase{0, 1, 0, 1}, CounterCase{0, 1, 1, 1, "0.8 2"}));

TEST(WindowFit, FindsTheSmallestSizeThatShowsEveryButton)
{
    WindowLayout::Input input;
    input.NumOut = 1;
    input.UnitHeight = 90;
    input.UnitGap = 30;
    input.ContentLeft = 1200;
    input.anchors.LEDs = {60, 60, 1020, 1065};
    input.anchors.Page = {1200, 60, 3000, 1065};
    input.anchors.Module = {60, 1200, 1020, 3000};
    input.anchors.List.Left = 1200;
    input.anchors.ButtonWidth = 1500;
    input.anchors.ButtonHeight = 1200;
    input.Outputs[0] = {false, true, 3, 8, 4, 0};
    const WindowFit::Size size = WindowFit::Needed(input, {30000, 20000}, 15);
    // Eight buttons with seven gaps from the content's left edge, and
    // PictureAll's 120 twips less than the window.
    EXPECT_EQ(size.ScaleWidth, 1200 + 8 * 1500 + 7 * 90 + 120);
    // Four rows with three gaps below the page selector and its gap, and
    // PictureAll's 600 twips less than the window.
    EXPECT_EQ(size.ScaleHeight, 60 + 1065 + 90 + 4 * 1200 + 3 * 30 + 600);
    input.ScaleWidth = size.ScaleWidth;
    input.ScaleHeight = size.ScaleHeight;
    EXPECT_TRUE(WindowFit::Fits(input));
    input.ScaleWidth -= 15;
    EXPECT_FALSE(WindowFit::Fits(input));
    // A screen too small: its size.
    EXPECT_EQ(WindowFit::Needed(input, {9000, 6000}, 15), (WindowFit::Size{9000, 6000}));
}

TEST(WindowFit, AThreePlayerOutputBesideAOneRowGridIsAsTallAsItsStrips)
{
    // The strips' panel at its place beside the status panels, the grid of
    // one row below the page selector.
    WindowLayout::Input input;
    input.NumOut = 1;
    input.UnitHeight = 90;
    input.UnitGap = 30;
    input.ContentLeft = 3180;
    input.anchors.Module = {90, 0, 3000, 2100};
    input.anchors.LEDs = {3180, 0, 1020, 1065};
    input.anchors.Page = {4320, 0, 3000, 1065};
    input.anchors.List.Left = 3180;
    input.anchors.ButtonWidth = 1500;
    input.anchors.ButtonHeight = 900;
    input.Outputs[0] = {false, true, 3, 8, 1, 0};
    const int gridBottom = 1065 + 90 + 900;
    ASSERT_LT(gridBottom, 2100) << "the grid is lower than one strip";
    EXPECT_EQ(WindowFit::Needed(input, {30000, 20000}, 15).ScaleHeight, 2100 + 600);
    // Three players: three strips one under another, a unit apart.
    input.PlayersPerOutput = 3;
    const WindowFit::Size size = WindowFit::Needed(input, {30000, 20000}, 15);
    EXPECT_EQ(size.ScaleHeight, 3 * 2100 + 2 * 90 + 600);
    // A pixel lower, and the third strip is out of view, and named.
    input.ScaleWidth = size.ScaleWidth;
    input.ScaleHeight = size.ScaleHeight;
    EXPECT_TRUE(WindowFit::Fits(input));
    input.ScaleHeight -= 1050 + 15;
    ASSERT_EQ(WindowFit::Misfits(input).size(), 1U);
    EXPECT_EQ(WindowFit::Misfits(input)[0].Name, "output 1, strip 3");
}

TEST(WindowFit, NamesAPartWhoseMiddleThePictureMarginHidesButNotOneWhoseEdgeItCuts)
{
    WindowLayout::Input input;
    input.ScaleWidth = 30000;
    input.ScaleHeight = 20000;
    input.ContentLeft = 1200;
    input.anchors.LEDs = {60, 60, 1020, 1065};
    input.anchors.Page = {1200, 60, 3000, 1065};
    input.anchors.Module = {60, 60, 1020, 1000};
    input.anchors.Current = {1200, 0, 1500, 1065};
    input.anchors.Ctrl = {1200, 0, 4000, 330};
    input.anchors.List = {1200, 0, 3000, 1200};
    input.Outputs[0] = {true, true, 3, 8, 4, 0};
    const WindowLayout::Rect tools = WindowLayout::Compute(input).Outputs[0].Ctrl;
    const auto namedAt = [&](int pictureHeight) {
        input.ScaleHeight = pictureHeight + 600; // PictureAll's margins
        std::vector<std::string> names;
        for (const WindowFit::Misfit& misfit : WindowFit::Misfits(input)) {
            names.push_back(misfit.Name);
        }
        return names;
    };
    // The tool buttons' last pixel under the margin: the list below them is
    // what the operator misses.
    EXPECT_THAT(namedAt(tools.Bottom() - 15), testing::ElementsAre("output 1, play list"));
    // Their middle under it: they are missed too.
    EXPECT_THAT(namedAt(tools.Top + tools.Height / 2 - 15),
                testing::ElementsAre("output 1, list buttons and play list"));
}

} // namespace
