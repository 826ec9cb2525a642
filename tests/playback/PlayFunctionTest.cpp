// The play function on real waveOut players and null devices: what starts,
// from where, and what a second press, a minimum interval, a mute tail, a bad
// file or a stop during the start do.
#include "PlaybackFixture.h"

#include "audio/C_WaveOut.h"
#include "foundation/Parms.h"
#include "mainwindow/OutputPlayers.h"
#include "platform/base/Hooks.h"
#include "support/AudioTestSignals.h"
#include "support/RiffFileBuilder.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>

namespace {

using playbacktest::PlaybackFixture;
using testing::ElementsAre;

class PlayFunction : public PlaybackFixture {
protected:
    // A constant 16-bit stereo file (never a value of the ramp when negative).
    std::string ConstantWave(const std::string& name, int frames, std::int16_t value)
    {
        const std::string path = sounds / name;
        testsupport::RiffFileBuilder()
            .Format(1, 2, Rate, 16)
            .Data(audiotest::Constant16(2, static_cast<std::size_t>(frames), value))
            .WriteTo(path);
        return path;
    }
    static long Value(float sample) { return std::lround(sample * 32768.0F); }
    static bool Contains(const std::vector<float>& left, std::int16_t value)
    {
        return std::any_of(left.begin(), left.end(), [value](float s) { return Value(s) == value; });
    }
};

TEST_F(PlayFunction, ANormalButtonPlaysFromItsStandbyCuePlusOffsetToItsEndCue)
{
    Store("CueActive_1", "1");
    Store("CueActive_2", "1");
    ASSERT_TRUE(Start());
    const std::string path = RampWave("cued.wav", 4 * Rate, {{48000, "BC$STANDBY"}, {144000, "BC$END"}});
    Assign(0, 0, 5, path, 0, 500);
    Played(1);

    control->Pon(0, 5, 0, 0, 0);
    EXPECT_EQ(State().FromMS[0], 1500);
    EXPECT_EQ(State().ToMS[0], 3000);
    EXPECT_EQ(State().SpanMS[0], 1500);
    EXPECT_EQ(State().PlayerTitle[0], "cued");
    EXPECT_EQ(State().PlayingButton[0], (std::pair{0, 5}));
    // The tick at the end of the request already saw the output play.
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(State().SomethingPlays, 1);

    Run(2000);
    const std::vector<float> left = Played(1);
    const auto first = std::find_if(left.begin(), left.end(), [](float s) { return s != 0.0F; });
    ASSERT_NE(first, left.end());
    EXPECT_EQ(Value(*first), PlaybackFixture::Ramp(72000)) << "starts 500 ms after the standby cue";
    const auto heard = std::count_if(left.begin(), left.end(), [](float s) { return s != 0.0F; });
    EXPECT_EQ(heard, 144000 - 72000) << "ends at the end cue";
    EXPECT_EQ(Value(*(first + (heard - 1))), PlaybackFixture::Ramp(143999));
    EXPECT_EQ(State().OutputState[0], 0);
}

TEST_F(PlayFunction, LatchAndToggleStopOnASecondPressAndMomentaryLoopsUntilReleased)
{
    ASSERT_TRUE(Start());
    const std::string a = RampWave("a.wav", Rate);
    const std::string b = ConstantWave("b.wav", Rate, -5000);
    Assign(0, 0, 0, a, 2); // Latch
    Assign(0, 0, 1, a, 3); // Toggle
    Assign(0, 0, 2, b, 0); // Normal
    Assign(0, 0, 3, a, 1); // Momentary

    // The playing Latch button pressed again stops and starts nothing.
    control->Pon(0, 0, 0, 0, 0);
    Run(100);
    ASSERT_EQ(State().OutputState[0], 1);
    control->Pon(0, 0, 0, 0, 0);
    Run(100);
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_EQ(State().StoppedByUser[0], 1);
    EXPECT_EQ(State().PlayingMode[0], 0);

    // Another button while a Toggle sound plays stops it and starts the new one.
    control->Pon(0, 1, 0, 0, 0);
    Run(100);
    ASSERT_EQ(State().PlayingMode[0], 3);
    control->Pon(0, 2, 0, 0, 0);
    Run(100);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(State().PlayerTitle[0], "b");
    EXPECT_EQ(State().StoppedByUser[0], 0);
    Played(1);
    Run(100);
    EXPECT_TRUE(Contains(Played(1), -5000));

    // A Momentary sound loops past its one second until it is released.
    control->Pon(0, 3, 0, 0, 0);
    Run(2500);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(PlayerOf(0).mode(), 3);
    control->StopOutput(0);
    Run(100);
    EXPECT_EQ(State().OutputState[0], 0);

    // Released before the output reported playing: the first tick that sees
    // it play stops it.
    control->Pon(0, 3, 0, 0, 1);
    State().StopWhenStarted[0] = 1;
    Run(50);
    EXPECT_EQ(State().OutputState[0], 1);
    Run(50);
    EXPECT_EQ(State().StopWhenStarted[0], 0);
    EXPECT_EQ(PlayerOf(0).mode(), 1);
    Run(50);
    EXPECT_EQ(State().OutputState[0], 0);
}

TEST_F(PlayFunction, NoPlayMsDropsAStartThreeHundredMsAfterTheLastAndTakesOneAtExactlyFiveHundred)
{
    Store("NoPlayMS", "500");
    ASSERT_TRUE(Start());
    ASSERT_EQ(State().NoPlayMS, 500);
    Assign(0, 0, 0, RampWave("a.wav", 5 * Rate));

    control->Pon(0, 0, 0, 0, 0);
    Run(300);
    const int before = PlayerOf(0).Position();
    ASSERT_GE(before, 250);
    control->Pon(0, 0, 0, 0, 0);
    EXPECT_GE(PlayerOf(0).Position(), before) << "the press 300 ms later started nothing";

    Run(200);
    control->Pon(0, 0, 0, 0, 0);
    EXPECT_LT(PlayerOf(0).Position(), 50) << "the press exactly 500 ms after the start restarted the sound";
}

TEST_F(PlayFunction, APressDuringAMuteTailPlaysOnceIdleButNotAfterAnotherStartSucceeded)
{
    Store("MuteMS", "300");
    ASSERT_TRUE(Start());
    Assign(0, 0, 0, RampWave("a.wav", 3 * Rate));
    Assign(0, 0, 1, ConstantWave("b.wav", 3 * Rate, -5000));

    const auto stopWithAPressInTheTail = [this] {
        bool pressed = false;
        platform::SetPumpHook([this, &pressed] {
            if (!pressed && PlayerOf(0).WhileMute() != 0) {
                pressed = true;
                control->Pon(0, 1, 0, 0, 0);
            }
        });
        control->StopOutput(0);
        platform::SetPumpHook(nullptr);
        return pressed;
    };

    control->Pon(0, 0, 0, 0, 0);
    Run(200);
    ASSERT_TRUE(stopWithAPressInTheTail());
    EXPECT_THAT(State().ParkedRequest[0], ElementsAre(1, 1, 0, 0));
    EXPECT_EQ(State().PonBusy[0], 0);
    Run(100);
    EXPECT_EQ(State().ParkedRequest[0][0], 0);
    EXPECT_EQ(State().PlayerTitle[0], "b");
    EXPECT_EQ(State().OutputState[0], 1);

    // Parked again, then the operator starts another sound: the parked press
    // is gone for good, also once that sound has ended.
    control->Pon(0, 0, 0, 0, 0);
    Run(200);
    ASSERT_TRUE(stopWithAPressInTheTail());
    ASSERT_EQ(State().ParkedRequest[0][0], 1);
    control->Pon(0, 0, 0, 0, 0);
    EXPECT_EQ(State().ParkedRequest[0][0], 0);
    Played(1);
    Run(4000);
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_FALSE(Contains(Played(1), -5000));
    EXPECT_EQ(State().PlayerTitle[0], "a");
}

TEST_F(PlayFunction, AnInvalidFileIsRefusedWithItsStatusAndLogLineAndTheNextPlayWorks)
{
    ASSERT_TRUE(Start());
    State().CounterTitle[0] = 1;
    controls::UC_TextPicture& counter = *window->PicCounter(0);
    for (int i = 0; i < 3; ++i) {
        counter.AddTextSpace(9, false, false, "", 0, 0);
    }
    const std::string bad = sounds.Write("bad.wav", "RIFF....this is no wave file");
    Assign(0, 0, 0, bad);
    Assign(0, 0, 1, RampWave("good.wav", Rate));

    control->Pon(0, 0, 0, 0, 0);
    EXPECT_EQ(counter.TextMes(1), "File Invalid.");
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_EQ(State().PonBusy[0], 0);
    const std::vector<std::string> log = DayLogEntries();
    EXPECT_NE(std::find(log.begin(), log.end(), "PonFail1a File Invalid " + bad), log.end());

    control->Pon(0, 1, 0, 0, 0);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(counter.TextMes(0), "good");
}

// A waveOut player whose Play lets events run (as a start that waits does),
// here a stop of the operator.
class PlayerWithEvents final : public Player {
public:
    std::function<void()> DuringPlay;
    C_WaveOut real;

