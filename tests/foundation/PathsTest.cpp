#include "foundation/Paths.h"
#include "foundation/Folders.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

using basic::FixTrailingSeparator;
using basic::GetPathPart;

TEST(Paths, TrailingSeparators)
{
    EXPECT_EQ(FixTrailingSeparator("http://srv/list", 0), "http://srv/list/");
    EXPECT_EQ(FixTrailingSeparator("HTTP://srv/list/", 1), "HTTP://srv/list");
    EXPECT_EQ(FixTrailingSeparator("/home/op/snd", 0), "/home/op/snd/");
    EXPECT_EQ(FixTrailingSeparator("/home/op/snd/", 0), "/home/op/snd/");
    EXPECT_EQ(FixTrailingSeparator("/home/op/snd/", 1), "/home/op/snd");
    EXPECT_EQ(FixTrailingSeparator("/home/op/snd", 1), "/home/op/snd");
    EXPECT_EQ(FixTrailingSeparator("C:\\snd", 0), "C:\\snd\\") << "a Windows path keeps its style";
    EXPECT_EQ(FixTrailingSeparator("\\\\srv\\share\\", 1), "\\\\srv\\share");
    EXPECT_EQ(FixTrailingSeparator("//srv/share", 0), "//srv/share/");
    EXPECT_EQ(FixTrailingSeparator("   ", 0), "");
    EXPECT_EQ(FixTrailingSeparator("", 1), "");
    EXPECT_EQ(FixTrailingSeparator(" a ", 0), " a /") << "the untrimmed path is returned";
}

TEST(Paths, PartsOfLocalServerAndWindowsPaths)
{
    EXPECT_EQ(GetPathPart("/snd/jingle.v2.wav", 0, 0, 1, 0, 0, 0), "jingle.v2");
    EXPECT_EQ(GetPathPart("/snd/jingle.v2.wav", 0, 0, 0, 0, 1, 0), "wav");
    EXPECT_EQ(GetPathPart("/snd/jingle.v2.wav", 1, 1, 0, 0, 0, 0), "/snd/");
    EXPECT_EQ(GetPathPart("/snd/jingle.v2.wav", 0, 0, 1, 1, 1, 0), "jingle.v2.wav");
    EXPECT_EQ(GetPathPart("/snd/jingle.v2.wav", 1, 1, 1, 1, 1, 0), "/snd/jingle.v2.wav");
    EXPECT_EQ(GetPathPart("a.wav", 1, 1, 1, 1, 1, 0), "/a.wav") << "sep asked without a folder";
    EXPECT_EQ(GetPathPart("C:\\Snd\\Opening.WAV", 0, 0, 0, 0, 1, 1), "wav");
    EXPECT_EQ(GetPathPart("C:\\Snd\\Opening.WAV", 1, 1, 0, 0, 0, 2), "C:\\SND\\");
    EXPECT_EQ(GetPathPart("\\\\srv\\share\\x.wav", 1, 1, 0, 0, 0, 0), "\\\\srv\\share\\");
    EXPECT_EQ(GetPathPart("//srv/share/dir.d/readme", 0, 0, 1, 1, 1, 0), "readme");
    EXPECT_EQ(GetPathPart("//srv/share/dir.d/readme", 0, 0, 0, 1, 0, 0), "");
    EXPECT_EQ(GetPathPart("mixed/folder\\name.mp3", 1, 0, 0, 0, 0, 0), "mixed/folder");
    EXPECT_EQ(GetPathPart("", 1, 1, 1, 1, 1, 0), "");
}

