#include "platform/base/TextCodec.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::span<const std::uint8_t> Bytes(const std::vector<std::uint8_t>& v)
{
    return {v.data(), v.size()};
}

// "あア" in code page 932.
const std::vector<std::uint8_t> cp932Text = {0x82, 0xA0, 0x83, 0x41};

TEST(TextCodec, DetectsUtf8AndFallsBackToCodePage932)
{
    EXPECT_EQ(textcodec::Detect(Bytes(cp932Text)), textcodec::Encoding::Cp932);
    EXPECT_EQ(textcodec::Decode(Bytes(cp932Text)), "あア");
    const std::string utf8 = "あア";
    const std::vector<std::uint8_t> utf8Bytes(utf8.begin(), utf8.end());
    EXPECT_EQ(textcodec::Detect(Bytes(utf8Bytes)), textcodec::Encoding::Utf8);
    EXPECT_EQ(textcodec::Decode(Bytes(utf8Bytes)), "あア");
    // Overlong forms and surrogates are not UTF-8.
    EXPECT_FALSE(textcodec::IsValidUtf8(std::string_view("\xC0\x80", 2)));
    EXPECT_FALSE(textcodec::IsValidUtf8(std::string_view("\xED\xA0\x80", 3)));
    EXPECT_FALSE(textcodec::IsValidUtf8(std::string_view("\xE3\x81", 2)));
}

TEST(TextCodec, RoundTripsJapaneseAndReplacesWhatCannotBeHeld)
{
    const std::string encoded = textcodec::EncodeCp932("あア");
    EXPECT_EQ(std::vector<std::uint8_t>(encoded.begin(), encoded.end()), cp932Text);
    EXPECT_EQ(textcodec::EncodeCp932("a\xF0\x9F\x8E\xB5z"), "a?z");
    // A broken double-byte character at the end becomes one replacement mark.
    const std::vector<std::uint8_t> cut = {0x41, 0x82};
    EXPECT_EQ(textcodec::DecodeCp932(Bytes(cut)), "A\xEF\xBF\xBD");
}

TEST(TextCodec, CountsAndCutsWholeCharacters)
{
    EXPECT_EQ(textcodec::Utf8Length("aあb"), 3u);
    EXPECT_EQ(textcodec::Utf8Left("aあb", 2), "aあ");
    EXPECT_EQ(textcodec::Utf8Right("aあb", 2), "あb");
    EXPECT_EQ(textcodec::Utf8CutBytes("aあb", 3), "a");
    EXPECT_EQ(textcodec::Utf8CutBytes("aあb", 4), "aあ");
}

} // namespace
