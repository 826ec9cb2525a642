// Long sounds played to their end through the window's own engine tick and
// refills, from a local folder and from a share whose reads wait on the I/O
// thread (the wait pumps and feeds the players): the device plays every frame
// of the file once, in order, and the day log has no failed page.
#include "PlaybackFixture.h"
#include "support/ServerFolders.h"

#include "platform/audio/AudioSystem.h"
#include "platform/audio/NullSink.h"
#include "support/AudioTestSignals.h"
#include "support/NullOutputs.h"
#include "support/RiffFileBuilder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::audio::StreamFormat;
using playbacktest::PlaybackFixture;

struct Sound {
    int rate;
    int bits;
    int channels;
    bool share;
};

std::string NameOf(const testing::TestParamInfo<Sound>& info)
{
    const Sound& s = info.param;
    return std::to_string(s.rate) + "Hz" + std::to_string(s.bits) + "bit" + (s.channels == 1 ? "Mono" : "Stereo") +
           (s.share ? "FromAShare" : "FromALocalFolder");
}

class WholeSounds : public PlaybackFixture, public testing::WithParamInterface<Sound> {};

TEST_P(WholeSounds, EveryFramePlaysOnceInOrder)
{
    const Sound sound = GetParam();
    // Devices at the file's rate: what they play is the file's samples as they are.
    testsupport::InstallNullOutputs(4, sound.rate, 30);
    testsupport::ServerFolders servers(sounds / "unc");
    ASSERT_TRUE(Start(1));

    const StreamFormat format{sound.rate, sound.bits, sound.channels};
    // Not a whole number of pages: the last one is a short one.
    const std::size_t frames = static_cast<std::size_t>(sound.rate) * 20 + 777;
    std::vector<std::uint8_t> samples = audiotest::NoiseBytes(format, frames, 11);
    if (sound.bits == 16) {
        // The player's level limit is symmetric: full negative scale would
        // come out one step less.
        for (std::size_t i = 0; i + 1 < samples.size(); i += 2) {
            if (samples[i] == 0x00 && samples[i + 1] == 0x80) {
                samples[i] = 0x01;
            }
        }
    }
    const std::string local = sounds.Folder(sound.share ? "unc/studio/long" : "local") + "/tone.wav";
    testsupport::RiffFileBuilder().Format(1, sound.channels, static_cast<std::uint32_t>(sound.rate), sound.bits)
        .Data(samples)
        .WriteTo(local);
    Assign(0, 0, 0, sound.share ? "//studio/long/tone.wav" : local);

    Played(1);
    control->Pon(0, 0, 0, 0, 0);
    ASSERT_EQ(PlayerOf(0).mode(), 3);
    for (int ms = 0; ms < 40000 && PlayerOf(0).mode() == 3; ms += 50) {
        Run(50);
    }
    ASSERT_NE(PlayerOf(0).mode(), 3) << "the sound ends";
    Run(500);

    platform::audio::AudioSystem::Current().Sync();
    const std::vector<float> played = platform::audio::AudioSystem::Current().NullOutput(1)->TakePlayed();
    const std::vector<float> expected = audiotest::ExpectedFloats(format, samples);
    std::size_t first = 0;
    while (first + 1 < played.size() && played[first] == 0.0F && played[first + 1] == 0.0F) {
        first += 2;
    }
    ASSERT_GE(played.size(), first + frames * 2) << "the whole sound played";
    const auto channels = static_cast<std::size_t>(sound.channels);
    for (std::size_t f = 0; f < frames; ++f) {
        ASSERT_EQ(played[first + 2 * f], expected[f * channels]) << "frame " << f;
        ASSERT_EQ(played[first + 2 * f + 1], expected[f * channels + channels - 1]) << "frame " << f;
    }
    for (std::size_t i = first + frames * 2; i < played.size(); ++i) {
        ASSERT_EQ(played[i], 0.0F) << "nothing after the end, at frame " << i / 2 - first / 2;
    }
    for (const std::string& line : DayLogEntries()) {
        EXPECT_EQ(line.find("Failed"), std::string::npos) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(AtEveryRateWidthAndLayout, WholeSounds,
                         testing::Values(Sound{44100, 16, 1, true}, Sound{44100, 24, 2, true},
                                         Sound{48000, 16, 2, true}, Sound{48000, 24, 1, true},
                                         Sound{44100, 16, 2, false}, Sound{48000, 24, 2, false}),
                         NameOf);

} // namespace
