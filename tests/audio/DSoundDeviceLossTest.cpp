// The buffer players on a device that fails while they play: they read as
// stopped, a start fails while the device is missing, and once it is back
// the next start opens it afresh and sounds.
#include "DSoundFixture.h"

#include "audio/C_DSound.h"
#include "audio/C_DSound5.h"

#include <gtest/gtest.h>

namespace {

template <typename P> class DSoundDeviceLoss : public dstest::DSoundFixture {
protected:
    // Moves the clock on as the engine tick does, without reading device 1.
    void Tick(P& player, int ms)
    {
        for (int t = 0; t < ms; t += TickMs) {
            clock.Advance(TickMs);
            Audio().Sync();
            player.ProgressionPlay();
        }
    }
};

using Players = testing::Types<C_DSound, C_DSound5>;
TYPED_TEST_SUITE(DSoundDeviceLoss, Players);

TYPED_TEST(DSoundDeviceLoss, ALostDeviceStopsThePlayerAndTheNextStartAfterItCameBackSounds)
{
    TypeParam player;
    ASSERT_EQ(player.InitDS(nullptr, 0), 1);
    const auto bytes = dstest::Noise16(2, 5 * this->Rate, 31);
    player.SetFileName(this->Wave("sound.wav", this->Rate, 16, 2, bytes));
    ASSERT_EQ(player.Play(), 1);
    this->Tick(player, 200);
    ASSERT_EQ(player.mode(), 3);

    ASSERT_TRUE(this->Audio().SetNullOutputUnplugged(1, true));
    this->Tick(player, 100);
    EXPECT_EQ(player.mode(), 1) << "nothing sounds, so the lamps must go off";
    EXPECT_EQ(player.Play(), 0) << "a start on the missing device fails";
    EXPECT_EQ(player.mode(), 1);

    ASSERT_TRUE(this->Audio().SetNullOutputUnplugged(1, false));
    ASSERT_EQ(player.Play(), 1);
    EXPECT_EQ(player.mode(), 3);
    this->output.clear();
    this->Advance(100);
    ASSERT_GE(this->FramesOut(), static_cast<std::size_t>(this->Rate / 20));
    // The new device plays the sound from its first frame on.
    for (std::size_t f = 0; f < 1000; ++f) {
        ASSERT_EQ(this->output[2 * f], dstest::Expected16(bytes, 2 * f)) << f;
        ASSERT_EQ(this->output[2 * f + 1], dstest::Expected16(bytes, 2 * f + 1)) << f;
    }
    player.CloseWave();
}

} // namespace
