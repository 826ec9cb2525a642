#include "foundation/Waits.h"
#include "platform/WindowTimer.h"
#include "support/ClockFixture.h"

#include <vector>

namespace {

class WaitsWithTimers : public testsupport::ClockFixture {};

TEST_F(WaitsWithTimers, AWindowTimerKeepsFiringWhileAHandlerWaits)
{
    SetNow(Date(2026, 12, 6), At(10, 0, 0));
    const std::int64_t start = clock.MsOfDay();
    std::vector<std::int64_t> ticks;
    platform::WindowTimer tick;
    tick.OnTimer = [&] { ticks.push_back(clock.MsOfDay() - start); };
    tick.SetInterval(50);
    basic::WaitMs(230, 0);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{50, 100, 150, 200}));

    // A wait that sleeps in long steps still lets the timer fire on time.
    ticks.clear();
    tick.SetInterval(20);
    basic::WaitMs(100, 45);
    ASSERT_GE(ticks.size(), 5u);
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        EXPECT_EQ(ticks[i] - ticks[i - 1], 20);
    }
}

TEST_F(WaitsWithTimers, AStoppedTimerStaysSilentThroughAWait)
{
    int fired = 0;
    platform::WindowTimer tick;
    tick.OnTimer = [&] { ++fired; };
    tick.SetInterval(10);
    tick.SetEnabled(false);
    basic::WaitMs(100, 0);
    EXPECT_EQ(fired, 0);
}

} // namespace
