// A long sound on a share whose every read takes tens of milliseconds,
// pressed again after it played: the second press plays as whole as the
// first, judged by the frames the card was given.
#include "platform/audio/MediaGraph.h"
#include "platform/audio/ReadAhead.h"
#include "support/AudioTestSignals.h"
#include "support/CapturedLog.h"
#include "support/CapturingTestCard.h"
#include "support/MediaTestFiles.h"
#include "support/ScratchFolder.h"
#include "support/SlowShareReads.h"

#include <gtest/gtest.h>

namespace {

using namespace platform::audio;

struct Sound {
    int rate;
    int bits;
};

class SecondPress : public testing::TestWithParam<Sound> {
protected:
    void SetUp() override { MediaGraph::SetPrerollLimitMs(testsupport::RealWaitMs); }
    void TearDown() override { MediaGraph::SetPrerollLimitMs(0); }

    testsupport::ScratchFolder folder;
};

// The sound's samples as the card gives them back.
std::vector<std::int32_t> Values(const StreamFormat& format, const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::int32_t> values;
    const std::size_t width = static_cast<std::size_t>(format.bits / 8);
    for (std::size_t i = 0; i + width <= bytes.size(); i += width) {
        std::int32_t value = 0;
        for (std::size_t b = 0; b < width; ++b) {
            value |= static_cast<std::int32_t>(bytes[i + b]) << (8 * b);
        }
        const int shift = 32 - format.bits;
        values.push_back(static_cast<std::int32_t>(static_cast<std::uint32_t>(value) << shift) >> shift);
    }
    return values;
}

TEST_P(SecondPress, OfALongSoundFromASlowShareIsAsWholeAsTheFirst)
{
    const Sound sound = GetParam();
    const StreamFormat format{sound.rate, sound.bits, 2};
    // Longer than what is read ahead: the end of the first play leaves the
    // file's start behind.
    const std::size_t frames =
        (media::ReadAheadBytes + 1024 * 1024) / static_cast<std::size_t>(format.BlockAlign());
    const std::vector<std::uint8_t> bytes = audiotest::NoiseBytes(format, frames, 7);
    const std::string path = folder / "long.wav";
    testsupport::WriteWave(path, sound.rate, sound.bits, 2, bytes);
    const std::vector<std::int32_t> samples = Values(format, bytes);
    const double seconds = static_cast<double>(frames) / sound.rate;

    // A card that ran dry because a busy machine held its mixer up heard a
    // silence no share caused: such a try is taken again.
    const auto press = [&](int attempt, bool& ranDry) {
        testsupport::CapturingTestCard card;
        card.Install(folder / ("card" + std::to_string(attempt) + ".raw"), sound.rate, sound.bits > 16);
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        testsupport::CapturedLog log;
        int linesBefore = 0;
        long long dryBefore = 0;
        {
            const testsupport::SlowShareReads share(20, 80);
            MediaGraph graph;
            ASSERT_TRUE(graph.RenderFile(path, 0)) << graph.LastError();
            // Pressed, moved on to its last second and a half and played
            // out, as a player stops it; pressed again from its start.
            ASSERT_TRUE(graph.Run());
            ASSERT_TRUE(testsupport::WithinRealWait([&] { return graph.CurrentPosition() >= 0.3; }));
            ASSERT_TRUE(graph.SetCurrentPosition(seconds - 1.5));
            ASSERT_TRUE(testsupport::WithinRealWait([&] { return graph.Completed(); }));
            graph.Stop();
            // As after loading, the stopped graph readies the start of its
            // next press (its players poll it meanwhile).
            ASSERT_TRUE(graph.WaitBuffered(testsupport::RealWaitMs)) << "the start was not readied";
            linesBefore = log.LinesWith("was not read in time");
            dryBefore = card.RanDry();
            ASSERT_TRUE(graph.SetPlayRange(0.0, std::nullopt));
            ASSERT_TRUE(graph.Run());
            ASSERT_TRUE(testsupport::WithinRealWait([&] { return graph.CurrentPosition() >= 1.5; }));
            graph.Stop();
        }
        ranDry = card.RanDry() != dryBefore;
        if (ranDry) {
            return;
        }
        const std::vector<testsupport::PlayedSound> plays = testsupport::FindPlays(card.Samples(), samples);
        ASSERT_EQ(plays.size(), 2U);
        const testsupport::PlayedSound& again = plays[1];
        EXPECT_EQ(again.silentFrames, 0U) << "silent before frame " << again.firstSilenceBefore;
        EXPECT_GE(again.reached, static_cast<std::size_t>(sound.rate));
        EXPECT_EQ(log.LinesWith("was not read in time"), linesBefore);
    };
    constexpr int tries = 10;
    bool ranDry = true;
    for (int n = 0; n < tries && ranDry && !HasFatalFailure() && !IsSkipped(); ++n) {
        press(n, ranDry);
    }
    EXPECT_TRUE(!ranDry || IsSkipped() || HasFatalFailure()) << "the card ran dry in each of " << tries << " tries";
}

INSTANTIATE_TEST_SUITE_P(Sounds, SecondPress, testing::Values(Sound{48000, 16}, Sound{96000, 24}));

} // namespace
