#include "foundation/ByteText.h"

#include <gmock/gmock.h>

#include <array>

namespace {

using testing::ElementsAre;

std::vector<std::uint8_t> B(std::string_view text)
{
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> Join(std::initializer_list<std::vector<std::uint8_t>> parts)
{
    std::vector<std::uint8_t> all;
    for (const auto& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

// "ジングル" (jingle) in code page 932 and in UTF-8.
const std::vector<std::uint8_t> jingleCp932 = {0x83, 0x57, 0x83, 0x93, 0x83, 0x4F, 0x83, 0x8B};
const std::vector<std::uint8_t> jingleUtf8 = B("ジングル");

TEST(StringToBytes, WritesCodePage932AndZeroFills)
{
    std::array<std::uint8_t, 32> face{};
    face.fill(0xEE);
    EXPECT_EQ(basic::StringToBytes("  Sans  ", face), 4);
    EXPECT_EQ(std::string(face.begin(), face.begin() + 4), "Sans");
    EXPECT_TRUE(std::all_of(face.begin() + 4, face.end(), [](std::uint8_t b) { return b == 0; }));

    // ゴシック: four double-byte characters; the text is cut, never inside one.
    std::array<std::uint8_t, 5> small{};
    EXPECT_EQ(basic::StringToBytes("ゴシック", small), 8);
    EXPECT_THAT(small, ElementsAre(0x83, 0x53, 0x83, 0x56, 0x00));
}

TEST(BytesToTextLine, StopsAtTheTerminatorOfItsMode)
{
    const auto data = B(std::string("abc\0def", 7));
    EXPECT_EQ(basic::BytesToTextLine(data, 6, basic::TerminatorNul, 0), "abc");
    EXPECT_EQ(basic::BytesToTextLine(data, 6, basic::TerminatorNul, 4), "def");
    EXPECT_EQ(basic::BytesToTextLine(B("abcdef"), 2, basic::TerminatorNone, 0), "abc");
    EXPECT_EQ(basic::BytesToTextLine(B("ab\rcd"), 4, basic::TerminatorCr, 0), "ab");
    // In CR LF mode a lone CR is dropped and a CR at the end still ends the text.
    EXPECT_EQ(basic::BytesToTextLine(B("ab\rc\r\nd"), 6, basic::TerminatorCrLf, 0), "abc");
    EXPECT_EQ(basic::BytesToTextLine(B("ab\r"), 2, basic::TerminatorCrLf, 0), "ab");
    // Bounds never read outside the buffer.
    EXPECT_EQ(basic::BytesToTextLine(B("abc"), 100, basic::TerminatorNone, 0), "abc");
    EXPECT_EQ(basic::BytesToTextLine(B("abc"), 2, basic::TerminatorNone, 5), "");
    EXPECT_EQ(basic::BytesToTextLine({}, 0, basic::TerminatorNone, 0), "");
}

TEST(BytesToTextLine, DecodesLabelsInEitherEncoding)
{
    const auto cp932 = Join({jingleCp932, B("\r\n")});
    EXPECT_EQ(basic::BytesToTextLine(cp932, static_cast<int>(cp932.size()) - 1, basic::TerminatorCrLf, 0), "ジングル");
    const auto utf8 = Join({jingleUtf8, B(std::string(1, '\0'))});
    EXPECT_EQ(basic::BytesToTextLine(utf8, static_cast<int>(utf8.size()) - 1, basic::TerminatorNul, 0), "ジングル");
}

std::vector<std::string> Lines(const std::vector<std::uint8_t>& bytes)
{
    std::vector<std::string> lines{"stale"};
    const int n = basic::BytesToLines(bytes, lines);
    EXPECT_EQ(n, static_cast<int>(lines.size()));
    return lines;
}

TEST(BytesToLines, SplitsAtCrLfOnlyDroppingALoneCrAndKeepingALoneLf)
{
    EXPECT_THAT(Lines(B("a\r\nb\r\n")), ElementsAre("a", "b"));
    EXPECT_THAT(Lines(B("a\r\n\r\nb")), ElementsAre("a", "", "b"));
    EXPECT_THAT(Lines(B("a\nb\n")), ElementsAre("a\nb\n"));
    EXPECT_THAT(Lines(B("a\rb")), ElementsAre("ab"));
    EXPECT_THAT(Lines(B("abc\r")), ElementsAre("abc"));
    EXPECT_THAT(Lines(B("")), ElementsAre());
}

TEST(BytesToLines, TheSameTextInUtf8AndCodePage932GivesTheSameLines)
{
    const auto cp932 = Join({B("title="), jingleCp932, B("\r\ncolor=255\r\n")});
    const auto utf8 = Join({B("title="), jingleUtf8, B("\r\ncolor=255\r\n")});
    EXPECT_THAT(Lines(cp932), ElementsAre("title=ジングル", "color=255"));
    EXPECT_THAT(Lines(utf8), ElementsAre("title=ジングル", "color=255"));
    // A byte order mark says UTF-8, also beside a stray byte, and is no text.
    EXPECT_THAT(Lines(Join({B("\xEF\xBB\xBF"), utf8, B("x=\xE9\r\n")})),
                ElementsAre("title=ジングル", "color=255", "x=\xE9"));
}

} // namespace
