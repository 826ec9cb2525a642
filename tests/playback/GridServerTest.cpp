// A drop of a server file and a page change on output 2 while output 1
// plays: the slow server open waits on the I/O thread while the window pumps
// and feeds output 1, which plays on without a gap.
#include "GridFixture.h"
#include "HeldServerOpens.h"
#include "support/ServerFolders.h"

#include "platform/base/Hooks.h"
#include "support/RampWave.h"
#include "support/TestFileLayer.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using playbacktest::GridFixture;
using playbacktest::HeldServerOpens;
using testsupport::ExpectRampUnbroken;

class GridServer : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        servers_.emplace(sounds / "unc");
    }
    void TearDown() override
    {
        platform::SetPumpHook(nullptr);
        servers_.reset();
        GridFixture::TearDown();
    }

    void ExpectOutputOneUnbroken()
    {
        const std::vector<float> left = Played(1);
        ASSERT_FALSE(left.empty());
        ExpectRampUnbroken(left, 1);
    }

private:
    std::optional<testsupport::ServerFolders> servers_;
};

TEST_F(GridServer, ADropAndAPageChangeOnOutputTwoLeaveOutputOneGapFree)
{
    // The 210 ms preset: three pages of 70 ms.
    Store("UseVol", "1");
    ASSERT_TRUE(Start(2));
    Assign(0, 0, 0, RampWave("local.wav", 20 * Rate));
    RampWave("unc/studio/jingles/server.wav", 5 * Rate);
    RampWave("unc/studio/jingles/other.wav", 5 * Rate);
    Assign(1, 1, 0, "//studio/jingles/other.wav");
    control->Pon(0, 0, 0, 0, 0);
    Run(500);
    Played(1);

    testsupport::TestFileLayer layer;
    HeldServerOpens slow(clock, layer);
    const std::int64_t before = clock.TotalMs();
    platform::DragData data = Files({"//studio/jingles/server.wav"});
    grid->TolvButton_OLEDropped(State().ButtonsPerOutput + 2, data);
    EXPECT_GE(clock.TotalMs() - before, 300) << "the drop waited for the server";
    EXPECT_LE(slow.longestWithoutFeed, 20) << "the window never went 20 ms without pumping";
    EXPECT_EQ(Record(1, 0, 2).FileName, "//studio/jingles/server.wav");
    EXPECT_EQ(Record(1, 0, 2).LengthMS, 5000);

    control->ChangePage(1, 1, 0);
    EXPECT_LE(slow.longestWithoutFeed, 20);
    EXPECT_EQ(State().CurrentPage[1], 1);
    platform::SetPumpHook(nullptr);
    EXPECT_EQ(State().OutputState[0], 1);
    Run(300);
    ExpectOutputOneUnbroken();
}

} // namespace
