#include "platform/WindowTimer.h"
#include "support/ClockFixture.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <memory>
#include <string>
#include <vector>

namespace {

class WindowTimers : public testsupport::ClockFixture {
protected:
    std::int64_t Now() const { return clock.MsOfDay() - start; }
    std::int64_t start = clock.MsOfDay();
};

TEST_F(WindowTimers, FireAtTheirInstantsInOrderOfTime)
{
    std::vector<std::string> fired;
    platform::WindowTimer fast;
    platform::WindowTimer slow;
    fast.OnTimer = [&] { fired.push_back("fast@" + std::to_string(Now())); };
    slow.OnTimer = [&] { fired.push_back("slow@" + std::to_string(Now())); };
    slow.SetInterval(50);
    fast.SetInterval(20);
    clock.Advance(100);
    EXPECT_EQ(fired, (std::vector<std::string>{"fast@20", "fast@40", "slow@50", "fast@60", "fast@80", "slow@100",
                                               "fast@100"}));
    EXPECT_EQ(Now(), 100);
}

TEST_F(WindowTimers, EnabledAndIntervalStartTheCountAgain)
{
    std::vector<std::int64_t> fired;
    platform::WindowTimer timer;
    timer.OnTimer = [&] { fired.push_back(Now()); };
    timer.SetInterval(0);
    clock.Advance(100);
    EXPECT_TRUE(fired.empty()) << "an interval of 0 never fires";

    timer.SetInterval(30); // counts from 100
    clock.Advance(40);
    timer.SetEnabled(false);
    clock.Advance(100);
    timer.SetEnabled(true); // counts from 240
    clock.Advance(30);
    timer.SetInterval(50); // counts from 270
    clock.Advance(60);
    EXPECT_EQ(fired, (std::vector<std::int64_t>{130, 270, 320}));
}

TEST_F(WindowTimers, AHandlerThatWaitsIsNotReenteredAndOthersFireMeanwhile)
{
    int depth = 0;
    int deepest = 0;
    std::vector<std::int64_t> tickAt;
    std::vector<std::int64_t> otherAt;
    platform::WindowTimer tick;
    platform::WindowTimer other;
    tick.OnTimer = [&] {
        deepest = std::max(deepest, ++depth);
        tickAt.push_back(Now());
        platform::CurrentClock().Sleep(35); // a wait inside the handler
        --depth;
    };
    other.OnTimer = [&] { otherAt.push_back(Now()); };
    tick.SetInterval(10);
    other.SetInterval(15);
    clock.Advance(60);
    EXPECT_EQ(deepest, 1);
    // The tick that overran its interval comes again one interval after it ended.
    EXPECT_EQ(tickAt, (std::vector<std::int64_t>{10, 55}));
    // The second wait (55..90) carries time past the 60 ms asked for.
    EXPECT_EQ(otherAt, (std::vector<std::int64_t>{15, 30, 45, 60, 75, 90}));
    EXPECT_EQ(Now(), 90);
}

TEST_F(WindowTimers, AHandlerMayDestroyItsOwnTimer)
{
    auto timer = std::make_unique<platform::WindowTimer>();
    int fired = 0;
    timer->OnTimer = [&] {
        ++fired;
        timer.reset();
    };
    timer->SetInterval(10);
    clock.Advance(50);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(timer, nullptr);
}

TEST(WindowTimerOnTheSystemClock, AQtTimerDrivesIt)
{
    platform::SetClock(nullptr);
    platform::WindowTimer timer;
    QEventLoop loop;
    int fired = 0;
    timer.OnTimer = [&] {
        if (++fired == 3) {
            loop.quit();
        }
    };
    timer.SetInterval(1);
    loop.exec();
    EXPECT_EQ(fired, 3);
}

} // namespace
