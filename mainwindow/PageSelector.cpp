#include "mainwindow/PageSelector.h"

#include "foundation/Background.h"
#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "mainwindow/OutputStripSetup.h"
#include "mainwindow/PanelLook.h"
#include "mainwindow/StripColours.h"
#include "mainwindow/TwipsPlacement.h"
#include "platform/TwipsGeometry.h"

namespace PageSelector {

namespace {

// Point sizes of the page numbers and of the title at SizeFactor 1.
constexpr float PageNumberPoints = 18.0F;
constexpr float TitlePoints = 13.0F;
// The title starts this far into its panel.
constexpr int TitleLeft = 90;

void Measure(FrmMain& window, int output, const StripGeometry::PageSelectorBox& box)
{
    controls::UC_TextPicture* title = window.TextPage(output);
    controls::UC_Buttons* buttons = window.PageButtons(output);
    PicturePanel* frame = window.PicturePage(output);
    if (title == nullptr || buttons == nullptr || frame == nullptr) {
        return;
    }
    // The title's width follows with its look.
    TwipsPlacement::SetLeftTop(*title, box.Title.Left, box.Title.Top);
    TwipsPlacement::SetSize(*title, platform::WidthTwips(*title), box.Title.Height);
    TwipsPlacement::Place(*buttons, box.Buttons);
    frame->setVisible(window.State.ShowPage[static_cast<std::size_t>(output)] == 1);
    TwipsPlacement::SetSize(*frame, platform::WidthTwips(*frame), box.FrameHeight);
}

void Colour(FrmMain& window, int output, const StripGeometry::PageSelectorBox& box)
{
    const float size = window.State.SizeFactor;
    controls::UC_Buttons& buttons = *window.PageButtons(output);
    if (const auto playing = StripColours::HueOf(parms::StateColor[1])) {
        buttons.SetSelectedColor(StripColours::SelectedPageButton(*playing, parms::HiColor));
    }
    buttons.SetFontSize(PageNumberPoints * size);
    buttons.SetFontBold(true);
    buttons.SetFontFace("Impact");
    buttons.SetNumButtons(window.State.PageNum);
    buttons.SetDisable3D(1);
    buttons.SetButtonCharNum();
    buttons.SetNoGrayAtDisabled(1);
    buttons.Init();
    buttons.setVisible(true);

    controls::UC_TextPicture& title = *window.TextPage(output);
    title.ResetMe();
    TwipsPlacement::SetSize(title, box.Buttons.Width, box.Title.Height);
    title.AddTextSpace(TitlePoints * size, true, false, "", TitleLeft, -1);
    title.AddStdColorSet(4);
    if (const auto alert = StripColours::HueOf(parms::StateColor[3])) {
        title.AddStdColorSet(StripColours::StdColorSetOf(*alert));
    }
    title.SetColor(0, 0);
    title.Init(PanelLook::FrameLines, 0);
    title.setVisible(true);

    PicturePanel& frame = *window.PicturePage(output);
    TwipsPlacement::SetSize(frame, platform::WidthTwips(title) + 2.0 * window.State.UnitHeight, box.FrameHeight);
    TwipsPlacement::Cls(frame);
    basic::PaintBackground(frame.Picture(), PanelLook::PanelStyle, -1, -1, -1);
    frame.update();
}

} // namespace

void Build(FrmMain& window, int displayOnly)
{
    MainState& state = window.State;
    const StripGeometry::PageSelectorBox box =
        StripGeometry::PageSelector(OutputStrips::ScaleOf(state), state.PageButtonWidth, state.PageNum);
    for (int output = 0; output < state.NumOut; ++output) {
        const bool shown = state.ShowPage[static_cast<std::size_t>(output)] == 1;
        if (displayOnly == 0 && output > 0 && shown) {
            TwipsPlacement::LoadInto(window.PicturePage, output, *window.PictureAll, true);
            if (PicturePanel* frame = window.PicturePage(output)) {
                TwipsPlacement::LoadInto(window.TextPage, output, *frame, true);
                TwipsPlacement::LoadInto(window.PageButtons, output, *frame, true);
            }
        }
        if (window.PicturePage(output) == nullptr || window.TextPage(output) == nullptr ||
            window.PageButtons(output) == nullptr) {
            continue;
        }
        if (shown || output == 0) {
            Measure(window, output, box);
        }
        if (shown) {
            Colour(window, output, box);
        } else if (output == 0) {
            window.PicturePage(0)->setVisible(false);
        }
    }
}

} // namespace PageSelector
