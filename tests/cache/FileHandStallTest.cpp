#include "FileHandFixture.h"
#include "cache/FileHandErrors.h"
#include "support/TestFileLayer.h"

#include <gmock/gmock.h>

namespace {

using FileHandStall = FileHandFixture;

// A read that hangs for three seconds: the user-interface thread keeps
// dispatching events and feeding the players all along, the cancel given
// during the stall is taken, and the copy ends after the running piece.
TEST_F(FileHandStall, AStalledReadLeavesEventsAndRefillsRunningAndTheCancelWorks)
{
    testsupport::TestFileLayer layer;
    const std::string src = scratch.Write("src.wav", Pattern(4 * 1048576));
    const std::string target = scratch.Write("t.wav", "old");

    bool holding = false;
    bool released = false;
    std::int64_t heldAt = 0;
    std::int64_t cancelledAfter = -1;
    // Refills while the read hangs.
    std::int64_t lastRefill = -1;
    std::int64_t longestGap = 0;
    int refills = 0;
    platform::SetRefillHook([&] {
        if (holding && !released) {
            if (lastRefill >= 0) {
                longestGap = std::max(longestGap, clock.TotalMs() - lastRefill);
            }
            lastRefill = clock.TotalMs();
            ++refills;
        }
    });
    onProgress = [&](float) {
        if (!holding) {
            layer.Hold("(every call through a handle)", true);
            holding = true;
            heldAt = clock.TotalMs();
        }
    };
    // Time moves only while the read hangs: before it is held and after its
    // release the I/O thread works in real time.
    onPump = [&] {
        if (layer.heldCalls == 0 || !layer.OnlyHeldCallsRun()) {
            return;
        }
        clock.Advance(5);
        const std::int64_t held = clock.TotalMs() - heldAt;
        if (held == 1000) {
            engine->ProcCancel();
            cancelledAfter = layer.heldCalls;
        }
        if (held == 3000) {
            released = true;
            layer.Release();
        }
    };
    EXPECT_EQ(engine->TranspFile(src, target, 1, 0), 0);
    EXPECT_EQ(engine->ErrorCode(), cache::filehand::Cancelled);
    EXPECT_EQ(cancelledAfter, 1) << "the cancel came while the read hung";
    EXPECT_GE(clock.TotalMs() - heldAt, 3000);
    EXPECT_LE(longestGap, platform::RefillIntervalMs);
    EXPECT_GE(refills, 3000 / platform::RefillIntervalMs - 1);
    EXPECT_EQ(testsupport::ReadText(target), "old");
    EXPECT_THAT(Temporaries(scratch.Path()), testing::IsEmpty());
}

} // namespace
