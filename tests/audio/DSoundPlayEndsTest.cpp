// How a back-end 0 play ends, judged by the frames the device was given: a
// sound that ends by itself ends on its last frame whatever the period, and
// a play whose data came late is logged once, however it ends.
#include "DSoundFixture.h"

#include "audio/C_DSound.h"
#include "platform/base/Hooks.h"
#include "support/ServerFolders.h"
#include "support/TestFileLayer.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

class DSoundEnd : public dstest::DSoundFixture, public testing::WithParamInterface<int> {};

TEST_P(DSoundEnd, ASoundThatEndsByItselfEndsOnItsLastFrame)
{
    platform::audio::DeviceOptions options;
    options.periodFrames = GetParam();
    platform::audio::AudioSystem::Install(
        platform::audio::AudioSystem::WithNullDevices(1, platform::audio::NullTiming::VirtualClock, options));
    FCT_EnumDS::EnumDSDevices();
    // Whole seconds: its end falls on the end of a ring segment and of a period.
    const std::size_t frames = 6 * Rate;
    const auto bytes = dstest::Noise16(2, frames, 5);
    C_DSound player;
    ASSERT_EQ(player.InitDS(nullptr, 0), 1);
    player.SetFileName(Wave("six.wav", Rate, 16, 2, bytes));
    ASSERT_EQ(player.Play(), 1);
    for (int t = 0; t < 10000 && player.mode() == 3; t += TickMs) {
        Advance(TickMs);
        player.ProgressionPlay();
    }
    Advance(500);
    std::size_t first = 0;
    while (first < FramesOut() && output[2 * first] == 0.0f) {
        ++first;
    }
    ASSERT_GE(FramesOut(), first + frames + 256);
    for (std::size_t f = 0; f < 2 * frames; ++f) {
        ASSERT_EQ(output[2 * first + f], dstest::Expected16(bytes, f)) << "sample " << f;
    }
    EXPECT_EQ(std::count(output.begin() + 2 * (first + frames), output.end(), 0.0f),
              output.end() - output.begin() - 2 * (first + frames))
        << "sounded after its last frame";
}

INSTANTIATE_TEST_SUITE_P(Periods, DSoundEnd, testing::Values(256, 1001, 3000));

// A play from a share whose reads stand still for 2.5 s once it has played
// three seconds, then ended: by another sound, by itself again, or by closing.
class DSoundLatePlay : public dstest::DSoundFixture, public testing::WithParamInterface<int> {
protected:
    void TearDown() override
    {
        platform::SetPumpHook(nullptr);
        platform::SetRefillHook(nullptr);
        DSoundFixture::TearDown();
    }

    testsupport::ServerFolders servers_{folder.Folder("unc")};
};

TEST_P(DSoundLatePlay, IsLoggedOnceHoweverItEnds)
{
    folder.Folder("unc/studio/long");
    Wave("unc/studio/long/late.wav", Rate, 16, 2, dstest::Noise16(2, 12 * Rate, 3));
    Wave("unc/studio/long/next.wav", Rate, 16, 2, dstest::Noise16(2, Rate, 4));
    C_DSound player;
    ASSERT_EQ(player.InitDS(nullptr, 0), 1);
    platform::SetRefillHook([&] { player.ProgressionPlay(); });
    testsupport::TestFileLayer layer;
    int heldFor = 0;
    platform::SetPumpHook([&] {
        if (layer.heldCalls > 0 && layer.OnlyHeldCallsRun() && heldFor < 2500) {
            Advance(5);
            heldFor += 5;
            if (heldFor == 2500) {
                layer.Release();
            }
        }
    });
    player.SetFileName("//studio/long/late.wav");
    ASSERT_EQ(player.Play(), 1);
    for (int t = 0; t < 5000; t += TickMs) {
        if (t == 3100) {
            layer.Hold("/studio/long/", true);
        }
        Advance(TickMs);
        player.ProgressionPlay();
    }
    ASSERT_EQ(heldFor, 2500) << "a refill waited";
    ASSERT_EQ(player.mode(), 3);
    if (GetParam() == 0) {
        player.SetFileName("//studio/long/next.wav");
    }
    if (GetParam() < 2) {
        ASSERT_EQ(player.Play(), 1);
    }
    for (int t = 0; t < 2000; t += TickMs) {
        Advance(TickMs);
        player.ProgressionPlay();
    }
    player.CloseWave();
    const std::string log = LogText();
    std::smatch line;
    ASSERT_TRUE(std::regex_search(log, line,
                                  std::regex("\"//studio/long/late.wav\" was not read in time: "
                                             "the sound went silent for ([0-9]+) ms")))
        << log;
    // The ring held more than a second ahead.
    EXPECT_LT(std::stoi(line[1]), 2500);
    const std::regex any("was not read in time");
    EXPECT_EQ(std::distance(std::sregex_iterator(log.begin(), log.end(), any), std::sregex_iterator()), 1) << log;
}

// Another sound loaded and played, the same one played again, or closed.
INSTANTIATE_TEST_SUITE_P(Endings, DSoundLatePlay, testing::Values(0, 1, 2));

} // namespace
