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

TEST(Numbers, DigitsValueReadsOnlyPlainDigitsThatFitAnInt)
{
    EXPECT_EQ(numeric::DigitsValue("07"), 7);
    EXPECT_EQ(numeric::DigitsValue("2026"), 2026);
    EXPECT_EQ(numeric::DigitsValue("999999999"), 999999999);
    EXPECT_FALSE(numeric::DigitsValue(""));
    EXPECT_FALSE(numeric::DigitsValue(" 7"));
    EXPECT_FALSE(numeric::DigitsValue("-7"));
    EXPECT_FALSE(numeric::DigitsValue("1a"));
    EXPECT_FALSE(numeric::DigitsValue("2147483648")) << "ten digits may not fit an int";
}

TEST(Numbers, HexDigitsReadInEitherCaseAndNothingElseDoes)
{
    EXPECT_EQ(numeric::HexDigitValue('0'), 0);
    EXPECT_EQ(numeric::HexDigitValue('9'), 9);
    EXPECT_EQ(numeric::HexDigitValue('a'), 10);
    EXPECT_EQ(numeric::HexDigitValue('F'), 15);
    EXPECT_EQ(numeric::HexDigitValue('f'), 15);
    for (const char c : {'g', 'G', 'x', '/', ':', '@', '`', ' ', '\0', '\xB0'}) {
        EXPECT_EQ(numeric::HexDigitValue(c), -1) << static_cast<int>(c);
    }
}

// Time stamps, counters and numbered file names: "%0*lld" as C formats it.
TEST(Numbers, ZeroPaddedFillsToTheWidthWithTheSignFirst)
{
    EXPECT_EQ(numeric::ZeroPadded(7, 2), "07");
    EXPECT_EQ(numeric::ZeroPadded(2026, 4), "2026");
    EXPECT_EQ(numeric::ZeroPadded(12345, 2), "12345") << "never cut";
    EXPECT_EQ(numeric::ZeroPadded(0, 3), "000");
    EXPECT_EQ(numeric::ZeroPadded(0, 0), "0");
    EXPECT_EQ(numeric::ZeroPadded(-5, 3), "-05");
    EXPECT_EQ(numeric::ZeroPadded(-5, 1), "-5");
    EXPECT_EQ(numeric::ZeroPadded(INT64_MIN, 22), "-009223372036854775808");
    EXPECT_EQ(numeric::ZeroPadded(99'999'999, 18), "000000000099999999");
}

} // namespace
