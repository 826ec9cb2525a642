#include "FadeFakes.h"

#include "audio/C_DSound.h"
#include "audio/DSDeviceList.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "platform/audio/AudioSystem.h"
#include "playback/Fades.h"
#include "support/ClockFixture.h"
#include "support/NullOutputs.h"
#include "support/RiffFileBuilder.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int Rate = 48000;
constexpr int TickMs = 50;
constexpr int FramesPerTick = Rate * TickMs / 1000;
constexpr float Amplitude = 0.5F;

// Three DirectSound players of one output on a null device, on virtual time.
class FadeOnADevice : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        testsupport::InstallNullOutputs(1, Rate, 12);
        FCT_EnumDS::EnumDSDevices();
        basic::SetAppPath(folder.Path());
        saved_ = {parms::MaxAtt, parms::TimerInt, parms::FITime, parms::FOTime, parms::FIOffset};
        parms::MaxAtt = 10000;
        parms::TimerInt = TickMs;

        state.NumOut = 1;
        state.PlayersPerOutput = 3;
        state.PlayerCount = 3;
        state.ResizePlayers(3);
        for (auto& slot : state.Players) {
            auto player = std::make_unique<C_DSound>();
            ASSERT_EQ(player->InitDS(nullptr, 0), 1);
            player->SetVolMinLevel(-parms::MaxAtt);
            slot = std::move(player);
        }
        const auto half = static_cast<std::uint16_t>(static_cast<std::int16_t>(16384));
        testsupport::Bytes samples;
        for (int frame = 0; frame < Rate * 4; ++frame) {
            testsupport::PutU16(samples, half);
            testsupport::PutU16(samples, half);
        }
        sound = folder / "steady.wav";
        testsupport::RiffFileBuilder().Format(1, 2, Rate, 16).Data(samples).WriteTo(sound);
    }
    void TearDown() override
    {
        state.ResizePlayers(0);
        platform::audio::AudioSystem::Install(nullptr);
        FCT_EnumDS::EnumDSDevices();
        basic::SetAppPath("");
        parms::MaxAtt = saved_[0];
        parms::TimerInt = saved_[1];
        parms::FITime = saved_[2];
        parms::FOTime = saved_[3];
        parms::FIOffset = saved_[4];
    }
    // One engine tick as far as fades go: the fade step, the refill, and the
    // time until the next tick with what the device played meanwhile.
    void Tick()
    {
        fades.ProcessFade(0);
        for (auto& player : state.Players) {
            player->ProgressionPlay();
        }
        clock.Advance(TickMs);
        platform::audio::AudioSystem::Current().Sync();
        const std::vector<float> played = platform::audio::AudioSystem::Current().NullOutput(1)->TakePlayed();
        for (std::size_t i = 0; i < played.size(); i += 2) {
            left.push_back(played[i]);
        }
    }
    // The level of the left channel at the end of each tick's stretch.
    std::vector<float> TickLevels() const
    {
        std::vector<float> levels;
        for (std::size_t end = FramesPerTick; end <= left.size(); end += FramesPerTick) {
            float peak = 0.0F;
            for (std::size_t i = end - FramesPerTick / 8; i < end; ++i) {
                peak = std::max(peak, std::abs(left[i]));
            }
            levels.push_back(peak);
        }
        return levels;
    }

    testsupport::ScratchFolder folder;
    MainState state;
    fadetest::ExactFaders faders;
    Fades fades{state, faders};
    std::string sound;
    std::vector<float> left;

private:
    std::array<std::int32_t, 5> saved_{};
};

// What the device plays at a fader level: the DirectSound players follow the
// fader's square law down to the deepest attenuation.
float ExpectedAt(std::int32_t level)
{
    if (level <= -10000) {
        return 0.0F;
    }
    const double hundredthsDb = -static_cast<double>(level) * level / 10000.0;
    return Amplitude * static_cast<float>(std::pow(10.0, hundredthsDb / 2000.0));
}

} // namespace

TEST_F(FadeOnADevice, TheOutputFollowsTheFadeOutCurveToSilenceAndTheOldPlayerStops)
{
    parms::FOTime = 1000; // 20 ticks of 500
    fades.SetFadeParm();
    state.FadeOn[0] = 1;
    Player& old = state.PlayerAt(0);
    old.SetFileName(sound);
    old.SetAttenuation(0);
    ASSERT_EQ(old.Play(), 1);
    faders.levels = {{0, 0}, {1, -10000}, {2, -10000}};
    state.CurrentPlayer[0] = 0;
    for (int i = 0; i < 4; ++i) {
        Tick();
    }
    // Another press went to player 1: player 0 fades out.
    state.CurrentPlayer[0] = 1;
    for (int i = 0; i < 26; ++i) {
        Tick();
    }
    EXPECT_EQ(state.StopRequested[0], 1);
    EXPECT_NE(old.mode(), 3);

    const std::vector<float> levels = TickLevels();
    ASSERT_GE(levels.size(), 28U);
    // Before the fade the sound plays unchanged (its first stretch may hold
    // the device's start latency).
    EXPECT_NEAR(levels[2], Amplitude, 0.001F);
    // The level never rises, and every step of the curve is heard.
    for (std::size_t i = 1; i < levels.size(); ++i) {
        EXPECT_LE(levels[i], levels[i - 1] + 0.0005F) << "stretch " << i;
    }
    for (int step = 1; step < 20; ++step) {
        const float expected = ExpectedAt(-500 * step);
        const bool heard = std::any_of(levels.begin(), levels.end(), [expected](float level) {
            return std::abs(level - expected) <= std::max(0.002F, expected * 0.02F);
        });
        EXPECT_TRUE(heard) << "step " << step << " at " << expected;
    }
    EXPECT_EQ(levels.back(), 0.0F);
}
