#include "platform/WallDeadline.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// A deadline read on a hand-set time, so nothing waits.
class WallDeadlineTime : public testing::Test {
protected:
    platform::WallDeadline Make(int budgetMs)
    {
        return platform::WallDeadline(budgetMs, [this] { return now; });
    }

    platform::WallDeadline::TimePoint now{1h};
};

TEST_F(WallDeadlineTime, WhatIsLeftShrinksWithTheTimeAndNeverEndsAWaitEarly)
{
    const platform::WallDeadline deadline = Make(5000);
    EXPECT_EQ(deadline.RemainingMs(), 5000);
    now += 4999ms + 500us;
    EXPECT_EQ(deadline.RemainingMs(), 1) << "half a millisecond left still waits";
    EXPECT_FALSE(deadline.Passed());
    now += 500us;
    EXPECT_EQ(deadline.RemainingMs(), 0);
    EXPECT_TRUE(deadline.Passed());
    now += 1h;
    EXPECT_EQ(deadline.RemainingMs(), 0);
}

TEST_F(WallDeadlineTime, ASocketTimeOutIsWhatIsLeftAndNeverTheZeroThatMeansNone)
{
    const platform::WallDeadline deadline = Make(2500);
    timeval timeout = deadline.RemainingTimeout();
    EXPECT_EQ(timeout.tv_sec, 2);
    EXPECT_EQ(timeout.tv_usec, 500'000);
    now += 2499ms + 999us + 500ns;
    timeout = deadline.RemainingTimeout();
    EXPECT_EQ(timeout.tv_sec, 0);
    EXPECT_EQ(timeout.tv_usec, 1);
    now += 1s;
    timeout = deadline.RemainingTimeout();
    EXPECT_TRUE(timeout.tv_sec != 0 || timeout.tv_usec != 0);
}

TEST_F(WallDeadlineTime, ANegativeBudgetHasPassedAlready)
{
    EXPECT_TRUE(Make(-5).Passed());
    EXPECT_TRUE(Make(0).Passed());
}

} // namespace
