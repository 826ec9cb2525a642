#include "foundation/Parms.h"
#include "mainwindow/MainState.h"
#include "remote/RemoteDispatcher.h"
#include "remote/RemoteTargets.h"
#include "tests/remote/RecordingTargets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RemoteDispatcherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = {parms::IsList, parms::UsePause, parms::TimerInt};
        parms::IsList = {0, 0, 1, 0};
        parms::UsePause = 0;
        parms::TimerInt = 50;
        state_.NumOut = 3;
        state_.PageNum = 10;
        state_.ButtonTable.resize(AssignOutputs * AssignPages * AssignButtons);
        state_.ButtonsPerPage = {32, 32, 0, 0};
        Assign(0, 0, 4, "five.wav");
        Assign(1, 3, 16, "seventeen.wav");
    }
    void TearDown() override
    {
        parms::IsList = std::get<0>(saved_);
        parms::UsePause = std::get<1>(saved_);
        parms::TimerInt = std::get<2>(saved_);
    }
    void Assign(int output, int page, int button, const char* file)
    {
        state_.ButtonTable[static_cast<std::size_t>(ButtonTableIndex(output, page, button))].FileName = file;
    }
    void Exec(int output, int code, int key = -1) { dispatcher_.ExecRemoteCommand(output, code, key); }

    MainState state_;
    remotetest::RecordingTargets targets_;
    RemoteDispatcher dispatcher_{state_, targets_};
    std::tuple<std::array<std::int32_t, 4>, std::int32_t, std::int32_t> saved_;
};

TEST_F(RemoteDispatcherTest, ButtonCodesPlayAssignedButtonsAndBlankOnesOnlyWithBlankToStop)
{
    Exec(0, 5);
    EXPECT_EQ(targets_.Take(), "Pon 0,4,0,0,0");
    state_.BlankToStop = 0;
    Exec(0, 6);
    EXPECT_EQ(targets_.Take(), "");
    state_.BlankToStop = 1;
    Exec(0, 6);
    EXPECT_EQ(targets_.Take(), "Pon 0,5,0,0,0");
    // Beyond the output's buttons.
    Exec(0, 33);
    EXPECT_EQ(targets_.Take(), "");
    // The button of the page shown.
    state_.BlankToStop = 0;
    state_.CurrentPage[1] = 3;
    Exec(1, 17, 2);
    EXPECT_EQ(targets_.Take(), "Pon 1,16,0,0,0");
    EXPECT_EQ(state_.SourceOutput[2], 1);
}

TEST_F(RemoteDispatcherTest, IgnoredCodesAndOutputsThatDoNotExistDoNothing)
{
    for (const int code : {0, 101, 150, 200, 221, 230, 240, 247, 250, 254, 256, 261, 999, -5}) {
        Exec(0, code);
    }
    Exec(3, 5);
    Exec(-1, 241);
    Exec(4, 241);
    EXPECT_EQ(targets_.Take(), "");
}

TEST_F(RemoteDispatcherTest, PagesAreSelectedAndSteppedWithWrap)
{
    Exec(0, 201);
    Exec(0, 220);
    state_.CurrentPage[0] = 0;
    Exec(0, 243);
    state_.CurrentPage[0] = 9;
    Exec(0, 242);
    state_.CurrentPage[0] = 4;
    Exec(0, 242);
    EXPECT_EQ(targets_.Take(), "ChangePage 0,0,0; ChangePage 0,19,0; ChangePage 0,9,0; ChangePage 0,0,0; ChangePage 0,5,0");
}

TEST_F(RemoteDispatcherTest, StopPlayStandbyAndPause)
{
    Exec(0, 241);
    Exec(0, 244); // nothing is cued
    state_.StandbySet[0] = 1;
    Exec(0, 244, 1);
    EXPECT_EQ(targets_.Take(), "StopOutput 0; PlayStandby 0,0");
    EXPECT_EQ(state_.SourceOutput[1], -1) << "a play of the cue records no source";

    state_.DispSTBY[0] = 1;
    Exec(0, 245);
    state_.DispSTBY[0] = 0;
    Exec(0, 245);
    EXPECT_EQ(targets_.Take(), "StbyLabel 0");

    Exec(0, 246);
    EXPECT_EQ(targets_.Take(), "");
    parms::UsePause = 1;
    Exec(0, 246);
    EXPECT_EQ(targets_.Take(), "PlayButtons 0,2");
}

TEST_F(RemoteDispatcherTest, ListOutputsPlayTheNextItemUnlessRefusedWhilePlaying)
{
    Exec(2, 77, 0);
    EXPECT_EQ(targets_.Take(), "Pon 2,0,0,0,0");
    EXPECT_EQ(state_.SourceOutput[0], 2);
    state_.OutputState[2] = 1;
    state_.ListWhilePlay = 2;
    Exec(2, 1);
    Exec(2, 244);
    EXPECT_EQ(targets_.Take(), "");
    state_.ListWhilePlay = 1;
    Exec(2, 244);
    EXPECT_EQ(targets_.Take(), "Pon 2,0,0,0,0");
}

