// Every status panel shows its caption whole: no glyph is cut by the panel's
// edge or drawn over its frame, for any number of panels, both display sizes
// and every arrangement of the outputs.
#include "ApplyFixture.h"

#include "mainwindow/PanelLook.h"
#include "platform/Surface.h"
#include "support/Gallery.h"
#include "support/ImageInk.h"
#include "support/LayoutArrangements.h"

#include <QRect>

#include <array>
#include <string>
#include <vector>

namespace {

using Outcome = FrmMain::StartOutcome;

// The switch keys of the six panels, top to bottom.
constexpr std::array<const char*, 6> PanelKeys{"DispONAIR_", "DispKEY_",   "DispFADE_",
                                               "DispSTBY_",  "DispTimer_", "ShellName_"};

using testsupport::InkBetween;

class StatusCaptions : public shelltest::ApplyFixture {
protected:
    // Which panels output n (1-based) shows, by the order of PanelKeys; the
    // shell panel is captioned shellName.
    void ShowPanels(int n, const std::array<bool, 6>& shown, const std::string& shellName = "Jingles")
    {
        for (std::size_t k = 0; k + 1 < PanelKeys.size(); ++k) {
            Store(PanelKeys[k] + std::to_string(n), shown[k] ? "1" : "0");
        }
        Store(PanelKeys[5] + std::to_string(n), shown[5] ? shellName : "");
    }

    // The caption of panel as drawn, in white on black so that every pixel
    // of its ink shows (an added colour set after the panel's colourSets),
    // against the same text drawn where nothing cuts it.
    void ExpectWhole(controls::UC_TextPicture& panel, int colourSets, const std::string& caption,
                     const std::string& where)
    {
        SCOPED_TRACE(where + " \"" + caption + "\"");
        ASSERT_TRUE(panel.isVisible());
        // The panel lies inside its strip.
        ASSERT_NE(panel.parentWidget(), nullptr);
        EXPECT_TRUE(panel.parentWidget()->rect().contains(panel.geometry())) << "panel outside its strip";

        panel.AddColorSet(0xFFFFFF, 0, 0, 0);
        panel.Init(PanelLook::FrameLines, 0);
        panel.SetColor(colourSets, 1);
        panel.DispMes(0, "", 0);
        const QImage blank = panel.Picture().Image().convertToFormat(QImage::Format_RGB32);
        panel.DispMes(0, caption, 0);
        const QImage drawn = panel.Picture().Image().convertToFormat(QImage::Format_RGB32);
        const QRect ink = InkBetween(drawn, blank);

        platform::Surface free(drawn.width() * 4, drawn.height() * 4);
        free.SetBackColor(0);
        free.Cls();
        free.SetFont(panel.Picture().Font());
        free.SetForeColor(0xFFFFFF);
        free.SetCurrentX(free.Width() / 4);
        free.SetCurrentY(free.Height() / 4);
        free.Print(caption);
        const QImage whole = free.Image().convertToFormat(QImage::Format_RGB32);
        QImage black(whole.size(), QImage::Format_RGB32);
        black.fill(Qt::black);
        const QRect wholeInk = InkBetween(whole, black);

        ASSERT_FALSE(wholeInk.isEmpty());
        const QRect inside =
            QRect(QPoint(0, 0), drawn.size())
                .adjusted(PanelLook::FrameLines, PanelLook::FrameLines, -PanelLook::FrameLines, -PanelLook::FrameLines);
        EXPECT_TRUE(inside.contains(ink))
            << "ink " << ink.top() << ".." << ink.bottom() << " of rows " << inside.top() << ".." << inside.bottom()
            << ", columns " << ink.left() << ".." << ink.right() << " of " << inside.left() << ".." << inside.right();
        EXPECT_EQ(ink.size(), wholeInk.size()) << "rows " << ink.height() << " of " << wholeInk.height() << ", columns "
                                               << ink.width() << " of " << wholeInk.width();
    }

