// Remote codes through the program's own targets into the real playback
// control on null devices: what an operator hears and sees when a box, a
// serial port or a keyboard sends a code.
#include "playback/PlayListFixture.h"

#include "foundation/Parms.h"
#include "playback/ButtonGridPorts.h"
#include "remote/PlaybackRemoteTargets.h"
#include "remote/RemoteControl.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Playback control with the play lists, the program's remote targets and the
// real remote control as the window's remote port.
class RemoteCodesPlayback : public playbacktest::PlayListFixture {
protected:
    void SetUp() override
    {
        PlayListFixture::SetUp();
        // Pages and the grid behind the lists, as the program chains them.
        grid = std::make_unique<ButtonGridPorts>(*control);
        grid->NextPlayback = &ports.Playback;
        grid->NextEvents = &ports.ControlEvents;
        grid->NextCommands = &ports.ItemCommands;
        grid->Page.LoadListPage = [this](int output, int page) { lists->LoadListPage(output, page); };
        lists->OtherPlayback = grid.get();
        lists->OtherEvents = grid.get();
        lists->OtherItems = grid.get();
        targets = std::make_unique<PlaybackRemoteTargets>(*window, *control);
        targets->ListClicked = [this](int output) {
            clicked.push_back(output);
            lists->Commands.LV_Clicked(output);
        };
        remote = std::make_unique<RemoteControl>(*window, *targets);
    }
    void TearDown() override
    {
        control->Hooks.PollRemote = nullptr;
        window->Ports.Remote = &ports.Remote;
        remote.reset();
        targets.reset();
        lists->OtherPlayback = &ports.Playback;
        lists->OtherEvents = &ports.ControlEvents;
        lists->OtherItems = &ports.ItemCommands;
        grid.reset();
        PlayListFixture::TearDown();
    }
    bool StartRemote(int numOut, std::vector<int> listOutputs = {})
    {
        const bool running = StartLists(std::move(listOutputs), numOut);
        window->Ports.Remote = remote.get();
        return running;
    }
    void Send(int output, int code, int sourceKey = -1)
    {
        remote->Dispatcher().ExecRemoteCommand(output, code, sourceKey);
    }

    // The first frame of the file that device played since the last call,
    // -1 for silence.
    std::int64_t FirstFrame(int device)
    {
        const float sample = FirstSound(Played(device));
        return sample == 0.0F ? -1 : RampFrame(sample);
    }
    bool Silent(int device) { return FirstSound(Played(device)) == 0.0F; }

    std::unique_ptr<ButtonGridPorts> grid;
    std::unique_ptr<PlaybackRemoteTargets> targets;
    std::unique_ptr<RemoteControl> remote;
    std::vector<int> clicked;
};

TEST_F(RemoteCodesPlayback, AButtonCodePlaysItsButtonAndAnEmptyButtonFollowsBlankToStop)
{
    ASSERT_TRUE(StartRemote(1));
    Assign(0, 0, 4, RampWave("five.wav", 2 * Rate));
    Send(0, 5);
    EXPECT_EQ(State().OutputState[0], 1);
    Run(100);
    EXPECT_EQ(FirstFrame(1), 0) << "button 5 from its first frame";

    // Button 6 is empty: with BlankToStop 0 the sound plays on.
    State().BlankToStop = 0;
    Send(0, 6);
    Run(100);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_FALSE(Silent(1));
    // Codes beyond the page's 32 buttons, and codes that mean nothing.
    for (const int code : {33, 100, 101, 150, 221, 250, 256, 261}) {
        Send(0, code);
    }
    Run(100);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_FALSE(Silent(1));
    // With BlankToStop 1 the empty button stops the output.
    State().BlankToStop = 1;
    Send(0, 6);
    Run(100);
    EXPECT_EQ(State().OutputState[0], 0);
    Played(1);
    Run(100);
    EXPECT_TRUE(Silent(1));
}

TEST_F(RemoteCodesPlayback, PageCodesSelectAndStepWithWrapAndButtonsPlayFromTheShownPage)
{
    ASSERT_TRUE(StartRemote(1));
    ASSERT_EQ(State().PageNum, 10);
    Send(0, 205);
    EXPECT_EQ(State().CurrentPage[0], 4);
    Assign(0, 4, 0, RampWave("page5.wav", Rate));
    Send(0, 1);
    Run(60);
    EXPECT_EQ(FirstFrame(1), 0) << "button 1 of page 5";
    Send(0, 241);
    Run(60);

    Send(0, 201);
    EXPECT_EQ(State().CurrentPage[0], 0);
    Send(0, 243);
    EXPECT_EQ(State().CurrentPage[0], 9) << "previous from the first page is the last";
    Send(0, 242);
    EXPECT_EQ(State().CurrentPage[0], 0) << "next from the last page is the first";
    Send(0, 242);
    EXPECT_EQ(State().CurrentPage[0], 1);
}

