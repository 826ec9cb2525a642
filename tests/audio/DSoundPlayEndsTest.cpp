// How a back-end 0 play ends, judged by the frames the device was given: a
// sound that ends by itself ends on its last frame whatever the period, and
// a play whose data came late is logged once, however it ends.
#include "DSoundFixture.h"

#include "audio/C_DSound.h"
#include "audio/C_DSound5.h"
#include "platform/base/Hooks.h"
#include "support/ServerFolders.h"
#include "support/TestFileLayer.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

class DSoundEnd : public dstest::DSoundFixture, public testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        platform::audio::DeviceOptions options;
        options.rate = Rate;
        options.periodFrames = GetParam();
        platform::audio::AudioSystem::Install(
            platform::audio::AudioSystem::WithNullDevices(1, platform::audio::NullTiming::VirtualClock, options, 12));
        FCT_EnumDS::EnumDSDevices();
        basic::SetAppPath(folder.Path());
        basic::LogError = 1;
    }
};

TEST_P(DSoundEnd, ASoundThatEndsByItselfEndsOnItsLastFrame)
{
    // Whole seconds: the sound's end falls on the end of a ring segment, and
    // of a period of each size here.
    const std::size_t frames = 6 * Rate;
    const auto bytes = dstest::Noise16(2, frames, 5);
    const std::string path = Wave("six.wav", Rate, 16, 2, bytes);
    const auto play = [&](auto& player) {
        output.clear();
        ASSERT_EQ(player.InitDS(nullptr, 0), 1);
        player.SetFileName(path);
        ASSERT_EQ(player.Play(), 1);
        for (int t = 0; t < 10000 && player.mode() == 3; t += TickMs) {
            Advance(TickMs);
            player.ProgressionPlay();
        }
        ASSERT_EQ(player.mode(), 1) << "the sound ends";
        Advance(500);
        std::size_t first = 0;
        while (first < FramesOut() && output[2 * first] == 0.0f) {
            ++first;
        }
        ASSERT_GE(FramesOut(), first + frames + 256);
        for (std::size_t f = 0; f < frames; ++f) {
            ASSERT_EQ(output[2 * (first + f)], dstest::Expected16(bytes, 2 * f)) << "frame " << f;
        }
        std::size_t after = 0;
        for (std::size_t f = first + frames; f < FramesOut(); ++f) {
            after += output[2 * f] != 0.0f || output[2 * f + 1] != 0.0f ? 1 : 0;
        }
        EXPECT_EQ(after, 0U) << "frames sounded after the last one";
    };
    {
        SCOPED_TRACE("C_DSound");
        C_DSound player;
        play(player);
    }
    SCOPED_TRACE("C_DSound5");
    C_DSound5 player;
    play(player);
}

INSTANTIATE_TEST_SUITE_P(Periods, DSoundEnd, testing::Values(256, 1001, 3000));

// A play from a share whose reads stop for 2.5 s once it has played three
// seconds, then ended: by another sound, by itself again, or by closing.
class DSoundLatePlay : public dstest::DSoundFixture, public testing::WithParamInterface<const char*> {
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
    const std::string ending = GetParam();
    folder.Folder("unc/studio/long");
    Wave("unc/studio/long/late.wav", Rate, 16, 2, dstest::Noise16(2, 12 * Rate, 3));
    Wave("unc/studio/long/next.wav", Rate, 16, 2, dstest::Noise16(2, Rate, 4));
    C_DSound player;
    ASSERT_EQ(player.InitDS(nullptr, 0), 1);
    platform::SetRefillHook([&] { player.ProgressionPlay(); });
    testsupport::TestFileLayer layer;
    constexpr int stallMs = 2500;
    int heldFor = 0;
    platform::SetPumpHook([&] {
        if (layer.heldCalls == 0 || !layer.OnlyHeldCallsRun() || heldFor >= stallMs) {
            return;
        }
        Advance(5);
        heldFor += 5;
        if (heldFor >= stallMs) {
            layer.Release();
        }
    });
    player.SetFileName("//studio/long/late.wav");
    ASSERT_EQ(player.Play(), 1);
    for (int t = 0; t < 5000 && player.mode() == 3; t += TickMs) {
        if (t == 3100) {
            layer.Hold("/studio/long/", true);
        }
        Advance(TickMs);
        player.ProgressionPlay();
    }
    ASSERT_EQ(heldFor, stallMs) << "a refill waited";
    ASSERT_EQ(player.mode(), 3);
    if (ending == std::string("another sound")) {
        player.SetFileName("//studio/long/next.wav");
        ASSERT_EQ(player.Play(), 1);
    } else if (ending == std::string("itself again")) {
        ASSERT_EQ(player.Play(), 1);
    } else {
        player.CloseWave();
    }
    for (int t = 0; t < 2000; t += TickMs) {
        Advance(TickMs);
        player.ProgressionPlay();
    }
    player.CloseWave();

    const std::string log = LogText();
    const std::regex line("DirectSound: \"([^\"]*)\" was not read in time: the sound went silent for ([0-9]+) ms");
    std::vector<std::string> files;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), line); it != std::sregex_iterator(); ++it) {
        files.push_back((*it)[1]);
        // The ring held a second and more ahead: the sound went silent for
        // less than the share stood still.
        EXPECT_GT(std::stoi((*it)[2]), 0);
        EXPECT_LT(std::stoi((*it)[2]), stallMs);
    }
    EXPECT_EQ(files, std::vector<std::string>{"//studio/long/late.wav"}) << log;
}

INSTANTIATE_TEST_SUITE_P(Endings, DSoundLatePlay, testing::Values("another sound", "itself again", "closing"),
                         [](const testing::TestParamInfo<const char*>& ending) {
                             return std::regex_replace(ending.param, std::regex(" "), "");
                         });

} // namespace