    // Every panel of every output, at the display size now applied.
    void ExpectEveryCaptionWhole(const std::string& where)
    {
        FrmMain& w = *window;
        for (int output = 0; output < w.State.NumOut; ++output) {
            if (w.PictureLEDs(output) == nullptr || !w.PictureLEDs(output)->isVisible()) {
                continue;
            }
            testsupport::SaveToGallery(w.PictureLEDs(output)->grab().toImage(),
                                       "status-captions-" + where + "-output" + std::to_string(output + 1), 4);
            const std::string at = where + ", output " + std::to_string(output + 1);
            // The shell panel has no lit colours.
            for (auto* panels : {&w.TextAir, &w.TextKey, &w.TextFade, &w.TextSTBY, &w.TextShell}) {
                controls::UC_TextPicture* panel = panels->At(output);
                if (panel != nullptr && panel->isVisible()) {
                    ExpectWhole(*panel, panels == &w.TextShell ? 1 : 2, panel->TextMes(0), at);
                }
            }
            if (controls::UC_TextPicture* timer = w.TextTimer.At(output); timer != nullptr && timer->isVisible()) {
                for (const char* text : {"Timer", "23:59:59s", "10:30:00e"}) {
                    ExpectWhole(*timer, 2, text, at);
                }
            }
        }
    }

    // At the small display, then the large one, then back; each apply builds
    // the panels afresh.
    void ExpectWholeAtBothSizes(const std::string& where)
    {
        FrmMain& w = *window;
        w.State.DispBig = 0;
        w.ApplySettings(0);
        w.Form_Resize();
        ExpectEveryCaptionWhole(where + "-small");
        w.State.DispBig = 1;
        w.ApplySettings(1);
        w.Form_Resize();
        ExpectEveryCaptionWhole(where + "-large");
    }
};

TEST_F(StatusCaptions, OneToSixPanelsOnAThreePlayerOutputAtBothSizes)
{
    // Three players per output with the volume control: all six panels can
    // show.
    Store("PlayerType", "0");
    ASSERT_EQ(Start(), Outcome::Running);
    window->resize(1400, 900);
    for (int alone = 0; alone < 6; ++alone) {
        std::array<bool, 6> shown{};
        shown[static_cast<std::size_t>(alone)] = true;
        ShowPanels(1, shown);
        ExpectWholeAtBothSizes("one-panel" + std::to_string(alone + 1));
    }
    for (int count = 2; count <= 6; ++count) {
        std::array<bool, 6> shown{};
        for (int k = 0; k < count; ++k) {
            shown[static_cast<std::size_t>(6 - count + k)] = true;
        }
        ShowPanels(1, shown);
        ExpectWholeAtBothSizes("count" + std::to_string(count));
    }
    // Shell names with and without characters of two widths, and with
    // letters that reach below the line.
    const std::array<std::string, 4> names{"録音編集", "ｴﾃﾞｨﾀｰ", "Typing", "Aj"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        ShowPanels(1, {true, true, true, true, true, true}, names[i]);
        ExpectWholeAtBothSizes("six-shell" + std::to_string(i + 1));
    }
}

using Arrangement = testsupport::LayoutArrangement;

class StatusCaptionsInLayouts : public StatusCaptions, public testing::WithParamInterface<Arrangement> {};

TEST_P(StatusCaptionsInLayouts, EveryOutputsCaptionsAtBothSizes)
{
    const Arrangement& arrangement = GetParam();
    Store("PlayerType", "3");
    Store("NumOut", std::to_string(arrangement.numOut));
    Store("ListOrderHorizon", "1");
    Store("ButtonOrderHorizon", arrangement.layoutType == 0 ? "0" : "1");
    for (const int n : arrangement.lists) {
        Store("IsList_" + std::to_string(n), "1");
    }
    // Outputs show the default three panels, four with the timer, five with
    // the timer and a shell panel, and one alone.
    ShowPanels(2, {true, true, false, true, true, false});
    ShowPanels(3, {true, true, false, true, true, true});
    ShowPanels(4, {false, true, false, false, false, false});
    ASSERT_EQ(Start(), Outcome::Running);
    ASSERT_EQ(window->State.LayoutType, arrangement.layoutType);
    window->resize(1600, 1200);
    ExpectWholeAtBothSizes("layout" + std::to_string(arrangement.layoutType));
}

INSTANTIATE_TEST_SUITE_P(EveryLayoutType, StatusCaptionsInLayouts,
                         testing::ValuesIn(testsupport::EveryLayoutArrangement()), testsupport::LayoutArrangementName);

} // namespace
