#pragma once

#include <functional>

class FrmMain;
class Fades;

// The FADE label of each output: a release of the left button switches the
// output's fade mode (the label lit while it is on), any other button opens
// the fade window or closes it; only while the label is in use and the output
// is not locked.
class FadeLabels {
public:
    FadeLabels(FrmMain& window, Fades& fades) : window_(window), fades_(fades) {}

    // Opens the fade window, or closes it when it is open.
    std::function<void()> ToggleFadeWindow;

    void TextFade_MouseUD(int index, int button, bool isDown, int pIndex);

private:
    FrmMain& window_;
    Fades& fades_;
};
