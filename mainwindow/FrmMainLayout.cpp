// The window layout on resize: the main window reads its anchors and
// settings, lets WindowLayout compute every place and moves its controls.
#include "mainwindow/FrmMain.h"

#include "foundation/Background.h"
#include "foundation/Parms.h"
#include "mainwindow/TwipsPlacement.h"
#include "mainwindow/WindowLayout.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Twips.h"

#include <QMenuBar>

#include <algorithm>

namespace {

constexpr int Minimized = 1;

std::size_t Slot(int output)
{
    return static_cast<std::size_t>(output);
}

WindowLayout::Rect TwipsRect(const QWidget& control)
{
    return {platform::LeftTwips(control), platform::TopTwips(control), platform::WidthTwips(control),
            platform::HeightTwips(control)};
}

// A hidden picture box keeps its picture in step with its size at once.
void SizePanel(PicturePanel& panel, int widthPx, int heightPx)
{
    panel.resize(std::max(1, widthPx), std::max(1, heightPx));
    TwipsPlacement::DeliverResize(panel);
}

// The window's own picture starts afresh (what an earlier size left on it,
// its border, must not stay in the middle of the larger window), and the top
// and bottom 20 rows of its inner area are kept, one above the other, as the
// background the status ticker and the observation line restore their strips
// from. Both happen before the controls are placed: placing a play list
// redraws it, which lets the engine tick run, and a ticker drawn then must
// not become part of the background it is later drawn over.
void PaintWindowBackground(platform::Surface& picture, PicturePanel& grad, int menuHeight)
{
    picture.Cls();
    basic::PaintBackground(picture, 0, -1, -1, -1);
    const int width = picture.PixelWidth();
    const int height = picture.PixelHeight();
    SizePanel(grad, width, 40);
    platform::Surface& strips = grad.Picture();
    strips.BitBlt(0, 0, width, 20, picture, 0, menuHeight, platform::RasterOp::SrcCopy);
    strips.BitBlt(0, 20, width, 20, picture, 0, std::max(0, height - 20), platform::RasterOp::SrcCopy);
    grad.update();
}

} // namespace

// The strip, status panel and page selector anchors are what their set-up
// left on element 0.
WindowLayout::Anchors FrmMain::LayoutAnchors() const
{
    WindowLayout::Anchors anchors;
    anchors.Module = TwipsRect(*PictureModule.At(0));
    anchors.LEDs = TwipsRect(*PictureLEDs.At(0));
    anchors.Page = TwipsRect(*PicturePage.At(0));
    anchors.Current = TwipsRect(*PictureCurrent.At(0));
    anchors.Ctrl = TwipsRect(*CtrlButton.At(0));
    anchors.List = TwipsRect(*LV.At(0));
    anchors.ButtonWidth = platform::WidthTwips(*TolvButton.At(0));
    anchors.ButtonHeight = platform::HeightTwips(*TolvButton.At(0));
    return anchors;
}

WindowLayout::Input FrmMain::LayoutInput() const
{
    const int p = basic::TwipsPerPixel;
    const int menuHeight = MenuBar->height();
    WindowLayout::Input input;
    input.ScaleWidth = width() * p;
    input.ScaleHeight = std::max(0, height() - menuHeight) * p;
    input.LayoutType = State.LayoutType;
    input.NumOut = State.NumOut;
    input.ListOutputCount = State.ListOutputCount;
    input.ButtonOrderHorizon = State.ButtonOrderHorizon;
    input.ButtonHorizon = State.ButtonHorizon;
    input.UnitHeight = State.UnitHeight;
    input.UnitGap = State.UnitGap;
    input.ContentLeft = State.ContentLeft;
    input.PlayersPerOutput = State.PlayersPerOutput;
    input.ShowCurrent = State.ShowCurrent != 0;
    input.ShowCtrl = State.ShowCtrl != 0;
    input.anchors = LayoutAnchors();
    for (int output = 0; output < MainState::Outputs; ++output) {
        const std::size_t o = Slot(output);
        WindowLayout::OutputSettings& settings = input.Outputs[o];
        settings.IsList = parms::IsList[o] != 0;
        settings.ShowPage = State.ShowPage[o] == 1;
        settings.IndicatorCount = State.IndicatorCount[o];
        settings.ModuleX = State.ModuleX[o];
        settings.ModuleY = State.ModuleY[o];
        settings.FrameColor = State.PlayerColor[o];
    }
    return input;
}