TEST_F(RemoteCodesPlayback, StopEndsTheSoundAndPlayStartsTheCuedButtonOnlyInStandby)
{
    ASSERT_TRUE(StartRemote(1));
    Assign(0, 0, 3, RampWave("cue.wav", 2 * Rate));
    Send(0, 4);
    Run(100);
    EXPECT_EQ(State().OutputState[0], 1);
    Send(0, 241);
    Run(60);
    EXPECT_EQ(State().OutputState[0], 0);
    Played(1);
    Run(100);
    EXPECT_TRUE(Silent(1));

    // Nothing is cued: 244 does nothing.
    Send(0, 244);
    Run(60);
    EXPECT_EQ(State().OutputState[0], 0);

    // 245 switches standby on; a button code now only cues, 244 plays the cue.
    Send(0, 245);
    ASSERT_EQ(State().STBYActive[0], 1);
    Send(0, 4);
    Run(60);
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_EQ(State().StandbySet[0], 1);
    EXPECT_TRUE(Silent(1));
    Send(0, 244);
    Run(100);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(FirstFrame(1), 0);

    // The label ignores the toggle while the output plays...
    Send(0, 245);
    EXPECT_EQ(State().STBYActive[0], 1);
    Send(0, 241);
    Run(60);
    // ...and while it is locked; once idle and unlocked it switches off.
    Send(0, 257);
    Send(0, 245);
    EXPECT_EQ(State().STBYActive[0], 1);
    Send(0, 258);
    Send(0, 245);
    EXPECT_EQ(State().STBYActive[0], 0);
}

TEST_F(RemoteCodesPlayback, PauseActsOnlyWithUsePause)
{
    Store("UsePause", "1");
    ASSERT_TRUE(StartRemote(1));
    parms::UsePause = 0;
    Assign(0, 0, 0, RampWave("long.wav", 5 * Rate));
    Send(0, 1);
    Run(200);
    Send(0, 246);
    Run(100);
    EXPECT_EQ(PlayerOf(0).mode(), 3) << "no pause without UsePause";
    EXPECT_FALSE(Silent(1));

    parms::UsePause = 1;
    Send(0, 246);
    Run(100);
    EXPECT_EQ(PlayerOf(0).mode(), 2);
    Played(1);
    Run(200);
    EXPECT_TRUE(Silent(1)) << "paused";
}

TEST_F(RemoteCodesPlayback, ReleaseStopsAMomentarySoundAlsoBeforeItStarted)
{
    ASSERT_TRUE(StartRemote(2));
    Assign(1, 0, 2, RampWave("hold.wav", Rate / 2), 1);
    Assign(1, 0, 3, RampWave("plain.wav", 2 * Rate));
    // Box channel 3 starts the Momentary button; it loops past its end.
    Send(1, 3, 2);
    EXPECT_EQ(State().SourceOutput[2], 1);
    Run(1200);
    EXPECT_EQ(State().OutputState[1], 1);
    // The release from that channel names output 1, yet stops output 2.
    Send(0, 255, 2);
    Run(100);
    EXPECT_EQ(State().OutputState[1], 0);
    Played(2);
    Run(100);
    EXPECT_TRUE(Silent(2));

    // A sound that is not Momentary ignores the release.
    Send(1, 4);
    Run(100);
    Send(1, 255);
    Run(100);
    EXPECT_EQ(State().OutputState[1], 1);
    Send(1, 241);
    Run(100);

    // Released before the output reported playing: stopped once it plays.
    control->Pon(1, 2, 0, 0, 1);
    ASSERT_EQ(State().OutputState[1], 0);
    Send(1, 255);
    EXPECT_EQ(State().StopWhenStarted[1], 1);
    Run(150);
    EXPECT_EQ(State().StopWhenStarted[1], 0);
    EXPECT_EQ(State().OutputState[1], 0);

    // In standby the release does nothing.
    Send(1, 245);
    ASSERT_EQ(State().STBYActive[1], 1);
    Send(1, 3);
    Send(1, 244);
    Run(100);
    ASSERT_EQ(State().OutputState[1], 1);
    Send(1, 255);
    Run(100);
    EXPECT_EQ(State().OutputState[1], 1);
}

TEST_F(RemoteCodesPlayback, LockAndUnlockReachTheControlsOnlyWithUseLineOutLock)
{
    Store("UseLineOutLock", "1");
    ASSERT_TRUE(StartRemote(1));
    ASSERT_EQ(State().UseLineOutLock, 1);
    Send(0, 257);
    EXPECT_EQ(State().OutputLocked[0], 1);
    EXPECT_EQ(window->PlayButtons(0)->GetButtonDisable(0, 0), 1);
    EXPECT_EQ(window->PageButtons(0)->GetButtonDisable(1, 0), 1);
    Send(0, 258);
    EXPECT_EQ(State().OutputLocked[0], 0);
    EXPECT_EQ(window->PlayButtons(0)->GetButtonDisable(0, 0), 0);
    EXPECT_EQ(window->PageButtons(0)->GetButtonDisable(1, 0), 0);

    // Without the feature the flag is kept, but no control changes.
    State().UseLineOutLock = 0;
    Send(0, 257);
    EXPECT_EQ(State().OutputLocked[0], 1);
    EXPECT_EQ(window->PlayButtons(0)->GetButtonDisable(0, 0), 0);
    EXPECT_EQ(window->PageButtons(0)->GetButtonDisable(1, 0), 0);
}

