// Assigning, dropping and dragging sounds on the sound buttons, the button
// menu's commands and the hand-back from the monitor window.
#include "ExtensibleWaves.h"
#include "GridFixture.h"

#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "platform/CommonDialogs.h"
#include "platform/InputCodes.h"

#include <gmock/gmock.h>

namespace {

using playbacktest::GridFixture;
using testing::Contains;
using testing::HasSubstr;

class ButtonGrid : public GridFixture {};

TEST_F(ButtonGrid, ADropOfThreeFilesAssignsTheFirstWithItsLengthAndNothingElse)
{
    ASSERT_TRUE(Start());
    const std::string first = RampWave("first.wav", Rate);
    const std::string second = RampWave("second.wav", Rate / 2);
    const std::string third = RampWave("third.wav", Rate / 4);
    platform::DragData data = Files({first, second, third});
    grid->TolvButton_OLEDropped(2, data);

    EXPECT_EQ(Record(0, 0, 2).FileName, first);
    EXPECT_EQ(Record(0, 0, 2).LengthMS, 1000);
    EXPECT_EQ(Record(0, 0, 2).Invalid, 0);
    EXPECT_EQ(Record(0, 0, 2).StartMS, 0);
    for (int button = 0; button < 32; ++button) {
        if (button != 2) {
            EXPECT_EQ(Record(0, 0, button).FileName, "") << button;
        }
    }
    // The drop asked the cache to check the new assignments.
    EXPECT_THAT(ports.Log.Calls(), Contains("CacheAll 1"));
}

TEST_F(ButtonGrid, RefusedAssignmentsChangeNothing)
{
    Store("CheckWavFmt", "1");
    Store("SozaiFreq", "44100");
    const std::string allowed = sounds.Folder("allowed");
    Store("SoundDrive", allowed);
    ASSERT_TRUE(Start());
    basic::LangMode = 0;
    const std::string kept = RampWave("allowed/kept.wav", Rate);
    AssignRecord& target = Assign(0, 0, 4, kept, 2, 700);
    target.TextColor = 0x0000FF;
    target.LengthMS = 1000;
    const AssignRecord before = target;
    Assign(0, 0, 1, sounds / "allowed/other/take.wav");

    // Same title, other path: refused.
    EXPECT_FALSE(grid->Grid.AssignButtonFile(4, RampWave("allowed/take.wav", Rate)));
    // Outside the allowed locations: refused.
    EXPECT_FALSE(grid->Grid.AssignButtonFile(4, RampWave("elsewhere/fine.wav", Rate)));
    // 48 kHz where 44.1 kHz is required: refused.
    EXPECT_FALSE(grid->Grid.AssignButtonFile(4, RampWave("allowed/fast.wav", Rate)));
    // A name from an older share with a Latin-1 byte, dropped: the table
    // could not hold it, so it is refused, and the operator sees the byte.
    const std::string latin1 = RampWave("allowed/s\xE9.wav", Rate);
    platform::DragData dropped = Files({latin1});
    grid->TolvButton_OLEDropped(4, dropped);

    const AssignRecord& after = Record(0, 0, 4);
    EXPECT_EQ(after.FileName, before.FileName);
    EXPECT_EQ(after.PlayMode, 2);
    EXPECT_EQ(after.StartMS, 700);
    EXPECT_EQ(after.TextColor, 0x0000FF);
    EXPECT_EQ(after.LengthMS, 1000);
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_THAT(messages[0], HasSubstr("同一タイトルの素材は使用できません"));
    EXPECT_EQ(messages[2], "wav形式が違います");
    EXPECT_EQ(messages[3], "この場所の素材は使用できません\r\n" + allowed + "s\\xE9.wav");
    EXPECT_THAT(DayLogEntries(), Contains(HasSubstr("cannot hold \"" + allowed + "s\\xE9.wav\", which is no UTF-8 text")));
}

TEST_F(ButtonGrid, APcmBackEndMarksAWaveItCannotPlayInvalidWhenAssigned)
{
    ASSERT_TRUE(Start());
    const std::string alaw = sounds / "alaw.wav";
    playbacktest::WriteALawExtensible(alaw);
    const std::string pcmExtensible = sounds / "pcm_ext.wav";
    playbacktest::WritePcmExtensible(pcmExtensible);
    const std::string plain = RampWave("plain.wav", Rate / 10);
    struct Case {
        int playerType;
        std::string path;
        int invalid;
    };
    const Case cases[] = {
        {3, alaw, 1}, {3, pcmExtensible, 0}, {3, plain, 0}, // waveOut: PCM samples
        {0, alaw, 1}, {0, pcmExtensible, 1}, {0, plain, 0}, // DirectSound: the plain PCM tag
        {2, alaw, 0}, {2, pcmExtensible, 0},                // a graph may decode it
    };
    for (const Case& c : cases) {
        parms::PlayerType = c.playerType;
        Record(0, 0, 5) = AssignRecord{};
        EXPECT_TRUE(grid->Grid.AssignButtonFile(5, c.path)) << c.path << " on " << c.playerType;
        EXPECT_EQ(Record(0, 0, 5).FileName, c.path);
        EXPECT_EQ(Record(0, 0, 5).Invalid, c.invalid) << c.path << " on " << c.playerType;
    }
    EXPECT_TRUE(messages.empty()) << "an unplayable file is assigned, marked, not refused";
}

TEST_F(ButtonGrid, ADragThatEndsNowhereKeepsTheButtonAndOneThatAssignedElsewhereEmptiesIt)
{
    ASSERT_TRUE(Start());
    const std::string path = RampWave("move me.wav", Rate);
    Assign(0, 0, 0, path, 1, 250);

    platform::DragData data;
    int allowed = 0;
    grid->TolvButton_OLEStartDrag(0, data, allowed, 0);
    EXPECT_EQ(allowed, platform::DropEffectCopy);
    ASSERT_EQ(data.Files(), std::vector<std::string>{path});
    grid->TolvButton_OLECompleteDrag(0, platform::DropEffectNone);
    EXPECT_EQ(Record(0, 0, 0).FileName, path);
    EXPECT_EQ(Record(0, 0, 0).StartMS, 250);

    // Dropped back onto itself: still there.
    grid->TolvButton_OLEStartDrag(0, data, allowed, 0);
    grid->TolvButton_OLEDropped(0, data);
    grid->TolvButton_OLECompleteDrag(0, platform::DropEffectCopy);
    EXPECT_EQ(Record(0, 0, 0).FileName, path);

    // With Ctrl the source keeps its sound.
    grid->TolvButton_OLEStartDrag(0, data, allowed, platform::CtrlMask);
    grid->TolvButton_OLEDropped(5, data);
    grid->TolvButton_OLECompleteDrag(0, platform::DropEffectCopy);
    EXPECT_EQ(Record(0, 0, 0).FileName, path);
    EXPECT_EQ(Record(0, 0, 5).FileName, path);

    // Moved onto another button: the source is empty once the drop took it.
    grid->TolvButton_OLEStartDrag(5, data, allowed, 0);
    grid->TolvButton_OLEDropped(6, data);
    EXPECT_EQ(Record(0, 0, 5).FileName, path);
    grid->TolvButton_OLECompleteDrag(5, platform::DropEffectCopy);
    EXPECT_EQ(Record(0, 0, 5).FileName, "");
    EXPECT_EQ(Record(0, 0, 6).FileName, path);
}

TEST_F(ButtonGrid, AMoveOntoAButtonThatRefusesKeepsTheSource)
{
    Store("CheckWavFmt", "1");
    Store("SozaiFreq", "44100");
    ASSERT_TRUE(Start());
    const std::string path = RampWave("wrong rate.wav", Rate);
    Assign(0, 0, 0, path);
    platform::DragData data;
    int allowed = 0;
    grid->TolvButton_OLEStartDrag(0, data, allowed, 0);
    grid->TolvButton_OLEDropped(1, data);
    // The button's drop target still reports the copy it allowed.
    grid->TolvButton_OLECompleteDrag(0, platform::DropEffectCopy);
    EXPECT_EQ(Record(0, 0, 0).FileName, path);
    EXPECT_EQ(Record(0, 0, 1).FileName, "");
}

TEST_F(ButtonGrid, AButtonWithoutAnExistingFileStartsNoDrag)
{
    ASSERT_TRUE(Start());
    Assign(0, 0, 0, sounds / "gone.wav");
    platform::DragData data;
    int allowed = platform::DropEffectCopy;
    grid->TolvButton_OLEStartDrag(0, data, allowed, 0);
    EXPECT_EQ(allowed, platform::DropEffectNone);
    EXPECT_EQ(data.FileCount(), 0);
    grid->TolvButton_OLECompleteDrag(0, platform::DropEffectCopy);
    EXPECT_EQ(Record(0, 0, 0).FileName, sounds / "gone.wav");
}

TEST_F(ButtonGrid, ARightClickRequestsTheMenuUnlessTheMonitorWindowIsVisible)
{
    ASSERT_TRUE(Start());
    Assign(0, 0, 7, RampWave("menu.wav", Rate), 2);
    bool monitorVisible = true;
    grid->Grid.MonitorVisible = [&monitorVisible] { return monitorVisible; };
    control->TolvButton_MouseUD(7, 2, false, 0);
    EXPECT_EQ(State().PendingButtonMenu, 0);

    monitorVisible = false;
    control->TolvButton_MouseUD(7, 2, true, 0);
    EXPECT_EQ(State().PendingButtonMenu, 0);
    control->TolvButton_MouseUD(7, 2, false, 0);
    EXPECT_EQ(State().PendingButtonMenu, 1);
    EXPECT_EQ(State().RCButtonIndex, 7);
    EXPECT_TRUE(window->MenuRCButtonMode->At(2)->isChecked());
    EXPECT_FALSE(window->MenuRCButtonMode->At(0)->isChecked());
}

TEST_F(ButtonGrid, AClickPlaysAndAMomentaryButtonStopsOnItsRelease)
{
    ASSERT_TRUE(Start());
    Assign(0, 0, 0, RampWave("normal.wav", 4 * Rate));
    Assign(0, 0, 1, RampWave("momentary.wav", 4 * Rate), 1);

    control->TolvButton_MouseUD(0, 1, true, 0);
    EXPECT_EQ(State().OutputState[0], 0);
    control->TolvButton_MouseUD(0, 1, false, 0);
    EXPECT_EQ(State().OutputState[0], 1);
    Run(100);
    EXPECT_NE(FirstSound(Played(1)), 0.0F);
    control->StopOutput(0);
    Run(200);

    control->TolvButton_MouseUD(1, 1, true, 0);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(State().PlayingMode[0], 1);
    control->TolvButton_MouseUD(1, 1, false, 0);
    Run(200);
    EXPECT_EQ(State().OutputState[0], 0);
}

TEST_F(ButtonGrid, ThePreviewOpensTheMonitorForTheRightClickedButton)
{
    ASSERT_TRUE(Start());
    const std::string sound = RampWave("preview.wav", Rate);
    Assign(0, 0, 3, sound);
    control->TolvButton_MouseUD(3, 2, false, 0);
    ports.Log.Clear();
    grid->RCButtonFCT(4);
    grid->RCButtonFCT(2);
    EXPECT_THAT(ports.Log.Starting("MonitorWindow.StartMon"),
                testing::ElementsAre("MonitorWindow.StartMon 0 0 0 3 1", "MonitorWindow.StartMon 0 0 0 3 0"));
    EXPECT_EQ(ports.MonitorWindow.lastItem.File, sound);
}

TEST_F(ButtonGrid, ModeAndColourCommandsChangeTheRecord)
{
    ASSERT_TRUE(Start());
    Assign(0, 0, 1, RampWave("colours.wav", Rate));
    control->TolvButton_MouseUD(1, 2, false, 0);
    grid->RCButtonFCT(9);
    EXPECT_EQ(Record(0, 0, 1).PlayMode, 3);
    grid->RCButtonFCT(12);
    EXPECT_EQ(Record(0, 0, 1).TextColor, 0xFFFFFF);
    EXPECT_EQ(Record(0, 0, 1).BackColor, 0);
    platform::SetColourDialogAnswer([](const platform::ColourDialogRequest&) { return std::optional<std::int32_t>{}; });
    grid->RCButtonFCT(11);
    EXPECT_EQ(Record(0, 0, 1).BackColor, 0);
    platform::SetColourDialogAnswer([](const platform::ColourDialogRequest& request) {
        return std::optional<std::int32_t>{request.current + 0x10};
    });
    grid->RCButtonFCT(11);
    EXPECT_EQ(Record(0, 0, 1).BackColor, 0x10);
    platform::SetColourDialogAnswer(nullptr);
    // Numbers without a command do nothing.
    const AssignRecord before = Record(0, 0, 1);
    grid->RCButtonFCT(13);
    grid->RCButtonFCT(21);
    EXPECT_EQ(Record(0, 0, 1).PlayMode, before.PlayMode);
    EXPECT_EQ(Record(0, 0, 1).FileName, before.FileName);
}

} // namespace
