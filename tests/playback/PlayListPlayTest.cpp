// Play lists that really play: rows dropped and marked by the operator play
// one after the other on a null device, and a drop of server files on one
// list never starves the sound another output plays.
#include "PlayListFixture.h"
#include "support/ServerFolders.h"

#include "foundation/HostReachability.h"
#include "foundation/Parms.h"
#include "platform/base/Hooks.h"
#include "support/FakeNetwork.h"
#include "support/RampWave.h"
#include "support/TestFileLayer.h"

#include <gmock/gmock.h>

#include <cmath>
#include <optional>

namespace {

using playbacktest::PlayListFixture;
using testing::ElementsAre;
using testsupport::ExpectRampUnbroken;

class PlayListPlay : public PlayListFixture {
protected:
    struct Segment {
        long value;
        std::size_t start;
        std::size_t length;
    };
    // The sounds device played, as runs of one sample value: silence and
    // runs shorter than 1,000 frames (gain ramps) are left out.
    std::vector<Segment> Segments(int device)
    {
        std::vector<Segment> runs;
        const std::vector<float> left = Played(device);
        for (std::size_t i = 0; i < left.size(); ++i) {
            const long value = std::lround(left[i] * 32768.0F);
            if (!runs.empty() && runs.back().value == value && runs.back().start + runs.back().length == i) {
                ++runs.back().length;
            } else {
                runs.push_back({value, i, 1});
            }
        }
        std::erase_if(runs, [](const Segment& run) { return run.value == 0 || run.length < 1000; });
        return runs;
    }
    static std::vector<long> Values(const std::vector<Segment>& runs)
    {
        std::vector<long> values;
        for (const Segment& run : runs) {
            values.push_back(run.value);
        }
        return values;
    }
    // Half-second rows of distinct levels dropped on the list of output 1,
    // the marked ones marked by a double click.
    void ListOf(const std::vector<std::pair<int, bool>>& rows)
    {
        std::vector<std::string> files;
        for (const auto& [value, marked] : rows) {
            files.push_back(ToneWave("level" + std::to_string(value) + ".wav", Rate / 2, value));
        }
        Drop(files, 0);
        ASSERT_EQ(View().ItemCount(), static_cast<int>(rows.size()));
        for (int r = 0; r < View().ItemCount(); ++r) {
            if (rows[static_cast<std::size_t>(r)].second) {
                Select(r);
                lists->LV_DblClicked(0);
            }
        }
        View().UnSelectAll();
        control->SetListCursor(0, 0, 1, 0);
    }
};

TEST_F(PlayListPlay, ThreeRowsPlayInSequenceEachWhenThePreviousEnds)
{
    Store("CheckProg", "1");
    Store("SeqItemType", "0");
    ASSERT_TRUE(StartLists());
    ListOf({{1000, false}, {2000, true}, {3000, true}});
    Played(1);
    control->Pon(0, 0, 0, 0, 0);
    Run(2500);
    const std::vector<Segment> runs = Segments(1);
    ASSERT_THAT(Values(runs), ElementsAre(1000, 2000, 3000));
    for (std::size_t i = 0; i < runs.size(); ++i) {
        EXPECT_GE(runs[i].length, static_cast<std::size_t>(Rate / 2 - 256)) << "row " << i << " played whole";
        EXPECT_LE(runs[i].length, static_cast<std::size_t>(Rate / 2));
        if (i > 0) {
            const std::size_t gap = runs[i].start - (runs[i - 1].start + runs[i - 1].length);
            EXPECT_LE(gap, static_cast<std::size_t>(Rate / 5)) << "row " << i << " started when the one before ended";
        }
    }
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_EQ(State().ListItem[0], -1) << "the end of the list leaves no cursor";
}

TEST_F(PlayListPlay, WithSeqItemTypeOneTheMarkedRowStartsTheOneAfterIt)
{
    Store("SeqItemType", "1");
    ASSERT_TRUE(StartLists());
    ListOf({{1000, true}, {2000, false}, {3000, false}});
    Played(1);
    control->Pon(0, 0, 0, 0, 0);
    Run(2500);
    EXPECT_THAT(Values(Segments(1)), ElementsAre(1000, 2000));
    EXPECT_EQ(State().ListItem[0], 2) << "the cursor rests on the third row";
    EXPECT_EQ(State().OutputState[0], 0);
}

TEST_F(PlayListPlay, AStopByTheOperatorMovesTheCursorOnWithoutStarting)
{
    ASSERT_TRUE(StartLists());
    ListOf({{1000, false}, {2000, true}, {3000, true}});
    Played(1);
    control->Pon(0, 0, 0, 0, 0);
    Run(100);
    control->StopOutput(0);
    Run(1500);
    EXPECT_THAT(Values(Segments(1)), ElementsAre(1000));
    EXPECT_EQ(State().ListItem[0], 1);
    EXPECT_EQ(State().OutputState[0], 0);
}

class ServerDrop : public PlayListPlay {
protected:
    void SetUp() override
    {
        PlayListPlay::SetUp();
        servers_.emplace(sounds / "unc");
        resolver.names["studio"] = platform::Ipv4Address{192, 0, 2, 10};
        transport.alive.insert(platform::Ipv4Address{192, 0, 2, 10});
    }
    void TearDown() override
    {
        FCT_Ping::PingCache.clear();
        servers_.reset();
        PlayListPlay::TearDown();
    }

