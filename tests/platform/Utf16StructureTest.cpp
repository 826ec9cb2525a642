// UTF-16 settings files without a byte order mark: their order is the one in
// which they read as settings lines, never one a count of characters gives.
// A save writes in the file's true order or not at all, whatever character
// the file holds, and 8-bit text with a stray zero byte is never UTF-16.
#include "platform/ProfileDocument.h"
#include "platform/RegistryKeyDocument.h"
#include "platform/base/TextCodec.h"
#include "platform/base/Utf16Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <future>
#include <iostream>
#include <random>

namespace {

using namespace std::string_literals;
using textcodec::Utf16Order;
constexpr std::array<Utf16Order, 2> Orders{Utf16Order::LittleEndian, Utf16Order::BigEndian};

std::span<const std::uint8_t> Bytes(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Code units, lone surrogates too, as bytes of the order.
std::string InOrder(std::u16string_view units, Utf16Order order)
{
    std::string bytes;
    for (const char16_t unit : units) {
        const auto high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += order == Utf16Order::LittleEndian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

enum class Outcome { TrueOrder, InDoubt, EightBit, Wrong };

// Decides the order of bytes whose true order is given: that order (a byte
// order mark's where they start with one), in doubt, or 8-bit text. Bytes
// read in an order without doubt take New=x in that order, or refuse it;
// in doubt they take nothing, and 8-bit text no UTF-16 (TextLines).
Outcome DecideAndSave(const std::string& bytes, Utf16Order order)
{
    const auto [read, inDoubt] = textcodec::JudgeUtf16(Bytes(bytes));
    if (!read || inDoubt) {
        return read ? Outcome::InDoubt : Outcome::EightBit;
    }
    const std::optional<Utf16Order> mark = textcodec::Utf16ByteOrderMark(Bytes(bytes));
    platform::TextLines lines(bytes);
    lines.Insert(lines.Count(), "New=x");
    const std::string after = lines.Bytes().substr(mark ? textcodec::Utf16MarkSize : 0);
    const std::optional<std::string> text = textcodec::DecodeUtf16(Bytes(after), *read).text;
    const bool written = lines.Bytes() == bytes || (text && text->find("New=x") != std::string::npos);
    return read == mark.value_or(order) && written ? Outcome::TrueOrder : Outcome::Wrong;
}

using Outcomes = std::pair<std::array<std::size_t, 4>, std::string>; // each outcome's count; the first wrong file

// Every character of the Basic Multilingual Plane from first on (surrogates
// as code units), n = 1, 3 and 40 times in a comment, a value, a file and a
// line of their own, in both orders.
Outcomes DecideAndSaveEach(std::uint32_t first, std::uint32_t count)
{
    Outcomes outcomes;
    for (const Utf16Order order : Orders) {
        for (const auto& [before, after] : {std::pair(u"; "s, u"\r\n[conf]\r\nTitle=朝のニュース\r\n"s),
                                            {u"Key="s, u""s}, {u""s, u""s}, {u""s, u"\r\nTitle=朝のニュース\r\n"s}}) {
            const std::string head = InOrder(before, order), tail = InOrder(after, order);
            for (std::uint32_t c = first; c < first + count; ++c) {
                const std::string unit = InOrder(std::u16string(1, static_cast<char16_t>(c)), order);
                for (const std::size_t n : {1, 3, 40}) {
                    std::string bytes = head;
                    for (std::size_t i = 0; i < n; ++i) {
                        bytes += unit;
                    }
                    bytes += tail;
                    const Outcome outcome = DecideAndSave(bytes, order);
                    ++outcomes.first[static_cast<std::size_t>(outcome)];
                    if (outcome == Outcome::Wrong && outcomes.second.empty()) {
                        outcomes.second = std::to_string(c) + " x" + std::to_string(n) + ": " + bytes;
                    }
                }
            }
        }
    }
    return outcomes;
}

TEST(Utf16Structure, NoCharacterMakesAFileReadOrWrittenInTheOtherOrder)
{
    std::vector<std::future<Outcomes>> parts;
    for (std::uint32_t first = 0; first < 0x10000; first += 0x4000) {
        parts.push_back(std::async(std::launch::async, DecideAndSaveEach, first, 0x4000));
    }
    Outcomes all;
    for (std::future<Outcomes>& part : parts) {
        const Outcomes outcomes = part.get();
        std::transform(all.first.begin(), all.first.end(), outcomes.first.begin(), all.first.begin(), std::plus());
        all.second += outcomes.second;
    }
    std::cout << "true order " << all.first[0] << ", in doubt " << all.first[1] << ", 8-bit " << all.first[2] << "\n";
    EXPECT_EQ(all.first[3], 0U) << testing::PrintToString(all.second);
}

// Realistic 8-bit settings files of one to six lines, with a zero byte or
// two put in or written over at every place.
TEST(Utf16Structure, EightBitTextWithOneOrTwoZeroBytesIsNeverUtf16)
{
    const std::array<std::array<std::string, 6>, 3> texts{{
        {"[conf]", "Sponsor=朝のニュース", "; 番組の設定", "NumOut=2", "Path=/srv/ジングル_朝.wav", "Title=ﾗｼﾞｵ 東京"},
        {"[conf]", "Title=Caf\xE9 Noir", "; r\xE9glages", "NumOut=2", "Sponsor=M\xFCller & S\xF6hne", "Path=/\xE9t\xE9"},
        {"[conf]", "Title=Café 東京", "Sponsor=朝のニュース", "; Grüße", "NumOut=2", "Path=/srv/ジングル.wav"}}};
    for (std::size_t encoding = 0; encoding < texts.size(); ++encoding) {
        for (std::size_t lines = 1; lines <= 6; ++lines) {
            std::string file;
            for (std::size_t i = 0; i < lines; ++i) {
                file += texts[encoding][(i + lines) % 6] + (lines % 2 == 0 ? "\r\n" : "\n");
            }
            file = encoding == 0 ? textcodec::EncodeCp932(file) : file;
            for (std::size_t i = 0; i <= file.size(); ++i) {
                for (std::size_t j = i; j <= file.size() + 1; ++j) {
                    for (const bool over : {false, true}) {
                        std::string bytes = file;
                        const auto zero = [&](std::size_t at) {
                            over && at < bytes.size() ? void(bytes[at] = '\0') : void(bytes.insert(at, 1, '\0'));
                        };
                        zero(i);
                        if (j > i && j <= bytes.size()) {
                            zero(j);
                        }
                        ASSERT_FALSE(textcodec::Utf16TextOrder(Bytes(bytes))) << bytes;
                        platform::ProfileDocument document(bytes);
                        document.Set("conf", "New", "x");
                        ASSERT_EQ(document.Bytes(), bytes);
                    }
                }
            }
        }
    }
}

// A rule of box-drawing characters (U+2500 reads as "%" in the other order)
// or a character ending in a zero byte, in a comment or a value, leaves the
// order to the lines: read and saved in it.
TEST(Utf16Structure, ARuleOrACharacterEndingInAZeroByteLeavesTheOrderToTheLines)
{
    for (const Utf16Order order : Orders) {
        for (const auto& [text, title] : {std::pair(u"; ────────────────────────────────\r\n[conf]\r\nTitle=朝\r\n"s, "朝"),
                                          {u"; ☀ 戀 攀 搀 椀\r\n[conf]\r\nTitle=───────\r\n"s, "───────"}}) {
            platform::ProfileDocument document(InOrder(text, order));
            EXPECT_EQ(document.Find("conf", "Title"), title);
            ASSERT_TRUE(document.Set("conf", "NumOut", "2"));
            EXPECT_EQ(document.Bytes(), InOrder(text + u"NumOut=2\r\n", order));
        }
        platform::RegistryKeyDocument key(InOrder(u"Note=───────", order));
        EXPECT_EQ(key.Find("Note"), "───────");
        ASSERT_TRUE(key.Set("NumOut", "2"));
        EXPECT_EQ(key.Bytes(), InOrder(u"Note=───────\nNumOut=2\n", order));
    }
}

// A stray zero byte beside a line end or "=" leaves 8-bit text 8-bit: read
// as it is (ISO 8859-1 as code page 932, as without it), taking no save.
TEST(Utf16Structure, AStrayZeroByteLeavesEightBitTextReadAsItIs)
{
    for (const auto& [value, read] : {std::pair(textcodec::EncodeCp932("朝のニュース"), "朝のニュース"s),
                                      {"M\xFCller"s, "M\xEF\xBF\xBDller"s}, {"朝のニュース"s, "朝のニュース"s}}) {
        for (const std::string& bytes :
             {"[conf]\nSponsor=" + value + "\0\nNumOut=2\n"s, "[conf]\r\nSponsor=\0"s + value + "\r\nNumOut=2\r\n"}) {
            EXPECT_FALSE(textcodec::Utf16TextOrder(Bytes(bytes))) << bytes;
            platform::ProfileDocument document(bytes);
            EXPECT_EQ(document.Find("conf", "Sponsor"), bytes.find("=\0"s) != bytes.npos ? "\0"s + read : read + "\0"s);
            EXPECT_FALSE(document.Set("conf", "New", "x"));
            EXPECT_EQ(document.Bytes(), bytes);
        }
    }
}

// Key files of ordinary values whose characters read as common ones in the
// other order ("S" as 匀, "0" as the ideographic space), beside a character
// that ends in a zero byte, are told by their lines, not held in doubt.
TEST(Utf16Structure, OrdinaryValuesAreNotHeldInDoubt)
{
    for (const Utf16Order order : Orders) {
        for (const std::u16string& text : {u"S=0☀"s, u"X=Q─"s, u"g0=}戀"s}) {
            const std::string bytes = InOrder(text, order);
            EXPECT_FALSE(textcodec::Utf16OrderInDoubt(Bytes(bytes)));
            platform::RegistryKeyDocument key(bytes);
            const std::string utf8 = *textcodec::DecodeUtf16(Bytes(bytes), order).text;
            EXPECT_EQ(key.Find(utf8.substr(0, utf8.find('='))), utf8.substr(utf8.find('=') + 1));
            ASSERT_TRUE(key.Set("New", "x"));
            EXPECT_EQ(key.Bytes(), bytes + InOrder(u"\nNew=x\n", order));
        }
    }
}

// Realistic settings and key files: Japanese values with sound names,
// Chinese and Korean ones, ASCII only, rule comments, up to 200 lines.
std::u16string RealisticFile(std::mt19937& random)
{
    static const std::array<std::u16string, 12> values{
        u"朝のニュース", u"/srv/ジングル_朝.wav", u"天气预报", u"新闻联播", u"아침 뉴스", u"음악_01.wav",
        u"Morning News", u"1500", u"0", u"&H00FF00", u"ＢＧＭ　リスト", u"☀ 晴れ 戀"};
    static const std::array<std::u16string, 8> keys{u"Title",     u"NumOut",  u"FOTime",     u"OutName_1",
                                                    u"Sound_12", u"Sponsor", u"PlayerType", u"WindowLeft"};
    static const std::array<std::u16string, 4> rules{u"; ────────────", u"; ━━━ 出力 ━━━", u"; ==== outputs",
                                                     u"# 설정"};
    const auto below = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    const std::u16string end = below(2) == 0 ? u"\r\n" : u"\n";
    const std::size_t kind = below(4); // 0 ASCII only, 1 key file, else settings
    std::u16string file = kind == 1 ? u"" : u"[conf]" + end;
    for (std::size_t line = 0, lines = std::array<std::size_t, 3>{1, 12, 200}[below(3)]; line < lines; ++line) {
        std::u16string value = values[kind == 0 ? 6 + below(4) : below(values.size())];
        for (std::size_t n = below(4); kind > 1 && n > 0; --n) {
            value += static_cast<char16_t>(below(2) == 0 ? 0x4E00 + below(0x51A6) : 0xAC00 + below(0x2BA4));
        }
        file += below(10) == 0 && kind != 0 && line > 0 ? rules[below(rules.size())] + end
                : below(15) == 0            ? u"[out" + std::u16string(1, static_cast<char16_t>(u'1' + below(4))) + u"]" + end
                                            : keys[below(keys.size())] + u"=" + value + end;
    }
    return below(5) == 0 ? file.substr(0, file.size() - end.size()) : file;
}

TEST(Utf16Structure, RealisticFilesAreReadAndSavedInTheirOrderNoneInDoubt)
{
    std::mt19937 random(111);
    std::array<std::size_t, 4> outcomes{};
    for (int i = 0; i < 1000; ++i) {
        const std::u16string text = RealisticFile(random);
        for (const Utf16Order order : Orders) {
            ++outcomes[static_cast<std::size_t>(DecideAndSave(InOrder(text, order), order))];
        }
    }
    std::cout << "of 2,000: true order " << outcomes[0] << ", in doubt " << outcomes[1] << ", 8-bit " << outcomes[2]
              << ", wrong " << outcomes[3] << "\n";
    EXPECT_EQ(outcomes[0], 2000U);
}

} // namespace
