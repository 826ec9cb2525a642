// A press on a share that stopped answering fails within the graph's limit
// (5 s), not the server-call limit (15 s), and what it gave up on is not
// read again in the same press.
#include "PlaybackFixture.h"
#include "support/ServerFolders.h"

#include "platform/IoThread.h"
#include "platform/audio/MediaGraph.h"
#include "platform/audio/PrerollTimeouts.h"
#include "platform/base/Hooks.h"
#include "support/TestFileLayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

using platform::audio::MediaGraph;

class PressDeadline : public playbacktest::PlaybackFixture {
protected:
    void TearDown() override
    {
        platform::SetPumpHook(nullptr);
        platform::audio::prerolltimeouts::Forget();
        layer.reset();
        servers.reset();
        PlaybackFixture::TearDown();
    }

    // A button on a share whose calls on the file (handles: its reads too)
    // never answer; time moves on only while they are all that runs.
    void StalledShare(int playerType, bool handles, bool status)
    {
        Store("PlayerType", std::to_string(playerType));
        ASSERT_TRUE(Start());
        servers.emplace(sounds / "unc");
        // As the program waits for a server outside the tests.
        platform::io::SetWaitLimitMs(15000);
        RampWave("unc/studio/jingles/a.wav", Rate);
        Assign(0, 0, 0, "//studio/jingles/a.wav");
        layer.emplace();
        layer->Hold(status ? "/studio/jingles/" : "/nothing/held/", handles);
        platform::SetPumpHook([this] {
            if (layer->heldCalls > 0 && layer->OnlyHeldCallsRun()) {
                clock.Advance(5);
            }
        });
    }

    // Virtual ms the press took.
    std::int64_t Press()
    {
        const std::int64_t start = clock.TotalMs();
        control->Pon(0, 0, 0, 0, 0);
        return clock.TotalMs() - start;
    }

    bool Failed()
    {
        const std::vector<std::string> lines = DayLogEntries();
        return std::any_of(lines.begin(), lines.end(),
                           [](const std::string& line) { return line.find("PonFail") != std::string::npos; });
    }

    std::optional<testsupport::ServerFolders> servers;
    std::optional<testsupport::TestFileLayer> layer;
};

TEST_F(PressDeadline, APressWhoseFileStatusStallsFailsWithinThePressLimit)
{
    StalledShare(1, false, true);
    const std::int64_t took = Press();
    EXPECT_TRUE(Failed());
    EXPECT_GE(took, MediaGraph::PrerollLimitMs() - 50);
    EXPECT_LE(took, MediaGraph::PrerollLimitMs() + 50);
    // Given up on: the next press fails at once.
    EXPECT_LE(Press(), 50);
}

TEST_F(PressDeadline, OnAFilterGraphAPressWhoseReadsStallFailsWithinThePressLimitWithoutTheGraphReadingTheFile)
{
    // Only the file layer's reads stall here: a graph that read the file
    // anyway would play it, or time out on it.
    StalledShare(4, true, false);
    const std::int64_t took = Press();
    EXPECT_TRUE(Failed());
    EXPECT_LE(took, MediaGraph::PrerollLimitMs() + 50);
    EXPECT_FALSE(platform::audio::prerolltimeouts::Recent({sounds / "unc/studio/jingles/a.wav"}));
}

} // namespace
