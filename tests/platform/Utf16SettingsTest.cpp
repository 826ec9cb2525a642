// Settings and registry key files in UTF-16, with a byte order mark as an
// editor's "Unicode" save writes them or without one: read and written in
// UTF-16 of their order, or, when they are no UTF-16 text, left whole.
#include "platform/ProfileFile.h"
#include "platform/RegistryFiles.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"
#include "support/StoredTextFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace std::string_literals;
using testsupport::Utf16File;

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
    // a mark, an odd count and UTF-32 too.
    for (const std::string& bytes :
         {good + "\n"s, good + "=\0\x00\xD8"s, Utf16File("[conf]\r\nTitle=", "BE") + "\xDC\x00"s,
          "\xFF\xFE\0\0"s + "[\0\0\0"s, good.substr(2) + "\n"s, "[\0\0\0c\0\0\0o\0\0\0n\0\0\0f\0\0\0]\0\0\0"s}) {
        WriteBytes(ini, bytes);
        EXPECT_EQ(platform::ReadProfileString(ini, "conf", "Title"), std::nullopt);
        const platform::FileUpdate update = platform::WriteProfileString(ini, "conf", "Title", "b");
        EXPECT_FALSE(update.ok);
        EXPECT_NE(update.failure.find("is no UTF-16 text"), std::string::npos) << update.failure;
        EXPECT_EQ(testsupport::ReadText(ini), bytes);

        WriteBytes(keyFile, bytes);
        EXPECT_FALSE(platform::WriteRegistryValue(keyPath, "Title", "b").ok);
        EXPECT_EQ(testsupport::ReadText(keyFile), bytes);
    }
}

TEST_F(Utf16Settings, EightBitTextWithStrayZeroBytesStaysEightBit)
{
    // Three ASCII characters beside zero bytes, not four in a row.
    const std::string bytes = "[conf]\r\nT\0i\0t\0le=東京\r\nPath=/srv/a\0.wav\r\n"s;
    WriteBytes(ini, bytes);
    EXPECT_TRUE(platform::WriteProfileString(ini, "conf", "Added", "x").ok);
    EXPECT_EQ(testsupport::ReadText(ini), bytes + "Added=x\r\n");
}

} // namespace
