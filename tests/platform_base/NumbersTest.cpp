#include "platform/base/Numbers.h"

#include <gtest/gtest.h>

namespace {

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(numeric::RoundHalfEven(0.5), 0.0);
    EXPECT_EQ(numeric::RoundHalfEven(1.5), 2.0);
    EXPECT_EQ(numeric::RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(numeric::RoundHalfEven(-1.5), -2.0);
    EXPECT_EQ(numeric::RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(numeric::RoundHalfEven(2.500001), 3.0);
    EXPECT_EQ(numeric::RoundToInt64(1e30), INT64_MAX);
    EXPECT_EQ(numeric::RoundToInt64(-1e30), INT64_MIN);
}

TEST(Rounding, IntFloorsFixTruncatesDivisionTruncates)
{
    EXPECT_EQ(numeric::Int(-1.5), -2.0);
    EXPECT_EQ(numeric::Fix(-1.5), -1.0);
    EXPECT_EQ(numeric::DivTrunc(-7, 2), -3);
    EXPECT_EQ(numeric::DivTrunc(7, 0), 0);
}

TEST(NumericText, AcceptsPlainDecimalNumbersOnly)
{
    EXPECT_EQ(numeric::ParseNumber(" 1.5 "), 1.5);
    EXPECT_EQ(numeric::ParseNumber("-.5"), -0.5);
    EXPECT_EQ(numeric::ParseNumber("+5"), 5.0);
    EXPECT_EQ(numeric::ParseNumber("1e3"), 1000.0);
    for (const char* bad : {"", " ", ".", "-", "1.2.3", "1e", "abc", "12a", "1:30", "0x10", "1e999"}) {
        EXPECT_FALSE(numeric::IsNumeric(bad)) << bad;
    }
}

TEST(NumericText, ALongMustFitThirtyTwoBits)
{
    EXPECT_EQ(numeric::ParseLong("2147483647"), 2147483647);
    EXPECT_EQ(numeric::ParseLong("-2147483648"), INT32_MIN);
    EXPECT_FALSE(numeric::ParseLong("2147483648"));
    EXPECT_EQ(numeric::ParseLong("2.5"), 2);
    EXPECT_TRUE(numeric::IsAllDigits("0123"));
    EXPECT_FALSE(numeric::IsAllDigits(""));
    EXPECT_FALSE(numeric::IsAllDigits("+1"));
}

} // namespace