TEST(Paths, ExtensionsAndFields)
{
    EXPECT_EQ(basic::EnsureExtension("list", "TXT"), "list.txt");
    EXPECT_EQ(basic::EnsureExtension("list.TXT", ".txt"), "list.TXT");
    EXPECT_EQ(basic::EnsureExtension("list", " "), "list");
    EXPECT_EQ(basic::EnsureExtension("", "txt"), "");

    EXPECT_EQ(basic::MakeFieldSafe("Title, part 2\r\nnext"), "Title. part 2next");
    EXPECT_EQ(basic::MakeFieldSafe("say \"hi\"\t\b"), "say ”hi”");
    EXPECT_EQ(basic::MakeFieldSafe(std::string("a\0b", 3)), "ab");
    EXPECT_EQ(basic::MakeFieldSafe("曲１，曲２"), "曲１.曲２");
    EXPECT_EQ(basic::MakeFieldSafe(""), "");
    EXPECT_EQ(basic::MakeFieldSafe("\xff,\xfe"), "\xff.\xfe") << "stray bytes pass untouched";
}

TEST(Paths, NumberedNamesTakeTheFirstFreeNumber)
{
    testsupport::ScratchFolder folder;
    const std::string log = folder.Write("day.log", "x");
    folder.Write("day001.log", "x");
    EXPECT_EQ(basic::MakeNumberedFileName(log, 1, 1, 3, 0), folder / "day002.log");
    EXPECT_EQ(basic::MakeNumberedFileName(log, 0, 1, 3, 0), "day002.log");
    EXPECT_EQ(basic::MakeNumberedFileName(log, 0, 0, 3, 0), "day002");
    EXPECT_EQ(basic::MakeNumberedFileName(folder / "new.log", 1, 1, 3, 0), folder / "new.log");
    EXPECT_EQ(basic::MakeNumberedFileName(folder / "new.log", 1, 1, 3, 1), folder / "new001.log");
    EXPECT_EQ(basic::MakeNumberedFileName(folder / "new.log", 1, 1, 0, 1), folder / "new1.log");
}

class ServerRoot : public testing::Test {
protected:
    void SetUp() override { setenv("TOLV_UNC_ROOT", unc.Path().c_str(), 1); }
    void TearDown() override { unsetenv("TOLV_UNC_ROOT"); }
    testsupport::ScratchFolder unc;
};

TEST_F(ServerRoot, FolderTreesAreMadeLevelByLevelButNeverAShareThatIsNotMounted)
{
    testsupport::ScratchFolder folder;
    EXPECT_EQ(basic::MakeFolder(folder / "a/b"), 0) << "one level only";
    EXPECT_EQ(basic::MakeFolderTree(folder / "a/b/c"), 1);
    EXPECT_EQ(basic::FolderExists(folder / "a\\b\\c\\"), 1);
    EXPECT_EQ(basic::MakeFolder(folder / "a"), 1) << "an existing folder is fine";
    EXPECT_EQ(basic::FolderExists(folder.Write("f.txt", "")), 0);

    EXPECT_EQ(basic::MakeFolderTree("//host/share/cache/x"), 0);
    EXPECT_FALSE(std::filesystem::exists(unc / "host"));
    std::filesystem::create_directories(unc / "host/share");
    EXPECT_EQ(basic::MakeFolderTree("\\\\host\\share\\cache\\x"), 1);
    EXPECT_TRUE(std::filesystem::is_directory(unc / "host/share/cache/x"));
    EXPECT_EQ(basic::FolderExists("//host/share/cache"), 1);
}

TEST(Paths, RecycleBins)
{
    EXPECT_EQ(basic::IsRecycleBinPath("D:\\$RECYCLE.BIN\\S-1-5"), 1);
    EXPECT_EQ(basic::IsRecycleBinPath("e:\\recycled\\x"), 1);
    EXPECT_EQ(basic::IsRecycleBinPath("E:/System Volume Information"), 1);
    EXPECT_EQ(basic::IsRecycleBinPath("/home/op/recycled"), 0);
    EXPECT_EQ(basic::IsRecycleBinPath("/media/op/STICK/$RECYCLE.BIN/S-1-5"), 1);
    EXPECT_EQ(basic::IsRecycleBinPath("/media/op/STICK/System Volume Information"), 1);
    EXPECT_EQ(basic::IsRecycleBinPath("/media/op/STICK/System Volume Information Backup"), 0);
}

} // namespace
