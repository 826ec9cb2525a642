#include "platform/base/Clock.h"
#include "platform/base/VirtualClock.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono;

TEST(VirtualClock, AdvancingPastMidnightStartsTheNextDate)
{
    platform::VirtualClock clock(sys_days{year{2026} / 12 / 31}, 86'399'900);
    platform::ScopedVirtualClock installed(clock);
    EXPECT_DOUBLE_EQ(platform::Timer(), 86399.9);
    clock.Advance(300);
    EXPECT_EQ(platform::Today(), sys_days{year{2027} / 1 / 1});
    EXPECT_DOUBLE_EQ(platform::Timer(), 0.2);
    clock.Advance(3 * 86'400'000LL);
    EXPECT_EQ(platform::Today(), sys_days{year{2027} / 1 / 4});
}

TEST(VirtualClock, SleepingMovesVirtualTimeAndSetNormalises)
{
    platform::VirtualClock clock(sys_days{year{2026} / 3 / 1}, -1000);
    EXPECT_EQ(clock.Date(), sys_days{year{2026} / 2 / 28});
    EXPECT_EQ(clock.MsOfDay(), 86'399'000);
    clock.Sleep(1500);
    EXPECT_EQ(clock.Date(), sys_days{year{2026} / 3 / 1});
    EXPECT_EQ(clock.MsOfDay(), 500);
}

TEST(SystemClock, IsInForceWithoutAVirtualOne)
{
    platform::SetClock(nullptr);
    const double t = platform::Timer();
    EXPECT_GE(t, 0.0);
    EXPECT_LT(t, 86400.0);
}

} // namespace
