// An output whose device fails mid-sound (unplugged): what the operator sees
// follows what is heard. The lamp and the tally go off, a press on the dead
// output says "Play Failed.", a play list does not run through its rows on
// it, and once the device is back a press plays. For the waveOut back-end and
// for those that play through media graphs (DirectShow, MCI, filter graph
// with either renderer).
#include "DeviceLossFixture.h"

#include "foundation/Parms.h"
#include "platform/MessageBox.h"
#include "platform/audio/AudioSystem.h"
#include "support/GraphOfPlayer.h"
#include "support/RealWait.h"

#include <gmock/gmock.h>

#include <algorithm>

namespace {

using playbacktest::DeviceLossFixture;
using testing::ElementsAre;

using DeviceLossPlay = DeviceLossFixture;

TEST_F(DeviceLossPlay, TheLampGoesOffAndAPressFailsUntilTheDeviceIsBack)
{
    ASSERT_TRUE(Start());
    controls::UC_TextPicture& counter = ButtonsAndCounter();
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

// The graph back-ends by PlayerType: 1 DirectShow, 2 MCI, 4 and 5 the
// filter graph with the device's own and its DirectSound renderer. Their
// graphs decode on threads of their own: time moves on only once what the
// devices are to play is decoded.
class GraphDeviceLossPlay : public DeviceLossPlay, public testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        DeviceLossPlay::SetUp();
        platform::SetMessageBoxAnswer([this](const platform::MessageBoxRequest& request) {
            boxes.push_back(request.text);
            return platform::IdYes;
        });
    }
    void TearDown() override
    {
        DeviceLossPlay::TearDown();
        platform::SetMessageBoxAnswer(nullptr);
    }
    bool StartGraphs()
    {
        Store("PlayerType", std::to_string(GetParam()));
        return Start();
    }
    // Moves time on in engine ticks, each once the playing graphs have decoded ahead.
    void Play(int ms)
    {
        for (int t = 0; t < ms; t += 50) {
            for (int slot = 0; slot < State().PlayerCount; ++slot) {
                platform::audio::MediaGraph* graph = testsupport::GraphOfPlayer(PlayerOf(slot));
                if (graph != nullptr && graph->HasRenderer() &&
                    graph->State() == platform::audio::GraphState::Running) {
                    ASSERT_TRUE(graph->WaitBuffered(testsupport::RealWaitMs)) << "the decoder fell behind";
                }
            }
            Run(50);
        }
    }
    static bool Unplug(bool unplugged)
    {
        return platform::audio::AudioSystem::Current().SetNullOutputUnplugged(1, unplugged);
    }

    static constexpr const char* refused = "Media graph: the output device refused the sound";
    std::vector<std::string> boxes; // texts of the message boxes shown
};

TEST_P(GraphDeviceLossPlay, TheLampGoesOffAndAPressFailsUntilTheDeviceIsBack)
{
    ASSERT_TRUE(StartGraphs());
    ASSERT_EQ(parms::PlayerType, GetParam());
    controls::UC_TextPicture& counter = ButtonsAndCounter();
    const std::string sound = RampWave("long.wav", 5 * Rate);
    const std::string next = RampWave("next.wav", Rate);
    Assign(0, 0, 2, sound);
    Assign(0, 0, 3, next);

    control->Pon(0, 2, 0, 0, 0);
    Play(300);
    ASSERT_EQ(window->TolvButton(2)->Activated(), State().StateColorSet[1]);
    ASSERT_EQ(State().OutputState[0], 1);
    ASSERT_NE(FirstSound(Played(1)), 0.0F);

    ASSERT_TRUE(Unplug(true));
    ports.Log.Clear();
    Play(200);
    EXPECT_EQ(window->TolvButton(2)->Activated(), 0);
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_EQ(State().SomethingPlays, 0);
    EXPECT_THAT(ports.Log.Starting("SendRemoteCommand 0 4"), ElementsAre("SendRemoteCommand 0 4 2"));
    EXPECT_THAT(Remote(0), testing::IsSupersetOf({"7 0", "10 0"})) << "PLAY_OFF and STOP_ON";
    EXPECT_EQ(LogLinesWith("\"Null 1\": lost"), 1);

    // Another file, and the same one again: neither plays into the dead device.
    for (const auto& [button, path] : {std::pair{3, next}, std::pair{2, sound}}) {
        control->Pon(0, button, 0, 0, 0);
        EXPECT_EQ(counter.TextMes(1), "Play Failed.") << path;
        EXPECT_EQ(State().OutputState[0], 0);
        EXPECT_EQ(window->TolvButton(button)->Activated(), 0);
        EXPECT_EQ(LogLinesWith("PonFail2 " + path), 1);
    }
    EXPECT_EQ(LogLinesWith(refused), 2) << "each failed start says why";
    EXPECT_TRUE(boxes.empty()) << "a lost device never asks the operator";
    Play(500);
    EXPECT_EQ(LogLinesWith("\"Null 1\": lost"), 1) << "the loss is logged once";

    ASSERT_TRUE(Unplug(false));
    control->Pon(0, 2, 0, 0, 0);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(window->TolvButton(2)->Activated(), State().StateColorSet[1]);
    Play(200);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(RampFrame(FirstSound(Played(1))), 0) << "the sound starts with its first frame";
    EXPECT_EQ(LogLinesWith("\"Null 1\": opened again"), 1);
}

TEST_P(GraphDeviceLossPlay, APlayListDoesNotRunThroughItsRowsOnALostDevice)
{
    Store("IsList_1", "1");
    ASSERT_TRUE(StartGraphs());
    ASSERT_EQ(parms::IsList[0], 1);
    State().SeqItemType = 0;
    parms::UseListSeq = 1;
    // Each row after the first starts by itself once the row before ends.
    const std::vector<std::string> rows{"A", "B", "C", "D"};
    UC_ListView& list = *window->LV(0);
    list.SetNumData(4);
    list.SetNumAux(4);
    list.AddItem(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const std::string& name = rows[static_cast<std::size_t>(r)];
        list.SetValue(r, 1, name);
        list.SetValue(r, 2, r > 0 ? "▲" : "");
        list.SetAuxID(r, 0, RampWave(name + ".wav", r == 0 ? 5 * Rate : Rate));
        list.SetAuxID(r, 1, 1);
    }
    control->SetListCursor(0, 0, 1, 0);
    control->Pon(0, 0, 0, 0, 0);
    Play(300);
    ASSERT_EQ(State().OutputState[0], 1);
    ASSERT_EQ(State().PlayerTitle[0], "A");

    ASSERT_TRUE(Unplug(true));
    Play(1000);
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_EQ(State().ListItem[0], 1) << "A ended, B failed to start, and there it rests";
    EXPECT_EQ(LogLinesWith("PonFail2 " + (sounds / "B.wav")), 1);
    for (const std::string name : {"C", "D"}) {
        EXPECT_EQ(LogLinesWith("PonFail2 " + (sounds / (name + ".wav"))), 0) << name << " was never tried";
    }
    EXPECT_EQ(LogLinesWith("\"Null 1\": lost"), 1);
}

INSTANTIATE_TEST_SUITE_P(BackEnds, GraphDeviceLossPlay, testing::Values(1, 2, 4, 5),
                         [](const testing::TestParamInfo<int>& param) {
                             return "PlayerType" + std::to_string(param.param);
                         });

} // namespace
