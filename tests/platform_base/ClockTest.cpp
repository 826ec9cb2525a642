#include "platform/base/Clock.h"
#include "platform/base/VirtualClock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>

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

// The machine's clock in local time, read again and again within a second
// (the engine's tick does): each reading is the local time of its moment.
TEST(SystemClock, ReadsTheLocalTimeOfTheMachine)
{
    const platform::SystemClock clock;
    for (int i = 0; i < 3; ++i) {
        // std::time reads the coarse clock, which may still stand in the
        // second before the one the machine's clock has reached.
        const std::time_t before = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
        const platform::LocalTime now = clock.Now();
        const std::time_t after = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
        std::tm local{};
        localtime_r(&before, &local);
        const sys_days day{year{local.tm_year + 1900} / static_cast<unsigned>(local.tm_mon + 1) /
                           static_cast<unsigned>(local.tm_mday)};
        const double second = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
        if (after != before || second >= 86399.0) {
            continue; // a second (or the day) turned meanwhile
        }
        EXPECT_EQ(now.date, day);
        EXPECT_GE(now.secondsOfDay, second);
        EXPECT_LT(now.secondsOfDay, second + 1.0);
    }
}

} // namespace
