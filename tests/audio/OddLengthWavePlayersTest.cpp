#include "GraphBackends.h"
#include "GraphPlayerFixture.h"

#include "audio/C_DShow.h"
#include "audio/C_FGraph.h"
#include "audio/C_MCI.h"
#include "platform/audio/MciCommands.h"
#include "platform/audio/PrerollTimeouts.h"
#include "platform/base/Hooks.h"
#include "support/CapturedLog.h"
#include "support/OddLengthWaves.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using oddwave::FileRate;
namespace mci = platform::audio::mci;

using graphtest::Backend;
const auto Backends = graphtest::GraphBackends;

// The graph decoding for a player, whichever kind it is.
platform::audio::MediaGraph* GraphOf(Player& player)
{
    if (auto* graph = dynamic_cast<GraphPlayer*>(&player); graph != nullptr) {
        return graph->MediaGraphInUse();
    }
    platform::audio::MciDevice* device = mci::Device(player.DevID());
    return device != nullptr ? device->Graph() : nullptr;
}

struct Polled {
    Player& player;
    platform::audio::MediaGraph* MediaGraphInUse() const { return GraphOf(player); }
    std::int32_t Position() { return player.Position(); }
    std::int32_t mode() { return player.mode(); }
};

class OddLengthWavePlayers : public graphtest::GraphPlayerFixture {
protected:
    void SetUp() override
    {
        GraphPlayerFixture::SetUp();
        testsupport::InstallNullOutputs(2, FileRate, 30);
    }
    void TearDown() override
    {
        platform::SetPumpHook(nullptr);
        platform::audio::MediaGraph::SetPrerollLimitMs(0);
        platform::audio::prerolltimeouts::Forget();
        GraphPlayerFixture::TearDown();
    }

    testsupport::CapturedLog log; // what the audio layer logs
};

TEST_F(OddLengthWavePlayers, EveryBackendPlaysThemWholeAndInOrder)
{
    for (const Backend& backend : Backends()) {
        for (const oddwave::Shape& shape : oddwave::Shapes()) {
            SCOPED_TRACE(std::string(backend.name) + ", " + shape.name);
            const oddwave::File file = oddwave::Write(folder / (shape.name + ".wav"), shape);
            auto player = backend.make();
            player->SetFileName(file.path);
            EXPECT_EQ(player->Length(), static_cast<std::int32_t>(shape.samples * 1000 / FileRate));
            ASSERT_EQ(player->Play(), 1);
            Polled polled{*player};
            Tick(polled, player->Length() + 300, 20, false);
            oddwave::ExpectPlayedOnce(Played(1), file.expected);
            player->CloseWave();
        }
    }
    EXPECT_EQ(log.LinesWith("Media graph"), 0);
}

TEST_F(OddLengthWavePlayers, APressWhileAFileLoadsIsRefusedAtOnce)
{
    // An empty data chunk never prerolls: the load waits out the limit (once
    // for each file: a file that just timed out fails at once).
    const std::string other = folder / "other.wav";
    testsupport::RiffFileBuilder().Format(1, 1, FileRate, 8).Data({}).WriteTo(other);
    constexpr int limitMs = 200;
    platform::audio::MediaGraph::SetPrerollLimitMs(limitMs);
    // Back-ends 1 and 2; the filter graph's wave parser ends such a file at once.
    const auto backends = Backends();
    for (const Backend& backend : {backends[0], backends[1]}) {
        SCOPED_TRACE(backend.name);
        const std::string empty = folder / ("empty " + std::string(backend.name) + ".wav");
        testsupport::RiffFileBuilder().Format(1, 1, FileRate, 8).Data({}).WriteTo(empty);
        auto player = backend.make();
        int pumps = 0;
        int nestedPumps = -1;
        // The operator presses another button while the first press waits.
        platform::SetPumpHook([&] {
            ++pumps;
            if (nestedPumps < 0) {
                const int before = pumps;
                nestedPumps = 0;
                player->SetFileName(other);
                nestedPumps = pumps - before;
                EXPECT_EQ(player->Play(), 0);
            }
        });
        player->SetFileName(empty);
        platform::SetPumpHook(nullptr);
        EXPECT_GT(pumps, 1) << "the window was not kept live";
        EXPECT_EQ(nestedPumps, 0) << "the second press waited again";
        // The failure is reported, not a start.
        EXPECT_EQ(player->Length(), 0);
        EXPECT_EQ(player->Play(), 0);
    }
    EXPECT_EQ(log.LinesWith("Media graph: the graph did not preroll in time"), 2);
}

} // namespace
