// What the operator sees and does on an output: the button lamps and their
// tally, the counter and the position bar, seeking, pan and speed, the cache
// copy rule and the guard of a play request nested in another.
#include "PlaybackFixture.h"

#include "foundation/Parms.h"
#include "foundation/ServerFolders.h"
#include "foundation/Settings.h"
#include "platform/CommonDialogs.h"
#include "support/AudioTestSignals.h"
#include "support/RiffFileBuilder.h"

#include <gmock/gmock.h>

#include <cmath>

namespace {

using playbacktest::PlaybackFixture;
using testing::ElementsAre;

class OutputStrip : public PlaybackFixture {
protected:
    // Counter panels with their three lines on every slot of the outputs.
    void PrepareCounters()
    {
        for (int slot = 0; slot < State().PlayerCount; ++slot) {
            if (!window->PicCounter.Exists(slot)) {
                window->PicCounter.Load(slot);
            }
            for (int i = 0; i < 3; ++i) {
                window->PicCounter(slot)->AddTextSpace(9, false, false, "", 0, 0);
            }
            State().CounterTitle[static_cast<std::size_t>(slot)] = 1;
        }
    }
    std::string Line(int slot, int line) { return window->PicCounter(slot)->TextMes(line); }
};

TEST_F(OutputStrip, LampsFollowWhatPlaysAndWhatIsCuedAndTellTheBoxes)
{
    ASSERT_TRUE(Start());
    // The grid's size, as the window layout sets it.
    State().ButtonsPerOutput = 32;
    State().ButtonsPerPage[0] = 32;
    for (int i = 1; i < 4; ++i) {
        window->TolvButton.Load(i);
    }
    Assign(0, 0, 2, RampWave("a.wav", Rate / 2));
    ports.Log.Clear();

    control->Pon(0, 2, 0, 0, 0);
    EXPECT_EQ(window->TolvButton(2)->Activated(), State().StateColorSet[1]);
    EXPECT_EQ(window->TolvButton(1)->Activated(), 0);
    EXPECT_THAT(ports.Log.Starting("SendRemoteCommand 0 3"), ElementsAre("SendRemoteCommand 0 3 2"));
    Run(800);
    EXPECT_EQ(window->TolvButton(2)->Activated(), 0);
    EXPECT_THAT(ports.Log.Starting("SendRemoteCommand 0 4"), ElementsAre("SendRemoteCommand 0 4 2"));

    // Cued in standby: the standby lamp, BUTTON_STBY.
    control->TextSTBY_MouseUD(0, 1, false, 0);
    ports.Log.Clear();
    control->Pon(0, 3, 0, 0, 0);
    EXPECT_EQ(window->TolvButton(3)->Activated(), State().StateColorSet[2]);
    EXPECT_THAT(ports.Log.Starting("SendRemoteCommand 0 5"), ElementsAre("SendRemoteCommand 0 5 3"));
}

TEST_F(OutputStrip, CounterShowsTitleTotalAndTheElapsedOrRemainingTime)
{
    ASSERT_TRUE(Start());
    PrepareCounters();
    parms::DispBarTime = 1;
    State().DispLap[0] = 1;
    Assign(0, 0, 0, RampWave("Morning news.wav", 3 * Rate));
    control->Pon(0, 0, 0, 0, 0);
    Run(1000);
    EXPECT_EQ(Line(0, 0), "Morning news");
    EXPECT_EQ(Line(0, 1), "Total/00'03.0");
    EXPECT_THAT(Line(0, 2), testing::StartsWith(" 00'0"));
    EXPECT_THAT(window->ProgBar(0)->TextToDisp(), testing::StartsWith("-00'0"));
    const int value = window->ProgBar(0)->Value();
    EXPECT_GE(value, 300);
    EXPECT_LE(value, 340);

    // The left release on the counter switches to the remaining time.
    control->PicCounter_MouseUD(0, 1, false, 0);
    EXPECT_EQ(State().DispLap[0], 0);
    EXPECT_THAT(Line(0, 2), testing::StartsWith("-00'0"));
    EXPECT_THAT(window->ProgBar(0)->TextToDisp(), testing::StartsWith("00'0"));

    // Nothing loaded after a clear: zero times, and a release on the bar does nothing.
    control->StopOutput(0);
    Run(100);
    control->ClearOutput(0);
    EXPECT_EQ(Line(0, 0), "");
    EXPECT_EQ(Line(0, 1), "Total/00'00.0");
    control->ProgBar_MouseUD(0, false);
    EXPECT_EQ(PlayerOf(0).mode(), 1);
}

TEST_F(OutputStrip, SeekingContinuesAPlayingSoundAndOnlyMovesThePausedOnesStart)
{
    Store("UsePause", "1");
    ASSERT_TRUE(Start());
    Assign(0, 0, 0, RampWave("a.wav", 10 * Rate));
    control->Pon(0, 0, 0, 0, 0);
    Run(200);
    Played(1);

    window->ProgBar(0)->SetValue(500);
    control->ProgBar_MouseUD(0, false);
    Run(100);
    const std::vector<float> left = Played(1);
    const auto at5s = std::find_if(left.begin(), left.end(), [](float s) {
        return std::lround(s * 32768.0F) == PlaybackFixture::Ramp(5 * Rate + 1000);
    });
    EXPECT_NE(at5s, left.end()) << "the sound went on from the middle";
    EXPECT_EQ(PlayerOf(0).mode(), 3);

    PlayerOf(0).Pause();
    window->ProgBar(0)->SetValue(100);
    control->ProgBar_MouseUD(0, false);
    EXPECT_EQ(PlayerOf(0).mode(), 2) << "a paused sound stays paused";
    EXPECT_EQ(PlayerOf(0).FromMS(), 1000);
}

TEST_F(OutputStrip, PanAndSpeedFollowTheirSlidersAndOtherButtonsResetThem)
{
    ASSERT_TRUE(Start());
    UC_Slider& pan = *window->PanSlider(0);
    pan.SetMin(-10000);
    pan.SetMax(10000);
    pan.SetValue(4000);
    control->PanSlider_MouseUD(0, false, 1);
    EXPECT_EQ(PlayerOf(0).PanValue(), 4000);
    control->PanSlider_MouseUD(0, false, 2);
    EXPECT_EQ(PlayerOf(0).PanValue(), 0);
    EXPECT_EQ(pan.Value(), 0);

    // The waveOut player has no speed: the handler goes on without it.
    UC_Slider& speed = *window->SpeedSlider(0);
    speed.SetMin(50);
    speed.SetMax(200);
    speed.SetValue(50);
    control->SpeedSlider_Scrolled(0, 1);
    control->SpeedSlider_MouseUD(0, false, 2);
    EXPECT_EQ(speed.Value(), 100);
}

TEST_F(OutputStrip, ASameNamedFileInTheCacheStandsInOnlyForAFileTheCacheWouldHold)
{
    ASSERT_TRUE(Start());
    const std::string own = RampWave("studio/a.wav", Rate);
    const std::string cache = sounds.Folder("cache");
    testsupport::RiffFileBuilder()
        .Format(1, 2, Rate, 16)
        .Data(audiotest::Constant16(2, Rate, -5000))
        .WriteTo(cache + "a.wav");
    FCT_Quind::LocalPath = cache;
    ASSERT_FALSE(::PlayFunction::CacheWouldHold(own, 0)) << "the test folder lies on a fixed disk";
    Assign(0, 0, 0, own);

    const auto firstValue = [this] {
        Played(1);
        control->Pon(0, 0, 0, 0, 0);
        Run(200);
        const long value = std::lround(FirstSound(Played(1)) * 32768.0F);
        control->StopOutput(0);
        Run(100);
        return value;
    };
    Played(1);
    EXPECT_EQ(firstValue(), PlaybackFixture::Ramp(0));
    State().CacheAll = 1;
    EXPECT_EQ(firstValue(), -5000);
    FCT_Quind::LocalPath.clear();
}

TEST_F(OutputStrip, ARequestNestedInAnotherOnTheSameOutputKeepsTheOuterGuard)
{
    ASSERT_TRUE(Start());
    Assign(0, 0, 0, RampWave("a.wav", 2 * Rate));
    Assign(0, 0, 1, RampWave("b.wav", 2 * Rate));
    int busyAfterInner = -1;
    bool nested = false;
    // The outer request's tick is the first to run once Pon starts; the
    // waits of the inner one pump, and the busy output stays untouched.
    control->Hooks.CheckTimer = [&] {
        if (!nested && State().PonBusy[0] == 0 && State().OutputState[0] == 0) {
            nested = true;
        }
    };
    Player& player = PlayerOf(0);
    (void)player;
    State().PonBusy[0] = 1; // an outer request of the same output is running
    control->Pon(0, 1, 0, 0, 0);
    busyAfterInner = State().PonBusy[0];
    EXPECT_EQ(busyAfterInner, 1) << "the inner request left the outer one's guard";
    EXPECT_EQ(State().OutputState[0], 0) << "its tick did nothing while the outer request runs";
    State().PonBusy[0] = 0;
    Run(50);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(State().PlayerTitle[0], "b");
}

} // namespace

namespace {

TEST_F(OutputStrip, TheOutputNameTypedOnTheBarIsKeptAndABlankClearsIt)
{
    ASSERT_TRUE(Start());
    parms::DispBarTime = 0;
    std::vector<std::string> answers{"Studio A", " ", ""};
    std::vector<std::string> presets;
    platform::SetInputBoxAnswer([&](const platform::InputBoxRequest& request) -> std::optional<std::string> {
        presets.push_back(request.defaultText);
        const std::string answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    });
    control->ProgBar_RightClicked(0, false);
    EXPECT_EQ(basic::GetSetting("OutName_1", "(none)"), "Studio A");
    EXPECT_EQ(window->ProgBar(0)->TextToDisp(), "Studio A");
    control->ProgBar_RightClicked(0, false);
    EXPECT_EQ(window->ProgBar(0)->TextToDisp(), "");
    control->ProgBar_RightClicked(0, false); // an empty answer changes nothing
    EXPECT_THAT(presets, ElementsAre("", "Studio A", ""));
    platform::SetInputBoxAnswer(nullptr);
    parms::DispBarTime = 1;
}

} // namespace
