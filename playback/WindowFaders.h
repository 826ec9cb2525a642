#pragma once

#include "playback/SlotFaders.h"

#include <vector>

class FrmMain;

// The levels of the main window's volume faders (VolSlider, one per player
// slot). A fader shows its value on a track of a few hundred pixels, so it
// cannot hold every step of a slow fade: the exact level is kept here and the
// fader shows it as near as it can. A fader moved by anyone else (the
// operator, the play function) gives its value back as the new level.
class WindowFaders final : public SlotFaders {
public:
    explicit WindowFaders(FrmMain& window) : window_(window) {}

    std::int32_t Level(int slot) override;
    void SetLevel(int slot, std::int32_t level) override;
    std::int32_t Top(int slot) override;

private:
    struct Kept {
        bool known = false;
        std::int32_t level = 0;
        std::int32_t shown = 0; // what the fader showed after the last set
    };
    Kept& At(int slot);

    FrmMain& window_;
    std::vector<Kept> kept_;
};
