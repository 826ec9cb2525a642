#include "DSoundFixture.h"

#include "audio/C_DSound.h"
#include "audio/C_DSound5.h"

#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>

namespace {

// The linear gain of a buffer volume in 1/100 dB.
float Gain(int hundredthsDb)
{
    return hundredthsDb <= -10000 ? 0.0f : static_cast<float>(std::pow(10.0, hundredthsDb / 2000.0));
}

template <typename P> class DSoundLevels : public dstest::DSoundFixture {
protected:
    // Left and right of the last frame played, once a tick has passed.
    std::pair<float, float> LevelAfterTick()
    {
        this->Advance(TickMs);
        return {this->output[this->output.size() - 2], this->output.back()};
    }
};

using Players = testing::Types<C_DSound, C_DSound5>;
TYPED_TEST_SUITE(DSoundLevels, Players);

TEST(DSoundVolumeLaw, SquareLawDownToTheSilenceLevel)
{
    EXPECT_EQ(DirectSoundPlayer::VolumeLaw(-1000, -4000), -250);
    EXPECT_EQ(DirectSoundPlayer::VolumeLaw(-2000, -4000), -1000);
    EXPECT_EQ(DirectSoundPlayer::VolumeLaw(-3000, -4000), -2250);
    EXPECT_EQ(DirectSoundPlayer::VolumeLaw(-4000, -4000), -10000);
    EXPECT_EQ(DirectSoundPlayer::VolumeLaw(-6000, -4000), -10000);
    EXPECT_EQ(DirectSoundPlayer::VolumeLaw(0, -4000), 0);
    EXPECT_EQ(DirectSoundPlayer::VolumeLaw(-9999, -10000), -9998);
    // A silence level of 0 or above divides nothing by zero.
    EXPECT_EQ(DirectSoundPlayer::VolumeLaw(0, 0), -10000);
    EXPECT_EQ(DirectSoundPlayer::VolumeLaw(100, 0), 0);
}

TYPED_TEST(DSoundLevels, AttenuationAtTheStartIsTheVolumeAndWhilePlayingTheSquareLaw)
{
    TypeParam player;
    player.InitDS(nullptr, 0);
    player.SetFileName(this->Wave("level.wav", this->Rate, 16, 2, dstest::Constant16({16384, 16384}, 5 * this->Rate)));

    // Written before the start: the buffer volume, unchanged: -2000 is -20 dB.
    player.SetAttenuation(-2000);
    ASSERT_EQ(player.Play(), 1);
    auto [left, right] = this->LevelAfterTick();
    EXPECT_NEAR(left, 0.05f, 1e-6f);
    EXPECT_NEAR(right, 0.05f, 1e-6f);
    EXPECT_EQ(player.Attenuation(), -2000);

    // Written while playing: -2000 with the silence level -4000 is -10 dB.
    player.SetAttenuation(-2000);
    std::tie(left, right) = this->LevelAfterTick();
    EXPECT_NEAR(left, 0.5f * Gain(-1000), 1e-6f);
    EXPECT_NEAR(right, 0.5f * Gain(-1000), 1e-6f);
    // C_DSound reads the buffer's volume back; C_DSound5 keeps what was written.
    EXPECT_EQ(player.Attenuation(), (std::is_same_v<TypeParam, C_DSound> ? -1000 : -2000));

    player.SetAttenuation(-3000);
    EXPECT_NEAR(this->LevelAfterTick().first, 0.5f * Gain(-2250), 1e-6f);
    player.SetAttenuation(-4000);
    EXPECT_EQ(this->LevelAfterTick().first, 0.0f);
    player.SetVolMinLevel(-10000);
    player.SetAttenuation(-5000);
    EXPECT_NEAR(this->LevelAfterTick().first, 0.5f * Gain(-2500), 1e-6f);
    player.StopIO();
    EXPECT_EQ(player.Attenuation(), -5000) << "stopped, the value written is kept";

    // At the start the silence threshold is -4000 whatever the silence level.
    player.SetAttenuation(-4500);
    ASSERT_EQ(player.Play(), 1);
    EXPECT_EQ(this->LevelAfterTick().first, 0.0f);
    player.StopIO();
}

TYPED_TEST(DSoundLevels, PanAttenuatesTheOtherSideInHundredthsOfADecibel)
{
    for (const int channels : {2, 1}) {
        SCOPED_TRACE(channels);
        TypeParam player;
        player.InitDS(nullptr, 0);
        const std::vector<std::int16_t> frame(static_cast<std::size_t>(channels), 16384);
        player.SetFileName(this->Wave("pan.wav", this->Rate, 16, channels, dstest::Constant16(frame, 3 * this->Rate)));
        // Written before the start, passed on at the start.
        player.SetPanValue(10000);
        ASSERT_EQ(player.Play(), 1);
        auto [left, right] = this->LevelAfterTick();
        EXPECT_EQ(left, 0.0f);
        EXPECT_EQ(right, 0.5f);

        player.SetPanValue(-2000);
        EXPECT_EQ(player.PanValue(), -2000);
        std::tie(left, right) = this->LevelAfterTick();
        EXPECT_EQ(left, 0.5f);
        EXPECT_NEAR(right, 0.05f, 1e-6f);

        player.SetPanValue(600);
        std::tie(left, right) = this->LevelAfterTick();
        EXPECT_NEAR(left, 0.5f * Gain(-600), 1e-6f);
        EXPECT_EQ(right, 0.5f);
        player.StopIO();
    }
}

TYPED_TEST(DSoundLevels, MetersShowTheBlockUnderThePlayCursor)
{
    struct Case {
        int bits;
        int channels;
    };
    for (const Case c : {Case{16, 2}, Case{8, 1}, Case{8, 2}}) {
        SCOPED_TRACE(testing::Message() << c.bits << "-bit, " << c.channels << " channels");
        this->output.clear();
        const std::size_t frames = 3 * this->Rate;
        // Block b: the left channel runs v, -v, 0, 0 (peak v, RMS v / sqrt 2),
        // the right channel holds w (peak and RMS w).
        const auto leftLevel = [](std::size_t b) { return static_cast<int>(20 + b % 100); };
        const auto rightLevel = [](std::size_t b) { return static_cast<int>(1 + b % 50); };
        testsupport::Bytes bytes;
        for (std::size_t f = 0; f < frames; ++f) {
            const std::size_t b = f / 2048;
            const int scale = c.bits == 16 ? 255 : 1;
            const int pattern[4] = {1, -1, 0, 0};
            const int left = pattern[f % 4] * leftLevel(b) * scale;
            const int right = rightLevel(b) * scale;
            for (int ch = 0; ch < c.channels; ++ch) {
                const int value = ch == 0 ? left : right;
                if (c.bits == 16) {
                    testsupport::PutU16(bytes, static_cast<std::uint16_t>(value));
                } else {
                    bytes.push_back(static_cast<std::uint8_t>(128 + value));
                }
            }
        }
        TypeParam player;
        player.InitDS(nullptr, 0);
        player.SetFileName(this->Wave("meter.wav", this->Rate, c.bits, c.channels, bytes));
        const std::size_t start = this->FramesOut();
        ASSERT_EQ(player.Play(), 1);
        int checked = 0;
        for (int t = this->TickMs; t < 2950; t += this->TickMs) {
            this->Advance(this->TickMs);
            player.ProgressionPlay();
            const std::size_t b = (this->FramesOut() - start) / 2048;
            const int peakLeft = leftLevel(b);
            const int rmsLeft = static_cast<int>(std::lround(leftLevel(b) / std::sqrt(2.0)));
            ASSERT_EQ(player.Peak(0), peakLeft) << t;
            ASSERT_EQ(player.RMS(0), rmsLeft) << t;
            ASSERT_EQ(player.Peak(1), c.channels == 2 ? rightLevel(b) : peakLeft) << t;
            ASSERT_EQ(player.RMS(1), c.channels == 2 ? rightLevel(b) : rmsLeft) << t;
            ++checked;
        }
        EXPECT_GT(checked, 50);
        EXPECT_EQ(player.Peak(2), 0);
        EXPECT_EQ(player.RMS(-1), 0);
        player.CloseWave();
    }
}

TYPED_TEST(DSoundLevels, ThreePlayersOnOneDeviceMixWhileTheirVolumesMoveApart)
{
    TypeParam fadingOut;
    TypeParam fadingIn;
    TypeParam steady;
    for (Player* player : std::initializer_list<Player*>{&fadingOut, &fadingIn, &steady}) {
        ASSERT_EQ(player->InitDS(nullptr, 0), 1);
    }
    const std::size_t frames = 4 * this->Rate;
    fadingOut.SetFileName(this->Wave("out.wav", this->Rate, 16, 2, dstest::Constant16({16384, 0}, frames)));
    fadingIn.SetFileName(this->Wave("in.wav", this->Rate, 16, 2, dstest::Constant16({0, 16384}, frames)));
    steady.SetFileName(this->Wave("steady.wav", this->Rate, 16, 2, dstest::Constant16({8192, 8192}, frames)));
    EXPECT_EQ(this->Audio().Output(1)->VoiceCount(), 3) << "one device, one voice per player";

    fadingIn.SetAttenuation(-4000);
    ASSERT_EQ(fadingOut.Play(), 1);
    ASSERT_EQ(fadingIn.Play(), 1);
    ASSERT_EQ(steady.Play(), 1);
    auto [left, right] = this->LevelAfterTick();
    EXPECT_EQ(left, 0.75f);
    EXPECT_EQ(right, 0.25f);
    for (int step = 1; step <= 10; ++step) {
        const int out = -400 * step;
        const int in = -4000 + 400 * step;
        fadingOut.SetAttenuation(out);
        fadingIn.SetAttenuation(in);
        std::tie(left, right) = this->LevelAfterTick();
        for (Player* player : std::initializer_list<Player*>{&fadingOut, &fadingIn, &steady}) {
            player->ProgressionPlay();
            ASSERT_EQ(player->mode(), 3);
        }
        EXPECT_NEAR(left, 0.5f * Gain(DirectSoundPlayer::VolumeLaw(out, -4000)) + 0.25f, 1e-6f) << step;
        EXPECT_NEAR(right, 0.5f * Gain(DirectSoundPlayer::VolumeLaw(in, -4000)) + 0.25f, 1e-6f) << step;
    }
    EXPECT_EQ(left, 0.25f);
    EXPECT_EQ(right, 0.75f);
}

} // namespace
