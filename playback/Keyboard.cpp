#include "playback/Keyboard.h"

#include "foundation/ButtonKeys.h"
#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "platform/InputCodes.h"
#include "playback/Pages.h"
#include "playback/PagesRules.h"
#include "playback/PlaybackControl.h"
#include "playback/SlotIndexes.h"

#include <algorithm>

namespace {

constexpr int Momentary = 1;
constexpr int WaveOutPlayer = 3;

} // namespace

Keyboard::Keyboard(PlaybackControl& control, Pages& pages) : control_(control), pages_(pages) {}

Keyboard::~Keyboard() = default;

FrmMain& Keyboard::Window()
{
    return control_.Window();
}

void Keyboard::Attach()
{
    FrmMain& window = Window();
    window.Keys.KeyDown = [this](int& keyCode, int shift) { Form_KeyDown(keyCode, shift); };
    window.Keys.KeyUp = [this](int& keyCode, int shift) { Form_KeyUp(keyCode, shift); };
    window.SetKeyPreview(true);
    const auto wire = [this](controls::UC_TextPicture& label, int index) {
        label.MouseUD = [this, index](int& button, bool& isDown, int& panel) {
            TextKey_MouseUD(index, button, isDown, panel);
        };
    };
    wire(*window.TextKey.At(0), 0);
    for (int index = 1; index < MainState::Outputs; ++index) {
        if (controls::UC_TextPicture* label = window.TextKey.At(index)) {
            wire(*label, index);
        }
    }
    window.TextKey.SetLoadHandler(wire);
}

void Keyboard::Form_KeyDown(int& keyCode, int shift)
{
    // The window tells the keyboard's auto-repeat from real presses, even when
    // the window system sends a repeat as a release and a press.
    if (!Window().KeyRepeats() && Window().State.KeyTarget != -1) {
        HandleKey(keyCode, shift, 1);
    }
}

void Keyboard::Form_KeyUp(int& keyCode, int shift)
{
    // Repeated releases never get here (the window drops them); the fade
    // window passes on only the releases its own window took as real.
    if (Window().State.KeyTarget != -1) {
        HandleKey(keyCode, shift, 0);
    }
}

int Keyboard::FindKeyButton(int keyCode, int target, int buttonsPerPage)
{
    if (keyCode == 0 || target < 0 || target >= parms::KeySets) {
        return -1;
    }
    const int buttons = std::clamp(buttonsPerPage, 0, parms::ButtonsPerSet);
    for (int button = 0; button < buttons; ++button) {
        if (parms::KeyAssign[playback::At(target + parms::KeySets * button)] == keyCode) {
            return button;
        }
    }
    // The keypad table holds the first row's buttons.
    for (int button = 0; button < std::min(buttons, 10); ++button) {
        if (parms::NumpadKeyAssign[playback::At(button)] == keyCode) {
            return button;
        }
    }
    return -1;
}

bool Keyboard::PressedAsShortcut(int keyCode, int shift, int down)
{
    const bool modified = (shift & (platform::AltMask | platform::CtrlMask)) != 0;
    if (keyCode <= 0 || keyCode >= static_cast<int>(presses_.size())) {
        return modified;
    }
    Press& press = presses_[static_cast<std::size_t>(keyCode)];
    if (down != 0) {
        press = modified ? Press::Shortcut : Press::Plain;
        return modified;
    }
    // A key held for a Momentary sound is let go while Ctrl is down: it is
    // still the button key that plays.
    const bool shortcut = modified ? press != Press::Plain : press == Press::Shortcut;
    press = Press::None;
    return shortcut;
}

