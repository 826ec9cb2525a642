// The mouse rules of a sound button for every back-end, standby, PressToPlay,
// SwitchLR and area combination that decides something.
#include "playback/ButtonGridMouse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using playback::ButtonMouseAction;
using playback::ButtonMouseInputs;
using playback::DecideButtonMouse;

constexpr int Left = 1;
constexpr int Right = 2;
constexpr int Middle = 4;
constexpr bool Press = true;
constexpr bool Release = false;
constexpr int Normal = 0;
constexpr int Momentary = 1;
constexpr int Latch = 2;

struct Row {
    std::string what;
    int mouse;
    bool down;
    int area;
    int switchLR;
    int pressToPlay;
    int playerType;
    int standby;
    int blankToStop;
    bool assigned;
    int playMode;
    int playingMode;
    int outputState;
    ButtonMouseAction action;
    bool disarm;
};

TEST(ButtonGridMouse, EveryCombinationGivesItsPlayStopOrNothing)
{
    using A = ButtonMouseAction;
    const std::vector<Row> rows = {
        // waveOut, standby off, PressToPlay off
        {"normal release plays", Left, Release, 0, 0, 0, 3, 0, 0, true, Normal, 0, 0, A::Play, true},
        {"normal press waits", Left, Press, 0, 0, 0, 3, 0, 0, true, Normal, 0, 0, A::Nothing, true},
        {"momentary press plays", Left, Press, 0, 0, 0, 3, 0, 0, true, Momentary, 0, 0, A::Play, true},
        {"momentary release stops", Left, Release, 0, 0, 0, 3, 0, 0, true, Momentary, Momentary, 1, A::Stop, true},
        {"release of another button stops the momentary sound", Left, Release, 0, 0, 0, 3, 0, 0, true, Normal,
         Momentary, 1, A::Stop, true},
        {"release before the start marks it", Left, Release, 0, 0, 0, 3, 0, 0, true, Momentary, Momentary, 0,
         A::StopWhenStarted, true},
        {"momentary release without a momentary sound", Left, Release, 0, 0, 0, 3, 0, 0, true, Momentary, Latch, 1,
         A::Nothing, true},
        // waveOut, PressToPlay on
        {"press to play", Left, Press, 0, 0, 1, 3, 0, 0, true, Normal, 0, 0, A::Play, true},
        {"press to play: release does nothing", Left, Release, 0, 0, 1, 3, 0, 0, true, Normal, 0, 1, A::Nothing, true},
        {"press to play: momentary still stops", Left, Release, 0, 0, 1, 3, 0, 0, true, Momentary, Momentary, 1,
         A::Stop, true},
        // standby on: momentary is like any other button
        {"standby: momentary press cues nothing", Left, Press, 0, 0, 0, 3, 1, 0, true, Momentary, 0, 0, A::Nothing,
         true},
        {"standby: release cues", Left, Release, 0, 0, 0, 3, 1, 0, true, Momentary, 0, 0, A::Play, true},
        {"standby: release stops nothing", Left, Release, 0, 0, 1, 3, 1, 0, true, Momentary, Momentary, 1, A::Nothing,
         true},
        {"standby with press to play", Left, Press, 0, 0, 1, 3, 1, 0, true, Normal, 0, 0, A::Play, true},
        // other back-ends
        {"DirectShow: momentary press waits", Left, Press, 0, 0, 0, 1, 0, 0, true, Momentary, 0, 0, A::Nothing, true},
        {"DirectShow: release plays", Left, Release, 0, 0, 0, 1, 0, 0, true, Momentary, 0, 0, A::Play, true},
        {"DirectSound with press to play", Left, Press, 0, 0, 1, 0, 0, 0, true, Normal, 0, 0, A::Play, true},
        {"MCI: release with press to play", Left, Release, 0, 0, 1, 2, 0, 0, true, Normal, 0, 0, A::Nothing, true},
        // lamp strip and empty buttons
        {"lamp strip never plays", Left, Release, 1, 0, 0, 3, 0, 0, true, Normal, 0, 0, A::Nothing, false},
        {"lamp strip never plays a momentary", Left, Press, 1, 0, 0, 3, 0, 0, true, Momentary, 0, 0, A::Nothing, false},
        {"empty button is ignored", Left, Release, 0, 0, 0, 3, 0, 0, false, Normal, 0, 0, A::Nothing, false},
        {"empty button with BlankToStop", Left, Release, 0, 0, 0, 3, 0, 1, false, Normal, 0, 0, A::Play, true},
        // menu path
        {"right release opens the menu", Right, Release, 0, 0, 0, 3, 0, 0, true, Normal, 0, 0, A::Menu, false},
        {"right press does nothing", Right, Press, 0, 0, 0, 3, 0, 0, true, Normal, 0, 0, A::Nothing, false},
        {"menu also on the lamp strip and an empty button", Right, Release, 1, 0, 0, 3, 0, 0, false, Normal, 0, 0,
         A::Menu, false},
        {"SwitchLR: right plays", Right, Release, 0, 1, 0, 3, 0, 0, true, Normal, 0, 0, A::Play, true},
        {"SwitchLR: left opens the menu", Left, Release, 0, 1, 0, 3, 0, 0, true, Normal, 0, 0, A::Menu, false},
        {"middle button opens the menu", Middle, Release, 0, 0, 0, 3, 0, 0, true, Normal, 0, 0, A::Menu, false},
    };
    for (const Row& row : rows) {
        ButtonMouseInputs in;
        in.mouseButton = row.mouse;
        in.isDown = row.down;
        in.area = row.area;
        in.switchLR = row.switchLR;
        in.pressToPlay = row.pressToPlay;
        in.playerType = row.playerType;
        in.standbyActive = row.standby;
        in.blankToStop = row.blankToStop;
        in.assigned = row.assigned;
        in.playMode = row.playMode;
        in.playingMode = row.playingMode;
        in.outputState = row.outputState;
        const playback::ButtonMouseDecision decision = DecideButtonMouse(in);
        EXPECT_EQ(decision.action, row.action) << row.what;
        EXPECT_EQ(decision.disarmTimer, row.disarm) << row.what;
    }
}

} // namespace