TEST_F(RemoteDispatcherTest, ReleaseStopsOnlyAMomentarySoundOfTheSourcesOutput)
{
    state_.PlayingMode[1] = 1;
    state_.OutputState[1] = 1;
    state_.SourceOutput[2] = 1;
    // The release names output 0, but channel 2 last started output 1.
    Exec(0, 255, 2);
    EXPECT_EQ(targets_.Take(), "StopOutput 1");

    state_.STBYActive[1] = 1;
    Exec(1, 255);
    EXPECT_EQ(targets_.Take(), "");
    state_.STBYActive[1] = 0;

    state_.PlayingMode[1] = 2;
    Exec(1, 255);
    EXPECT_EQ(targets_.Take(), "");

    // Released before the sound started: the tick stops it once it plays.
    state_.PlayingMode[1] = 1;
    state_.OutputState[1] = 0;
    Exec(1, 255);
    EXPECT_EQ(targets_.Take(), "");
    EXPECT_EQ(state_.StopWhenStarted[1], 1);

    // A channel that started nothing.
    Exec(1, 255, 3);
    EXPECT_EQ(targets_.Take(), "");
}

TEST_F(RemoteDispatcherTest, LockAndUnlockSetTheFlagAndApplyIt)
{
    Exec(1, 257);
    EXPECT_EQ(state_.OutputLocked[1], 1);
    Exec(1, 258);
    EXPECT_EQ(state_.OutputLocked[1], 0);
    EXPECT_EQ(targets_.Take(), "SetOutputLock 1; SetOutputLock 1");
}

TEST_F(RemoteDispatcherTest, ListCursorMovesWithAndWithoutLooping)
{
    targets_.itemCount = 5;
    Exec(0, 260); // a button output
    EXPECT_EQ(targets_.Take(), "");

    // No selection and no cursor: row 0 itself.
    state_.ListItem[2] = -1;
    Exec(2, 260);
    EXPECT_EQ(targets_.Take(), "ListClick 2,0");

    targets_.selected = 4;
    state_.LoopListCursor = 0;
    Exec(2, 260);
    EXPECT_EQ(targets_.Take(), "ListClick 2,4");
    state_.LoopListCursor = 1;
    Exec(2, 260);
    EXPECT_EQ(targets_.Take(), "ListClick 2,0");
    Exec(2, 259);
    EXPECT_EQ(targets_.Take(), "ListClick 2,4");

    // From the cursor when nothing is selected.
    targets_.selected = -1;
    state_.ListItem[2] = 2;
    Exec(2, 259);
    EXPECT_EQ(targets_.Take(), "ListClick 2,1");

    targets_.itemCount = 0;
    Exec(2, 259);
    EXPECT_EQ(targets_.Take(), "");
}

TEST_F(RemoteDispatcherTest, ContactInputsStartAndStopOutputsAndRespectTheTimer)
{
    state_.StandbySet = {1, 1, 0, 0};
    dispatcher_.ContactInput(2);
    dispatcher_.ContactInput(6);
    EXPECT_EQ(targets_.Take(), "PlayStandby 1,0; StopOutput 1");

    targets_.armed[1] = true;
    dispatcher_.ContactInput(2);
    dispatcher_.ContactInput(6);
    dispatcher_.ContactInput(0);
    dispatcher_.ContactInput(9);
    dispatcher_.ContactInput(16);
    EXPECT_EQ(targets_.Take(), "");
}

TEST_F(RemoteDispatcherTest, ADelayedStartComesOnTheTickThatEndsTheDelay)
{
    state_.StandbySet = {1, 0, 0, 0};
    dispatcher_.SetStartDelay(1000);
    dispatcher_.ContactInput(1);
    for (int tick = 1; tick < 20; ++tick) {
        dispatcher_.TickDelayedStarts();
    }
    EXPECT_EQ(targets_.Take(), "");
    // A stop during the delay acts at once and leaves the start pending.
    dispatcher_.ContactInput(5);
    EXPECT_EQ(targets_.Take(), "StopOutput 0");
    dispatcher_.TickDelayedStarts();
    EXPECT_EQ(targets_.Take(), "PlayStandby 0,0");
    dispatcher_.TickDelayedStarts();
    EXPECT_EQ(targets_.Take(), "");

    // A second closure restarts the delay.
    dispatcher_.ContactInput(1);
    for (int tick = 1; tick <= 10; ++tick) {
        dispatcher_.TickDelayedStarts();
    }
    dispatcher_.ContactInput(1);
    for (int tick = 1; tick < 20; ++tick) {
        dispatcher_.TickDelayedStarts();
    }
    EXPECT_EQ(targets_.Take(), "");
    dispatcher_.TickDelayedStarts();
    EXPECT_EQ(targets_.Take(), "PlayStandby 0,0");
}

} // namespace
