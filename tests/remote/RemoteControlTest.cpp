#include "support/FakeMidiBackend.h"
#include "support/PseudoTerminal.h"
#include "tests/remote/RemoteControlFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using hidtest::Report;

using remotetest::RemoteControlTest;

TEST_F(RemoteControlTest, BoxesOpenInOrderPerProductAndAMissingBoxIsReported)
{
    auto& first = hid.Plug(1, "1-1");
    auto& second = hid.Plug(1, "1-2");
    hid.Plug(2, "1-3");
    basic::SaveSetting("USBHIDID_1", "1");
    basic::SaveSetting("USBHIDID_2", "1");
    basic::SaveSetting("USBHIDID_4", "2");
    Init();
    EXPECT_TRUE(control->HidOpen(0));
    EXPECT_TRUE(control->HidOpen(1));
    EXPECT_FALSE(control->HidOpen(2));
    EXPECT_TRUE(control->HidOpen(3));
    EXPECT_EQ(control->Box(0)->HIDFilename(), first.entry.path);
    EXPECT_EQ(control->Box(1)->HIDFilename(), second.entry.path);
    EXPECT_TRUE(messages.empty());
    // The retry count follows the tick: 200 ms of reads.
    EXPECT_EQ(control->Box(0)->ReadRetrialCount(), 4);

    basic::SaveSetting("USBHIDID_3", "7");
    control->InitRemoteDevices();
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_TRUE(messages[0] == "quorvantHID not found" || messages[0] == "quorvantHIDを初期化できませんでした");
    EXPECT_FALSE(control->HidOpen(2));
    EXPECT_TRUE(control->HidOpen(3));
}

TEST_F(RemoteControlTest, ABoxCodePlaysAButtonAndItsReleaseStopsTheMomentarySound)
{
    auto& box = hid.Plug(1, "1-1");
    basic::SaveSetting("USBHIDID_1", "1");
    basic::SaveSetting("HIDCh_1", "1");
    Init();
    box.codes = {12};
    control->PollRemote();
    EXPECT_EQ(targets.Take(), "Pon 1,11,0,0,0");
    EXPECT_EQ(window.State.SourceOutput[0], 1);

    window.State.PlayingMode[1] = 1;
    window.State.OutputState[1] = 1;
    box.codes = {255};
    control->PollRemote();
    EXPECT_EQ(targets.Take(), "StopOutput 1");

    // Codes that mean nothing stay nothing.
    box.codes = {150};
    control->PollRemote();
    box.codes = {230};
    control->PollRemote();
    EXPECT_EQ(targets.Take(), "");

    // Nothing is polled while a play request runs or the window is not ready.
    box.codes = {3};
    window.State.PonBusy[0] = 1;
    control->PollRemote();
    window.State.PonBusy[0] = 0;
    window.State.Running = 0;
    control->PollRemote();
    EXPECT_EQ(targets.Take(), "");
}

TEST_F(RemoteControlTest, AContactBoxStartsOncePerClosingAndStops)
{
    auto& box = hid.Plug(1, "1-1");
    basic::SaveSetting("USBHIDID_1", "1");
    basic::SaveSetting("HIDCh_1", "4");
    basic::SaveSetting("HIDGetStatus_1", "1");
    Init();
    window.State.StandbySet[1] = 1;
    box.mask = 0xFD; // input 2 closed
    control->PollRemote();
    control->PollRemote();
    EXPECT_EQ(targets.Take(), "PlayStandby 1,0");
    box.mask = 0xFF;
    control->PollRemote();
    box.mask = 0xDF; // input 6 closed
    control->PollRemote();
    EXPECT_EQ(targets.Take(), "StopOutput 1");
    box.mask = 0xFE & 0x7F; // inputs 1 and 8: only 1..8 are contacts, 8 is a stop of output 4
    control->PollRemote();
    EXPECT_EQ(targets.Take(), "") << "outputs beyond NumOut come to nothing; output 1 has nothing cued";
}

TEST_F(RemoteControlTest, AContactChannelsCodesNineToSixteenDoNothing)
{
    auto& box = hid.Plug(1, "1-1");
    basic::SaveSetting("USBHIDID_1", "1");
    basic::SaveSetting("HIDCh_1", "4");
    Init();
    window.State.StandbySet = {1, 1, 0, 0};
    targets.itemCount = 5;
    parms::IsList = {1, 1, 0, 0};
    // The list-cursor inputs of a contact box are not carried out.
    for (int code = 9; code <= 16; ++code) {
        box.codes.push_back(static_cast<std::uint8_t>(code));
    }
    for (int poll = 0; poll < 8; ++poll) {
        control->PollRemote();
    }
    EXPECT_EQ(targets.Take(), "");
    parms::IsList = {0, 0, 0, 0};
    box.codes = {2, 6};
    control->PollRemote();
    control->PollRemote();
    EXPECT_EQ(targets.Take(), "PlayStandby 1,0; StopOutput 1");
}

