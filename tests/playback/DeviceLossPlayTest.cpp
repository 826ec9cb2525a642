// An output whose device fails mid-sound (unplugged): what the operator sees
// follows what is heard. The lamp and the tally go off, a press on the dead
// output says "Play Failed.", and once the device is back a press plays.
#include "PlaybackFixture.h"

#include "platform/audio/AudioSystem.h"

#include <gmock/gmock.h>

#include <algorithm>

namespace {

using playbacktest::PlaybackFixture;
using testing::ElementsAre;

class DeviceLossPlay : public PlaybackFixture {
protected:
    int LogLinesWith(const std::string& part) const
    {
        const std::vector<std::string> log = DayLogEntries();
        return static_cast<int>(std::count_if(
            log.begin(), log.end(), [&](const std::string& line) { return line.find(part) != std::string::npos; }));
    }
};

TEST_F(DeviceLossPlay, TheLampGoesOffAndAPressFailsUntilTheDeviceIsBack)
{
    ASSERT_TRUE(Start());
    State().ButtonsPerOutput = 32;
    State().ButtonsPerPage[0] = 32;
    State().CounterTitle[0] = 1;
    controls::UC_TextPicture& counter = *window->PicCounter(0);
    for (int i = 0; i < 3; ++i) {
        counter.AddTextSpace(9, false, false, "", 0, 0);
    }
    Assign(0, 0, 2, RampWave("long.wav", 5 * Rate));
    const std::string next = RampWave("next.wav", Rate);
    Assign(0, 0, 3, next);

    control->Pon(0, 2, 0, 0, 0);
    Run(300);
    ASSERT_EQ(window->TolvButton(2)->Activated(), State().StateColorSet[1]);
    ASSERT_EQ(State().OutputState[0], 1);

    ASSERT_TRUE(platform::audio::AudioSystem::Current().SetNullOutputUnplugged(1, true));
    ports.Log.Clear();
    Run(200);
    EXPECT_EQ(window->TolvButton(2)->Activated(), 0);
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_EQ(State().SomethingPlays, 0);
    EXPECT_THAT(ports.Log.Starting("SendRemoteCommand 0 4"), ElementsAre("SendRemoteCommand 0 4 2"));
    EXPECT_EQ(LogLinesWith("\"Null 1\": lost"), 1);

    control->Pon(0, 3, 0, 0, 0);
    EXPECT_EQ(counter.TextMes(1), "Play Failed.");
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_EQ(window->TolvButton(3)->Activated(), 0);
    EXPECT_EQ(LogLinesWith("PonFail2 " + next), 1);
    Run(500);
    EXPECT_EQ(LogLinesWith("\"Null 1\": lost"), 1) << "the loss is logged once";

    ASSERT_TRUE(platform::audio::AudioSystem::Current().SetNullOutputUnplugged(1, false));
    Played(1);
    control->Pon(0, 3, 0, 0, 0);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(window->TolvButton(3)->Activated(), State().StateColorSet[1]);
    Run(200);
    EXPECT_EQ(RampFrame(FirstSound(Played(1))), 0) << "the sound starts with its first frame";
}

} // namespace
