#include "playback/FadeLabels.h"

#include "mainwindow/FrmMain.h"
#include "playback/Fades.h"

void FadeLabels::TextFade_MouseUD(int index, int button, bool isDown, int)
{
    MainState& state = window_.State;
    if (isDown || index < 0 || index >= MainState::Outputs) {
        return;
    }
    const auto o = static_cast<std::size_t>(index);
    if (state.DispFADE[o] == 0 || state.OutputLocked[o] != 0) {
        return;
    }
    if (button == 1) {
        const std::int32_t on = fades_.ToggleFade(index);
        if (window_.TextFade.Exists(index)) {
            window_.TextFade(index)->SetColor(on, 1);
        }
    } else if (ToggleFadeWindow) {
        ToggleFadeWindow();
    }
}
