// Settings and registry key files in UTF-16, with a byte order mark as an
// editor's "Unicode" save writes them or without one: read and written in
// UTF-16 of their order, or, when they are no UTF-16 text, left whole.
#include "platform/ProfileFile.h"
#include "platform/RegistryFiles.h"
#include "platform/base/TextCodec.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "support/StoredTextFiles.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace std::string_literals;
using testing::HasSubstr;
using testing::Not;
using testsupport::Utf16File;

std::string Unmarked(const std::string& text, const std::string& order)
{
    return Utf16File(text, order).substr(2);
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A settings file and a registry key, each in a scratch place of its own.
class Utf16Settings : public testing::Test {
protected:
    testsupport::ScratchFolder scratch;
    testsupport::ScratchRegistry registry;
    const std::string ini = scratch / "tolv.ini";
    const std::string keyPath = "Software\\Quorvant\\tolv";
    const std::string keyFile = *platform::RegistryKeyFile(keyPath);
    // first is the text's first line.
    void SetsInItsOrder(const std::string& text, const std::string& first, const std::string& value);
};

TEST_F(Utf16Settings, AChangedValueIsWrittenInTheFilesOrderAndEveryOtherLineKeepsItsBytes)
{
    // Some tools save UTF-16 without a mark: such a file stays without one.
    for (const std::string form : {"LE", "BE", "LE unmarked", "BE unmarked"}) {
        const std::string order = form.substr(0, 2);
        const auto InForm = [&](const std::string& text) {
            return Utf16File(text, order).substr(form.ends_with("unmarked") ? 2 : 0);
        };
        WriteBytes(ini, InForm("; 設定\r\n[conf]\r\nTitle=東京 🎵\r\nPath=/srv/mixér\r\n[other]\nPath=x"));
        EXPECT_EQ(platform::ReadProfileString(ini, "conf", "Title"), "東京 🎵");
        EXPECT_EQ(platform::ReadProfileString(ini, "other", "Path"), "x");
        EXPECT_TRUE(platform::WriteProfileString(ini, "conf", "Path", "/srv/テーマ.txt").ok);
        EXPECT_TRUE(platform::WriteProfileString(ini, "other", "Name", "Łódź").ok);
        EXPECT_EQ(
            testsupport::ReadText(ini),
            InForm("; 設定\r\n[conf]\r\nTitle=東京 🎵\r\nPath=/srv/テーマ.txt\r\n[other]\nPath=x\r\nName=Łódź\r\n"))
            << form;

        WriteBytes(keyFile, InForm("# ключ\r\nTitle=中文文本\r\nLast=a\r\n"));
        EXPECT_EQ(platform::ReadRegistryValue(keyPath, "Title"), "中文文本");
        EXPECT_TRUE(platform::WriteRegistryValue(keyPath, "Last", "😀.txt").ok);
        EXPECT_TRUE(platform::DeleteRegistryValue(keyPath, "Title").ok);
        EXPECT_EQ(testsupport::ReadText(keyFile), InForm("# ключ\r\nLast=😀.txt\r\n")) << form;
    }
}

TEST_F(Utf16Settings, AFileThatLooksUtf16ButIsNoUtf16TextIsLeftWhole)
{
    const std::string good = Utf16File("[conf]\r\nTitle=a\r\n", "LE");
    // An odd byte count, lone surrogates of either half, and UTF-32; without
    // a mark, an odd count, a lone surrogate and UTF-32 too, which are then
    // no UTF-16 at all but 8-bit text with zero bytes.
    for (const std::string& bytes :
         {good + "\n"s, good + "=\0\x00\xD8"s, Utf16File("[conf]\r\nTitle=", "BE") + "\xDC\x00"s,
          "\xFF\xFE\0\0"s + "[\0\0\0"s, good.substr(2) + "\n"s, good.substr(2) + "\x00\xD8"s,
          "[\0\0\0c\0\0\0o\0\0\0n\0\0\0f\0\0\0]\0\0\0"s}) {
        WriteBytes(ini, bytes);
        EXPECT_EQ(platform::ReadProfileString(ini, "conf", "Title"), std::nullopt);
        const platform::FileUpdate update = platform::WriteProfileString(ini, "conf", "Title", "b");
        EXPECT_FALSE(update.ok);
        EXPECT_THAT(update.failure, HasSubstr(bytes.starts_with("[") ? "zero bytes" : "is no UTF-16 text"));
        EXPECT_EQ(testsupport::ReadText(ini), bytes);

        WriteBytes(keyFile, bytes);
        EXPECT_FALSE(platform::WriteRegistryValue(keyPath, "Title", "b").ok);
        EXPECT_EQ(testsupport::ReadText(keyFile), bytes);
    }
}

TEST_F(Utf16Settings, AMarkDecidesAndEightBitTextWithZeroBytesIsNeverWrittenOver)
{
    const std::string utf8 = "[conf]\r\nTitle=Café\r\n";
    const std::string cp932 = textcodec::EncodeCp932("[conf]\r\nTitle=東京\r\n");
    // Title as the 8-bit lines hold it, and the file: a UTF-16 line added by
    // another tool (whose bytes never tell the 8-bit lines' encoding), with
    // and without a UTF-8 mark, beside ISO 8859-1 or lines ended by a CR alone,
    // before code page 932 lines that the mark makes UTF-8, and after a mark what
    // without it would read as UTF-16 whole; a code page 932 file
    // whose going-over to UTF-8 read as UTF-16; a crash's zeros around "["
    // and "=" in UTF-16 places.
    for (const auto& [title, bytes] : std::vector<std::pair<std::optional<std::string>, std::string>>{
             {"Café", "\xEF\xBB\xBF" + utf8 + Unmarked("Added=x\r\n", "LE")},
             {std::nullopt, "\xEF\xBB\xBF[conf] " + Unmarked("\r\nTitle=x\r\n", "LE")},
             {"Café", utf8 + Unmarked("[x]\r\nAdded=x\r\n", "BE")},
             {"Café", utf8 + Unmarked("曲=朝のニュース\r\n", "LE")},
             {"S縊 Paulo", "[conf]\r\nTitle=S\xE3o Paulo\r\n" + Unmarked("A=1\r\n", "LE")},
             {"東京", textcodec::EncodeCp932("[conf]\rTitle=東京\r") + Unmarked("A=1\r\n", "LE")},
             {"\x93\x8C\x8B\x9E", "\xEF\xBB\xBF" + Unmarked("; x\r\n", "BE") + cp932},
             {"東京", cp932 + Unmarked("A=1\r\n", "LE") + textcodec::EncodeCp932("Name=東\r\n") +
                          Unmarked("B=2\r\n", "LE") + "x"},
             {std::nullopt, "\0\0[\0\0\0=\0\0\0"s}}) {
        WriteBytes(ini, bytes);
        EXPECT_EQ(platform::ReadProfileString(ini, "conf", "Title"), title);
        const platform::FileUpdate update = platform::WriteProfileString(ini, "conf", "Title", "Café 2");
        EXPECT_FALSE(update.ok);
        EXPECT_THAT(update.failure, HasSubstr("zero bytes"));
        EXPECT_EQ(testsupport::ReadText(ini), bytes);
        WriteBytes(keyFile, bytes);
        EXPECT_FALSE(platform::WriteRegistryValue(keyPath, "Title", "b").ok);
        EXPECT_EQ(testsupport::ReadText(keyFile), bytes);
    }
}

// Key files without a mark, in both orders, written and read back as UTF-16.
void Utf16Settings::SetsInItsOrder(const std::string& text, const std::string& first, const std::string& value)
{
    for (const std::string order : {"LE", "BE"}) {
        WriteBytes(keyFile, Unmarked(text, order));
        EXPECT_EQ(platform::ReadRegistryValue(keyPath, first.substr(0, first.find('='))),
                  first.substr(first.find('=') + 1))
            << order;
        EXPECT_TRUE(platform::WriteRegistryValue(keyPath, "New", value).ok) << order;
        EXPECT_EQ(testsupport::ReadText(keyFile), Unmarked(text + "New=" + value + "\r\n", order)) << order;
    }
}

TEST_F(Utf16Settings, ShortAndJapaneseNamesAreUtf16)
{
    SetsInItsOrder("a=1\r\n", "a=1", "x");
    SetsInItsOrder("ab=2\r\nb=3\r\nabc=4\r\n", "ab=2", "x");
    SetsInItsOrder("a=朝のニュース\r\nb=音楽\r\n", "a=朝のニュース", "x");
    // Keys that are no ASCII name make no settings line: such a file is read
    // in the likelier order, and takes no change.
    for (const std::string order : {"LE", "BE"}) {
        WriteBytes(keyFile, Unmarked("朝=朝のニュース\r\n夜=音楽\r\n", order));
        EXPECT_EQ(platform::ReadRegistryValue(keyPath, "夜"), "音楽");
        EXPECT_FALSE(platform::WriteRegistryValue(keyPath, "New", "x").ok) << order;
        EXPECT_EQ(testsupport::ReadText(keyFile), Unmarked("朝=朝のニュース\r\n夜=音楽\r\n", order));
    }
}

TEST_F(Utf16Settings, CharactersEndingInAZeroByteNeverTellTheOrder)
{
    SetsInItsOrder("a=　　　一一一\r\n", "a=　　　一一一", "　一　一");
    // Without a line end, "a" and "=" are all the ASCII there is: what two
    // stray zero bytes in 8-bit text make. It takes no change.
    for (const std::string order : {"LE", "BE"}) {
        WriteBytes(keyFile, Unmarked("a=　　　一一一", order));
        EXPECT_FALSE(platform::WriteRegistryValue(keyPath, "New", "x").ok) << order;
        EXPECT_EQ(testsupport::ReadText(keyFile), Unmarked("a=　　　一一一", order));
    }
}

TEST_F(Utf16Settings, AValueThatWouldLeaveTheOrderUntoldIsRefusedAndNoMarkAdded)
{
    WriteBytes(keyFile, Unmarked("a=1\r\n", "LE"));
    const platform::FileUpdate update = platform::WriteRegistryValue(keyPath, "b", "ਪੰਜਾਬ");
    EXPECT_FALSE(update.ok);
    EXPECT_THAT(update.failure, HasSubstr("without a byte order mark"));
    EXPECT_EQ(testsupport::ReadText(keyFile), Unmarked("a=1\r\n", "LE"));
}

TEST_F(Utf16Settings, AOneLineFileIsReadAndWrittenInTheOrderItsAsciiTextTells)
{
    // U+5B00, U+3D00, U+0A00 and U+0D00 are "[", "=", LF and CR in the
    // other order, which a value without a line end cannot rule out: the
    // key and its "=" outweigh them. (Files as likely either way: Utf16Order.)
    for (const std::string order : {"LE", "BE"}) {
        for (const std::string text : {"FOTime=嬁嬀㴀", "FOTime=਀ഀ㴀嬀", "ab=਀"}) {
            const std::string bytes = Unmarked(text, order);
            const std::string key = text.substr(0, text.find('='));
            WriteBytes(keyFile, bytes);
            WriteBytes(ini, bytes);
            EXPECT_EQ(platform::ReadRegistryValue(keyPath, key), text.substr(text.find('=') + 1));
            EXPECT_TRUE(platform::WriteRegistryValue(keyPath, "New", "x").ok) << order << " " << text;
            EXPECT_TRUE(platform::WriteProfileString(ini, "conf", "New", "x").ok) << order << " " << text;
            EXPECT_EQ(testsupport::ReadText(keyFile), Unmarked(text + "\nNew=x\n", order)) << order << " " << text;
            EXPECT_EQ(testsupport::ReadText(ini), Unmarked(text + "\n[conf]\nNew=x\n", order))
                << order << " " << text;
        }
        // Ordinary values without a line end tell it too.
        WriteBytes(keyFile, Unmarked("FOTime=東京 1500", order));
        EXPECT_EQ(platform::ReadRegistryValue(keyPath, "FOTime"), "東京 1500") << order;
        EXPECT_TRUE(platform::WriteRegistryValue(keyPath, "New", "x").ok) << order;
        EXPECT_EQ(testsupport::ReadText(keyFile), Unmarked("FOTime=東京 1500\nNew=x\n", order));
    }
}

TEST_F(Utf16Settings, ADeleteThatWouldJoinTwoLineEndsSaysSo)
{
    // Also where the join comes only with the going-over to UTF-8 that the
    // delete calls for: without "東京", "ﾂｱ" reads as the UTF-8 of "±".
    for (const std::string& bytes : {"A=1\rDel=2\n\nB=3\n"s, textcodec::EncodeCp932("A=ﾂｱ\rDel=東京\n\nB=3\n")}) {
        WriteBytes(keyFile, bytes);
        const platform::FileUpdate update = platform::DeleteRegistryValue(keyPath, "Del");
        EXPECT_FALSE(update.ok);
        EXPECT_THAT(update.failure, HasSubstr("CR alone"));
        EXPECT_THAT(update.failure, Not(HasSubstr("code page 932")));
        EXPECT_EQ(testsupport::ReadText(keyFile), bytes);
    }
}

} // namespace
