#include "mainwindow/ButtonGridSetup.h"

#include "foundation/ButtonKeys.h"
#include "foundation/DayLog.h"
#include "foundation/Parms.h"
#include "mainwindow/ButtonGridRules.h"
#include "mainwindow/ButtonPictures.h"
#include "mainwindow/DisplaySizes.h"
#include "mainwindow/FrmMain.h"
#include "mainwindow/LayoutTypes.h"
#include "mainwindow/SettingReaders.h"
#include "platform/base/Twips.h"

#include <algorithm>
#include <limits>
#include <string>

namespace {

std::size_t Slot(int output)
{
    return static_cast<std::size_t>(output);
}

std::string OutputKey(std::string_view key, int output)
{
    return std::string(key) + std::to_string(output + 1);
}

// A grid dimension is a 16-bit number; a stored text beyond it counts as not
// numeric and takes the default.
int GridDimension(const std::string& key, int defaultValue)
{
    const std::int32_t stored = MainSettings::Long(key, defaultValue);
    if (stored < std::numeric_limits<std::int16_t>::min() || stored > std::numeric_limits<std::int16_t>::max()) {
        basic::WriteLog("Setting " + key + " " + std::to_string(stored) + " is out of range; " +
                            std::to_string(defaultValue) + " is used",
                        1, 0);
        return defaultValue;
    }
    return stored;
}

// A hidden picture box keeps its picture in step with its size at once.
void SizePanel(PicturePanel& panel, int widthPx, int heightPx)
{
    panel.resize(std::max(1, widthPx), std::max(1, heightPx));
    panel.Picture().Resize(std::max(1, widthPx), std::max(1, heightPx));
}

} // namespace

ButtonGridSetup::ButtonGridSetup(FrmMain& window, int displayOnly) : window_(window), displayOnly_(displayOnly) {}

void ButtonGridSetup::Run()
{
    MainState& state = window_.State;
    if (state.AllListOutputs == 1) {
        for (int output = 0; output < state.NumOut; ++output) {
            state.ButtonsPerPage[Slot(output)] = 0;
            state.ModuleX[Slot(output)] = 0;
            state.ModuleY[Slot(output)] = 0;
        }
        state.ButtonsPerOutput = 0;
        window_.TolvButton(0)->hide();
        ChooseLayoutType();
        return;
    }
    ReadButtonSettings();
    ReadGridSizes();

    std::int32_t buttonType = MainSettings::Long("ButtonType", 1);
    if (buttonType != 0 && buttonType != 1) {
        // Only the two layouts have a lamp strip and a face height.
        basic::WriteLog("Setting ButtonType " + std::to_string(buttonType) + " is not 0 or 1; 1 is used", 1, 0);
        buttonType = 1;
    }
    state.ButtonType = buttonType;
    const int widthPx = ButtonGridRules::ButtonPixels(MainSettings::Long("ButtonSizeX", 118), state.SizeFactor, 100, 2000);
    const int heightPx = ButtonGridRules::ButtonPixels(MainSettings::Long("ButtonSizeY", 113), state.SizeFactor, 33, 2000);
    SizeAndPaintPictures(widthPx, heightPx);
    SetUpButtons(widthPx, heightPx);
    for (int output = 0; output < state.NumOut; ++output) {
        parms::SetDefaultButtonKeys(output, state.ModuleX[Slot(output)]);
    }
    ChooseLayoutType();
}

void ButtonGridSetup::ReadButtonSettings()
{
    MainState& state = window_.State;
    state.ButtonHorizon = MainSettings::Long("ButtonHorizon", 1);
    state.ButtonOrderHorizon = MainSettings::Long("ButtonOrderHorizon", 1);
    state.LEDFrame = MainSettings::Long("LEDFrame", 1);
    state.AssignSTBY = MainSettings::Long("AssignSTBY", 0);
    state.DispButtonTime = MainSettings::Long("DispButtonTime", 1);
    state.SerialButtonNum = MainSettings::Long("SerialButtonNum", 0);
}