TEST_F(RemoteControlTest, AnUnpluggedBoxIsResetWithGrowingWaitsAndGetsItsLampsBack)
{
    auto& box = hid.Plug(1, "1-1");
    basic::SaveSetting("USBHIDID_1", "1");
    Init();
    window.State.CurrentPage[0] = 2;
    box.gone = true;
    control->PollRemote();
    EXPECT_EQ(DayLogged("USBResetTimer Set"), 1);
    box.present = false;

    clock.Advance(1900);
    control->PollRemote();
    EXPECT_EQ(DayLogged("HID Reset"), 0);
    clock.Advance(200);
    control->PollRemote();
    EXPECT_EQ(DayLogged("HID Reset NG pRemote=0"), 1);
    // Now 3 s, then 4 s.
    clock.Advance(2900);
    control->PollRemote();
    EXPECT_EQ(DayLogged("HID Reset NG pRemote=0"), 1);
    clock.Advance(200);
    control->PollRemote();
    EXPECT_EQ(DayLogged("HID Reset NG pRemote=0"), 2);

    hid.Replug(box);
    box.written.clear();
    clock.Advance(4100);
    control->PollRemote();
    EXPECT_EQ(DayLogged("HID Reset OK pRemote=0"), 1);
    EXPECT_EQ(targets.Take(), "RefreshButtons 0,1; RefreshButtons 1,1");
    // Page 3 shown, then the idle lamps: play off (244+100 is dropped), stop on.
    EXPECT_EQ(Lamps(box), (std::vector<int>{203, 241}));
}

TEST_F(RemoteControlTest, ABoxWhoseLampsNeverGoOutCostsOneTimeOutAndIsReset)
{
    auto& box = hid.Plug(1, "1-1");
    basic::SaveSetting("USBHIDID_1", "1");
    basic::SaveSetting("HIDAsync_1", "1");
    Init();
    box.writesHang = true;
    // A page change lights and darkens a page and 32 buttons: one lamp waits
    // its time-out, the box counts as failing and waits for its reset.
    const std::int64_t start = clock.TotalMs();
    for (int button = 0; button < 32; ++button) {
        control->SendRemoteCommand(0, 3, button);
    }
    EXPECT_GT(clock.TotalMs() - start, 500);
    EXPECT_LT(clock.TotalMs() - start, 600);
    EXPECT_EQ(DayLogged("USBResetTimer Set"), 1);
    EXPECT_EQ(control->HidBox(1).ResetStart != 0.0F, true);
    EXPECT_LE(LongestRefillGap(start), 20);

    // Once its writes go out again the reset resends the lamps.
    box.writesHang = false;
    clock.Advance(2100);
    control->PollRemote();
    EXPECT_EQ(DayLogged("HID Reset OK pRemote=0"), 1);
    EXPECT_FALSE(Lamps(box).empty());
}

TEST_F(RemoteControlTest, StatusReachesTheBoxAndTheTallyIsSentOnlyWhenItChanges)
{
    auto& box = hid.Plug(1, "1-1");
    basic::SaveSetting("USBHIDID_1", "1");
    Init();
    control->SendRemoteCommand(0, 3, 6);
    control->SendRemoteCommand(0, 4, 6);
    control->SendRemoteCommand(1, 3, 6); // another output
    EXPECT_EQ(Lamps(box), (std::vector<int>{7, 107}));

    window.State.DispSTBY[0] = 1;
    window.State.StandbySet[0] = 1;
    window.State.STBYActive[0] = 1;
    control->SendRemoteListStatus(0, 0);
    EXPECT_EQ(control->StandbyTally(0), 1);
    control->SendRemoteListStatus(0, 1);
    EXPECT_EQ(control->StandbyTally(0), 0);
    // A button output without the STBY label: lit while any page has a playable sound.
    window.State.DispSTBY[1] = 0;
    control->SendRemoteListStatus(1, 0);
    EXPECT_EQ(control->StandbyTally(1), 0);
    window.State.ButtonTable[static_cast<std::size_t>(ButtonTableIndex(1, 7, 40))].FileName = "a.wav";
    control->SendRemoteListStatus(1, 0);
    EXPECT_EQ(control->StandbyTally(1), 1);
    window.State.OutputState[1] = 1;
    control->SendRemoteListStatus(1, 0);
    EXPECT_EQ(control->StandbyTally(1), 0);
}

