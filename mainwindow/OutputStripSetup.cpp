#include "mainwindow/OutputStripSetup.h"

#include "controls/ButtonIconLibrary.h"
#include "foundation/Background.h"
#include "foundation/Colors.h"
#include "foundation/DayLog.h"
#include "foundation/Drawing.h"
#include "foundation/Fonts.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "mainwindow/CounterTimeField.h"
#include "mainwindow/FrmMain.h"
#include "mainwindow/PanelLook.h"
#include "mainwindow/SettingReaders.h"
#include "mainwindow/StripColours.h"
#include "mainwindow/TwipsPlacement.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace OutputStrips {

namespace {

using StripGeometry::TwipsRect;

// Transport icons of the button row, at rest and while on, by what the
// button does: 0 stops, 1 plays, 2 pauses or selects the player.
constexpr int StopIcon = controls::IconStop, StopIconOn = controls::IconStopLit;
constexpr int PlayIcon = controls::IconPlay, PlayIconOn = controls::IconPlayLit;
constexpr int PauseIcon = controls::IconPause, PauseIconOn = controls::IconPauseLit;
constexpr int SelectIcon = controls::IconRecord, SelectIconOn = controls::IconRecordLit;
// Slider pointers, twips.
constexpr std::int32_t SliderPointer = 240;
// Speed slider: the players play at 100 / value, so 100 is normal speed.
constexpr std::int32_t SpeedMin = 50, SpeedMax = 200, SpeedNormal = 100;
constexpr std::int32_t PanRange = 10000;

std::int32_t Round(double value)
{
    return static_cast<std::int32_t>(numeric::RoundToInt64(value));
}

StripGeometry::StripBox CurrentStrip(FrmMain& window)
{
    const double title = platform::HeightTwips(*window.TextPage(0));
    const double pageButtons = platform::HeightTwips(*window.PageButtons(0));
    return StripGeometry::PlayerStrip(ScaleOf(window.State), FeaturesOf(window.State), title, pageButtons);
}

// Step A of the layout on one strip's existing elements.
void PlaceStripControls(FrmMain& window, int index, const StripGeometry::StripBox& box)
{
    const auto place = [](QWidget* control, const TwipsRect& rect) {
        if (control != nullptr) {
            TwipsPlacement::Place(*control, rect);
        }
    };
    place(window.PicCounter(index), box.Counter);
    place(window.PlayButtons(index), box.Buttons);
    place(window.ProgBar(index), box.Bar);
    place(window.VolSlider(index), box.Fader);
    place(window.SpeedSlider(index), box.Speed);
    place(window.PictureVU(index), box.Meters);
    place(window.VUL(index), box.MeterL);
    place(window.VUR(index), box.MeterR);
    if (window.State.PlayersPerOutput > 1) {
        place(window.PanSlider(index), box.Pan);
    }
    if (PicturePanel* panel = window.PictureModule(index)) {
        TwipsPlacement::SetSize(*panel, box.PanelWidth, box.PanelHeight);
    }
}

// The frame the meters stand in, painted once and copied into every strip.
void KeepMeterBackground(FrmMain& window)
{
    PicturePanel& meters = *window.PictureVU(0);
    TwipsPlacement::SetSize(*window.PictureScreen, platform::WidthTwips(meters), platform::HeightTwips(meters));
    TwipsPlacement::Cls(meters);
    basic::DrawFrame(meters.Picture(), 0x000000, 0x555555, 0, 2);
    TwipsPlacement::Cls(*window.PictureScreen);
    const int p = std::max(1, basic::TwipsPerPixel);
    window.PictureScreen->Picture().BitBlt(0, 0, platform::WidthTwips(meters) / p, platform::HeightTwips(meters) / p,
                                           meters.Picture(), 0, 0, platform::RasterOp::SrcCopy);
    TwipsPlacement::Cls(meters);
}

void PlaceFirstRow(FrmMain& window, const StripGeometry::StripBox& box)
{
    MainState& state = window.State;
    const bool isList = parms::IsList[0] == 1;
    for (QWidget* listPart : std::initializer_list<QWidget*>{window.PictureCurrent(0), window.LV(0),
                                                             window.CtrlButton(0)}) {
        listPart->setVisible(isList);
    }
    KeepMeterBackground(window);
    const StripGeometry::FirstRow row =
        StripGeometry::FirstOutputRow(ScaleOf(state), box, platform::WidthTwips(*window.PictureLEDs(0)),
                                      platform::HeightTwips(*window.PicturePage(0)), state.PlayersPerOutput);
    TwipsPlacement::SetLeftTop(*window.PictureModule(0), row.StripPanel.Left, row.StripPanel.Top);
    TwipsPlacement::SetLeftTop(*window.PictureLEDs(0), row.LedsLeft, 0);
    TwipsPlacement::SetLeftTop(*window.PicturePage(0), row.PageLeft, 0);
    window.TolvButton(0)->setVisible(!isList);
    state.ContentLeft = row.ContentLeft;
    TwipsPlacement::SetTop(*window.TolvButton(0), row.FirstButtonTop);
}

void SetUpCounter(FrmMain& window, int index)
{
    MainState& state = window.State;
    controls::UC_TextPicture& counter = *window.PicCounter(index);
    counter.ResetMe();
    // The strips of one output share its kind of content.
    const int output = index / std::max(1, state.PlayersPerOutput);
    const std::int32_t isList = parms::IsList[static_cast<std::size_t>(std::clamp(output, 0, 3))];
    const bool infoHidden = (isList == 1 && state.ShowFmtList == 0) || (isList == 0 && state.ShowFmtTolv == 0);
    if (static_cast<std::size_t>(index) < state.CounterTitle.size()) {
        state.CounterTitle[static_cast<std::size_t>(index)] = infoHidden ? 0 : 1;
    }
    const float s = state.SizeFactor;
    if (infoHidden) {
        counter.AddTextSpace(9 * s, false, false, "", -1, Round(-200.0F * s));
        counter.AddTextSpace(9 * s, false, false, "", -1, Round(-200.0F * s));
        CounterTimeField::Add(counter, 29 * s, std::nullopt, PanelLook::FrameLines);
    } else {
        counter.AddTextSpace(9 * s, false, false, "", -1, Round(60.0F * s));
        counter.AddTextSpace(9 * s, false, false, "", -1, Round(270.0F * s));
        CounterTimeField::Add(counter, 20 * s, Round(435.0F * s), PanelLook::FrameLines);
    }
    counter.AddStdColorSet(0);
    if (const auto playing = StripColours::HueOf(parms::StateColor[1])) {
        counter.AddStdColorSet(StripColours::StdColorSetOf(*playing));
    }
    counter.Init(PanelLook::FrameLines, 0);
    counter.SetColor(0, 0);
}

void SetUpBar(FrmMain& window, int index)
{
    const MainState& state = window.State;
    controls::UC_Bar& bar = *window.ProgBar(index);
    if (MainSettings::Long("ColorBar") == 1) {
        bar.SetNoGrad(parms::HiColor != 0 ? 1 : 0);
        if (const auto playing = StripColours::HueOf(parms::StateColor[1])) {
            bar.SetBarColor(StripColours::PositionBar(*playing, parms::HiColor));
        }
    } else {
        bar.SetNoGrad(0);
        bar.SetBarColor(0);
    }
    bar.Init();
    const basic::Color text =
        parms::HiColor == 0
            ? basic::ShiftColor(platform::SystemColor(platform::ColorBtnFace), -160, -160, -160, -1.0F)
            : 0;
    bar.SetStyle(static_cast<float>(Round(12.0F * state.SizeFactor)), true, basic::UIFontFace, text);
    if (parms::DispBarTime == 0) {
        bar.SetTextToDisp(MainSettings::Text("OutName_" + std::to_string(index + 1)));
    }
    bar.SetValue(0);
}

void SetUpButtons(FrmMain& window, int index)
{
    controls::UC_Buttons& buttons = *window.PlayButtons(index);
    const bool single = parms::SinglePlayer == 1;
    const bool pause = single && parms::UsePause == 1;
    buttons.SetNumButtons(single ? (pause ? 3 : 2) : 3);
    buttons.SetPicIndexn(0, StopIcon);
    buttons.SetPicIndexa(0, StopIconOn);
    buttons.SetPicIndexn(1, PlayIcon);
    buttons.SetPicIndexa(1, PlayIconOn);
    if (pause) {
        buttons.SetPicIndexn(2, PauseIcon);
        buttons.SetPicIndexa(2, PauseIconOn);
    } else if (!single) {
        buttons.SetPicIndexn(2, SelectIcon);
        buttons.SetPicIndexa(2, SelectIconOn);
    }
    buttons.Init();
    // The first player of a three-player output is the selected one. Init
    // draws every button afresh, so the state is drawn after it.
    if (!single && index == 0) {
        buttons.SetButtonState(2, 2);
    }
}

void SetUpMeters(FrmMain& window, int index)
{
    if (parms::UseSamplePos != 1) {
        if (index == 0) {
            window.PictureVU(0)->setVisible(false);
        }
        return;
    }
    PicturePanel* holder = window.PictureVU(index);
    if (holder == nullptr) {
        return;
    }
    holder->setVisible(true);
    for (controls::UC_VVU* meter : {window.VUL(index), window.VUR(index)}) {
        if (meter != nullptr) {
            meter->Init();
            meter->setVisible(true);
        }
    }
    DrawVUGradient(window, index);
}

void SetUpFader(FrmMain& window, int index)
{
    UC_Fader* fader = window.VolSlider(index);
    if (window.State.UseVol != 1) {
        if (index == 0) {
            window.VolSlider(0)->setVisible(false);
        }
        return;
    }
    if (fader == nullptr) {
        return;
    }
    fader->SetPointerSize(Round(platform::HeightTwips(*fader) / 4.0));
    fader->SetMax(0);
    fader->SetMin(-parms::MaxAtt);
    fader->LockLinked();
    fader->Init(1, PanelLook::FaderKnobStyle);
    fader->SetValueL(0);
    fader->setVisible(true);
}

void SetUpSpeed(FrmMain& window, int index)
{
    UC_Slider* slider = window.SpeedSlider(index);
    if (window.State.UseSpeed != 1) {
        if (index == 0) {
            window.SpeedSlider(0)->setVisible(false);
        }
        return;
    }
    if (slider == nullptr) {
        return;
    }
    slider->SetIsVertical(1);
    slider->SetNoArrow(1);
    slider->SetNoGrad(1);
    slider->SetPointerSizeTwips(SliderPointer);
    slider->SetMax(SpeedMax);
    slider->SetMin(SpeedMin);
    slider->Init();
    slider->SetValue(SpeedNormal);
    slider->setVisible(true);
}

void SetUpPan(FrmMain& window, int index)
{
    UC_Slider* slider = window.PanSlider(index);
    if (window.State.UsePan != 1) {
        if (index == 0) {
            window.PanSlider(0)->setVisible(false);
        }
        return;
    }
    if (slider == nullptr) {
        return;
    }
    slider->SetNoArrow(1);
    slider->SetNoGrad(1);
    slider->SetPointerSizeTwips(SliderPointer);
    slider->SetMax(PanRange);
    slider->SetMin(-PanRange);
    slider->Init();
    slider->SetValue(0);
    slider->setVisible(true);
}

void SetUpPanel(FrmMain& window, int index)
{
    PicturePanel& panel = *window.PictureModule(index);
    PicturePanel& first = *window.PictureModule(0);
    const double top = StripGeometry::StripPanelTop(platform::TopTwips(first), platform::HeightTwips(first), index,
                                                    ScaleOf(window.State));
    TwipsPlacement::SetTop(panel, top);
    TwipsPlacement::Cls(panel);
    basic::PaintBackground(panel.Picture(), PanelLook::PanelStyle, -1, -1, -1, basic::DefaultShapeValue,
                           basic::DefaultShapeValue, basic::DefaultShapeValue);
    panel.update();
}

// One part of a strip's set-up; a failure is logged and the next part runs,
// so that the slot still gets its player.
template <class Part> void Guarded(const char* what, int index, Part part)
{
    try {
        part();
    } catch (const std::exception& error) {
        basic::WriteLog("Strip " + std::to_string(index + 1) + ": setting up the " + what + " failed: " + error.what(),
                        1, 0);
        if (basic::ErrorCatch != 0) {
            std::abort();
        }
    }
}

} // namespace

