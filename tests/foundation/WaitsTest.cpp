#include "foundation/Waits.h"
#include "platform/base/Hooks.h"
#include "support/ClockFixture.h"

#include <vector>

namespace {

class Waits : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        platform::SetPumpHook([this] { ++pumps; });
        platform::SetRefillHook([this] { refills.push_back(clock.MsOfDay()); });
    }
    void TearDown() override
    {
        platform::SetPumpHook(nullptr);
        platform::SetRefillHook(nullptr);
    }

    int pumps = 0;
    std::vector<std::int64_t> refills;
};

TEST_F(Waits, AWaitAcrossMidnightEndsAfterItsTimeNotAfterADay)
{
    SetNow(Date(2026, 12, 31), At(23, 59, 59, 900));
    basic::WaitMs(300, 0);
    EXPECT_EQ(clock.Date(), Date(2027, 1, 1));
    EXPECT_GE(clock.MsOfDay(), 200);
    EXPECT_LE(clock.MsOfDay(), 202);
    EXPECT_GT(pumps, 0);
}

TEST_F(Waits, AZeroWaitPumpsOnceAndTakesNoTime)
{
    SetNow(Date(2026, 12, 6), At(10, 0, 0));
    basic::WaitMs(0, 0);
    EXPECT_EQ(pumps, 1);
    EXPECT_EQ(clock.MsOfDay(), At(10, 0, 0));
}

TEST_F(Waits, EventsRunInsideTheWaitAndPlayersAreFedEvery20Ms)
{
    SetNow(Date(2026, 12, 6), At(10, 0, 0));
    int firedAt = -1;
    platform::SetPumpHook([&] {
        ++pumps;
        if (firedAt < 0 && clock.MsOfDay() >= At(10, 0, 0, 100)) {
            firedAt = static_cast<int>(clock.MsOfDay() - At(10, 0, 0));
        }
    });
    basic::WaitMs(500, 100);
    EXPECT_EQ(firedAt, 100);
    ASSERT_GE(refills.size(), 25u);
    for (std::size_t i = 1; i < refills.size(); ++i) {
        EXPECT_LE(refills[i] - refills[i - 1], 20) << "gap before refill " << i;
    }
    EXPECT_GT(clock.MsOfDay() - At(10, 0, 0), 500);
}

TEST_F(Waits, ElapsedSinceHandlesJitterAndMidnight)
{
    SetNow(Date(2026, 12, 6), At(10, 0, 0));
    EXPECT_DOUBLE_EQ(basic::ElapsedSince(36000.5, 0), 0.0);
    EXPECT_DOUBLE_EQ(basic::ElapsedSince(36000.5, 1), -0.5);
    EXPECT_DOUBLE_EQ(basic::ElapsedSince(35998.0, 0), 2.0);
    SetNow(Date(2026, 12, 7), At(0, 0, 2));
    EXPECT_DOUBLE_EQ(basic::ElapsedSince(86399.0, 0), 3.0);
}

} // namespace