void FrmMain::PlaceTolvButtons(int output, float X, float Y)
{
    const std::size_t o = Slot(output);
    const WindowLayout::GridShape grid{State.ModuleX[o],
                                       State.ModuleY[o],
                                       platform::WidthTwips(*TolvButton.At(0)),
                                       platform::HeightTwips(*TolvButton.At(0)),
                                       State.UnitGap,
                                       State.UnitHeight,
                                       State.ButtonHorizon};
    MoveTolvButtons(output, WindowLayout::ButtonPlaces(grid, X, Y));
}

void FrmMain::MoveTolvButtons(int output, const std::vector<WindowLayout::Point>& places)
{
    for (std::size_t b = 0; b < places.size(); ++b) {
        const int index = output * State.ButtonsPerOutput + static_cast<int>(b);
        if (controls::UC_TolvButton* button = TolvButton.At(index)) {
            platform::MoveTwips(*button, places[b].X, places[b].Y);
        }
    }
}

void FrmMain::Form_Resize()
{
    const int menuHeight = MenuBar->sizeHint().height();
    MenuBar->setGeometry(0, 0, width(), menuHeight);
    picture_.Resize(std::max(1, width()), std::max(1, height()));
    if (State.Running == 0 || WindowState() == Minimized || basic::TwipsPerPixel <= 0) {
        return;
    }
    PaintWindowBackground(picture_, *PictureGrad, menuHeight);
    const WindowLayout::Result layout = WindowLayout::Compute(LayoutInput());

    const WindowLayout::Rect& all = layout.PictureAll;
    PictureAll->setGeometry(platform::TwipsToPixels(all.Left), menuHeight + platform::TwipsToPixels(all.Top),
                            std::max(1, platform::TwipsToPixels(all.Width)),
                            std::max(1, platform::TwipsToPixels(all.Height)));
    TwipsPlacement::DeliverResize(*PictureAll);

    for (int output = 0; output < std::clamp(State.NumOut, 0, MainState::Outputs); ++output) {
        PlaceOutput(output, layout.Outputs[Slot(output)]);
    }

    if (FH1 != nullptr && Ports.FileTransfer != nullptr) {
        platform::MoveTwips(*FH1, all.Width / 2.0 - Ports.FileTransfer->AdjustX(),
                            all.Height / 2.0 - Ports.FileTransfer->AdjustY());
    }

    if (State.NumOut > 0) {
        platform::Surface& picture = PictureAll->Picture();
        picture.Cls();
        for (int output = 0; output < std::clamp(State.NumOut, 0, MainState::Outputs); ++output) {
            const WindowLayout::OutputPlace& place = layout.Outputs[Slot(output)];
            if (place.HasFrame) {
                picture.Line(place.Frame.Left, place.Frame.Top, place.Frame.Right(), place.Frame.Bottom(),
                             State.PlayerColor[Slot(output)], platform::LineShape::Box);
            }
        }
        PictureAll->update();
    }
    update();
}

void FrmMain::PlaceOutput(int output, const WindowLayout::OutputPlace& place)
{
    const std::size_t o = Slot(output);
    if (output > 0) {
        if (PicturePanel* module = PictureModule.At(output)) {
            platform::MoveTwips(*module, place.Module.X, place.Module.Y);
        }
        if (PicturePanel* leds = PictureLEDs.At(output)) {
            platform::MoveTwips(*leds, place.LEDs.X, place.LEDs.Y);
        }
    }
    if (State.ShowPage[o] == 1 || output == 0) {
        if (PicturePanel* page = PicturePage.At(output)) {
            platform::MoveTwips(*page, place.Page.X, place.Page.Y);
        }
    }
    if (parms::IsList[o] == 0) {
        MoveTolvButtons(output, place.Buttons);
        return;
    }
    if (State.ShowCurrent != 0) {
        if (controls::UC_TextPicture* current = PictureCurrent.At(output)) {
            platform::MoveTwips(*current, place.Current.Left, place.Current.Top);
            if (platform::WidthTwips(*current) != place.Current.Width) {
                platform::SetWidthTwips(*current, place.Current.Width);
                current->Init(0, 0);
                current->Draw(-1);
            }
        }
    }
    if (State.ShowCtrl != 0) {
        if (controls::UC_Buttons* tools = CtrlButton.At(output)) {
            platform::MoveTwips(*tools, place.Ctrl.Left, place.Ctrl.Top);
        }
    }
    if (UC_ListView* list = LV.At(output)) {
        platform::MoveTwips(*list, place.List.Left, place.List.Top, place.List.Width, place.List.Height);
        // A list of two columns gives the title what the time leaves.
        if (list->NumData() == 2) {
            list->SetTabWidth(1, place.List.Width - list->TabWidth(0) - 450);
        }
        list->UserControl_Resize();
        list->Refresh();
    }
}