TEST_F(RemoteCodesPlayback, ListCodesPlayTheNextItemAndMoveTheCursorThroughTheListsClick)
{
    ASSERT_TRUE(StartRemote(2, {1}));
    DropTones({"A", "B", "C"});
    ASSERT_EQ(View().ItemCount(), 3);

    // Down from the last row: stays there without LoopListCursor...
    State().LoopListCursor = 0;
    Select(2);
    Send(0, 260);
    EXPECT_EQ(View().SelectedItem(), 2);
    EXPECT_EQ(clicked, std::vector<int>{0}) << "the move runs the list's click";
    // ...and goes to the first row with it.
    State().LoopListCursor = 1;
    Send(0, 260);
    EXPECT_EQ(View().SelectedItem(), 0);
    EXPECT_EQ(View().IsSelected(2), 0);
    // Up from the first row: the last row with the loop, the first without.
    Send(0, 259);
    EXPECT_EQ(View().SelectedItem(), 2);
    State().LoopListCursor = 0;
    Send(0, 259);
    EXPECT_EQ(View().SelectedItem(), 1);
    Send(0, 259);
    Send(0, 259);
    EXPECT_EQ(View().SelectedItem(), 0);
    EXPECT_EQ(clicked.size(), 6U);

    // The click took row 1 into the cursor: a button code plays it next,
    // whatever its number.
    Send(0, 260);
    Send(0, 77);
    Run(60);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(State().PlayerTitle[0], "B");
    // With ListWhilePlay 2 a playing list refuses the next item.
    State().ListWhilePlay = 2;
    Send(0, 1);
    Send(0, 244);
    Run(20);
    EXPECT_EQ(State().PlayerTitle[0], "B");

    // A button output has no list cursor.
    const std::size_t clicks = clicked.size();
    Send(1, 259);
    Send(1, 260);
    EXPECT_EQ(clicked.size(), clicks);
}

TEST_F(RemoteCodesPlayback, ContactInputsPlayTheCueAfterTheDelayAndWaitForAnArmedTimer)
{
    ASSERT_TRUE(StartRemote(1));
    ASSERT_EQ(parms::TimerInt, 50);
    control->Hooks.PollRemote = [this] { remote->PollRemote(); };
    Assign(0, 0, 0, RampWave("contact.wav", 5 * Rate));
    Send(0, 245);
    Send(0, 1);
    ASSERT_EQ(State().StandbySet[0], 1);

    // An armed start timer has the output: contacts neither start nor stop it.
    parms::StartTimer[0].TimerEnabled = 1;
    parms::StartTimer[0].TimerArmed = 1;
    remote->Dispatcher().ContactInput(1);
    Run(100);
    EXPECT_EQ(State().OutputState[0], 0);
    parms::StartTimer[0].TimerArmed = 0;
    remote->Dispatcher().ContactInput(1);
    Run(60);
    EXPECT_EQ(State().OutputState[0], 1) << "without a delay the contact plays the cue at once";
    parms::StartTimer[0].TimerArmed = 1;
    remote->Dispatcher().ContactInput(5);
    Run(60);
    EXPECT_EQ(State().OutputState[0], 1);
    parms::StartTimer[0].TimerArmed = 0;
    remote->Dispatcher().ContactInput(5);
    Run(60);
    EXPECT_EQ(State().OutputState[0], 0);

    // With FSInt 1000 the start comes on the 20th tick of 50 ms.
    remote->Dispatcher().SetStartDelay(1000);
    remote->Dispatcher().ContactInput(1);
    Run(949);
    EXPECT_EQ(State().OutputState[0], 0);
    Run(60);
    EXPECT_EQ(State().OutputState[0], 1);
}

TEST_F(RemoteCodesPlayback, CodesForOutputsThatDoNotExistAreIgnored)
{
    ASSERT_TRUE(StartRemote(1));
    Assign(0, 0, 0, RampWave("one.wav", 2 * Rate));
    Assign(1, 0, 0, RampWave("two.wav", 2 * Rate));
    Send(0, 1);
    Run(100);
    for (const int output : {1, 3, 4, -1, 2147483647}) {
        for (const int code : {1, 241, 245, 255, 257}) {
            Send(output, code);
        }
    }
    Run(100);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(State().OutputState[1], 0);
    EXPECT_EQ(State().OutputLocked[1], 0);
    EXPECT_FALSE(Silent(1));
    EXPECT_TRUE(Silent(2));
}

} // namespace