void ButtonGridSetup::ReadGridSizes()
{
    MainState& state = window_.State;
    std::array<ButtonGridRules::ModuleSize, 4> sizes{};
    for (int output = 0; output < state.NumOut; ++output) {
        if (parms::IsList[Slot(output)] != 0) {
            continue;
        }
        const int storedX = GridDimension(OutputKey("ModuleX_", output), 8);
        const int storedY = GridDimension(OutputKey("ModuleY_", output), 4);
        sizes[Slot(output)] = ButtonGridRules::HoldModule(storedX, storedY);
        if (sizes[Slot(output)].Held) {
            basic::WriteLog("Grid of output " + std::to_string(output + 1) + ": " + std::to_string(storedX) + " x " +
                                std::to_string(storedY) + " is more than 100 buttons; " +
                                std::to_string(sizes[Slot(output)].X) + " x " + std::to_string(sizes[Slot(output)].Y) +
                                " is used",
                            1, 0);
        }
    }
    const ButtonGridRules::Plan plan = ButtonGridRules::MakePlan(state.NumOut, parms::IsList, sizes);
    for (int output = 0; output < MainState::Outputs; ++output) {
        if (output >= state.NumOut) {
            continue;
        }
        state.ModuleX[Slot(output)] = plan.ModuleX[Slot(output)];
        state.ModuleY[Slot(output)] = plan.ModuleY[Slot(output)];
        state.ButtonsPerPage[Slot(output)] = plan.Buttons[Slot(output)];
    }
    state.ButtonsPerOutput = plan.MaxButtons;
}

void ButtonGridSetup::SizeAndPaintPictures(int widthPx, int heightPx)
{
    const MainState& state = window_.State;
    window_.TolvButton(0)->resize(widthPx, heightPx);
    for (int k = 0; k <= 4; ++k) {
        if (PicturePanel* picture = window_.PictureTolv.At(k)) {
            SizePanel(*picture, widthPx, heightPx);
        }
    }
    const int faceHeight = state.ButtonType == 0 ? heightPx - 5 : heightPx - 25;
    SizePanel(*window_.PictureTolv2, widthPx, faceHeight);
    window_.PictureTolv2->Picture().Cls();
    ButtonPictures::PaintTextFace(window_.PictureTolv2->Picture());
    ButtonPictures::PaintButtonBackground(window_.PictureTolv(0)->Picture());
    for (int k = 1; k <= 4; ++k) {
        if (PicturePanel* frame = window_.PictureTolv.At(k)) {
            ButtonPictures::PaintFrame(frame->Picture(), k - 1, parms::HiColor != 0);
        }
    }
    for (int type = 0; type <= 1; ++type) {
        if (PicturePanel* strip = window_.PictureSel.At(type)) {
            ButtonPictures::DrawLampStrip(strip->Picture(), type);
            strip->resize(strip->Picture().PixelWidth(), strip->Picture().PixelHeight());
        }
    }
}

void ButtonGridSetup::SetUpButtons(int widthPx, int heightPx)
{
    MainState& state = window_.State;
    const float small = static_cast<float>(DisplaySizes::SmallFont(state.SizeFactor));
    const float large = static_cast<float>(DisplaySizes::LargeFont(state.SizeFactor));
    const platform::Surface* background = &window_.PictureTolv(0)->Picture();
    const platform::Surface* face = &window_.PictureTolv2->Picture();
    const PicturePanel* strip = window_.PictureSel.At(state.ButtonType);
    const ButtonGridRules::Plan plan{state.ModuleX, state.ModuleY, state.ButtonsPerPage, state.ButtonsPerOutput};
    // Button 0 of a list output 0 is no button of any grid.
    if (parms::IsList[0] != 0) {
        window_.TolvButton(0)->hide();
    }
    for (const int index : ButtonGridRules::Elements(plan, state.NumOut, parms::IsList)) {
        if (index > 0) {
            if (displayOnly_ == 0) {
                if (window_.TolvButton.Load(index) == nullptr) {
                    basic::WriteLog("Sound button " + std::to_string(index) + " could not be created", 1, 0);
                    continue;
                }
            } else if (controls::UC_TolvButton* existing = window_.TolvButton.At(index)) {
                existing->resize(widthPx, heightPx);
            }
        }
        controls::UC_TolvButton* button = window_.TolvButton.At(index);
        if (button == nullptr) {
            continue;
        }
        button->SetPicHDC(background);
        button->SetPic2HDC(face);
        button->SetButtonType(state.ButtonType);
        button->SetSelHDC(strip != nullptr ? &strip->Picture() : nullptr);
        button->SetFont(0, large, false);
        button->SetFont(1, small * 1.1F, true);
        for (int slot = 2; slot <= 5; ++slot) {
            button->SetFont(slot, small, false);
        }
        button->SetAlertColor(parms::StateColor[3]);
        button->SetActivated(0);
        button->Init();
        button->Draw(0);
        button->show();
    }
}

void ButtonGridSetup::ChooseLayoutType()
{
    MainState& state = window_.State;
    state.LayoutType =
        LayoutTypes::Choose(state.NumOut, parms::IsList, state.ListOrderHorizon, state.ButtonOrderHorizon);
}
