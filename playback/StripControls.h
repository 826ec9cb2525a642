#pragma once

class PlaybackControl;

// The controls of a player slot's strip, each acting on the player with the
// same index: seeking on the position bar, the output name typed on it, pan,
// speed and volume, and the counter's elapsed/remaining switch.
class StripControls {
public:
    explicit StripControls(PlaybackControl& control) : control_(control) {}

    void ProgBar_MouseUD(int index, bool isDown);
    void ProgBar_Scrolled(int index);
    void ProgBar_RightClicked(int index, bool isDown);
    void PanSlider_MouseUD(int index, bool isDown, int nButton);
    void PanSlider_Scrolled(int index, int nButton);
    void SpeedSlider_MouseUD(int index, bool isDown, int nButton);
    void SpeedSlider_Scrolled(int index, int nButton);
    void VolSlider_LevelChanged(int index);
    void PicCounter_MouseUD(int index, int button, bool isDown, int pIndex);

private:
    PlaybackControl& control_;
};
