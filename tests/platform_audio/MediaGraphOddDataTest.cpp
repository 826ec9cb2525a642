#include "support/AudioTestSignals.h"
#include "support/MediaFixture.h"
#include "support/MediaTestFiles.h"
#include "support/OddLengthWaves.h"

#include "platform/audio/PrerollTimeouts.h"
#include "platform/base/Hooks.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace platform::audio;
using oddwave::FileRate;

// Null devices at the files' own rate, so that what they play is the files'
// samples exactly.
class OddLengthData : public audiotest::MediaFixture {
protected:
    void SetUp() override
    {
        MediaFixture::SetUp();
        testsupport::InstallNullOutputs(2, FileRate, 30);
    }
    void TearDown() override
    {
        platform::SetPumpHook(nullptr);
        platform::SetPumpWithoutInputHook(nullptr);
        MediaGraph::SetPrerollLimitMs(0);
        prerolltimeouts::Forget();
        MediaFixture::TearDown();
    }
};

TEST_F(OddLengthData, EverySampleOfAPaddedDataChunkPlaysOnceInOrder)
{
    for (const oddwave::Shape& shape : oddwave::Shapes()) {
        SCOPED_TRACE(shape.name);
        const oddwave::File file = oddwave::Write(folder / (shape.name + ".wav"), shape);
        MediaGraph graph;
        ASSERT_TRUE(graph.RenderFile(file.path, 1)) << graph.LastError();
        // Whole nanoseconds.
        EXPECT_NEAR(graph.Duration(), static_cast<double>(shape.samples) / FileRate, 1e-9);
        ASSERT_TRUE(graph.Run());
        PlayFor(graph, static_cast<int>(shape.samples * 1000 / FileRate) + 300);
        EXPECT_TRUE(graph.Completed());
        oddwave::ExpectPlayedOnce(Played(1), file.expected);
    }
}

TEST_F(OddLengthData, AGraphThatNeverPrerollsFailsInTimeAndKeepsTheWindowLive)
{
    // A wave whose data chunk is empty never prerolls in the automatic decoder.
    const std::string empty = folder / "empty.wav";
    testsupport::RiffFileBuilder().Format(1, 1, FileRate, 8).Data({}).WriteTo(empty);
    constexpr int limitMs = 300;
    MediaGraph::SetPrerollLimitMs(limitMs);
    int pumps = 0;
    int pumpsWithInput = 0;
    platform::SetPumpWithoutInputHook([&pumps] { ++pumps; });
    platform::SetPumpHook([&pumpsWithInput] { ++pumpsWithInput; });

    MediaGraph graph;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(graph.RenderFile(empty, 1));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(graph.LastError(), "the graph did not preroll in time");
    EXPECT_GE(waited, std::chrono::milliseconds(limitMs));
    // Far below the old 10 s, with room for a machine whose every core is busy.
    EXPECT_LT(waited, std::chrono::milliseconds(limitMs + 3000));
    // Events were dispatched again and again while it waited, but no click or
    // key, which could close or rebuild the player that waits.
    EXPECT_GT(pumps, 1);
    EXPECT_EQ(pumpsWithInput, 0);
    // A failed graph does not wait again when it is asked to run, nor does a
    // new one for the same file: a press queued behind the failure.
    pumps = 0;
    EXPECT_FALSE(graph.Run());
    MediaGraph again;
    EXPECT_FALSE(again.RenderFile(empty, 1));
    EXPECT_EQ(again.LastError(), "the graph did not preroll in time");
    EXPECT_EQ(pumps, 0);
}

} // namespace
