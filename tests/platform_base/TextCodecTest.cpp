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

TEST(TextCodec, IsolatedStrayBytesLeaveUtf8AsUtf8)
{
    const auto detect = [](std::string_view text) {
        return textcodec::DetectDespiteStrayBytes(
            std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    };
    using textcodec::Encoding;
    EXPECT_EQ(detect("//srv/音/ニュース.wav"), Encoding::Utf8);
    EXPECT_EQ(detect("//srv/音/ニュース\xFF.wav\r\n//srv/音/b.wav"), Encoding::Utf8);
    EXPECT_EQ(detect("音\x80ニ\xC3ュ"), Encoding::Utf8) << "each stray byte alone";
    // One damaged character of two bytes is still one.
    EXPECT_EQ(detect("音\xFF\xFEニュース"), Encoding::Utf8);
    // Stray bytes with no UTF-8 character to outweigh them: code page 932.
    EXPECT_EQ(detect("plain\xFF.wav"), Encoding::Cp932);
    EXPECT_EQ(detect(textcodec::EncodeCp932("//srv/音/ニュース.wav")), Encoding::Cp932);
    // Half-width katakana pairs can look like UTF-8; the kanji around them cannot.
    EXPECT_EQ(detect(textcodec::EncodeCp932("ﾃｽﾄ音声ファイル")), Encoding::Cp932);
    EXPECT_EQ(detect(textcodec::EncodeCp932("ﾃｽ")), Encoding::Utf8) << "a pair that is UTF-8 is UTF-8";
    // Pairs that are two-byte UTF-8 characters do not outweigh a byte that does not pair.
    EXPECT_EQ(detect(textcodec::EncodeCp932("BankName=ﾃｰﾏｿﾝ\r\n")), Encoding::Cp932);
    EXPECT_EQ(detect(""), Encoding::Utf8);
}

TEST(TextCodec, EuropeanUtf8AndAByteOrderMarkOutweighOneDamagedCharacter)
{
    const auto judge = [](std::string_view text) {
        return textcodec::Judge(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    };
    using textcodec::Encoding;
    // Its two-byte characters read as half-width katakana too, and the stray
    // byte forms a code page 932 kanji with the letter after it.
    const std::string european = "BankName=Café Crème\r\nMixerApp=/srv/mixer±30°\r\nNote=\xE9t\r\n";
    EXPECT_EQ(judge(european).encoding, Encoding::Utf8);
    EXPECT_EQ(judge("\xEF\xBB\xBF"
                    "A=\x81\x82\r\n")
                  .encoding,
              Encoding::Utf8);
    EXPECT_TRUE(judge("\xEF\xBB\xBF"
                      "A=\x81\x82\r\n")
                    .certain);
    // Kanji and half-width katakana that form UTF-8 by chance: the characters
    // they form mix scripts (Myanmar, Georgian) inside one word.
    EXPECT_EQ(judge(textcodec::EncodeCp932("BankName=痼ｨ痺ｶ\r\n")).encoding, Encoding::Cp932);
    EXPECT_EQ(judge("BankName=ქართული\r\n").encoding, Encoding::Utf8);
}

// Accented letters of UTF-8 and of ISO 8859-1 read as code page 932 glue
// kanji or half-width katakana into lowercase words: chance, never a certain
// code page 932 reading. Katakana after capital abbreviations, NEC special
// characters and IBM extension kanji are Japanese text.
TEST(TextCodec, CodePage932GluedIntoLowercaseWordsIsChance)
{
    const auto judge = [](std::string_view text) {
        return textcodec::Judge(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    };
    using textcodec::Encoding;
    for (const std::string_view latin1 : {"BankName=Cr\xE8"
                                          "me\r\n",
                                          "BankName=fa\xE7"
                                          "ade\r\n",
                                          "A=Se\xF1or\r\n",
                                          "A=\xC9"
                                          "cole\r\nB=\xBD \xBC\r\n"}) {
        const textcodec::Judgement judgement = judge(latin1);
        EXPECT_FALSE(judgement.certain && judgement.encoding == Encoding::Cp932) << latin1;
    }
    for (const std::string_view utf8 :
         {"BankName=Café\r\nA=/srv/\xC4rger.wav\r\n", "BankName=Café\r\nA=/srv/M\xFCller.wav\r\n",
          "BankName=Crème brûlée\r\nA=/srv/\xE9t\xE9.wav\r\n"}) {
        EXPECT_EQ(judge(utf8).encoding, Encoding::Utf8) << utf8;
    }
    for (const std::string_view japanese : {"BankName=BGMﾘｽﾄ\r\n", "BankName=DJﾄｰｸ\r\n", "BankName=CDﾌﾟﾚｰﾔｰ\r\n",
                                            "Sponsor=㈱ABC Radio\r\n", "A=①\r\n", "A=平成㍻\r\n", "A=髙橋\r\n"}) {
        EXPECT_EQ(judge(textcodec::EncodeCp932(japanese)).encoding, Encoding::Cp932) << japanese;
    }
}

// Words of one script, as people write them, are UTF-8 for certain, whatever
// the script. A file in another code page is never code page 932 for certain,
// and neither reading gives it text of its own: a writer adds it no line that
// is not ASCII.
TEST(TextCodec, WrittenWordsAreCertainUtf8AndOtherCodePagesHaveNoReadingOfTheirOwn)
{
    const auto judge = [](std::string_view text) {
        return textcodec::Judge(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    };
    using textcodec::Encoding;
    for (const std::string_view utf8 : {"Title=Sơn Tùng\r\n", "A=Nǐ hǎo\r\n", "A=Azərbaycan\r\n", "A=ɗan Hausa\r\n",
                                        "A=Hawaiʻi\r\n", "A=Łódź\r\n", "A=Привет\r\n", "A=Αθήνα\r\n"}) {
        const textcodec::Judgement judgement = judge(utf8);
        EXPECT_TRUE(judgement.encoding == Encoding::Utf8 && judgement.certain) << utf8;
    }
    // ISO 8859-1 "São", "João", "Açores" and "Não": a kanji glued between
    // Latin letters; Windows-1252 "€ 100" and “Ao vivo”.
    for (const std::string_view other : {"BankName=S\xE3o Paulo\r\n", "A=Jo\xE3o\r\n", "A=A\xE7ores\r\n",
                                         "A=N\xE3o\r\n", "A=\x80 100\r\n", "A=\x93" "Ao vivo\x94\r\n"}) {
        const textcodec::Judgement judgement = judge(other);
        EXPECT_FALSE(judgement.certain) << other;
        EXPECT_FALSE(judgement.supported) << other;
    }
    // One accented word and one stray Latin-1 byte elsewhere: UTF-8.
    EXPECT_EQ(judge("A=Ça va\r\nB=/srv/Gr\xFCn 2.wav\r\n").encoding, Encoding::Utf8);
    EXPECT_EQ(judge("A=Ça va\r\nB=\xDC" "berweg\r\n").encoding, Encoding::Utf8);
    // Half-width katakana that form letters with no ASCII letter beside them
    // ("ķɻ", "ĺ̮", "жл") are never UTF-8 for certain, and Japanese read as
    // UTF-8 in doubt takes no UTF-8 line.
    for (const std::string_view japanese : {"A=ﾄｷﾉｻ\r\n", "A=ﾄｺﾌｮ\r\n", "A=ﾐｶﾐｻ\r\n", "A=陸対寂凌\r\n"}) {
        const textcodec::Judgement judgement = judge(textcodec::EncodeCp932(japanese));
        EXPECT_TRUE(judgement.encoding == Encoding::Cp932 || !judgement.supported) << japanese;
    }
    // Full-width katakana glued to an abbreviation is Japanese text.
    const textcodec::Judgement album = judge(textcodec::EncodeCp932("A=CDアルバム\r\nB=DJトーク\r\n"));
    EXPECT_TRUE(album.encoding == Encoding::Cp932 && album.certain);
    EXPECT_TRUE(judge(textcodec::EncodeCp932("A=ﾆｭｰｽ\r\n")).supported);
}

TEST(TextCodec, WholeFileDecodingDropsTheByteOrderMark)
{
    const std::string_view marked = "\xEF\xBB\xBF\x83\x41";
    EXPECT_EQ(textcodec::Decode(std::span(reinterpret_cast<const std::uint8_t*>(marked.data()), marked.size())),
              "\x83\x41");
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