    std::string FileName() override { return real.FileName(); }
    void SetFileName(std::string_view name) override { real.SetFileName(name); }
    std::int32_t Length() override { return real.Length(); }
    std::int32_t Play() override
    {
        const std::int32_t started = real.Play();
        if (DuringPlay) {
            DuringPlay();
        }
        return started;
    }
    void StopIO(std::int32_t immediate) override { real.StopIO(immediate); }
    void CloseWave() override { real.CloseWave(); }
    std::int32_t ProgressionPlay() override { return real.ProgressionPlay(); }
    std::int32_t Position(std::int32_t kind) override { return real.Position(kind); }
    std::int32_t mode() override { return real.mode(); }
    std::int32_t FromMS() override { return real.FromMS(); }
    void SetFromMS(std::int32_t ms) override { real.SetFromMS(ms); }
    std::int32_t FromSample() override { return real.FromSample(); }
    void SetFromSample(std::int32_t frame) override { real.SetFromSample(frame); }
    void SetToSample(std::int32_t frame) override { real.SetToSample(frame); }
    void SetDeviceID(std::int32_t id) override { real.SetDeviceID(id); }
    void Init() override { real.Init(); }
    std::int32_t WhileMute() override { return real.WhileMute(); }
};

TEST_F(PlayFunction, AStopArrivingWhilePlayRunsStopsTheSoundRightAfterIt)
{
    PlayerWithEvents* hooked = nullptr;
    OutputPlayers::SetMaker([&hooked](std::int32_t) {
        auto player = std::make_unique<PlayerWithEvents>();
        hooked = player.get();
        return player;
    });
    ASSERT_TRUE(Start());
    ASSERT_NE(hooked, nullptr);
    Assign(0, 0, 0, RampWave("a.wav", 2 * Rate));
    hooked->DuringPlay = [this] { control->StopOutput(0); };

    control->Pon(0, 0, 0, 0, 0);
    hooked->DuringPlay = nullptr;
    EXPECT_EQ(hooked->real.mode(), 1);
    EXPECT_EQ(State().SpanMS[0], -1);
    EXPECT_EQ(State().PonBusy[0], 0);
    Run(200);
    EXPECT_EQ(State().OutputState[0], 0);

    // The next press plays as usual.
    control->Pon(0, 0, 0, 0, 0);
    EXPECT_EQ(State().OutputState[0], 1);
}

TEST_F(PlayFunction, OnlyAFileTheCacheWouldHoldIsReplacedByItsCacheCopy)
{
    EXPECT_TRUE(::PlayFunction::CacheWouldHold("//srv/share/a.wav", 0));
    EXPECT_TRUE(::PlayFunction::CacheWouldHold("\\\\srv\\share\\a.wav", 0));
    EXPECT_TRUE(::PlayFunction::CacheWouldHold("/anywhere/a.wav", 1));
}

} // namespace
