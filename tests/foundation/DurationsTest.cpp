#include "foundation/Durations.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatDuration, EveryFormatOfOneHourTwoMinutesThreeSeconds)
{
    const std::int32_t ms = 3'723'456;
    const char* const expected[14] = {"062'03.456", "62'03.4",    "01:02:03",     "1:02:03.4",    "62:03",
                                      "3723.456",   "3723.45",    "62:03.456",    "01:02:03.4",   "01:02:03.45",
                                      "01:02:03.456", "01時02分03秒", "010203", "062'03"};
    for (int format = 0; format < 14; ++format) {
        EXPECT_EQ(basic::FormatDuration(ms, format, 0), expected[format]) << "format " << format;
    }
    EXPECT_EQ(basic::FormatDuration(ms, 14, 0), "");
    EXPECT_EQ(basic::FormatDuration(ms, -1, 0), "");
}

TEST(FormatDuration, ShortLongNegativeAndTruncated)
{
    EXPECT_EQ(basic::FormatDuration(5'678, 0, 0), "000'05.678");
    EXPECT_EQ(basic::FormatDuration(5'678, 3, 0), "0:00:05.6");
    EXPECT_EQ(basic::FormatDuration(5'678, 5, 0), "005.678");
    EXPECT_EQ(basic::FormatDuration(360'000'000, 2, 0), "100:00:00");
    EXPECT_EQ(basic::FormatDuration(-1500, 4, 1), "-00:01");
    EXPECT_EQ(basic::FormatDuration(-1500, 4, 0), "00:00");
    EXPECT_EQ(basic::FormatDuration(INT32_MIN, 2, 1), "-596:31:23");
    // Fields are cut, never rounded up: 59.999 s is still 59 s.
    EXPECT_EQ(basic::FormatDuration(59'999, 4, 0), "00:59");
    EXPECT_EQ(basic::FormatDuration(59'999, 1, 0), "00'59.9");
    EXPECT_EQ(basic::FormatDuration(59'999, 9, 0), "00:00:59.99");
}

std::int32_t Parse(std::string_view text)
{
    return basic::ParseDuration(text, 1, nullptr);
}

TEST(ParseDuration, ReadsTheTypedForms)
{
    EXPECT_EQ(Parse("1'30.5"), 90'500);
    EXPECT_EQ(Parse("1:30"), 5'400'000);
    EXPECT_EQ(Parse("1:30.5"), 90'500);
    EXPECT_EQ(Parse("1:02:03"), 3'723'000);
    EXPECT_EQ(Parse("-1:30"), -5'400'000);
    EXPECT_EQ(Parse("90.5"), 90'500);
    EXPECT_EQ(Parse("5"), 5'000);
    EXPECT_EQ(Parse("1'30\"25"), 90'250);
    EXPECT_EQ(Parse("0'00.1234"), 123);
}

TEST(ParseDuration, FailuresAndTheOkFlag)
{
    std::int32_t ok = 0;
    EXPECT_EQ(basic::ParseDuration("1'3a", 1, &ok), -1);
    EXPECT_EQ(basic::ParseDuration("1'3a", 0, &ok), 0);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(basic::ParseDuration("1'30", 0, &ok), 90'000);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(Parse("1'"), -1);
    EXPECT_EQ(Parse("1::30"), -1);
    EXPECT_EQ(Parse("1'2'3'4'5"), -1);
    EXPECT_EQ(Parse("999999:00:00"), -1); // beyond a 32-bit count of ms
    // A single character that is no number gives 0, not a failure value.
    EXPECT_EQ(Parse("x"), 0);
}

TEST(ParseDuration, ReadsBackWhatTheFormatsWrite)
{
    const std::int32_t ms = 3'723'456;
    // Formats that carry minutes with milliseconds come back exactly.
    for (int format : {0, 5, 7, 10}) {
        EXPECT_EQ(Parse(basic::FormatDuration(ms, format, 0)), ms) << "format " << format;
    }
    for (int format : {2, 13}) {
        EXPECT_EQ(Parse(basic::FormatDuration(ms, format, 0)), 3'723'000) << "format " << format;
    }
    for (int format : {1, 3, 8}) {
        EXPECT_EQ(Parse(basic::FormatDuration(ms, format, 0)), 3'723'400) << "format " << format;
    }
    EXPECT_EQ(Parse(basic::FormatDuration(ms, 6, 0)), 3'723'450);
    EXPECT_EQ(Parse(basic::FormatDuration(ms, 9, 0)), 3'723'450);
    // By design: mm:ss reads as h:mm, hhmmss as plain seconds, and the
    // Japanese form does not parse.
    EXPECT_EQ(Parse(basic::FormatDuration(ms, 4, 0)), 62 * 3'600'000 + 3 * 60'000);
    EXPECT_EQ(Parse(basic::FormatDuration(ms, 12, 0)), 10'203'000);
    EXPECT_EQ(Parse(basic::FormatDuration(ms, 11, 0)), -1);
    EXPECT_EQ(Parse(basic::FormatDuration(-90'500, 0, 1)), -90'500);
}

TEST(ParseTimeOfDay, AcceptsAndRefuses)
{
    EXPECT_EQ(basic::ParseTimeOfDay("12:00:00", 0, 0), 1);
    EXPECT_EQ(basic::ParseTimeOfDay("12:00:00.5", 0, 0), 1);
    EXPECT_EQ(basic::ParseTimeOfDay("12:00:00.123", 0, 0), 1);
    EXPECT_EQ(basic::ParseTimeOfDay("99:00:00", 0, 0), 1); // hours are not limited
    EXPECT_EQ(basic::ParseTimeOfDay("12:60:00", 0, 0), 0);
    EXPECT_EQ(basic::ParseTimeOfDay("12:00:60", 0, 0), 0);
    EXPECT_EQ(basic::ParseTimeOfDay("12:00:00.", 0, 0), 0);
    EXPECT_EQ(basic::ParseTimeOfDay("12:00:00.1234", 0, 0), 0);
    EXPECT_EQ(basic::ParseTimeOfDay("12-00-00", 0, 0), 0);
    EXPECT_EQ(basic::ParseTimeOfDay("12:0a:00", 0, 0), 0);
    EXPECT_EQ(basic::ParseTimeOfDay("2:00:00", 0, 0), 0);
    EXPECT_EQ(basic::ParseTimeOfDay("", 0, 0), 0);
    EXPECT_EQ(basic::ParseTimeOfDay("1230", 0, 1), 1);
    EXPECT_EQ(basic::ParseTimeOfDay("123000500", 0, 1), 1);
    EXPECT_EQ(basic::ParseTimeOfDay("1234567890", 0, 1), 0);
    EXPECT_EQ(basic::ParseTimeOfDay("12:30", 0, 1), 0);
}

TEST(ParseTimeOfDay, BroadcastDayRange)
{
    // A day from 05:00 to 05:00: after midnight the hours are typed as 24+.
    EXPECT_EQ(basic::ParseTimeOfDay("26:00:00", 18000, 0), 1);
    EXPECT_EQ(basic::ParseTimeOfDay("05:00:00", 18000, 0), 1);
    EXPECT_EQ(basic::ParseTimeOfDay("04:59:59.999", 18000, 0), 0);
    EXPECT_EQ(basic::ParseTimeOfDay("28:59:59.999", 18000, 0), 1);
    EXPECT_EQ(basic::ParseTimeOfDay("29:00:00", 18000, 0), 0);
}

} // namespace
