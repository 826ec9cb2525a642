#include "foundation/Conversions.h"
#include "support/FakeTextMeasure.h"

#include <gmock/gmock.h>

namespace {

using testing::ElementsAre;

std::vector<std::string> Csv(std::string_view line)
{
    std::vector<std::string> out;
    const int n = basic::SplitQuoted(out, line, ",", 1);
    EXPECT_EQ(n, static_cast<int>(out.size()));
    return out;
}

TEST(SplitQuoted, ReadsAssignTableLines)
{
    EXPECT_THAT(Csv(R"("0","3","//srv/a/jingle.wav","")"), ElementsAre("0", "3", "//srv/a/jingle.wav", ""));
    // An empty field between commas is kept; a trailing comma adds no field.
    EXPECT_THAT(Csv("a,,c"), ElementsAre("a", "", "c"));
    EXPECT_THAT(Csv(R"("a","b",)"), ElementsAre("a", "b"));
    EXPECT_THAT(Csv(","), ElementsAre(""));
    // A quote in the middle of an unquoted field disappears.
    EXPECT_THAT(Csv(R"(ab"c,d)"), ElementsAre("abc", "d"));
    // A quote inside a quoted field that does not end it is dropped.
    EXPECT_THAT(Csv(R"("a"b",c)"), ElementsAre("ab", "c"));
    EXPECT_THAT(Csv(R"("ジングル","効果音 1")"), ElementsAre("ジングル", "効果音 1"));
}

TEST(SplitQuoted, KeepsACommaInsideQuotesSoFileNamesSurvive)
{
    EXPECT_THAT(Csv(R"("C:\snd\a,b.wav","1")"), ElementsAre(R"(C:\snd\a,b.wav)", "1"));
}

TEST(SplitQuoted, OtherSeparatorsSplitPlainly)
{
    std::vector<std::string> out{"stale"};
    EXPECT_EQ(basic::SplitQuoted(out, "", ",", 1), 0);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(basic::SplitQuoted(out, "abc", "", 0), 0);
    EXPECT_EQ(basic::SplitQuoted(out, "a;b;;c;", ";", 1), 5);
    EXPECT_THAT(out, ElementsAre("a", "b", "", "c", ""));
    EXPECT_EQ(basic::SplitQuoted(out, R"("a","b")", ",", 0), 2);
    EXPECT_THAT(out, ElementsAre(R"("a")", R"("b")"));
    EXPECT_EQ(basic::SplitQuoted(out, "あ::い", "::", 0), 2);
    EXPECT_THAT(out, ElementsAre("あ", "い"));
}

TEST(TrimNul, CutsPlatformPadding)
{
    EXPECT_EQ(basic::TrimNul(std::string_view("abc\0\0\0", 6)), "abc");
    EXPECT_EQ(basic::TrimNul(std::string_view("ab\0cd", 5)), "ab");
    EXPECT_EQ(basic::TrimNul("plain"), "plain");
}

TEST(FitTextToWidth, KeepsTheHeadOrTheTailWithoutEllipsis)
{
    const testsupport::FakeTextMeasure measure(10.0);
    EXPECT_EQ(basic::FitTextToWidth("abcdef", measure, 60.0, 0), "abcdef");
    EXPECT_EQ(basic::FitTextToWidth("abcdef", measure, 35.0, 0), "abc");
    EXPECT_EQ(basic::FitTextToWidth("abcdef", measure, 35.0, 1), "def");
    // Japanese characters are whole characters, never cut bytes.
    EXPECT_EQ(basic::FitTextToWidth("ジングル効果", measure, 45.0, 0), "ジン");
    EXPECT_EQ(basic::FitTextToWidth("ジングル効果", measure, 45.0, 1), "効果");
    EXPECT_EQ(basic::FitTextToWidth("aジ", measure, 25.0, 0), "a");
    // Never fewer than one character for a text of two or more.
    EXPECT_EQ(basic::FitTextToWidth("ab", measure, 1.0, 0), "a");
    EXPECT_EQ(basic::FitTextToWidth("ジb", measure, 1.0, 1), "b");
    EXPECT_EQ(basic::FitTextToWidth("x", measure, 0.0, 0), "x");
}

TEST(Levels, DecibelsAndLinearWithSilenceAtMinus110)
{
    EXPECT_EQ(basic::DbToLinear(-110.0), 0.0);
    EXPECT_EQ(basic::DbToLinear(-200.0), 0.0);
    EXPECT_EQ(basic::DbToLinear(0.0), 1.0);
    EXPECT_EQ(basic::LinearToDb(0.0), -110.0);
    EXPECT_EQ(basic::LinearToDb(-1.0), -110.0);
    EXPECT_EQ(basic::LinearToDb(1.0), 0.0);
    EXPECT_NEAR(basic::LinearToDb(0.5), -6.0206, 1e-4);
    EXPECT_NEAR(basic::DbToLinear(-20.0), 0.1, 1e-12);
}

TEST(UnsignedLongs, TravelInSignedLongs)
{
    EXPECT_EQ(basic::CurrencyToLong(3'000'000'000LL), -1'294'967'296);
    EXPECT_EQ(basic::CurrencyToLong(4'294'967'295LL), -1);
    EXPECT_EQ(basic::CurrencyToLong(6'000'000'000LL), -1);
    EXPECT_EQ(basic::CurrencyToLong(-5), 0);
    EXPECT_EQ(basic::CurrencyToLong(2'147'483'647LL), 2'147'483'647);
    EXPECT_EQ(basic::LongToCurrency(-1), 4'294'967'295LL);
    EXPECT_EQ(basic::LongToCurrency(basic::CurrencyToLong(3'000'000'000LL)), 3'000'000'000LL);
    EXPECT_EQ(basic::LongToCurrency(12), 12);
}

TEST(SmallFormats, BitsHexOddAndByteClamp)
{
    EXPECT_EQ(basic::ByteToBits(0xA1), "10100001");
    EXPECT_EQ(basic::ByteToBits(0), "00000000");
    EXPECT_EQ(basic::HexPad(255, 4), "00FF");
    EXPECT_EQ(basic::HexPad(0x1234, 2), "1234");
    EXPECT_EQ(basic::HexPad(-1, 2), "FFFFFFFF");
    EXPECT_EQ(basic::IsOdd(3.0), 1);
    EXPECT_EQ(basic::IsOdd(4.0), 0);
    EXPECT_EQ(basic::IsOdd(2.9), 0);
    EXPECT_EQ(basic::IsOdd(-3.7), 1);
    EXPECT_EQ(basic::IsOdd("17"), 1);
    EXPECT_EQ(basic::IsOdd("text"), 0);
    EXPECT_EQ(basic::ClampByte(-5), 0);
    EXPECT_EQ(basic::ClampByte(300), 255);
    EXPECT_EQ(basic::ClampByte(128), 128);
}

} // namespace