TEST_F(RemoteControlTest, ALineOutKeyTogglesTheLockAndTheLockRefusesTheControls)
{
    logs.Write("tolv.rrs", "\"Button_01-030\",\"ch1\",\"LINEOUTSTATUS_ON\",\"1\"\r\n");
    auto& box = hid.Plug(1, "1-1");
    basic::SaveSetting("USBHIDID_1", "1");
    Init();
    box.codes = {30};
    control->PollRemote();
    EXPECT_EQ(window.State.OutputLocked[0], 1);
    box.codes = {30};
    control->PollRemote();
    EXPECT_EQ(window.State.OutputLocked[0], 0);
    EXPECT_EQ(targets.Take(), "SetOutputLock 0; SetOutputLock 0");

    // The lock itself, on the window's controls.
    window.State.UseLineOutLock = 1;
    window.State.ButtonsPerPage[0] = 1;
    window.State.OutputLocked[0] = 1;
    window.PageButtons(0)->SetNumButtons(2);
    box.written.clear();
    control->SetOutputLock(0);
    EXPECT_EQ(window.PageButtons(0)->GetButtonDisable(1, 0), 1);
    // The box lights the code its table gives the line-out lamp.
    EXPECT_EQ(Lamps(box), (std::vector<int>{30}));
    window.State.OutputLocked[0] = 0;
    control->SetOutputLock(0);
    EXPECT_EQ(window.PageButtons(0)->GetButtonDisable(1, 0), 0);

    // Without the lock feature nothing changes, though the flag is kept.
    window.State.UseLineOutLock = 0;
    window.State.OutputLocked[0] = 1;
    control->SetOutputLock(0);
    EXPECT_EQ(window.PageButtons(0)->GetButtonDisable(1, 0), 0);
}

TEST_F(RemoteControlTest, ASerialBoxPlaysButtonsAndGetsItsLamps)
{
    testsupport::PseudoTerminal line;
    setenv("TOLV_COM7", line.PortPath().c_str(), 1);
    basic::SaveSetting("ComNo_1", "7");
    basic::SaveSetting("ComMode_1", "2");
    basic::SaveSetting("ComCh_1", "1");
    Init();
    ASSERT_TRUE(control->ComOpen(0));
    line.Send(std::vector<std::uint8_t>{5});
    ASSERT_TRUE(testsupport::WaitReadable(control->Com(0)->Port().Descriptor()));
    control->PollRemote();
    EXPECT_EQ(targets.Take(), "Pon 1,4,0,0,0");

    control->SendRemoteCommand(1, 3, 9);
    control->SendRemoteCommand(1, 1, 2);
    EXPECT_EQ(line.Receive(2), (std::vector<std::uint8_t>{10, 203}));
    control->CloseComm(0);
    EXPECT_FALSE(control->ComOpen(0));
    unsetenv("TOLV_COM7");
}

TEST_F(RemoteControlTest, MidiNotesPlayButtonsAcrossGridsUntilTheInputIsSwitchedOff)
{
    testsupport::FakeMidiBackend midi;
    midi.inputs = {"Keys"};
    basic::SaveSetting("UseMIDIIn", "1");
    basic::SaveSetting("MIDINoteOffset", "48");
    Init();
    ASSERT_TRUE(control->MidiInOpen());
    // Note-on 80: button 1 of output 2; control messages do nothing.
    midi.Send(0x00405090);
    midi.Send(0x000000FE);
    midi.Send(0x00077BB0);
    control->PollRemote();
    EXPECT_EQ(targets.Take(), "Pon 1,0,0,0,0");
    // Keyboards end a note with a note-on of velocity 0: a release, so that
    // letting go of a key never starts the button again.
    window.State.PlayingMode[1] = 1;
    midi.Send(0x00005090);
    control->PollRemote();
    EXPECT_EQ(targets.Take(), "");
    EXPECT_EQ(window.State.StopWhenStarted[1], 1);

    basic::SaveSetting("UseMIDIIn", "0");
    control->InitRemoteDevices();
    EXPECT_FALSE(control->MidiInOpen());
    EXPECT_FALSE(midi.IsOpen());
}

TEST_F(RemoteControlTest, APollRunsItsStepsInOrderAndAReApplyReopensEveryDevice)
{
    auto& box = hid.Plug(1, "1-1");
    testsupport::PseudoTerminal line;
    setenv("TOLV_COM7", line.PortPath().c_str(), 1);
    basic::SaveSetting("ComNo_2", "7");
    basic::SaveSetting("USBHIDID_1", "1");
    parms::IsList[1] = 1;
    window.State.ShowObservation = 1;
    Init();
    std::vector<std::string> lines;
    control->Observe = [&lines](const std::string& text) {
        if (text.rfind("HID", 0) != 0) {
            lines.push_back(text);
        }
    };
    control->PollRemote();
    EXPECT_EQ(lines, (std::vector<std::string>{"ProgFS", "CheckCom", "CheckUSB", "QuorReadA", "WheelUD"}));

    EXPECT_EQ(box.openCount, 1);
    control->InitRemoteDevices();
    EXPECT_EQ(box.openCount, 2);
    EXPECT_TRUE(control->HidOpen(0));
    EXPECT_TRUE(control->ComOpen(1));
    EXPECT_TRUE(control->Com(1)->IsOpen());
    unsetenv("TOLV_COM7");
}

} // namespace