void Keyboard::HandleKey(int& keyCode, int shift, int down)
{
    const bool shortcut = PressedAsShortcut(keyCode, shift, down);
    MainState& state = Window().State;
    const int target = state.KeyTarget;
    if (state.Running == 0 || target == -1 || keyCode == 0 || !playback::ValidOutput(state, target)) {
        return;
    }
    const auto t = playback::At(target);
    const bool release = down == 0;
    if (keyCode >= KeyF1 && keyCode <= KeyF10) {
        if (release && shift == 0) {
            const int page = keyCode - KeyF1;
            keyCode = 0;
            pages_.ChangePage(target, page, 0);
        }
        return;
    }
    if (keyCode == KeyAdd || keyCode == KeySubtract) {
        if (release) {
            pages_.ChangePage(target,
                              playback::SteppedPage(state.CurrentPage[t], keyCode == KeyAdd ? 1 : -1,
                                                    std::min(state.PageNum, AssignPages)),
                              0);
        }
        return;
    }
    if (keyCode == KeyEscape) {
        if (release) {
            control_.StopOutput(target);
        }
        return;
    }
    // Alt+B switches the display, and while a sound plays its menu is off:
    // the key must not then reach the button B, whose release would stop the
    // sound (an empty button with BlankToStop) or start another one. No
    // shortcut, disabled or not, plays or stops a sound; Shift+digit still
    // plays, as the keys' codes stay the same with Shift.
    if (shortcut) {
        return;
    }
    if (parms::IsList[t] != 0) {
        if (keyCode == KeySpace && release && !(state.OutputState[t] > 0 && state.ListWhilePlay == 2)) {
            control_.Pon(target, 0, 0, 0, 0);
        }
        return;
    }
    if (keyCode == KeySpace) {
        if (release) {
            control_.PlayStandby(target, 0);
        }
        return;
    }
    const int button = FindKeyButton(keyCode, target, state.ButtonsPerPage[t]);
    if (button < 0) {
        return;
    }
    const int page = state.CurrentPage[t];
    const int playMode = page >= 0 && page < AssignPages
                             ? state.ButtonTable[playback::At(ButtonTableIndex(target, page, button))].PlayMode
                             : 0;
    if (parms::PlayerType != WaveOutPlayer) {
        if (release) {
            control_.Pon(target, button, 0, 0, 0);
        }
        return;
    }
    if (!release) {
        if (state.STBYActive[t] == 0 && state.OutputState[t] == 0 && playMode == Momentary) {
            control_.Pon(target, button, 0, 0, 0);
        }
        return;
    }
    if (state.PlayingMode[t] == Momentary && state.OutputState[t] >= 1 && state.STBYActive[t] == 0) {
        control_.StopOutput(target);
        return;
    }
    if (state.STBYActive[t] == 0 && playMode == Momentary) {
        return;
    }
    control_.Pon(target, button, 0, 0, 0);
}

void Keyboard::TextKey_MouseUD(int index, int, bool isDown, int)
{
    MainState& state = Window().State;
    if (isDown || index < 0 || index >= MainState::Outputs || state.OutputLocked[playback::At(index)] != 0) {
        return;
    }
    state.KeyTarget = state.KeyTarget == index ? -1 : index;
    DrawKeyAssign();
}

void Keyboard::DrawKeyAssign()
{
    FrmMain& window = Window();
    MainState& state = window.State;
    for (int output = 0; output < std::min(state.NumOut, MainState::Outputs); ++output) {
        const auto o = playback::At(output);
        if (state.DispKEY[o] != 0) {
            if (controls::UC_TextPicture* label = window.TextKey.At(output)) {
                label->SetColor(output == state.KeyTarget ? 1 : 0, 1);
            }
        }
        if (parms::IsList[o] != 0) {
            continue;
        }
        const int buttons = std::min(state.ButtonsPerPage[o], AssignButtons);
        for (int button = 0; button < buttons; ++button) {
            controls::UC_TolvButton* control = window.TolvButton.At(output * state.ButtonsPerOutput + button);
            if (control == nullptr) {
                continue;
            }
            if (output == state.KeyTarget) {
                const int code = parms::KeyAssign[playback::At(output + parms::KeySets * button)];
                control->SetText(1, code > 0 && code < 128 ? std::string(1, static_cast<char>(code)) : std::string());
            } else {
                control->SetText(1, std::to_string(button + 1));
                control->SetText(
                    2, state.SerialButtonNum != 0
                           ? "[" + std::to_string(state.ButtonsPerPage[o] * state.CurrentPage[o] + button + 1) + "]"
                           : std::string());
            }
            control->Draw(0);
        }
    }
}
