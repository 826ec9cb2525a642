#include "foundation/TimeStamps.h"
#include "support/ClockFixture.h"

namespace {

class TimeStamp : public testsupport::ClockFixture {};

TEST_F(TimeStamp, StylesPartsAndYearForms)
{
    SetNow(Date(2026, 12, 6), At(21, 59, 59, 123));
    EXPECT_EQ(basic::FormatTimeStamp(0, 0, 0, 0, 0, 0, 0.0), "2026/12/06 21:59:59");
    EXPECT_EQ(basic::FormatTimeStamp(0, 0, basic::StampDigits, 1, 0, 0, 0.0), "20261206");
    EXPECT_EQ(basic::FormatTimeStamp(0, 0, basic::StampSlashes, 7, 0, 0, 0.0), "2026/12/06 21:59:59.123");
    EXPECT_EQ(basic::FormatTimeStamp(0, 0, basic::StampFileName, 7, 0, 0, 0.0), "2026-12-06 21_59_59_123");
    EXPECT_EQ(basic::FormatTimeStamp(0, 0, basic::StampDigits, 7, 0, 0, 0.0), "20261206215959123");
    EXPECT_EQ(basic::FormatTimeStamp(0, 0, 0, 3, 0, 1, 0.0), "26/12/06 21:59:59");
    EXPECT_EQ(basic::FormatTimeStamp(0, 0, 0, 2, 0, 0, 0.0), "21:59:59");
    EXPECT_EQ(basic::FormatTimeStamp(0, -1, 0, 1, 0, 0, 0.0), "2026/12/05");
}

TEST_F(TimeStamp, FixedClockSources)
{
    SetNow(Date(2026, 12, 6), At(12, 0, 0));
    EXPECT_EQ(basic::FormatTimeStamp(0, 0, 0, 7, 1, 0, 0.0), "2026/12/06 00:00:00.000");
    EXPECT_EQ(basic::FormatTimeStamp(0, 0, 0, 7, 2, 0, 0.0), "2026/12/06 23:59:59.000");
    EXPECT_EQ(basic::FormatTimeStamp(18000, 0, 0, 3, 3, 0, 0.0), "2026/12/06 05:00:00");
}

TEST_F(TimeStamp, BroadcastDayShowsEarlyHoursAsTheNightOfThePreviousDate)
{
    // A day that starts at 05:00: from midnight to 04:59 the hours run 24 to 28.
    SetNow(Date(2026, 12, 7), At(0, 0, 0));
    EXPECT_EQ(basic::FormatTimeStamp(18000, 0, 0, 3, 0, 0, 0.0), "2026/12/06 24:00:00");
    SetNow(Date(2026, 12, 7), At(2, 0, 0));
    EXPECT_EQ(basic::FormatTimeStamp(18000, 0, 0, 3, 0, 0, 0.0), "2026/12/06 26:00:00");
    SetNow(Date(2026, 12, 7), At(4, 59, 59));
    EXPECT_EQ(basic::FormatTimeStamp(18000, 0, 0, 3, 0, 0, 0.0), "2026/12/06 28:59:59");
    SetNow(Date(2026, 12, 7), At(5, 0, 0));
    EXPECT_EQ(basic::FormatTimeStamp(18000, 0, 0, 3, 0, 0, 0.0), "2026/12/07 05:00:00");
    // New Year's night belongs to the old year.
    SetNow(Date(2027, 1, 1), At(3, 0, 0));
    EXPECT_EQ(basic::FormatTimeStamp(18000, 0, 0, 3, 0, 0, 0.0), "2026/12/31 27:00:00");
}

TEST_F(TimeStamp, OffsetsCrossMidnightAndMillisecondsStayThreeDigits)
{
    SetNow(Date(2026, 12, 31), At(23, 59, 59));
    EXPECT_EQ(basic::FormatTimeStamp(0, 0, 0, 3, 0, 0, 2.0), "2027/01/01 00:00:01");
    SetNow(Date(2027, 1, 1), At(0, 0, 1));
    EXPECT_EQ(basic::FormatTimeStamp(0, 0, 0, 3, 0, 0, -2.0), "2026/12/31 23:59:59");
    // .9996 s would round to 1000 ms; the field never gets a fourth digit.
    SetNow(Date(2026, 12, 6), At(10, 0, 0, 999));
    EXPECT_EQ(basic::FormatTimeStamp(0, 0, 0, 7, 0, 0, 0.0006), "2026/12/06 10:00:00.999");
}

TEST(FormatDateJapanese, ThreeFormsOfDateAndTimeDigits)
{
    EXPECT_EQ(basic::FormatDateJapanese("20261206", 1, 1), "2026年12月06日");
    EXPECT_EQ(basic::FormatDateJapanese("20261206215959", 1, 3), "2026年12月06日 21時59分59秒");
    EXPECT_EQ(basic::FormatDateJapanese("20261206215959", 0, 3), "2026/12/06 21:59:59");
    EXPECT_EQ(basic::FormatDateJapanese("20261206215959", 2, 3), "2026-12-06  21_59_59");
    EXPECT_EQ(basic::FormatDateJapanese("20261206215959", 0, 2), "21:59:59");
    EXPECT_EQ(basic::FormatDateJapanese("261206", 0, 1), "26/12/06");
    EXPECT_EQ(basic::FormatDateJapanese("2026120", 0, 1), "");
    EXPECT_EQ(basic::FormatDateJapanese("2026-12-06", 0, 1), "");
}

TEST(SecondsBetweenStamps, CountsTheDayChange)
{
    EXPECT_EQ(basic::SecondsBetweenStamps("2026/12/06 23:59:50", "2026/12/07 00:00:10"), 20);
    EXPECT_EQ(basic::SecondsBetweenStamps("2026/12/07 00:00:10", "2026/12/06 23:59:50"), -20);
    EXPECT_EQ(basic::SecondsBetweenStamps("2026/12/31 00:00:00", "2027/01/01 00:00:00"), 86400);
    EXPECT_EQ(basic::SecondsBetweenStamps("2026/12/06 23:59", "2026/12/07 00:00:10"), 0);
    EXPECT_EQ(basic::SecondsBetweenStamps("2026/13/06 00:00:00", "2026/12/07 00:00:10"), 0);
}

TEST(FormatDateTimeText, MovesTheStampWithinTheBroadcastDay)
{
    EXPECT_EQ(basic::FormatDateTimeText("2026/12/06 23:00:00", 7200, 0, 0), "2026/12/07 01:00:00");
    EXPECT_EQ(basic::FormatDateTimeText("2026/12/06 23:00:00", 7200, 18000, 0), "2026/12/06 25:00:00");
    EXPECT_EQ(basic::FormatDateTimeText("2026/12/07 02:00:00", 0, 18000, 1), "20261206260000");
    EXPECT_EQ(basic::FormatDateTimeText("2026/12/07 00:30:00", -3600, 0, 0), "2026/12/06 23:30:00");
    EXPECT_EQ(basic::FormatDateTimeText("2026/12/06 12:00:00", 3 * 86400, 0, 0), "2026/12/09 12:00:00");
    EXPECT_EQ(basic::FormatDateTimeText("2026/12/06", 0, 0, 0), "");
}

} // namespace