    testsupport::FakeHostResolver resolver;
    testsupport::FakeEchoTransport transport;

private:
    std::optional<testsupport::ServerFolders> servers_;
};

TEST_F(ServerDrop, ThreeServerFilesOnListTwoLeaveOutputOneGapFree)
{
    // The 210 ms preset on output 1, a button output; output 2 shows a list.
    Store("UseVol", "1");
    ASSERT_TRUE(StartLists({2}, 2));
    Assign(0, 0, 0, RampWave("local.wav", 20 * Rate));
    std::vector<std::string> files;
    for (const char* name : {"s1", "s2", "s3"}) {
        RampWave(std::string("unc/studio/jingles/") + name + ".wav", Rate);
        files.push_back(std::string("//studio/jingles/") + name + ".wav");
    }
    control->Pon(0, 0, 0, 0, 0);
    Run(500);
    Played(1);

    testsupport::TestFileLayer layer;
    std::int64_t heldSince = -1;
    int opensHeld = 0;
    std::int64_t lastFeed = clock.TotalMs();
    std::int64_t longestWithoutFeed = 0;
    platform::SetPumpHook([&] {
        longestWithoutFeed = std::max(longestWithoutFeed, clock.TotalMs() - lastFeed);
        lastFeed = clock.TotalMs();
        // Time moves only while the server holds the call: a released one
        // runs on in real time, and the next one comes when it comes.
        if (layer.heldCalls == 0 || !layer.OnlyHeldCallsRun()) {
            return;
        }
        clock.Advance(5);
        if (heldSince < 0) {
            heldSince = clock.TotalMs();
        }
        if (clock.TotalMs() - heldSince >= 300) {
            // Each call on the server takes 300 ms.
            layer.ReleaseHeld();
            heldSince = -1;
            ++opensHeld;
        }
    });
    layer.Hold("/studio/jingles/", false);
    const std::int64_t before = clock.TotalMs();
    Drop(files, 0, 1);
    platform::SetPumpHook(nullptr);
    layer.Release();

    EXPECT_GE(opensHeld, 3) << "every file was read on the server, slowly";
    EXPECT_GE(clock.TotalMs() - before, 900);
    EXPECT_LE(longestWithoutFeed, 20) << "the window never went 20 ms without pumping";
    EXPECT_THAT(Titles(1), ElementsAre("s1", "s2", "s3"));
    EXPECT_EQ(View(1).IconType(0), 1) << "found playable on the server";
    EXPECT_EQ(State().OutputState[0], 1);

    Run(300);
    const std::vector<float> left = Played(1);
    ASSERT_GE(left.size(), static_cast<std::size_t>(Rate)) << "the drop and 300 ms";
    ExpectRampUnbroken(left, 1);
}

} // namespace
