// A drop of a server file and a page change on output 2 while output 1
// plays: the slow server open waits on the I/O thread while the window pumps
// and feeds output 1, which plays on without a gap.
#include "GridFixture.h"

#include "platform/IoThread.h"
#include "platform/base/Hooks.h"
#include "support/TestFileLayer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

using playbacktest::GridFixture;

class GridServer : public GridFixture {
protected:
    void SetUp() override
    {
        GridFixture::SetUp();
        const char* root = std::getenv("TOLV_UNC_ROOT");
        previousRoot_ = root != nullptr ? root : "";
        hadRoot_ = root != nullptr;
        setenv("TOLV_UNC_ROOT", (sounds / "unc").c_str(), 1);
        savedWaitLimit_ = platform::io::WaitLimitMs();
        platform::io::SetWaitLimitMs(600000);
    }
    void TearDown() override
    {
        platform::SetPumpHook(nullptr);
        platform::io::SetWaitLimitMs(savedWaitLimit_);
        if (hadRoot_) {
            setenv("TOLV_UNC_ROOT", previousRoot_.c_str(), 1);
        } else {
            unsetenv("TOLV_UNC_ROOT");
        }
        GridFixture::TearDown();
    }

    // Every pump moves time 5 ms on; the layer holds server opens 300 ms.
    void HoldServerOpens(testsupport::TestFileLayer& layer)
    {
        heldSince = -1;
        lastFeed = clock.TotalMs();
        longestWithoutFeed = 0;
        platform::SetPumpHook([this, &layer] {
            longestWithoutFeed = std::max(longestWithoutFeed, clock.TotalMs() - lastFeed);
            lastFeed = clock.TotalMs();
            clock.Advance(5);
            if (heldSince < 0 && layer.heldCalls > 0) {
                heldSince = clock.TotalMs();
            }
            if (heldSince >= 0 && clock.TotalMs() - heldSince >= 300) {
                layer.Release();
                heldSince = -2;
            }
        });
        layer.Hold("/studio/jingles/", false);
    }
    void ExpectOutputOneUnbroken()
    {
        const std::vector<float> left = Played(1);
        ASSERT_FALSE(left.empty());
        const auto value = [](float sample) { return std::lround(sample * 32768.0F); };
        for (std::size_t i = 1; i < left.size(); ++i) {
            const long expected = value(left[i - 1]) == 30000 ? 1 : value(left[i - 1]) + 1;
            ASSERT_EQ(value(left[i]), expected) << "output 1 broke off at frame " << i;
        }
    }

    std::int64_t heldSince = -1;
    std::int64_t lastFeed = 0;
    std::int64_t longestWithoutFeed = 0;

private:
    std::string previousRoot_;
    bool hadRoot_ = false;
    int savedWaitLimit_ = 0;
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
    HoldServerOpens(layer);
    const std::int64_t before = clock.TotalMs();
    platform::DragData data = Files({"//studio/jingles/server.wav"});
    grid->TolvButton_OLEDropped(State().ButtonsPerOutput + 2, data);
    EXPECT_GE(clock.TotalMs() - before, 300) << "the drop waited for the server";
    EXPECT_LE(longestWithoutFeed, 20) << "the window never went 20 ms without pumping";
    EXPECT_EQ(Record(1, 0, 2).FileName, "//studio/jingles/server.wav");
    EXPECT_EQ(Record(1, 0, 2).LengthMS, 5000);

    control->ChangePage(1, 1, 0);
    EXPECT_LE(longestWithoutFeed, 20);
    EXPECT_EQ(State().CurrentPage[1], 1);
    platform::SetPumpHook(nullptr);
    EXPECT_EQ(State().OutputState[0], 1);
    Run(300);
    ExpectOutputOneUnbroken();
}

} // namespace
