// Windows shortcut files read without any shell: targets by share or drive,
// and bytes that are not a shortcut.
#include "cache/ShortcutFile.h"
#include "ShortcutBuilder.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace {

using cache::shortcut::MapTarget;
using cache::shortcut::ReadTarget;
using cache::shortcut::ResolveShortcut;

TEST(ShortcutFile, ANetworkTargetBecomesAServerPath)
{
    ShortcutBuilder link;
    link.netName = "\\\\studio\\sounds";
    link.suffix = "jingles\\open.wav";
    EXPECT_EQ(ReadTarget(link.Build()), "\\\\studio\\sounds\\jingles\\open.wav");
    EXPECT_EQ(MapTarget("\\\\studio\\sounds\\jingles\\open.wav"), "//studio/sounds/jingles/open.wav");

    // The share itself, with no suffix.
    link.suffix = "";
    EXPECT_EQ(ReadTarget(link.Build()), "\\\\studio\\sounds");
}

TEST(ShortcutFile, AMappedDriveIsReadAsItsShare)
{
    ShortcutBuilder link;
    link.localBase = "Z:\\";
    link.netName = "\\\\studio\\sounds";
    link.suffix = "a.wav";
    EXPECT_EQ(ReadTarget(link.Build()), "\\\\studio\\sounds\\a.wav");
}

TEST(ShortcutFile, ADriveLetterTargetHasNoMeaningHere)
{
    ShortcutBuilder link;
    link.localBase = "C:\\sounds\\";
    link.suffix = "a.wav";
    link.withItemList = false;
    EXPECT_EQ(ReadTarget(link.Build()), "C:\\sounds\\a.wav");
    EXPECT_EQ(MapTarget("C:\\sounds\\a.wav"), "");
    EXPECT_EQ(MapTarget("\\\\?\\C:\\sounds"), "");
    EXPECT_EQ(MapTarget("\\\\?\\UNC\\host\\share\\x"), "//host/share/x");
    EXPECT_EQ(MapTarget("\\\\"), "");
    EXPECT_EQ(MapTarget("relative\\a.wav"), "");
}

TEST(ShortcutFile, UnicodeStringsWinOverTheirCodePageForms)
{
    ShortcutBuilder link;
    link.unicode = true;
    link.netName = "\\\\放送\\素材";
    link.suffix = "ジングル\\開始.wav";
    EXPECT_EQ(ReadTarget(link.Build()), "\\\\放送\\素材\\ジングル\\開始.wav");

    ShortcutBuilder local;
    local.unicode = true;
    local.localBase = "D:\\音\\";
    local.suffix = "a.wav";
    EXPECT_EQ(ReadTarget(local.Build()), "D:\\音\\a.wav");
}

TEST(ShortcutFile, BytesThatAreNoShortcutGiveNothing)
{
    ShortcutBuilder link;
    link.netName = "\\\\studio\\sounds";
    link.suffix = "a.wav";
    const std::vector<std::uint8_t> whole = link.Build();
    // Every cut of a good file, and every byte of it spoiled in turn.
    for (std::size_t size = 0; size < whole.size() - 4; ++size) {
        const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(ReadTarget(cut).has_value()) << size;
    }
    for (std::size_t at = 0; at < whole.size(); ++at) {
        std::vector<std::uint8_t> spoiled = whole;
        spoiled[at] = 0xFF;
        (void)ReadTarget(spoiled);
    }
    std::mt19937 random(35);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint8_t> noise = whole;
        for (int n = 0; n < 8; ++n) {
            noise[random() % noise.size()] = static_cast<std::uint8_t>(random());
        }
        (void)ReadTarget(noise);
    }
    std::vector<std::uint8_t> text(200, 'x');
    EXPECT_FALSE(ReadTarget(text).has_value());
}

TEST(ShortcutFile, AFileOnDiskResolvesToItsMappedTarget)
{
    testsupport::ScratchFolder scratch;
    ShortcutBuilder link;
    link.netName = "\\\\studio\\sounds";
    link.suffix = "news";
    const std::vector<std::uint8_t> bytes = link.Build();
    const std::string path = scratch / "news.lnk";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    EXPECT_EQ(ResolveShortcut(path), "//studio/sounds/news");
    EXPECT_EQ(ResolveShortcut(scratch.Write("broken.lnk", "not a shortcut")), "");
    EXPECT_EQ(ResolveShortcut(scratch / "missing.lnk"), "");
}

TEST(ShortcutFile, ATargetClimbingOutOfItsShareIsNotOffered)
{
    EXPECT_EQ(MapTarget("\\\\host\\share\\..\\..\\..\\etc\\passwd"), "");
    EXPECT_EQ(MapTarget("\\\\host\\share\\news\\..\\..\\other"), "");
    EXPECT_EQ(MapTarget("\\\\?\\UNC\\host\\..\\x"), "");
    EXPECT_EQ(MapTarget("\\\\..\\share"), "");
    EXPECT_EQ(MapTarget("\\\\host\\share\\news\\..\\sport"), "//host/share/news/../sport") << "stays inside";

    testsupport::ScratchFolder scratch;
    ShortcutBuilder link;
    link.netName = "\\\\host\\share";
    link.suffix = "..\\..\\..\\etc\\passwd";
    const std::vector<std::uint8_t> bytes = link.Build();
    const std::string path = scratch / "escape.lnk";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    EXPECT_EQ(ReadTarget(bytes), "\\\\host\\share\\..\\..\\..\\etc\\passwd");
    EXPECT_EQ(ResolveShortcut(path), "");
}

} // namespace
