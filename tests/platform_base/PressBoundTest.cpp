// A press keeps input waiting no longer than its own limit: a press begun
// inside it (its waits pump events) neither lengthens nor restarts it.
#include "platform/base/Hooks.h"
#include "platform/base/VirtualClock.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono;

TEST(PressBound, ANestedPressKeepsTheOutermostPressEnd)
{
    platform::VirtualClock clock(sys_days{year{2026} / 6 / 1}, 36'000'000);
    const platform::ScopedVirtualClock installed(clock);
    EXPECT_EQ(platform::PressBoundMs(15000), 15000) << "outside a press a wait keeps its own limit";
    {
        const platform::PressDeadline press(5000);
        clock.Advance(3000);
        {
            const platform::PressDeadline nested(5000);
            EXPECT_EQ(platform::PressBoundMs(15000), 2000);
            clock.Advance(2500);
            EXPECT_EQ(platform::PressBoundMs(15000), 0);
        }
        EXPECT_EQ(platform::PressBoundMs(15000), 0);
    }
    EXPECT_EQ(platform::PressBoundMs(15000), 15000);
}

} // namespace
