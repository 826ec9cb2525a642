#include "playback/WindowFaders.h"

#include "mainwindow/FrmMain.h"

#include <algorithm>

WindowFaders::Kept& WindowFaders::At(int slot)
{
    const auto index = static_cast<std::size_t>(std::max(slot, 0));
    if (kept_.size() <= index) {
        kept_.resize(index + 1);
    }
    return kept_[index];
}

std::int32_t WindowFaders::Level(int slot)
{
    Kept& kept = At(slot);
    if (window_.VolSlider.Exists(slot)) {
        const std::int32_t shown = window_.VolSlider(slot)->ValueL();
        if (!kept.known || shown != kept.shown) {
            kept.level = shown;
            kept.shown = shown;
            kept.known = true;
        }
    } else if (!kept.known) {
        kept.level = window_.State.PlayerAt(slot).Attenuation();
        kept.known = true;
    }
    return kept.level;
}

void WindowFaders::SetLevel(int slot, std::int32_t level)
{
    Kept& kept = At(slot);
    kept.level = level;
    kept.known = true;
    if (window_.VolSlider.Exists(slot)) {
        UC_Fader& fader = *window_.VolSlider(slot);
        fader.SetValueL(level);
        kept.shown = fader.ValueL();
    }
}

std::int32_t WindowFaders::Top(int slot)
{
    if (window_.VolSlider.Exists(slot)) {
        const UC_Fader& fader = *window_.VolSlider(slot);
        if (fader.Max() > fader.Min()) {
            return fader.Max();
        }
    }
    return 0;
}