StripGeometry::Scale ScaleOf(const MainState& state)
{
    StripGeometry::Scale scale;
    scale.SizeFactor = state.SizeFactor;
    scale.TwipsPerPixel = basic::TwipsPerPixel;
    scale.UnitHeight = state.UnitHeight;
    scale.UnitGap = state.UnitGap;
    return scale;
}

StripGeometry::StripFeatures FeaturesOf(const MainState& state)
{
    StripGeometry::StripFeatures features;
    features.PlayerType = parms::PlayerType;
    features.SinglePlayer = parms::SinglePlayer;
    features.UseSamplePos = parms::UseSamplePos;
    features.UseVol = state.UseVol;
    features.UseSpeed = state.UseSpeed;
    features.UsePan = state.UsePan;
    return features;
}

void LayOut(FrmMain& window, int displayOnly)
{
    const StripGeometry::StripBox box = CurrentStrip(window);
    const int last = displayOnly == 1 ? window.State.PlayerCount - 1 : 0;
    for (int index = 0; index <= last; ++index) {
        PlaceStripControls(window, index, box);
    }
    PlaceFirstRow(window, box);
}

void CreateStrip(FrmMain& window, int index)
{
    using TwipsPlacement::LoadInto;
    const MainState& state = window.State;
    if (index <= 0) {
        return;
    }
    PicturePanel* panel = LoadInto(window.PictureModule, index, *window.PictureAll, false);
    if (panel == nullptr) {
        return;
    }
    LoadInto(window.PlayButtons, index, *panel, true);
    LoadInto(window.ProgBar, index, *panel, true);
    LoadInto(window.PicCounter, index, *panel, true);
    if (PicturePanel* meters = LoadInto(window.PictureVU, index, *panel, false)) {
        LoadInto(window.VUL, index, *meters, true);
        LoadInto(window.VUR, index, *meters, true);
    }
    if (state.UseVol != 0) {
        LoadInto(window.VolSlider, index, *panel, false);
    }
    if (state.UseSpeed != 0) {
        LoadInto(window.SpeedSlider, index, *panel, false);
    }
    if (state.UsePan != 0) {
        LoadInto(window.PanSlider, index, *panel, false);
    }
    panel->setVisible(true);
}

