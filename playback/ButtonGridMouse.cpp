#include "playback/ButtonGridMouse.h"

namespace playback {

namespace {

constexpr int Momentary = 1;
constexpr int WaveOutPlayer = 3;

} // namespace

ButtonMouseDecision DecideButtonMouse(const ButtonMouseInputs& in)
{
    ButtonMouseDecision decision;
    const int playButton = in.switchLR == 1 ? 2 : 1;
    if (in.mouseButton != playButton) {
        if (!in.isDown) {
            decision.action = ButtonMouseAction::Menu;
        }
        return decision;
    }
    if ((in.blankToStop == 0 && !in.assigned) || in.area != 0) {
        return decision;
    }
    decision.disarmTimer = true;
    const bool pressEdge = in.pressToPlay == 1;
    if (in.standbyActive != 0 || in.playerType != WaveOutPlayer) {
        if (in.isDown == pressEdge) {
            decision.action = ButtonMouseAction::Play;
        }
        return decision;
    }
    if (in.isDown) {
        if (in.playMode == Momentary || pressEdge) {
            decision.action = ButtonMouseAction::Play;
        }
        return decision;
    }
    if (in.playingMode == Momentary) {
        decision.action = in.outputState >= 1 ? ButtonMouseAction::Stop : ButtonMouseAction::StopWhenStarted;
        return decision;
    }
    if (!pressEdge && in.playMode != Momentary) {
        decision.action = ButtonMouseAction::Play;
    }
    return decision;
}

} // namespace playback
