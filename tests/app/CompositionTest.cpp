// The composition itself: every port and hook of the program is set once it
// is built, and every handler in the chain of the window's control events
// passes on each member it does not carry out.
#include "AssembledFixture.h"

#include "support/FakePorts.h"

#include <gmock/gmock.h>

namespace {

using apptest::AssembledFixture;
using testing::ElementsAre;
using testing::IsEmpty;

class CompositionTest : public AssembledFixture {};

TEST_F(CompositionTest, EveryHookAndPortIsSetOrListedAsAbsentOnPurpose)
{
    EXPECT_THAT(program->UnsetHooks(), IsEmpty());
    EXPECT_TRUE(program->Window.Ports.Complete());
    // Absent on purpose means: given a reason, and really empty.
    for (const auto& [name, reason] : Composition::DeliberatelyAbsent()) {
        EXPECT_FALSE(reason.empty()) << name;
    }
    EXPECT_EQ(program->Grid.NextEvents, nullptr);
    EXPECT_EQ(program->Grid.NextCommands, nullptr);
    EXPECT_EQ(program->Grid.NextPlayback, nullptr);
}

TEST_F(CompositionTest, AnEmptiedHookIsFoundByName)
{
    program->Playback.Hooks.ShowPendingPopup = nullptr;
    program->Lists.Commands.Use.EditSound = nullptr;
    program->Grid.Commands.ListItemForMonitor = nullptr;
    program->Window.Ports.MonitorWindow = nullptr;
    EXPECT_THAT(program->UnsetHooks(),
                testing::UnorderedElementsAre("EngineHooks.ShowPendingPopup", "ListCommands.Use.EditSound",
                                              "ButtonCommands.ListItemForMonitor", "Ports.MonitorWindow"));
}

// Every member of the window's control events that is not the play list's
// own, called once with distinct arguments on the handler under test.
void CallEveryMember(ControlEventsPort& port)
{
    platform::DragData out;
    int effects = platform::DropEffectCopy;
    port.TolvButton_OLEStartDrag(11, out, effects, 2);
    port.TolvButton_OLECompleteDrag(12, platform::DropEffectMove);
    port.TolvButton_OLEDragOver(13);
    platform::DragData dropped;
    dropped.AddFile("/sounds/a.wav");
    port.TolvButton_OLEDropped(14, dropped);
    port.PlayButtons_ButtonClicked(1, 2);
    port.ProgBar_MouseUD(2, true);
    port.ProgBar_Scrolled(3);
    port.ProgBar_RightClicked(1, false);
    port.PanSlider_MouseUD(2, false, 1);
    port.PanSlider_Scrolled(3, 2);
    port.SpeedSlider_MouseUD(1, true, 2);
    port.SpeedSlider_Scrolled(2, 1);
    port.VolSlider_LevelChanged(3);
    port.PicCounter_MouseUD(1, 2, true, 0);
    port.TolvButton_MouseUD(15, 1, true, 0);
    port.PageButtons_ButtonClicked(2, 3);
    port.PageButtons_RightClicked(3, 4);
    port.TextPage_MouseUD(1, 2, false, 0);
}

// The play lists carry out only their own right click and tool buttons;
// everything else of the grid and the strips goes on to the grid.
TEST_F(CompositionTest, ThePlayListsPassOnEveryEventTheyDoNotCarryOut)
{
    testsupport::CallLog log;
    testsupport::FakeControlEvents next(log);
    ControlEventsPort* wired = program->Lists.OtherEvents;
    EXPECT_EQ(wired, &program->Grid);
    program->Lists.OtherEvents = &next;
    CallEveryMember(program->Lists);
    program->Lists.OtherEvents = wired;
    EXPECT_THAT(log.Calls(),
                ElementsAre("TolvButton_OLEStartDrag 11 2", "TolvButton_OLECompleteDrag 12 2",
                            "TolvButton_OLEDragOver 13", "TolvButton_OLEDropped 14 1", "PlayButtons_ButtonClicked 1 2",
                            "ProgBar_MouseUD 2 1", "ProgBar_Scrolled 3", "ProgBar_RightClicked 1 0",
                            "PanSlider_MouseUD 2 0 1", "PanSlider_Scrolled 3 2", "SpeedSlider_MouseUD 1 1 2",
                            "SpeedSlider_Scrolled 2 1", "VolSlider_LevelChanged 3", "PicCounter_MouseUD 1 2 1 0",
                            "TolvButton_MouseUD 15 1 1 0", "PageButtons_ButtonClicked 2 3",
                            "PageButtons_RightClicked 3 4", "TextPage_MouseUD 1 2 0 0"));
}

// The grid ends the chain: a member that reaches it unhandled is logged,
// never dropped in silence.
TEST_F(CompositionTest, WhatReachesTheEndOfTheChainUnhandledIsLogged)
{
    ASSERT_TRUE(Start());
    program->Grid.PlayButtons_ButtonClicked(0, 1);
    program->Grid.CtrlButton_ButtonClicked(0, 1);
    program->Grid.RCListFCT(3);
    const std::vector<std::string> log = DayLogEntries();
    for (const char* what : {"PlayButtons_ButtonClicked", "The play list buttons", "The play list menu"}) {
        EXPECT_THAT(log, testing::Contains(testing::HasSubstr(std::string(what) + ": not available")));
    }
}

} // namespace