void SetUpStrip(FrmMain& window, int index)
{
    if (window.PictureModule(index) == nullptr || window.PicCounter(index) == nullptr ||
        window.ProgBar(index) == nullptr || window.PlayButtons(index) == nullptr) {
        return;
    }
    Guarded("panel", index, [&] { SetUpPanel(window, index); });
    Guarded("counter", index, [&] { SetUpCounter(window, index); });
    Guarded("position bar", index, [&] { SetUpBar(window, index); });
    Guarded("transport buttons", index, [&] { SetUpButtons(window, index); });
    Guarded("meters", index, [&] { SetUpMeters(window, index); });
    Guarded("fader", index, [&] { SetUpFader(window, index); });
    Guarded("speed slider", index, [&] { SetUpSpeed(window, index); });
    Guarded("pan slider", index, [&] { SetUpPan(window, index); });
    // Every strip has these; element 0 waits hidden for its first build.
    for (QWidget* always : std::initializer_list<QWidget*>{window.PicCounter(index), window.ProgBar(index),
                                                           window.PlayButtons(index), window.PictureModule(index)}) {
        always->setVisible(true);
    }
}

void DrawVUGradient(FrmMain& window, int index)
{
    PicturePanel* holder = window.PictureVU(index);
    if (holder == nullptr || basic::TwipsPerPixel <= 0) {
        return;
    }
    TwipsPlacement::Cls(*holder);
    const int p = basic::TwipsPerPixel;
    holder->Picture().BitBlt(0, 0, platform::WidthTwips(*holder) / p, platform::HeightTwips(*holder) / p,
                             window.PictureScreen->Picture(), 0, 0, platform::RasterOp::SrcCopy);
    holder->update();
}

AreaSizes NaturalSizes(const MainState& state)
{
    const StripGeometry::Scale scale = ScaleOf(state);
    const StripGeometry::PageSelectorBox page =
        StripGeometry::PageSelector(scale, state.PageButtonWidth, state.PageNum);
    const StripGeometry::StatusStripBox leds = StripGeometry::StatusStrip(scale, page.FrameHeight, {});
    const StripGeometry::StripBox strip =
        StripGeometry::PlayerStrip(scale, FeaturesOf(state), page.Title.Height, page.Buttons.Height);
    AreaSizes sizes;
    sizes.PageFrameWidth = page.FrameWidth;
    sizes.PageFrameHeight = page.FrameHeight;
    sizes.LedsWidth = leds.Width;
    sizes.LedsHeight = leds.Height;
    sizes.StripWidth = strip.PanelWidth;
    sizes.StripHeight = strip.PanelHeight;
    const int strips = std::max(1, state.PlayersPerOutput);
    sizes.StripColumnHeight = strips * strip.PanelHeight + (strips - 1) * static_cast<double>(scale.UnitHeight);
    return sizes;
}

} // namespace OutputStrips

void FrmMain::DrawVUGradient(int index)
{
    OutputStrips::DrawVUGradient(*this, index);
}
