// A back-end 0 sound from a share whose read stops for a while mid-sound (the
// wait feeds the players, this one included): the device gets silence, never
// what the ring held before, the sound goes on from the frame it had reached,
// and the day log says how long it was silent.
#include "DSoundFixture.h"

#include "audio/C_DSound.h"
#include "audio/C_DSound5.h"
#include "platform/base/Hooks.h"
#include "support/ServerFolders.h"
#include "support/TestFileLayer.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

template <typename P> class DSoundStalledRead : public dstest::DSoundFixture {
protected:
    void TearDown() override
    {
        platform::SetPumpHook(nullptr);
        platform::SetRefillHook(nullptr);
        DSoundFixture::TearDown();
    }

private:
    testsupport::ServerFolders servers_{folder.Folder("unc")};
};

using Players = testing::Types<C_DSound, C_DSound5>;
TYPED_TEST_SUITE(DSoundStalledRead, Players);

TYPED_TEST(DSoundStalledRead, ARefillThatWaitsIsHeardAsSilenceNeverAsOldFramesAndIsLogged)
{
    const std::size_t frames = 8 * this->Rate + 123;
    const auto bytes = dstest::Noise16(2, frames, 31);
    this->folder.Folder("unc/studio/long");
    this->Wave("unc/studio/long/sound.wav", this->Rate, 16, 2, bytes);
    TypeParam player;
    ASSERT_EQ(player.InitDS(nullptr, 0), 1);
    platform::SetRefillHook([&] { player.ProgressionPlay(); });
    testsupport::TestFileLayer layer;
    // Once armed, the share answers nothing for 2.5 s of the program's time,
    // moved on by the pumps of the read's wait.
    constexpr int stallMs = 2500;
    int heldFor = 0;
    platform::SetPumpHook([&] {
        if (layer.heldCalls == 0 || !layer.OnlyHeldCallsRun() || heldFor >= stallMs) {
            return;
        }
        this->Advance(5);
        heldFor += 5;
        if (heldFor >= stallMs) {
            layer.Release();
        }
    });
    player.SetFileName("//studio/long/sound.wav");
    ASSERT_EQ(player.Length(), 8003) << "the share's file loads";
    ASSERT_EQ(player.Play(), 1);
    for (int t = 0; t < 20000 && player.mode() == 3; t += this->TickMs) {
        if (t == 3100) {
            layer.Hold("/studio/long/", true); // the next refill, past the middle
        }
        this->Advance(this->TickMs);
        player.ProgressionPlay();
    }
    ASSERT_EQ(player.mode(), 1) << "the sound ends";
    ASSERT_EQ(heldFor, stallMs) << "a refill waited";
    this->Advance(500);

    // Every frame once and in order; between them only silence, in one gap.
    std::size_t next = 0;
    std::size_t silent = 0;
    int gaps = 0;
    for (std::size_t f = 0; f < this->FramesOut(); ++f) {
        const float* frame = &this->output[2 * f];
        if (next < frames && frame[0] == dstest::Expected16(bytes, 2 * next) &&
            frame[1] == dstest::Expected16(bytes, 2 * next + 1)) {
            ++next;
            continue;
        }
        ASSERT_TRUE(frame[0] == 0.0f && frame[1] == 0.0f) << "device frame " << f << ", file frame " << next << " due";
        if (next > 0 && next < frames) {
            gaps += frame[-2] != 0.0f || frame[-1] != 0.0f ? 1 : 0;
            ++silent;
        }
    }
    ASSERT_EQ(next, frames) << "every frame sounded";
    EXPECT_EQ(gaps, 1);
    const std::string log = this->LogText();
    std::smatch line;
    ASSERT_TRUE(std::regex_search(log, line,
                                  std::regex("DirectSound: \"//studio/long/sound.wav\" was not read in time: "
                                             "the sound went silent for ([0-9]+) ms")))
        << log;
    const auto heardMs = static_cast<int>(silent * 1000 / this->Rate);
    EXPECT_GT(heardMs, 300);
    EXPECT_NEAR(std::stoi(line[1]), heardMs, 11) << "within two periods of what was heard";
}

} // namespace
