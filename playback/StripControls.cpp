#include "playback/StripControls.h"

#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "mainwindow/FrmMain.h"
#include "platform/CommonDialogs.h"
#include "playback/PlaybackControl.h"
#include "playback/SlotIndexes.h"

#include <cmath>

using playback::At;

void StripControls::ProgBar_MouseUD(int index, bool isDown)
{
    FrmMain& window = control_.Window();
    MainState& state = window.State;
    if (isDown || !playback::ValidSlot(state, index) || state.SpanMS[At(index)] <= 0) {
        return;
    }
    const controls::UC_Bar* bar = window.ProgBar.At(index);
    // The bar runs 0..1000 over the play range, never beyond it.
    const double value = std::clamp(bar != nullptr ? bar->Value() : 0, 0, 1000);
    Player& player = state.PlayerAt(index);
    const double from = state.FromMS[At(index)] + value / 1000.0 * state.SpanMS[At(index)];
    player.SetFromMS(static_cast<std::int32_t>(from));
    if (player.mode() == 3) {
        player.Play();
    }
}

void StripControls::ProgBar_Scrolled(int index)
{
    control_.UpdateCounter(index, 1);
}

void StripControls::ProgBar_RightClicked(int index, bool isDown)
{
    FrmMain& window = control_.Window();
    MainState& state = window.State;
    if (isDown || state.SomethingPlays != 0 || parms::DispBarTime != 0 || index < 0) {
        return;
    }
    const std::string key = "OutName_" + std::to_string(index + 1);
    platform::InputBoxRequest request;
    request.owner = &window;
    request.prompt = basic::LangText("モジュール名称", "New Module Name");
    request.defaultText = basic::GetSetting(key, "");
    const std::optional<std::string> answer = platform::ShowInputBox(request);
    if (!answer.has_value() || answer->empty()) {
        return;
    }
    // A single blank stands for no name.
    const std::string name = *answer == " " ? std::string() : *answer;
    basic::SaveSetting(key, name);
    if (controls::UC_Bar* bar = window.ProgBar.At(index); bar != nullptr) {
        bar->SetTextToDisp(name);
        bar->SetValue(0);
        bar->update();
    }
}

void StripControls::PanSlider_MouseUD(int index, bool isDown, int nButton)
{
    FrmMain& window = control_.Window();
    UC_Slider* slider = window.PanSlider.At(index);
    if (slider == nullptr || !playback::ValidSlot(window.State, index)) {
        return;
    }
    Player& player = window.State.PlayerAt(index);
    if (isDown || nButton == 1) {
        player.SetPanValue(slider->Value());
    } else {
        player.SetPanValue(0);
        slider->SetValue(0);
    }
}

void StripControls::PanSlider_Scrolled(int index, int)
{
    FrmMain& window = control_.Window();
    if (UC_Slider* slider = window.PanSlider.At(index); slider != nullptr && playback::ValidSlot(window.State, index)) {
        window.State.PlayerAt(index).SetPanValue(slider->Value());
    }
}

void StripControls::SpeedSlider_MouseUD(int index, bool, int nButton)
{
    FrmMain& window = control_.Window();
    UC_Slider* slider = window.SpeedSlider.At(index);
    if (slider == nullptr || !playback::ValidSlot(window.State, index)) {
        return;
    }
    if (nButton == 1) {
        SpeedSlider_Scrolled(index, nButton);
        return;
    }
    slider->SetValue(100);
    window.State.PlayerAt(index).SetPlaySpeed(1.0F);
}

void StripControls::SpeedSlider_Scrolled(int index, int)
{
    FrmMain& window = control_.Window();
    UC_Slider* slider = window.SpeedSlider.At(index);
    if (slider == nullptr || !playback::ValidSlot(window.State, index) || slider->Value() == 0) {
        return;
    }
    // 50 plays at double speed, 200 at half speed.
    window.State.PlayerAt(index).SetPlaySpeed(100.0F / static_cast<float>(slider->Value()));
}

void StripControls::VolSlider_LevelChanged(int index)
{
    FrmMain& window = control_.Window();
    if (UC_Fader* fader = window.VolSlider.At(index); fader != nullptr && playback::ValidSlot(window.State, index)) {
        window.State.PlayerAt(index).SetAttenuation(fader->ValueL());
    }
}

void StripControls::PicCounter_MouseUD(int index, int button, bool isDown, int)
{
    MainState& state = control_.Window().State;
    if (isDown || button != 1 || !playback::ValidSlot(state, index) || At(index) >= state.DispLap.size()) {
        return;
    }
    state.DispLap[At(index)] = state.DispLap[At(index)] != 0 ? 0 : 1;
    control_.UpdateCounter(index, 0);
}
