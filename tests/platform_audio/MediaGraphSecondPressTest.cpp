// A long sound on a share whose every read takes 20 to 80 ms, pressed again
// after it ended: the second press is as whole as the first, judged by the
// frames the card was given.
#include "platform/audio/MediaGraph.h"
#include "platform/audio/ReadAhead.h"
#include "support/AudioTestSignals.h"
#include "support/CapturedLog.h"
#include "support/CapturingTestCard.h"
#include "support/MediaTestFiles.h"
#include "support/ScratchFolder.h"
#include "support/SlowShareReads.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace platform::audio;

TEST(SecondPress, OfALongSoundFromASlowShareIsAsWholeAsTheFirst)
{
    MediaGraph::SetPrerollLimitMs(testsupport::RealWaitMs);
    testsupport::ScratchFolder folder;
    // Longer than what is read ahead: its end leaves the file's start behind.
    const std::size_t frames = (media::ReadAheadBytes + 1024 * 1024) / 4;
    const std::vector<std::uint8_t> bytes = audiotest::NoiseBytes(StreamFormat{48000, 16, 2}, frames, 7);
    std::vector<std::int16_t> sound(bytes.size() / 2);
    std::memcpy(sound.data(), bytes.data(), bytes.size());
    const std::string path = folder / "long.wav";
    testsupport::WriteWave(path, 48000, 16, 2, bytes);
    // A card that ran dry because a busy machine held its mixer up heard a
    // silence no share caused: such a try is taken again.
    bool ranDry = true;
    for (int attempt = 0; attempt < 10 && ranDry && !HasFailure() && !IsSkipped(); ++attempt) {
        testsupport::CapturingTestCard card;
        card.Install(folder / ("card" + std::to_string(attempt) + ".raw"));
        if (IsSkipped() || HasFatalFailure()) {
            break;
        }
        testsupport::CapturedLog log;
        int lines = 0;
        long long dry = 0;
        {
            const testsupport::SlowShareReads share(20, 80);
            MediaGraph graph;
            ASSERT_TRUE(graph.RenderFile(path, 0)) << graph.LastError();
            // Pressed, moved on to its last second and played out, stopped as
            // a player stops it (which polls it meanwhile); pressed again.
            ASSERT_TRUE(graph.Run());
            ASSERT_TRUE(testsupport::WithinRealWait([&] { return graph.CurrentPosition() >= 0.3; }));
            ASSERT_TRUE(graph.SetCurrentPosition(static_cast<double>(frames) / 48000 - 1.0));
            ASSERT_TRUE(testsupport::WithinRealWait([&] { return graph.Completed(); }));
            graph.Stop();
            ASSERT_TRUE(graph.WaitBuffered(testsupport::RealWaitMs)) << "its start is not readied, as after loading";
            lines = log.LinesWith("was not read in time");
            dry = card.RanDry();
            ASSERT_TRUE(graph.SetPlayRange(0.0, std::nullopt));
            ASSERT_TRUE(graph.Run());
            ASSERT_TRUE(testsupport::WithinRealWait([&] { return graph.CurrentPosition() >= 1.5; }));
            graph.Stop();
        }
        ranDry = card.RanDry() != dry;
        if (!ranDry) {
            const testsupport::LastPlay again = testsupport::FindLastPlay(card.Samples(), sound);
            EXPECT_EQ(again.silent, 0U) << "silent before frame " << again.silentBefore;
            EXPECT_GE(again.frames, 48000U);
            EXPECT_EQ(log.LinesWith("was not read in time"), lines);
        }
    }
    EXPECT_FALSE(ranDry && !HasFailure() && !IsSkipped()) << "the card ran dry in every try";
    MediaGraph::SetPrerollLimitMs(0);
}

} // namespace
